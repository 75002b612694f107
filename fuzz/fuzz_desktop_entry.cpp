// An installed application entry (a ".desktop" file) as the workspace reads it for a bookmark or
// an icon: any bytes give an entry with a name, or none.

#include "platform/linux/DesktopEntry.h"
#include "support/FuzzSupport.h"

#include <QFile>

using namespace vantrel;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::scratchFolder() + QStringLiteral("/entry.desktop");
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly));
    FUZZ_CHECK(file.write(fuzz::bytesOf(data, size)) == qint64(size));
    file.close();
    if (const std::optional<DesktopEntry> entry = readDesktopEntry(path)) FUZZ_CHECK(!entry->name.isEmpty());
    return 0;
}
