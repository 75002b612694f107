#pragma once

#include <QProxyStyle>

namespace vantrel {

// The application's own style, with two changes to its standard icons.
// - The toolbar and menu bar overflow arrows are read from their image files when first drawn
//   rather than when asked for. A menu bar asks for its arrow as it is built, and reading that
//   file has Qt load every image format plugin, with the libraries behind them, before the first
//   frame, for an arrow that shows only when the menus do not fit.
// - No standard icon is looked up in the desktop's icon theme: the style would ask Qt's theme
//   loader, which opens whatever file the user's theme folders hold under the icon's name
//   without a bound (a FIFO named dialog-warning.png stalls a message box for good). The message
//   box icons and the file dialog's buttons are the kit's glyphs; the other icons the style would
//   take from the theme are left out.
class LazyStandardIconStyle final : public QProxyStyle {
public:
    // Takes ownership of `base`.
    explicit LazyStandardIconStyle(QStyle* base);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace vantrel
