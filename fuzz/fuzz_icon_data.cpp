// An icon file's bytes as the icon reader checks them before any reader sees them: any bytes give
// a PNG's data sizes or none, a verdict on whether its data stays within its rows, and one on
// whether a drawing names no file but itself, without reading past the input or crashing.

#include "platform/PictureGate.h"
#include "support/FuzzSupport.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    if (const std::optional<PngData> png = pngData(bytes)) {
        FUZZ_CHECK(png->rawBytes > 0 && png->rows > 0 && png->dataBytes >= 0);
        FUZZ_CHECK(png->dataBytes <= bytes.size());
        // Data longer than its rows can take is refused whatever it holds.
        if (png->dataBytes > png->longestData()) FUZZ_CHECK(!pngDataWithinPicture(bytes));
    } else {
        FUZZ_CHECK(pngDataWithinPicture(bytes) == !bytes.startsWith("\x89PNG\r\n\x1a\n"));
    }
    drawingReadsOnlyItself(bytes);
    return 0;
}
