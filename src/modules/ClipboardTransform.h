#pragma once

#include "platform/EnumTraits.h"

namespace vantrel {

// The rewrites offered on a clipboard entry: "Copy Summary", "Clean Up Formatting", "Make Concise".
#define VANTREL_CLIPBOARD_TRANSFORM_CASES(C) C(summary) C(cleanUp) C(concise)
VANTREL_STRING_ENUM(ClipboardTransform, VANTREL_CLIPBOARD_TRANSFORM_CASES)
#undef VANTREL_CLIPBOARD_TRANSFORM_CASES

} // namespace vantrel

namespace vantrel {

// Formatting clean-up shared by every transform: blank lines dropped, each line trimmed, every run
// of inner white space made one space, the whole trimmed.
QString cleanedClipboardText(const QString& text);
// The text that the transform copies for an entry whose text is `text`.
QString transformedClipboardText(ClipboardTransform transform, const QString& text);

} // namespace vantrel
