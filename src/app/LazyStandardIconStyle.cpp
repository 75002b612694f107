#include "app/LazyStandardIconStyle.h"

#include "kit/GlyphCatalogue.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <utility>

namespace vantrel {

namespace {

// An icon made on its first use: until something draws or measures it, nothing is read.
class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    // Asked while laying out, before anything is drawn: the arrows always exist.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    QIcon& icon() {
        if (!icon_) icon_ = make_();
        return *icon_;
    }

    std::function<QIcon()> make_;
    std::optional<QIcon> icon_;
};

// A glyph of the kit as an icon, drawn at whatever size is asked.
class GlyphIconEngine final : public QIconEngine {
public:
    GlyphIconEngine(QString name, QColor color) : name_(std::move(name)), color_(std::move(color)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QColor color = color_;
        if (mode == QIcon::Disabled) color.setAlphaF(color.alphaF() * 0.4f);
        GlyphCatalogue::paint(*painter, name_, QRectF(rect), color);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }
    QString key() const override { return QStringLiteral("GlyphIconEngine"); }
    QIconEngine* clone() const override { return new GlyphIconEngine(*this); }

private:
    QString name_;
    QColor color_;
};

// What the style would otherwise look up in the icon theme (every other one it draws itself or
// reads from Qt's own resources), and the glyph drawn instead: none leaves the icon out, no colour
// takes the widget's text colour.
struct ThemedIcon {
    QStyle::StandardPixmap icon;
    const char* glyph;
    std::optional<QRgb> color;
};

using S = QStyle;
constexpr QRgb kBlue = 0xff007aff, kOrange = 0xffff9500, kRed = 0xffff3b30;
constexpr ThemedIcon kThemedIcons[] = {
    {S::SP_MessageBoxInformation, "info.circle", kBlue},
    {S::SP_MessageBoxWarning, "exclamationmark.triangle.fill", kOrange},
    {S::SP_MessageBoxCritical, "xmark.circle", kRed},
    {S::SP_MessageBoxQuestion, "questionmark.circle", kBlue},
    {S::SP_TrashIcon, "trash.fill", {}},
    {S::SP_DirOpenIcon, "folder.fill", {}},
    {S::SP_DirClosedIcon, "folder.fill", {}},
    {S::SP_DirLinkIcon, "folder.fill", {}},
    {S::SP_DirIcon, "folder.fill", {}},
    {S::SP_FileDialogNewFolder, "folder.fill", {}},
    {S::SP_FileIcon, "doc", {}},
    {S::SP_FileLinkIcon, "doc", {}},
    {S::SP_FileDialogToParent, "arrow.up", {}},
    {S::SP_FileDialogDetailedView, "line.3.horizontal.decrease", {}},
    {S::SP_FileDialogListView, "square.grid.2x2", {}},
    {S::SP_FileDialogBack, "chevron.left", {}},
    {S::SP_ArrowBack, "chevron.left", {}},
    {S::SP_ArrowLeft, "chevron.left", {}},
    {S::SP_ArrowForward, "chevron.right", {}},
    {S::SP_ArrowRight, "chevron.right", {}},
    {S::SP_ArrowUp, "chevron.up", {}},
    {S::SP_ArrowDown, "chevron.down", {}},
    {S::SP_LineEditClearButton, "xmark.circle", {}},
    {S::SP_BrowserReload, "arrow.triangle.2.circlepath", {}},
    {S::SP_MediaPlay, "play.fill", {}},
    {S::SP_MediaPause, "pause.fill", {}},
    {S::SP_MediaSkipForward, "forward.fill", {}},
    {S::SP_MediaSeekForward, "forward.fill", {}},
    {S::SP_MediaSkipBackward, "backward.fill", {}},
    {S::SP_MediaSeekBackward, "backward.fill", {}},
    {S::SP_DesktopIcon, nullptr, {}},
    {S::SP_ComputerIcon, nullptr, {}},
    {S::SP_DriveFDIcon, nullptr, {}},
    {S::SP_DriveHDIcon, nullptr, {}},
    {S::SP_DriveCDIcon, nullptr, {}},
    {S::SP_DriveDVDIcon, nullptr, {}},
    {S::SP_DirHomeIcon, nullptr, {}},
    {S::SP_CommandLink, nullptr, {}},
    {S::SP_DialogOkButton, nullptr, {}},
    {S::SP_DialogCancelButton, nullptr, {}},
    {S::SP_DialogHelpButton, nullptr, {}},
    {S::SP_DialogOpenButton, nullptr, {}},
    {S::SP_DialogSaveButton, nullptr, {}},
    {S::SP_DialogCloseButton, nullptr, {}},
    {S::SP_DialogApplyButton, nullptr, {}},
    {S::SP_DialogResetButton, nullptr, {}},
    {S::SP_DialogDiscardButton, nullptr, {}},
    {S::SP_DialogYesButton, nullptr, {}},
    {S::SP_DialogNoButton, nullptr, {}},
    {S::SP_BrowserStop, nullptr, {}},
    {S::SP_MediaStop, nullptr, {}},
    {S::SP_MediaVolume, nullptr, {}},
    {S::SP_MediaVolumeMuted, nullptr, {}},
};

const ThemedIcon* themedIcon(QStyle::StandardPixmap icon) {
    const auto found = std::find_if(std::begin(kThemedIcons), std::end(kThemedIcons),
                                    [icon](const ThemedIcon& themed) { return themed.icon == icon; });
    return found == std::end(kThemedIcons) ? nullptr : found;
}

} // namespace

LazyStandardIconStyle::LazyStandardIconStyle(QStyle* base) : QProxyStyle(base) {}

QIcon LazyStandardIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                          const QWidget* widget) const {
    if (const ThemedIcon* themed = themedIcon(standardIcon)) {
        if (!themed->glyph) return {};
        const QColor text = widget ? widget->palette().color(QPalette::WindowText)
                                   : QApplication::palette().color(QPalette::WindowText);
        return QIcon(new GlyphIconEngine(QString::fromLatin1(themed->glyph),
                                         themed->color ? QColor::fromRgba(*themed->color) : text));
    }
    if (standardIcon != SP_ToolBarHorizontalExtensionButton &&
        standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // The arrows depend on neither the option nor the widget, which may be gone by then.
    const QPointer<QStyle> base(baseStyle());
    return QIcon(new DeferredIconEngine(
        [base, standardIcon] { return base ? base->standardIcon(standardIcon) : QIcon(); }));
}

} // namespace vantrel
