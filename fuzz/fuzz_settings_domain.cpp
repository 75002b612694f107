// A settings domain file as the settings read it at start-up: any bytes in place of
// "com.vantrel.mac.json" give every setting a usable value (a damaged file is first copied aside,
// bytes intact), and what the settings then write reads back as the same settings and values.
// The file shelf and the hot keys keep their data in the same file and read it at start-up too.

#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "modules/FileShelfStore.h"
#include "platform/linux/JsonFileDefaults.h"
#include "services/HotkeyManager.h"
#include "support/FuzzSupport.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingSharingService.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWorkspace.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <vector>

using namespace vantrel;

namespace {

const QString kDomain = QStringLiteral("com.vantrel.mac");

QJsonObject contentsOf(const UserDefaults& defaults) {
    QJsonObject values;
    for (const QString& key : defaults.keys()) values.insert(key, defaults.object(key));
    return values;
}

std::vector<QJsonValue> settingsOf(const VantrelPreferences& preferences) {
    std::vector<QJsonValue> values;
    for (int i = 0; i < VantrelPreferences::settingCount; ++i)
        values.push_back(preferences.storedValue(static_cast<VantrelPreferences::Setting>(i)));
    return values;
}

// The shelf over `defaults`, with everything it may touch in memory.
struct Shelf {
    Shelf(UserDefaults& defaults, VantrelPreferences& preferences, test::ManualClock& clock)
        : scheduler(clock), haptics(preferences, performer, scheduler),
          store(defaults, files, clock, scheduler, workspace, sharing, haptics) {}

    test::ManualScheduler scheduler;
    fuzz::InMemoryFileManager files;
    test::RecordingWorkspace workspace;
    test::RecordingSharingService sharing;
    test::RecordingHapticPerformer performer;
    VantrelHaptics haptics;
    FileShelfStore store;
};

std::vector<std::optional<WallTime>> expirations(const FileShelfStore& shelf) {
    std::vector<std::optional<WallTime>> out;
    for (const QUrl& url : shelf.items()) out.push_back(shelf.expiration(url));
    return out;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString folder = fuzz::emptyScratchFolder();
    const QString path = folder + '/' + kDomain + QStringLiteral(".json");
    const QByteArray input = fuzz::bytesOf(data, size);
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(input) == input.size());
    }
    const bool decodes = JsonFileDefaults::decode(input).has_value();

    test::ManualClock clock;
    test::ManualScheduler scheduler(clock);
    test::RecordingSystemLog log;
    std::vector<QJsonValue> settings;
    QJsonObject written;
    QList<QUrl> shelved;
    std::vector<std::optional<WallTime>> expiring;
    std::map<HotkeyAction, VantrelHotkey> bindings;
    {
        JsonFileDefaults defaults(kDomain, folder, &scheduler, clock, log);
        VantrelPreferences preferences(defaults);
        settings = settingsOf(preferences);
        // Every setting assigned as read is every setting written back.
#define VANTREL_FUZZ_ASSIGN_(name, Name, key, Type, fallback, rule) preferences.set##Name(preferences.name());
        VANTREL_PREFERENCE_SETTINGS(VANTREL_FUZZ_ASSIGN_)
#undef VANTREL_FUZZ_ASSIGN_
        FUZZ_CHECK(settingsOf(preferences) == settings);
        bindings = HotkeyManager(defaults).bindings();
        // The shelf writes its items back as soon as it has read them.
        Shelf shelf(defaults, preferences, clock);
        shelved = shelf.store.items();
        expiring = expirations(shelf.store);
        FUZZ_CHECK(shelved.size() <= FileShelfStore::kMaximumItems);
        defaults.flush();
        written = contentsOf(defaults);
    }
    if (!decodes) {
        bool keptAside = false;
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            if (name.startsWith(kDomain + QStringLiteral(".corrupt-")) &&
                readFile(folder + '/' + name) == input)
                keptAside = true;
        FUZZ_CHECK(keptAside);
    }

    JsonFileDefaults again(kDomain, folder, &scheduler, clock, log);
    FUZZ_CHECK(contentsOf(again) == written);
    VantrelPreferences reread(again);
    FUZZ_CHECK(settingsOf(reread) == settings);
    FUZZ_CHECK(HotkeyManager(again).bindings() == bindings);
    Shelf shelf(again, reread, clock);
    FUZZ_CHECK(shelf.store.items() == shelved);
    FUZZ_CHECK(expirations(shelf.store) == expiring);
    return 0;
}
