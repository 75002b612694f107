#include "platform/linux/TrayStatusBar.h"

#include "platform/SystemLog.h"

#include <QCursor>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
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

TrayStatusItem::TrayStatusItem(QString autosaveName, TrayStatusBar* bar)
    : autosaveName_(std::move(autosaveName)) {
    if (!bar || bar->tray() == TrayStatusBar::Tray::open)
        enterTray();
    else
        connect(bar, &TrayStatusBar::trayOpened, this, &TrayStatusItem::enterTray);
}

void TrayStatusItem::enterTray() {
    if (tray_) return;
    tray_ = new QSystemTrayIcon(this);
    tray_->setIcon(symbolIcon(symbolName_));
    tray_->setProperty("accessibleDescription", accessibilityDescription_);
    tray_->setToolTip(toolTip_);
    if (contextMenu_) tray_->setContextMenu(contextMenu_);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (!handler_) return;
        switch (reason) {
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::DoubleClick:
            handler_(StatusItemClick::left);
            break;
        case QSystemTrayIcon::Context:
            // The tray opens the context menu itself; a second one from here would cover it.
            if (!contextMenu_) handler_(StatusItemClick::right);
            break;
        default:
            break;
        }
    });
    showIfWanted();
}

void TrayStatusItem::showIfWanted() {
    // Without a tray the item stays hidden; showing it would only print a warning.
    if (tray_ && visible_ && QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
}

void TrayStatusItem::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    // A hidden icon leaves the tray altogether; the host lays the others out without it.
    if (visible)
        showIfWanted();
    else if (tray_)
        tray_->hide();
}

TrayStatusItem::~TrayStatusItem() {
    if (tray_) tray_->hide();
}

void TrayStatusItem::setImage(const QString& symbolName, const QString& accessibilityDescription) {
    // A tray icon cannot be empty; an item without an image is one that is not shown anyway.
    if (!symbolName.isEmpty()) {
        symbolName_ = symbolName;
        if (tray_) tray_->setIcon(symbolIcon(symbolName));
    }
    accessibilityDescription_ = accessibilityDescription;
    if (tray_) tray_->setProperty("accessibleDescription", accessibilityDescription);
}

void TrayStatusItem::setToolTip(const QString& toolTip) {
    toolTip_ = toolTip;
    if (tray_) tray_->setToolTip(toolTip);
}

void TrayStatusItem::setContextMenu(QMenu* menu) {
    contextMenu_ = menu;
    if (tray_) tray_->setContextMenu(menu);
}

void TrayStatusItem::popUpMenu(QMenu& menu) {
    const auto frame = frameOnScreen();
    menu.exec(frame ? frame->bottomLeft() : QCursor::pos());
}

std::optional<QRect> TrayStatusItem::frameOnScreen() const {
    if (!tray_) return std::nullopt;
    const QRect frame = tray_->geometry();
    if (frame.isEmpty()) return std::nullopt;
    return frame;
}

TrayStatusBar::TrayStatusBar() = default;

TrayStatusBar::TrayStatusBar(QDBusConnection connection, Scheduler& scheduler, SystemLog& log)
    : connection_(std::move(connection)), scheduler_(&scheduler), log_(&log) {
    // Without a bus Qt finds no watcher at once and falls back to an XEmbed tray.
    if (!connection_->isConnected()) return;
    tray_ = Tray::asking;
    auto* owners = new QDBusServiceWatcher(QString::fromLatin1(kWatcherService), *connection_,
                                           QDBusServiceWatcher::WatchForOwnerChange, this);
    // Once the items are in the tray, a new watcher is Qt's to register them with.
    connect(owners, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        if (tray_ != Tray::open) askWatcher();
    });
    askWatcher();
}

TrayStatusBar::~TrayStatusBar() = default;

void TrayStatusBar::askWatcher() {
    tray_ = Tray::asking;
    const quint64 question = ++question_;
    // What Qt asks first; any answer at all, even an error, says the watcher is awake.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kWatcherService), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QString::fromLatin1(kWatcherService) << QStringLiteral("IsStatusNotifierHostRegistered");
    // The limit below decides silence; the bus's own time-out only frees the call some time later.
    const int busTimeoutMs = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(kWatcherAnswerLimit * 2).count());
    auto* pending = new QDBusPendingCallWatcher(connection_->asyncCall(call, busTimeoutMs), this);
    connect(
        pending, &QDBusPendingCallWatcher::finished, this, [this, question](QDBusPendingCallWatcher* call) {
            call->deleteLater();
            const QDBusError::ErrorType error = call->isError() ? call->error().type() : QDBusError::NoError;
            if (error != QDBusError::NoReply && error != QDBusError::Timeout) answered(question, false);
        });
    deadline_ = ScheduledTask(*scheduler_, scheduler_->schedule(kWatcherAnswerLimit, [this, question] {
        answered(question, true);
    }));
}

void TrayStatusBar::answered(quint64 question, bool silent) {
    // An answer to an older question, or one after the limit, changes nothing.
    if (question != question_ || tray_ != Tray::asking) return;
    deadline_.cancel();
    if (silent) {
        tray_ = Tray::silent;
        leftOut_ = true;
        log_->log(LogLevel::error, QString::fromLatin1(kLogSubsystem), QStringLiteral("StatusItem"),
                  QStringLiteral("The desktop's tray (org.kde.StatusNotifierWatcher) did not answer within 1 "
                                 "second; starting without the status item, which is added once the tray "
                                 "changes owner."));
        return;
    }
    tray_ = Tray::open;
    if (leftOut_)
        log_->log(LogLevel::info, QString::fromLatin1(kLogSubsystem), QStringLiteral("StatusItem"),
                  QStringLiteral("The desktop's tray changed owner; the status item is added."));
    Q_EMIT trayOpened();
}

std::unique_ptr<StatusItem> TrayStatusBar::createItem(const QString& autosaveName) {
    return std::make_unique<TrayStatusItem>(autosaveName, this);
}

} // namespace vantrel
