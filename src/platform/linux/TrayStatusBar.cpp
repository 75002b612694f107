#include "platform/linux/TrayStatusBar.h"

#include "platform/SystemLog.h"
#include "platform/linux/QtXcbConnection.h"

#include <QCursor>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <algorithm>
#include <cstdlib>
#include <utility>

namespace vantrel {

namespace {
constexpr qreal kInkWidth = 1.8;
constexpr qreal kEdgeWidth = 1.2;
// What a panel asks for, at one and at twice the scale.
constexpr int kTrayIconSides[] = {16, 22, 24, 32, 44, 48, 64};

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
        star(16, 6, 3.5);
    } else {
        path.addEllipse(QPointF(11, 11), 4, 4);
    }
    return path;
}

// Whether the X server Qt is connected to has a tray that embeds icons.
bool hasEmbeddingTray() {
    xcb_connection_t* connection = qtXcbConnection();
    if (!connection) return false;
    const xcb_atom_t selection = internAtom(connection, QByteArrayLiteral("_NET_SYSTEM_TRAY_S0"));
    if (selection == XCB_ATOM_NONE) return false;
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool owned = reply && reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
}

// White ink inside a dark edge, so the icon reads on a light panel as on a dark one: the panel's
// colour is not known, and a tray host shows the pixels as they are. A host takes the size nearest
// to its panel from those given, in device pixels, at whatever scale it draws: each is drawn at its
// own size, from 16 to 64 pixels, so a panel at twice the scale gets a sharp one as large as its
// other programs'.
QIcon symbolIcon(const QString& name) {
    const QPainterPath path = symbolPath(name);
    const bool filled = name == u"sparkles";
    QIcon icon;
    for (const int side : kTrayIconSides) {
        const qreal scale = side / 22.0;
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        const auto draw = [&](const QColor& color, qreal width) {
            painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(filled ? QBrush(color) : QBrush(Qt::NoBrush));
            painter.drawPath(path);
        };
        // The edge stays a whole pixel wide however small the icon.
        draw(QColor(0x1c, 0x1c, 0x1e), kInkWidth + 2 * std::max(kEdgeWidth, 1.0 / scale));
        draw(Qt::white, kInkWidth);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
} // namespace

TrayStatusItem::TrayStatusItem(QString autosaveName, TrayStatusBar* bar)
    : autosaveName_(std::move(autosaveName)), bar_(bar) {
    if (!bar || bar->admitsWithoutAsking()) {
        enterTray();
        return;
    }
    connect(bar, &TrayStatusBar::trayOpened, this, &TrayStatusItem::trayAnswered);
    waiting_ = true;
    bar->ask();
}

void TrayStatusItem::trayAnswered() {
    if (!waiting_) return;
    waiting_ = false;
    if (tray_)
        showIfWanted();
    else
        enterTray();
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
    if (!tray_ || !visible_) return;
    // Qt's own check would ask the watcher again, and wait for it: the bar's answer stands for it.
    // Without a tray the item stays hidden; showing it would only print a warning.
    if ((bar_ && !bar_->admitsWithoutAsking()) || QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
}

void TrayStatusItem::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    // A hidden icon leaves the tray altogether; the host lays the others out without it.
    if (!visible) {
        if (tray_) tray_->hide();
    } else if (tray_ && bar_ && !bar_->admitsWithoutAsking()) {
        // Shown again, Qt's icon asks the watcher once more as it waits: the bar asks first.
        waiting_ = true;
        bar_->ask();
    } else {
        showIfWanted();
    }
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

TrayStatusBar::TrayStatusBar(QDBusConnection connection, Scheduler& scheduler, SystemLog& log,
                             std::function<bool()> embeddingTray)
    : connection_(std::move(connection)), scheduler_(&scheduler), log_(&log),
      embeddingTray_(embeddingTray ? std::move(embeddingTray) : hasEmbeddingTray) {
    // Without a bus Qt finds no watcher at once and falls back to an embedding tray.
    if (!connection_->isConnected()) {
        connection_.reset();
        return;
    }
    tray_ = Tray::absent;
    auto* owners = new QDBusServiceWatcher(QString::fromLatin1(kWatcherService), *connection_,
                                           QDBusServiceWatcher::WatchForOwnerChange, this);
    // While the items are in, a new watcher is Qt's to register them with; a question out was
    // put to the one before.
    connect(owners, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        if (tray_ != Tray::open) askWatcher();
    });
    // A watcher that had no host yet says so when one comes; its owner stays the same.
    connection_->connect(QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
                         QString::fromLatin1(kWatcherService), QStringLiteral("StatusNotifierHostRegistered"),
                         this, SLOT(hostRegistered()));
}

TrayStatusBar::~TrayStatusBar() = default;

void TrayStatusBar::ask() {
    if (connection_ && !embedded_ && tray_ != Tray::asking) askWatcher();
}

void TrayStatusBar::hostRegistered() {
    if (tray_ != Tray::open) askWatcher();
}

void TrayStatusBar::askWatcher() {
    tray_ = Tray::asking;
    const quint64 question = ++question_;
    introspection_.reset();
    hostRegistered_.reset();
    // The limit below decides silence, which nothing waits on; a watcher slowed down past it (a
    // loaded machine at login) still brings the item in when it answers, until the bus gives up.
    const int busTimeoutMs = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(kWatcherAnswerLimit * 10).count());
    const auto send = [&](const QString& interface, const QString& member, const QVariantList& arguments,
                          auto take) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath), interface, member);
        call.setArguments(arguments);
        auto* pending = new QDBusPendingCallWatcher(connection_->asyncCall(call, busTimeoutMs), this);
        connect(pending, &QDBusPendingCallWatcher::finished, this,
                [this, question, take](QDBusPendingCallWatcher* reply) {
                    reply->deleteLater();
                    if (question != question_ || !awaitsAnswer()) return;
                    const QDBusMessage message = reply->reply();
                    if (message.type() == QDBusMessage::ReplyMessage && !message.arguments().isEmpty()) {
                        take(message.arguments().constFirst());
                        answered(question);
                        return;
                    }
                    // A watcher that left while asked answers nothing; the next one is asked anew.
                    const QDBusError::ErrorType error = reply->error().type();
                    if (error != QDBusError::NoReply && error != QDBusError::Timeout)
                        settle(question, Tray::absent);
                });
    };
    // What Qt asks, in its order: an answer to both says Qt will not wait on this watcher.
    send(QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"), {},
         [this](const QVariant& xml) { introspection_ = xml.toString(); });
    send(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
         {QString::fromLatin1(kWatcherService), QStringLiteral("IsStatusNotifierHostRegistered")},
         [this](const QVariant& value) { hostRegistered_ = value.value<QDBusVariant>().variant().toBool(); });
    deadline_ = ScheduledTask(*scheduler_, scheduler_->schedule(kWatcherAnswerLimit, [this, question] {
        settle(question, Tray::silent);
    }));
}

