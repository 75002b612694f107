#include "modules/ClipboardCapturePolicy.h"
#include "platform/linux/QtPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>
#include <vector>

using namespace vantrel;

TEST(QtPasteboard, CountsEveryChangeAndTreatsPasswordManagerSecretsAsConcealed) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QtPasteboard pasteboard(clipboard, true);
    std::vector<std::int64_t> announced;
    pasteboard.setChangeListener([&] { announced.push_back(pasteboard.changeCount()); });
    const std::int64_t start = pasteboard.changeCount();
    pasteboard.writeString("ours");
    EXPECT_EQ(pasteboard.changeCount(), start + 1) << "our own write moves the counter exactly once";
    EXPECT_EQ(announced, std::vector<std::int64_t>{start + 1}) << "announced after the counter moved";
    Q_EMIT clipboard->changed(QClipboard::Selection); // a mouse selection, as X11 reports it
    EXPECT_EQ(announced.size(), 1u) << "the primary selection is no change of the clipboard";
    EXPECT_EQ(pasteboard.string(), "ours");

    // Another program's copy reaches us as a change of the clipboard. A password manager marks
    // its secret with a hint; another value of the hint is no such request.
    for (const char* hint : {"secret", "accepted"}) {
        auto* data = new QMimeData;
        data->setText("hunter2");
        data->setData(QtPasteboard::kPasswordManagerHint, hint);
        clipboard->setMimeData(data, QClipboard::Clipboard);
        EXPECT_EQ(ClipboardCapturePolicy::allowsCapture(pasteboard.types()), hint != std::string("secret"))
            << hint;
    }
    EXPECT_EQ(pasteboard.changeCount(), start + 3);

    auto* image = new QMimeData;
    image->setData("image/png", QByteArray("\x89PNG", 4));
    clipboard->setMimeData(image, QClipboard::Clipboard);
    EXPECT_EQ(pasteboard.string(), std::nullopt) << "an item without text has no string";
    EXPECT_EQ(announced.size(), 4u);
}

TEST(QtPasteboard, OnlyTheX11ClipboardAnnouncesOtherProgramsCopies) {
    EXPECT_TRUE(QtPasteboard::platformAnnouncesChanges("xcb"));
    for (const char* platform : {"wayland", "offscreen", "eglfs", ""})
        EXPECT_FALSE(QtPasteboard::platformAnnouncesChanges(QString::fromLatin1(platform))) << platform;

    QtPasteboard silent(QGuiApplication::clipboard(), false);
    int heard = 0;
    silent.setChangeListener([&] { ++heard; });
    const std::int64_t start = silent.changeCount();
    silent.writeString("counted, not announced");
    EXPECT_FALSE(silent.announcesChanges());
    EXPECT_EQ(silent.changeCount(), start + 1);
    EXPECT_EQ(heard, 0);
}
