#include "app/LazyStandardIconStyle.h"

#include <QIconEngine>
#include <QPointer>
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

} // namespace

LazyStandardIconStyle::LazyStandardIconStyle(QStyle* base) : QProxyStyle(base) {}

QIcon LazyStandardIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                          const QWidget* widget) const {
    if (standardIcon != SP_ToolBarHorizontalExtensionButton &&
        standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // The arrows depend on neither the option nor the widget, which may be gone by then.
    const QPointer<QStyle> base(baseStyle());
    return QIcon(new DeferredIconEngine(
        [base, standardIcon] { return base ? base->standardIcon(standardIcon) : QIcon(); }));
}

} // namespace vantrel