void TrayStatusBar::answered(quint64 question) {
    if (!introspection_ || !hostRegistered_) return;
    // Qt reads the property only where the description names it, and takes a watcher without a
    // host for no tray at all, for good.
    const bool usable =
        *hostRegistered_ && introspection_->contains(QStringLiteral("IsStatusNotifierHostRegistered"));
    settle(question, usable ? Tray::open : Tray::absent);
}

void TrayStatusBar::settle(quint64 question, Tray tray) {
    // An answer to an older question changes nothing; a late one to the last question still counts.
    if (question != question_ || !awaitsAnswer()) return;
    const bool late = tray_ == Tray::silent;
    deadline_.cancel();
    // Before Qt has made an icon it may still take the X server's tray; once it took the
    // watcher's, it keeps to that.
    if (tray == Tray::absent && !opened_ && embeddingTray_()) {
        embedded_ = true;
        tray = Tray::open;
    }
    tray_ = tray;
    if (tray == Tray::silent) {
        leftOut_ = true;
        log_->log(LogLevel::error, QString::fromLatin1(kLogSubsystem), QStringLiteral("StatusItem"),
                  QStringLiteral("The desktop's tray (org.kde.StatusNotifierWatcher) did not answer within 1 "
                                 "second; starting without the status item, which is added once the tray "
                                 "changes owner."));
    }
    if (tray != Tray::open) return;
    if (std::exchange(leftOut_, false))
        log_->log(LogLevel::info, QString::fromLatin1(kLogSubsystem), QStringLiteral("StatusItem"),
                  late ? QStringLiteral("The desktop's tray answered late; the status item is added.")
                       : QStringLiteral("The desktop's tray changed owner; the status item is added."));
    opened_ = true;
    Q_EMIT trayOpened();
}

std::unique_ptr<StatusItem> TrayStatusBar::createItem(const QString& autosaveName) {
    return std::make_unique<TrayStatusItem>(autosaveName, this);
}

} // namespace vantrel
