#include "app/LazyStandardIconStyle.h"

#include "kit/GlyphCatalogue.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>
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

struct Glyph {
    const char* name;
    std::optional<QColor> color; // else the widget's text colour
};

// What the style would otherwise look up in the icon theme (every other one it draws itself or
// reads from Qt's own resources), and the glyph drawn instead, if any.
std::optional<std::optional<Glyph>> themedIcon(QStyle::StandardPixmap icon) {
    using S = QStyle;
    switch (icon) {
    case S::SP_MessageBoxInformation:
        return Glyph{"info.circle", QColor(0, 122, 255)};
    case S::SP_MessageBoxWarning:
        return Glyph{"exclamationmark.triangle.fill", QColor(255, 149, 0)};
    case S::SP_MessageBoxCritical:
        return Glyph{"xmark.circle", QColor(255, 59, 48)};
    case S::SP_MessageBoxQuestion:
        return Glyph{"questionmark.circle", QColor(0, 122, 255)};
    case S::SP_TrashIcon:
        return Glyph{"trash.fill", {}};
    case S::SP_DirOpenIcon:
    case S::SP_DirClosedIcon:
    case S::SP_DirLinkIcon:
    case S::SP_DirIcon:
    case S::SP_FileDialogNewFolder:
        return Glyph{"folder.fill", {}};
    case S::SP_FileIcon:
    case S::SP_FileLinkIcon:
        return Glyph{"doc", {}};
    case S::SP_FileDialogToParent:
        return Glyph{"arrow.up", {}};
    case S::SP_FileDialogDetailedView:
        return Glyph{"line.3.horizontal.decrease", {}};
    case S::SP_FileDialogListView:
        return Glyph{"square.grid.2x2", {}};
    case S::SP_FileDialogBack:
    case S::SP_ArrowBack:
    case S::SP_ArrowLeft:
        return Glyph{"chevron.left", {}};
    case S::SP_ArrowForward:
    case S::SP_ArrowRight:
        return Glyph{"chevron.right", {}};
    case S::SP_ArrowUp:
        return Glyph{"chevron.up", {}};
    case S::SP_ArrowDown:
        return Glyph{"chevron.down", {}};
    case S::SP_LineEditClearButton:
        return Glyph{"xmark.circle", {}};
    case S::SP_BrowserReload:
        return Glyph{"arrow.triangle.2.circlepath", {}};
    case S::SP_MediaPlay:
        return Glyph{"play.fill", {}};
    case S::SP_MediaPause:
        return Glyph{"pause.fill", {}};
    case S::SP_MediaSkipForward:
    case S::SP_MediaSeekForward:
        return Glyph{"forward.fill", {}};
    case S::SP_MediaSkipBackward:
    case S::SP_MediaSeekBackward:
        return Glyph{"backward.fill", {}};
    case S::SP_DesktopIcon:
    case S::SP_ComputerIcon:
    case S::SP_DriveFDIcon:
    case S::SP_DriveHDIcon:
    case S::SP_DriveCDIcon:
    case S::SP_DriveDVDIcon:
    case S::SP_DirHomeIcon:
    case S::SP_CommandLink:
    case S::SP_DialogOkButton:
    case S::SP_DialogCancelButton:
    case S::SP_DialogHelpButton:
    case S::SP_DialogOpenButton:
    case S::SP_DialogSaveButton:
    case S::SP_DialogCloseButton:
    case S::SP_DialogApplyButton:
    case S::SP_DialogResetButton:
    case S::SP_DialogDiscardButton:
    case S::SP_DialogYesButton:
    case S::SP_DialogNoButton:
    case S::SP_BrowserStop:
    case S::SP_MediaStop:
    case S::SP_MediaVolume:
    case S::SP_MediaVolumeMuted:
        return std::optional<Glyph>();
    default:
        return std::nullopt;
    }
}

} // namespace

LazyStandardIconStyle::LazyStandardIconStyle(QStyle* base) : QProxyStyle(base) {}

QIcon LazyStandardIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                          const QWidget* widget) const {
    if (const auto themed = themedIcon(standardIcon)) {
        if (!*themed) return {};
        const QColor text = widget ? widget->palette().color(QPalette::WindowText)
                                   : QApplication::palette().color(QPalette::WindowText);
        return QIcon(
            new GlyphIconEngine(QString::fromLatin1((*themed)->name), (*themed)->color.value_or(text)));
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
