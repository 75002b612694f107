#include "dock/DockShortcutButton.h"

#include "core/VantrelPreferences.h"
#include "dock/DockContentStore.h"
#include "dock/RunningAppsStore.h"
#include "kit/GlyphCatalogue.h"
#include "platform/Workspace.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

namespace vantrel {

namespace {

// The red minus disc with its white bar and a soft shadow.
class RemoveBadge final : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(2, 2, -2, -2);
        painter.setPen(Qt::NoPen);
        // The disc blurred over the shadow's radius: full strength that far inside its edge,
        // nothing that far beyond it.
        const DockShortcutButton::BadgeShadow shadow = DockShortcutButton::badgeShadow();
        const double r = box.width() / 2;
        const double outer = r + shadow.radius;
        QRadialGradient blur(box.center(), outer);
        const QColor black = QColor::fromRgbF(0, 0, 0, float(shadow.opacity));
        blur.setColorAt(0, black);
        blur.setColorAt(std::max(0.0, r - shadow.radius) / outer, black);
        blur.setColorAt(1, Qt::transparent);
        painter.setBrush(blur);
        painter.drawEllipse(box.center(), outer, outer);
        painter.setBrush(Qt::white);
        painter.drawEllipse(box.adjusted(2, 2, -2, -2));
        GlyphCatalogue::paint(painter, u"minus.circle.fill", box, QColor(255, 59, 48), QFont::Bold);
    }
};

} // namespace

DockShortcutButton::DockShortcutButton(const DockShortcut& item, const DockViewContext& context,
                                       QWidget* parent)
    : DockTile(context, parent) {
    badge_ = new RemoveBadge(parent);
    badge_->hide();
    badge_->setFocusPolicy(Qt::NoFocus);
    connect(badge_, &QAbstractButton::clicked, this, [this] { context_.content.remove(item_); });
    connect(this, &QObject::destroyed, badge_, &QObject::deleteLater);
    // An application drawn without an icon of its own takes up its window's once it runs.
    connect(&context_.store, &RunningAppsStore::appsChanged, this, [this] {
        if (item_.kind != DockShortcut::Kind::application || rule_ == IconRule::fileIcon) return;
        chooseIcon();
        Q_EMIT needsDisplay();
    });
    // The desktop's icon theme changed, or was read: the file icon is looked up again.
    connect(&context_.workspace, &Workspace::iconsChanged, this, [this] {
        updateIcon();
        Q_EMIT needsDisplay();
    });
    setItem(item);
}

void DockShortcutButton::setItem(const DockShortcut& item) {
    item_ = item;
    setToolTip(item_.title);
    setAccessibleName(item_.title);
    badge_->setToolTip(QStringLiteral("Remove ") + item_.title + QStringLiteral(" from Vantrel Dock"));
    badge_->setAccessibleName(badge_->toolTip());
    updateIcon();
    refreshLabel();
    Q_EMIT needsDisplay();
}

void DockShortcutButton::setEditing(bool editing) {
    isEditing_ = editing;
    badge_->setVisible(editing);
    refreshLabel();
    Q_EMIT needsDisplay();
}

DockShortcutButton::BadgeShadow DockShortcutButton::badgeShadow() {
    return {.opacity = 0.5, .radius = 2};
}

QRectF DockShortcutButton::badgeRect() const {
    // A 16-point symbol (with room for its shadow) over the top centre, 5 right and 6 up.
    return {width() / 2.0 - 10 + 5, -2.0 - 6, 20, 20};
}

void DockShortcutButton::updateIcon() {
    // A folder stored with the tag `none` is an untagged folder to look at: its file icon, not the
    // web placeholder.
    DockShortcut plain = item_;
    if (plain.kind == DockShortcut::Kind::folder && plain.folderColor == DockFolderColor::none)
        plain.folderColor.reset();
    const std::optional<QIcon> icon = context_.content.icon(plain);
    fileIcon_ = icon && !icon->isNull() ? *icon : QIcon();
    const QPixmap taken = fileIcon_.isNull() ? QPixmap() : picture(fileIcon_);
    // A picture still being decoded leaves the one shown before in its place.
    if (!taken.isNull() || fileIcon_.isNull()) filePixmap_ = taken;
    chooseIcon();
}

void DockShortcutButton::chooseIcon() {
    rule_ = IconRule::placeholder;
    pixmap_ = {};
    shownIcon_ = {};
    if (!filePixmap_.isNull()) {
        rule_ = IconRule::fileIcon;
        pixmap_ = filePixmap_;
        shownIcon_ = fileIcon_;
    } else if (item_.kind == DockShortcut::Kind::folder && item_.folderColor && color(*item_.folderColor)) {
        rule_ = IconRule::coloredFolder;
    } else if (item_.kind == DockShortcut::Kind::application) {
        if (const auto app = context_.store.runningApp(item_); app && !app->icon.isNull()) {
            pixmap_ = picture(app->icon);
            shownIcon_ = app->icon;
        }
        rule_ = pixmap_.isNull() ? IconRule::genericApplication : IconRule::windowIcon;
        if (pixmap_.isNull()) {
            shownIcon_ = context_.store.genericApplicationIcon();
            pixmap_ = picture(shownIcon_);
        }
    }
}

