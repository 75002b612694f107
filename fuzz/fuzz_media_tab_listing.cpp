// A browser's tab listing as the media controller reads it (records of title, U+001F, address,
// U+001E, built from what each MPRIS browser instance reports): any listing gives at most one
// media tab, on http or https at a known media site; and a tab record built from a page's title
// and address always reads back as that address, whatever the page put in its title. The same
// text cut into six answers is read as a player's state: times come out finite, never negative.

#include "modules/MediaPlaybackPolicy.h"
#include "platform/linux/MprisMediaAutomation.h"
#include "support/FuzzSupport.h"

#include <QRegularExpression>
#include <QUrl>
#include <cmath>

using namespace vantrel;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString listing = QString::fromUtf8(fuzz::bytesOf(data, size));
    const QString browser = QStringLiteral("Google Chrome");
    const QString bundle = QStringLiteral("com.google.Chrome");

    if (const auto tab = MediaPlaybackPolicy::firstMediaTab(listing, browser, bundle)) {
        const QUrl url(tab->url, QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        FUZZ_CHECK(scheme == QStringLiteral("http") || scheme == QStringLiteral("https"));
        FUZZ_CHECK(!tab->siteName.isEmpty());
        FUZZ_CHECK(!tab->url.contains(QChar(0x1E)) && !tab->url.contains(QChar(0x1F)));
        FUZZ_CHECK(tab->browser == browser && tab->bundleIdentifier == bundle);
    }

    // The same text as one page's metadata: the title up to the first line break, the address after.
    const qsizetype cut = listing.indexOf(QLatin1Char('\n'));
    const QString title = cut < 0 ? listing : listing.left(cut);
    const QString address = cut < 0 ? QString() : listing.mid(cut + 1);
    const QString record =
        mpris::tabRecord({{QStringLiteral("xesam:title"), title}, {QStringLiteral("xesam:url"), address}});
    FUZZ_CHECK(record.count(QChar(0x1E)) <= 1 && record.count(QChar(0x1F)) <= 1);
    if (const auto tab = MediaPlaybackPolicy::firstMediaTab(record, browser, bundle)) {
        QString expected = address;
        expected.remove(QChar(0x1E));
        expected.remove(QChar(0x1F));
        FUZZ_CHECK(tab->url == expected);
    }

    const QStringList fields = listing.split(QChar(0x1F));
    for (const QString& source : {MediaPlaybackPolicy::kMusic, MediaPlaybackPolicy::kSpotify}) {
        const auto snapshot = MediaPlaybackPolicy::snapshot(fields, source);
        FUZZ_CHECK(snapshot.has_value() == (fields.size() == 6));
        if (!snapshot) continue;
        FUZZ_CHECK(std::isfinite(snapshot->elapsed) && snapshot->elapsed >= 0);
        FUZZ_CHECK(std::isfinite(snapshot->duration) && snapshot->duration >= 0);
        static const QRegularExpression clock(QStringLiteral("^[0-9]+:[0-5][0-9]$"));
        FUZZ_CHECK(clock.match(MediaPlaybackPolicy::formatTime(snapshot->elapsed)).hasMatch());
        FUZZ_CHECK(clock.match(MediaPlaybackPolicy::formatTime(snapshot->duration)).hasMatch());
    }
    return 0;
}
