#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace vantrel::GeneratedTones {

inline constexpr int kSampleRate = 44100;

// The alarm tones this system synthesises for itself: "Glass", "Ping", "Pop", "Hero", "Purr" and
// "Submarine", each a short mono tone.
QStringList names();

// The tone as a 16-bit PCM mono WAV file, or none for a name that is not one of ours.
std::optional<QByteArray> wav(const QString& name);

} // namespace vantrel::GeneratedTones
