#include "app/LazyStandardIconStyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;

namespace {

// The application's style, counting the standard icons asked of it.
class CountingStyle final : public QProxyStyle {
public:
    CountingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        ++asked;
        return QProxyStyle::standardIcon(icon, option, widget);
    }
    mutable int asked = 0;
};

} // namespace

TEST(LazyStandardIconStyle, ReadsTheOverflowArrowsWhenFirstDrawnAndDrawsThemAsTheStyleDoes) {
    auto* counting = new CountingStyle;
    LazyStandardIconStyle style(counting);
    std::unique_ptr<QStyle> reference(QStyleFactory::create(QStringLiteral("Fusion")));

    for (const QStyle::StandardPixmap arrow :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        counting->asked = 0;
        const QIcon icon = style.standardIcon(arrow);
        EXPECT_FALSE(icon.isNull());
        EXPECT_EQ(counting->asked, 0) << "asked for before anything drew it";
        const QIcon copy = icon; // a copy shares what is read
        const QImage drawn = copy.pixmap(QSize(8, 16)).toImage();
        EXPECT_EQ(counting->asked, 1);
        EXPECT_EQ(drawn, reference->standardIcon(arrow).pixmap(QSize(8, 16)).toImage());
        EXPECT_FALSE(drawn.isNull());
        icon.pixmap(QSize(8, 16));
        EXPECT_EQ(counting->asked, 1) << "read once for the icon and its copies";
    }

    // Every other icon comes straight from the style.
    counting->asked = 0;
    const QIcon trash = style.standardIcon(QStyle::SP_TrashIcon);
    EXPECT_EQ(counting->asked, 1);
    EXPECT_EQ(trash.pixmap(QSize(16, 16)).toImage(),
              reference->standardIcon(QStyle::SP_TrashIcon).pixmap(QSize(16, 16)).toImage());
}
