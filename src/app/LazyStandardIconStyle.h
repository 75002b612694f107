#pragma once

#include <QProxyStyle>

namespace vantrel {

// The application's own style, except that the toolbar and menu bar overflow arrows are read
// from their image files when first drawn rather than when asked for. A menu bar asks for its
// arrow as it is built, and reading that file has Qt load every image format plugin, with the
// libraries behind them, before the first frame, for an arrow that shows only when the menus do
// not fit.
class LazyStandardIconStyle final : public QProxyStyle {
public:
    // Takes ownership of `base`.
    explicit LazyStandardIconStyle(QStyle* base);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace vantrel
