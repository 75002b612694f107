// A settings domain file as the settings read it at start-up: any bytes in place of
// "com.vantrel.mac.json" give every setting a usable value (a damaged file is first copied aside,
// bytes intact), and what the settings then write reads back as the same settings and values.

#include "core/VantrelPreferences.h"
#include "platform/linux/JsonFileDefaults.h"
#include "support/FuzzSupport.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/RecordingSystemLog.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <vector>

using namespace vantrel;

namespace {

const QString kDomain = QStringLiteral("com.vantrel.mac");

QJsonObject contentsOf(const UserDefaults& defaults) {
    QJsonObject values;
    for (const QString& key : defaults.keys())
        values.insert(key, defaults.object(key));
    return values;
}

std::vector<QJsonValue> settingsOf(const VantrelPreferences& preferences) {
    std::vector<QJsonValue> values;
    for (int i = 0; i < VantrelPreferences::settingCount; ++i)
        values.push_back(preferences.storedValue(static_cast<VantrelPreferences::Setting>(i)));
    return values;
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
    {
        JsonFileDefaults defaults(kDomain, folder, &scheduler, clock, log);
        VantrelPreferences preferences(defaults);
        settings = settingsOf(preferences);
        // Every setting assigned as read is every setting written back.
#define VANTREL_FUZZ_ASSIGN_(name, Name, key, Type, fallback, rule) preferences.set##Name(preferences.name());
        VANTREL_PREFERENCE_SETTINGS(VANTREL_FUZZ_ASSIGN_)
#undef VANTREL_FUZZ_ASSIGN_
        FUZZ_CHECK(settingsOf(preferences) == settings);
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
    return 0;
}
