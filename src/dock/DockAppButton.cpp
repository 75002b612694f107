#include "dock/DockAppButton.h"

#include "core/VantrelPreferences.h"
#include "dock/DockContentStore.h"
#include "dock/RunningAppsStore.h"
#include "platform/Workspace.h"

#include <QPainter>

namespace vantrel {

DockAppButton::DockAppButton(const RunningAppItem& app, const DockViewContext& context, QWidget* parent)
    : DockTile(context, parent) {
    setApp(app);
}

void DockAppButton::setApp(const RunningAppItem& app) {
    app_ = app;
    setToolTip(app_.name);
    setAccessibleName(app_.name);
    const QPixmap shown = app_.icon.isNull() ? QPixmap() : picture(app_.icon);
    // A picture still being decoded leaves the one shown before in its place.
    if (!shown.isNull() || app_.icon.isNull() || pixmap_.isNull()) pixmap_ = shown;
    // An icon that names a picture nothing here can draw: the generic application.
    if (pixmap_.isNull()) pixmap_ = picture(context_.store.genericApplicationIcon());
    refreshLabel();
    Q_EMIT needsDisplay();
}

void DockAppButton::pictureSideChanged() {
    QIcon icon = app_.icon;
    if (icon.isNull()) icon = context_.store.genericApplicationIcon();
    // Until the new size is decoded, the picture shown is drawn scaled.
    if (const QPixmap taken = picture(icon); !taken.isNull()) pixmap_ = taken;
}

QRectF DockAppButton::iconRect() const {
    // The icon and the dot stand 4 points apart, centred together in the tile.
    const double s = iconSize();
    const double stack = s + 4 + 3.5;
    return {(width() - s) / 2, (height() - stack) / 2, s, s};
}

QRectF DockAppButton::dotRect() const {
    const QRectF icon = iconRect();
    return {icon.center().x() - 1.75, icon.bottom() + 4, 3.5, 3.5};
}

bool DockAppButton::showsDot() const {
    return context_.preferences.customDockShowIndicators() && app_.isActive;
}

void DockAppButton::paintIcon(QPainter& painter) const {
    const QRectF icon = iconRect();
    if (!pixmap_.isNull()) {
        painter.drawPixmap(icon, pixmap_, QRectF(pixmap_.rect()));
        return;
    }
    // Without an icon of its own: a plain rounded square with the name's first letter.
    painter.setPen(Qt::NoPen);
    painter.setBrush(standardGradient(QColor(110, 110, 120), icon));
    painter.drawRoundedRect(icon, 11, 11);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(int(icon.height() * 0.45));
    painter.setFont(font);
    painter.drawText(icon, Qt::AlignCenter, app_.name.left(1).toUpper());
}

void DockAppButton::paintDecoration(QPainter& painter) const {
    if (!showsDot()) return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(dotRect());
}

QString DockAppButton::labelText() const {
    return context_.preferences.customDockShowLabels() ? app_.name : QString();
}

void DockAppButton::activate() {
    context_.store.activate(app_);
}

DockMenu DockAppButton::menu() {
    return menuFor(app_, context_.store, context_.content, context_.workspace);
}

DockMenu DockAppButton::menuFor(const RunningAppItem& app, RunningAppsStore& store, DockContentStore& content,
                                Workspace& workspace) {
    DockMenu menu;
    menu.add(app.isHidden ? QStringLiteral("Show") : QStringLiteral("Open"),
             [&store, app] { store.activate(app); });
    menu.add(
        QStringLiteral("Hide"),
        [&store, app] {
            store.hide(app);
            store.refreshActiveState();
        },
        !app.isHidden);
    menu.addDivider();
    menu.add(QStringLiteral("Quit"), [&store, app] { store.quit(app); });
    // A process only named by its windows could be anyone's: Quit still closes them.
    menu.add(
        QString::fromUtf8("Force Quit\u2026"), [&store, app] { store.confirmForceQuit(app); },
        app.processVerified);
    menu.addDivider();
    const std::optional<QString> bundle = app.bundleURL;
    menu.add(
        QStringLiteral("Keep in Vantrel Dock"),
        [&content, bundle] {
            if (bundle) content.addApplication(*bundle, true);
        },
        bundle.has_value());
    menu.add(
        QStringLiteral("Show in Finder"),
        [&workspace, bundle] {
            if (bundle) workspace.reveal(*bundle);
        },
        bundle.has_value());
    if (const QString status = store.forceQuitStatus(app); !status.isEmpty()) {
        menu.addDivider();
        menu.add(status, {}, false);
    }
    return menu;
}

} // namespace vantrel
