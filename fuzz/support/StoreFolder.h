#pragma once

#include "core/LocalPersistence.h"
#include "support/FuzzSupport.h"
#include "support/ManualClock.h"
#include "support/RecordingSystemLog.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace vantrel::fuzz {

// The in-memory data folder with the fuzzer's bytes in place of one store's file, and the
// persistence the store reads it through, as the application sets it up at start-up.
struct StoreFolder {
    inline static const QString kFolder = QStringLiteral("/fuzz/data");

    StoreFolder(const QString& fileName, const uint8_t* data, size_t size)
        : input(bytesOf(data, size)),
          persistence(withFile(fileName), clock, log, QStringLiteral("com.vantrel.mac")) {}

    // Whether some other file whose name starts with `prefix` holds the input bytes intact: the
    // copy a store sets aside before its first save replaces a file.
    bool keptAside(const QString& fileName, const QString& prefix = {}) const {
        for (const QString& name : files.contentsOfDirectory(kFolder))
            if (name != fileName && name.startsWith(prefix) && *files.find(kFolder + '/' + name) == input)
                return true;
        return false;
    }

    // Whether the file still holds the input bytes in its own place.
    bool inPlace(const QString& fileName) const {
        const auto* held = files.find(kFolder + '/' + fileName);
        return held && *held == input;
    }

    test::ManualClock clock;
    test::RecordingSystemLog log;
    InMemoryFileManager files;
    const QByteArray input;
    LocalPersistence persistence;

private:
    // The file is in place before the persistence first looks at the folder.
    LocalPersistence::Store withFile(const QString& fileName) {
        files.put(kFolder + '/' + fileName, input);
        return {kFolder, &files};
    }
};

} // namespace vantrel::fuzz
