#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vantrel::GeneratedTones {

inline constexpr int kSampleRate = 44100;

// The alarm tones this system synthesises for itself, "Glass", "Ping", "Pop", "Hero", "Purr" and
// "Submarine", each as a short 16-bit PCM mono WAV file; none for a name that is not one of ours.
std::optional<QByteArray> wav(const QString& name);

} // namespace vantrel::GeneratedTones
