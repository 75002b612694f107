#include "modules/ClipboardCapturePolicy.h"
#include "platform/linux/QtPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

// What a password manager such as KeePassXC puts on the clipboard for a secret.
QMimeData* passwordManagerItem(const QByteArray& hint) {
    auto* data = new QMimeData;
    data->setText(QStringLiteral("hunter2"));
    data->setData(QString::fromLatin1(QtPasteboard::kPasswordManagerHint), hint);
    return data;
}

TEST(QtPasteboard, CountsEveryChangeAndReadsTypesAndText) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QtPasteboard pasteboard(clipboard);
    const std::int64_t start = pasteboard.changeCount();

    pasteboard.writeString(QStringLiteral("ours"));
    EXPECT_EQ(pasteboard.changeCount(), start + 1) << "our own write moves the counter exactly once";
    EXPECT_EQ(pasteboard.string(), QStringLiteral("ours"));
    EXPECT_TRUE(pasteboard.types().contains(QStringLiteral("text/plain")));

    // Another program's copy reaches us as a change of the clipboard.
    auto* image = new QMimeData;
    image->setData(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
    clipboard->setMimeData(image, QClipboard::Clipboard);
    EXPECT_EQ(pasteboard.changeCount(), start + 2);
    EXPECT_EQ(pasteboard.string(), std::nullopt) << "an item without text has no string";
}

TEST(QtPasteboard, PasswordManagerSecretsCountAsConcealed) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QtPasteboard pasteboard(clipboard);

    clipboard->setMimeData(passwordManagerItem("secret"), QClipboard::Clipboard);
    EXPECT_TRUE(pasteboard.types().contains(QString::fromLatin1(QtPasteboard::kConcealedType)));
    EXPECT_FALSE(ClipboardCapturePolicy::allowsCapture(pasteboard.types()));

    clipboard->setMimeData(passwordManagerItem("accepted"), QClipboard::Clipboard);
    EXPECT_FALSE(pasteboard.types().contains(QString::fromLatin1(QtPasteboard::kConcealedType)));
    EXPECT_TRUE(ClipboardCapturePolicy::allowsCapture(pasteboard.types()));
}

} // namespace
