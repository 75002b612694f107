#include "modules/ClipboardCapturePolicy.h"
#include "platform/linux/QtPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(QtPasteboard, CountsEveryChangeAndTreatsPasswordManagerSecretsAsConcealed) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QtPasteboard pasteboard(clipboard);
    const std::int64_t start = pasteboard.changeCount();
    pasteboard.writeString("ours");
    EXPECT_EQ(pasteboard.changeCount(), start + 1) << "our own write moves the counter exactly once";
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
}