void DockShortcutButton::pictureSideChanged() {
    if (shownIcon_.isNull()) return;
    // Until the new size is decoded, the picture shown is drawn scaled.
    const QPixmap taken = picture(shownIcon_);
    if (taken.isNull()) return;
    pixmap_ = taken;
    if (rule_ == IconRule::fileIcon) filePixmap_ = taken;
}

void DockShortcutButton::paintIcon(QPainter& painter) const {
    const QRectF icon = iconRect();
    const double s = icon.width();
    switch (rule_) {
    case IconRule::fileIcon:
    case IconRule::windowIcon:
    case IconRule::genericApplication:
        painter.drawPixmap(icon, pixmap_, QRectF(pixmap_.rect()));
        return;
    case IconRule::coloredFolder: {
        const QRectF glyph(icon.center().x() - s * 0.41, icon.center().y() - s * 0.41, s * 0.82, s * 0.82);
        paintGlyphWithBrush(painter, u"folder.fill", glyph,
                            standardGradient(*color(*item_.folderColor), glyph));
        return;
    }
    case IconRule::placeholder:
        break;
    }
    QPainterPath square;
    square.addRoundedRect(icon, 11, 11);
    painter.fillPath(square, standardGradient(QColor(0, 122, 255), icon));
    const QRectF glyph(icon.center().x() - s * 0.23, icon.center().y() - s * 0.23, s * 0.46, s * 0.46);
    GlyphCatalogue::paint(painter, u"globe", glyph, Qt::white, QFont::DemiBold);
}

QString DockShortcutButton::labelText() const {
    return !isEditing_ && context_.preferences.customDockShowLabels() ? item_.title : QString();
}

void DockShortcutButton::activate() {
    if (!isEditing_) context_.content.open(item_);
}

DockMenu DockShortcutButton::menu() {
    const auto haptic = context_.playHaptic;
    return menuFor(item_, context_.content, context_.store, context_.workspace, [haptic] {
        if (haptic) haptic(HapticSurface::dock);
    });
}

DockMenu DockShortcutButton::menuFor(const DockShortcut& item, DockContentStore& content,
                                     RunningAppsStore& store, Workspace& workspace,
                                     std::function<void()> playDockHaptic) {
    DockMenu menu;
    menu.add(QStringLiteral("Open"), [&content, item] { content.open(item); });
    const auto showInFinder = [&workspace, item] { workspace.reveal(item.target); };
    switch (item.kind) {
    case DockShortcut::Kind::folder: {
        QList<DockMenu::Entry> colours;
        const DockFolderColor current = item.folderColor.value_or(DockFolderColor::none);
        int checked = -1;
        for (const DockFolderColor colour : allCasesOf<DockFolderColor>()) {
            if (colour == current) checked = int(colours.size());
            colours.append({title(colour), true, [&content, item, colour, playDockHaptic] {
                                content.setFolderColor(colour, item);
                                if (playDockHaptic) playDockHaptic();
                            }});
        }
        menu.addSubmenu(QStringLiteral("Colour"), colours, checked);
        menu.add(QStringLiteral("Show in Finder"), showInFinder);
        menu.addDivider();
        break;
    }
    case DockShortcut::Kind::application: {
        if (const std::optional<RunningAppItem> app = store.runningApp(item)) {
            const RunningAppItem running = *app;
            menu.add(running.isHidden ? QStringLiteral("Show") : QStringLiteral("Bring All Windows to Front"),
                     [&store, running] { store.activate(running); });
            menu.add(
                QStringLiteral("Hide"),
                [&store, running] {
                    store.hide(running);
                    store.refreshActiveState();
                },
                !running.isHidden);
            menu.addDivider();
            menu.add(QStringLiteral("Quit"), [&store, running] { store.quit(running); });
            menu.add(
                QString::fromUtf8("Force Quit\u2026"), [&store, running] { store.confirmForceQuit(running); },
                running.processVerified);
            if (const QString status = store.forceQuitStatus(running); !status.isEmpty())
                menu.add(status, {}, false);
        }
        menu.add(QStringLiteral("Show in Finder"), showInFinder);
        menu.addDivider();
        break;
    }
    case DockShortcut::Kind::website:
    case DockShortcut::Kind::separator:
        break;
    }
    menu.add(QStringLiteral("Move Left"), [&content, item] { content.move(item, -1); });
    menu.add(QStringLiteral("Move Right"), [&content, item] { content.move(item, 1); });
    menu.addDivider();
    menu.add(QStringLiteral("Remove from Vantrel Dock"), [&content, item] { content.remove(item); });
    return menu;
}

} // namespace vantrel
