#include "platform/linux/TrayStatusBar.h"

#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace vantrel {

namespace {
// The symbols the status items show, drawn as outlines on a 22-point square. Any other name
// gets a neutral dot.
QPainterPath symbolPath(const QString& name) {
    QPainterPath path;
    const auto chevron = [&path](qreal x, bool pointsRight) {
        const qreal dx = pointsRight ? 4.5 : -4.5;
        path.moveTo(x - dx / 2, 6);
        path.lineTo(x + dx / 2, 11);
        path.lineTo(x - dx / 2, 16);
    };
    if (name == u"chevron.right.2" || name == u"chevron.left.2") {
        const bool right = name == u"chevron.right.2";
        chevron(8.5, right);
        chevron(13.5, right);
    } else if (name == u"line.3.horizontal.decrease") {
        // Three bars, each shorter than the one above.
        path.moveTo(4, 6.5);
        path.lineTo(18, 6.5);
        path.moveTo(6.5, 11);
        path.lineTo(15.5, 11);
        path.moveTo(9, 15.5);
        path.lineTo(13, 15.5);
    } else if (name == u"sparkles") {
        const auto star = [&path](qreal cx, qreal cy, qreal r) {
            path.moveTo(cx, cy - r);
            path.quadTo(cx, cy, cx + r, cy);
            path.quadTo(cx, cy, cx, cy + r);
            path.quadTo(cx, cy, cx - r, cy);
            path.quadTo(cx, cy, cx, cy - r);
        };
        star(9.5, 12.5, 6.5);
        star(16.5, 6, 3.5);
    } else {
        path.addEllipse(QPointF(11, 11), 4, 4);
    }
    return path;
}

QIcon symbolIcon(const QString& name) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(22 * scale, 22 * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        const QPainterPath path = symbolPath(name);
        if (name == u"sparkles") painter.setBrush(Qt::white);
        painter.drawPath(path);
        painter.end();
        icon.addPixmap(pixmap);
    }
    icon.setIsMask(true);
    return icon;
}
} // namespace

TrayStatusItem::TrayStatusItem(QString autosaveName) : autosaveName_(std::move(autosaveName)) {
    tray_ = new QSystemTrayIcon(this);
    tray_->setIcon(symbolIcon(QString()));
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (!handler_) return;
        switch (reason) {
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::DoubleClick:
            handler_(StatusItemClick::left);
            break;
        case QSystemTrayIcon::Context:
            handler_(StatusItemClick::right);
            break;
        default:
            break;
        }
    });
    showIfWanted();
}

void TrayStatusItem::showIfWanted() {
    // Without a tray the item stays hidden; showing it would only print a warning.
    if (visible_ && QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
}

void TrayStatusItem::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    // A hidden icon leaves the tray altogether; the host lays the others out without it.
    if (visible)
        showIfWanted();
    else
        tray_->hide();
}

TrayStatusItem::~TrayStatusItem() {
    tray_->hide();
}

void TrayStatusItem::setImage(const QString& symbolName, const QString& accessibilityDescription) {
    // A tray icon cannot be empty; an item without an image is one that is not shown anyway.
    if (!symbolName.isEmpty()) tray_->setIcon(symbolIcon(symbolName));
    tray_->setProperty("accessibleDescription", accessibilityDescription);
}

void TrayStatusItem::setToolTip(const QString& toolTip) {
    tray_->setToolTip(toolTip);
}

void TrayStatusItem::popUpMenu(QMenu& menu) {
    const auto frame = frameOnScreen();
    menu.exec(frame ? frame->bottomLeft() : QCursor::pos());
}

std::optional<QRect> TrayStatusItem::frameOnScreen() const {
    const QRect frame = tray_->geometry();
    if (frame.isEmpty()) return std::nullopt;
    return frame;
}

std::unique_ptr<StatusItem> TrayStatusBar::createItem(const QString& autosaveName) {
    return std::make_unique<TrayStatusItem>(autosaveName);
}

} // namespace vantrel
