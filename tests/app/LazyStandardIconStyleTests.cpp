#include "app/LazyStandardIconStyle.h"
#include "kit/GlyphCatalogue.h"
#include "platform/linux/QtAlertPresenter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
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

// The standard icons the style would look up in the theme: the message boxes' and the file
// dialog's are glyphs of their own, not the catalogue's stand-in for a name it lacks (the warning
// in orange); the others are left out.
TEST(LazyStandardIconStyle, ThemedStandardIconsAreDrawnGlyphsOrLeftOut) {
    LazyStandardIconStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    const QSize size(32, 32);
    const auto shape = [](const QImage& image) { return image.convertToFormat(QImage::Format_Alpha8); };
    QImage standIn(size, QImage::Format_ARGB32_Premultiplied);
    standIn.fill(Qt::transparent);
    {
        QPainter painter(&standIn);
        painter.setRenderHint(QPainter::Antialiasing);
        GlyphCatalogue::paint(painter, u"no.such.glyph", QRectF(QPointF(), size), Qt::black);
    }
    for (const QStyle::StandardPixmap icon : {QStyle::SP_MessageBoxInformation,
                                              QStyle::SP_MessageBoxWarning,
                                              QStyle::SP_MessageBoxCritical,
                                              QStyle::SP_MessageBoxQuestion,
                                              QStyle::SP_TrashIcon,
                                              QStyle::SP_DirIcon,
                                              QStyle::SP_FileIcon,
                                              QStyle::SP_FileDialogToParent,
                                              QStyle::SP_FileDialogDetailedView,
                                              QStyle::SP_FileDialogListView,
                                              QStyle::SP_FileDialogBack,
                                              QStyle::SP_ArrowForward,
                                              QStyle::SP_ArrowUp,
                                              QStyle::SP_ArrowDown,
                                              QStyle::SP_LineEditClearButton,
                                              QStyle::SP_BrowserReload,
                                              QStyle::SP_MediaPlay,
                                              QStyle::SP_MediaPause,
                                              QStyle::SP_MediaSkipForward,
                                              QStyle::SP_MediaSkipBackward}) {
        const QImage drawn = style.standardIcon(icon).pixmap(size).toImage();
        EXPECT_FALSE(drawn.isNull()) << "standard icon " << int(icon);
        EXPECT_NE(shape(drawn), shape(standIn)) << "standard icon " << int(icon) << " is the stand-in";
    }

    const QImage warning = style.standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size).toImage();
    bool orange = false;
    for (int y = 0; y < warning.height() && !orange; ++y)
        for (int x = 0; x < warning.width() && !orange; ++x) {
            const QColor c = warning.pixelColor(x, y);
            orange = c.alpha() == 255 && c.red() == 255 && c.green() == 149 && c.blue() == 0;
        }
    EXPECT_TRUE(orange) << "the warning sign is not orange";

    for (const QStyle::StandardPixmap icon :
         {QStyle::SP_ComputerIcon, QStyle::SP_DirHomeIcon, QStyle::SP_DialogOkButton, QStyle::SP_MediaStop})
        EXPECT_TRUE(style.standardIcon(icon).isNull()) << "standard icon " << int(icon);
}
