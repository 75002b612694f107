#include "app/LazyStandardIconStyle.h"
#include "platform/linux/QtAlertPresenter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // Every icon the style draws without the theme comes straight from the style.
    counting->asked = 0;
    const QIcon close = style.standardIcon(QStyle::SP_TitleBarCloseButton);
    EXPECT_EQ(counting->asked, 1);
    EXPECT_EQ(close.pixmap(QSize(16, 16)).toImage(),
              reference->standardIcon(QStyle::SP_TitleBarCloseButton).pixmap(QSize(16, 16)).toImage());
}

// A FIFO where the user's icon theme keeps the warning icon. Held open at both ends here, so
// that whoever opens it is not stuck in open(), and filled, so that a reader takes bytes out of
// it rather than waiting for them: the bytes left tell whether anything read it.
TEST(LazyStandardIconStyle, AWarningAlertNeverOpensTheThemesIconFile) {
    QTemporaryDir home;
    const QString theme = home.path() + QStringLiteral("/.local/share/icons/hicolor");
    ASSERT_TRUE(QDir().mkpath(theme + QStringLiteral("/48x48/status")));
    QFile index(theme + QStringLiteral("/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=hicolor\nDirectories=48x48/status\n\n[48x48/status]\nSize=48\n"
                "Context=Status\nType=Threshold\n");
    index.close();
    const QByteArray fifo = QFile::encodeName(theme + QStringLiteral("/48x48/status/dialog-warning.png"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_GE(writer, 0);
    constexpr int kFilled = 1 << 20;
    ASSERT_GE(::fcntl(writer, F_SETPIPE_SZ, kFilled), kFilled);
    const QByteArray filler(kFilled, 'x');
    ASSERT_EQ(::write(writer, filler.constData(), kFilled), kFilled);

    const QStringList paths = QIcon::themeSearchPaths();
    const QString name = QIcon::themeName();
    QIcon::setThemeSearchPaths({home.path() + QStringLiteral("/.local/share/icons")});
    QIcon::setThemeName(QStringLiteral("hicolor"));
    QApplication::setStyle(new LazyStandardIconStyle(QStyleFactory::create(QStringLiteral("Fusion"))));

    bool shown = false;
    QPixmap icon;
    QTimer::singleShot(0, qApp, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->isVisible();
            icon = box->iconPixmap();
            box->reject();
        }
    });
    QtAlertPresenter presenter;
    presenter.run({AlertPresenter::Style::warning,
                   QStringLiteral("Empty Trash?"),
                   QString(),
                   {QStringLiteral("Empty Trash"), QStringLiteral("Cancel")}});

    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QIcon::setThemeName(name);
    QIcon::setThemeSearchPaths(paths);
    int left = 0;
    ::ioctl(reader, FIONREAD, &left);
    ::close(writer);
    ::close(reader);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(icon.isNull()) << "the alert shows its warning sign";
    EXPECT_EQ(left, kFilled) << "the theme's dialog-warning.png was read";
}
