// The system Dock's snapshot as a restore reads it from our own settings: any bytes in place of
// "com.vantrel.mac.json" are restored without a fault. With neither flag set nothing runs; with
// one set, every command the restore gives is one the system Dock's settings take (a known key, a
// type option they know, a number that reads as one), the restore succeeds and leaves nothing
// pending, on disk too; and restoring into the simulated domain succeeds as well.

#include "dock/ProcessDockDefaultsClient.h"
#include "dock/SystemDockSuppressor.h"
#include "platform/InMemoryDefaults.h"
#include "platform/linux/JsonFileDefaults.h"
#include "support/FuzzSupport.h"
#include "support/ManualClock.h"
#include "support/RecordingDockDefaultsClient.h"
#include "support/RecordingSystemLog.h"

#include <QFile>
#include <QSet>
#include <cmath>

using namespace vantrel;

namespace {

const QString kDomain = QStringLiteral("com.vantrel.mac");

const QSet<QString> kManagedKeys = {
    "autohide",  "autohide-delay", "autohide-time-modifier", "tilesize",
    "largesize", "magnification",  "show-recents",           "show-process-indicators"};

// The system Dock as a user left it: some of its keys set, others absent.
void seedDock(test::RecordingDockDefaultsClient& client) {
    client.values = {{"autohide-time-modifier", "0.5"}, {"show-process-indicators", "1"}, {"tilesize", "1"}};
    client.types = {{"autohide-time-modifier", "-float"}, {"show-process-indicators", "-bool"}};
}

void checkCommand(const QString& command) {
    const QStringList words = command.split(QLatin1Char(' '));
    FUZZ_CHECK(!words.isEmpty());
    if (words[0] == u"restart") return;
    FUZZ_CHECK(words.size() >= 2 && kManagedKeys.contains(words[1]));
    if (words[0] == u"read" || words[0] == u"delete") return;
    FUZZ_CHECK(words[0] == u"write" && words.size() >= 4);
    const QString& flag = words[2];
    const QString value = words.mid(3).join(QLatin1Char(' '));
    if (flag == u"-bool") {
        FUZZ_CHECK(value == u"true" || value == u"false");
    } else if (flag == u"-float") {
        bool ok = false;
        const double number = value.toDouble(&ok);
        FUZZ_CHECK(ok && std::isfinite(number));
    } else {
        FUZZ_CHECK(flag == u"-string");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString folder = fuzz::emptyScratchFolder();
    const QByteArray input = fuzz::bytesOf(data, size);
    {
        QFile file(folder + '/' + kDomain + QStringLiteral(".json"));
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(input) == input.size());
    }
    test::ManualClock clock;
    test::RecordingSystemLog log;
    bool pending = false;
    QJsonObject snapshot;
    {
        // As the crash handler's instance does: the file read afresh, every change written at once.
        JsonFileDefaults store(kDomain, folder, nullptr, clock, log);
        for (const QString& key : store.keys()) snapshot.insert(key, store.object(key));
        pending = SystemDockProcess::hasPendingRestore(store);
        test::RecordingDockDefaultsClient client;
        seedDock(client);
        const bool restored = SystemDockSuppressor{client, store}.restorePreservedState();
        FUZZ_CHECK(restored);
        if (!pending) FUZZ_CHECK(client.commands.entries.isEmpty());
        for (const QString& command : client.commands.entries) checkCommand(command);
        if (pending) FUZZ_CHECK(client.commands.entries.last() == QStringLiteral("restart"));
        FUZZ_CHECK(!SystemDockProcess::hasPendingRestore(store));
    }
    JsonFileDefaults reread(kDomain, folder, nullptr, clock, log);
    FUZZ_CHECK(!SystemDockProcess::hasPendingRestore(reread));

    // The same snapshot restored into the simulated system Dock domain.
    InMemoryDefaultsProvider defaults;
    for (auto it = snapshot.begin(); it != snapshot.end(); ++it)
        defaults.standard().set(it.key(), it.value());
    ProcessDockDefaultsClient simulated(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
    FUZZ_CHECK((SystemDockSuppressor{simulated, defaults.standard()}.restorePreservedState()));
    for (const QString& key : defaults.suite(QStringLiteral("com.apple.dock")).keys())
        FUZZ_CHECK(kManagedKeys.contains(key));
    return 0;
}
