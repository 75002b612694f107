#include "core/PreferenceEnums.h"
#include "platform/linux/GeneratedTones.h"

#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace vantrel;

namespace {
// Sign changes per second over the loudest tenth of a second: a rough pitch.
double crossingsPerSecond(const std::vector<double>& s) {
    const std::size_t window = GeneratedTones::kSampleRate / 10;
    std::size_t start = 0;
    double best = -1;
    for (std::size_t i = 0; i + window < s.size(); i += window / 4) {
        double energy = 0;
        for (std::size_t k = i; k < i + window; ++k) energy += s[k] * s[k];
        if (energy > best) best = energy, start = i;
    }
    int crossings = 0;
    for (std::size_t k = start + 1; k < start + window && k < s.size(); ++k)
        crossings += (s[k - 1] < 0) != (s[k] < 0);
    return crossings * 10.0;
}
} // namespace

TEST(GeneratedTones, EveryAlarmSoundHasAShortCleanToneOfItsOwn) {
    std::set<long> pitches;
    for (AlarmSound sound : allCasesOf<AlarmSound>()) {
        const std::optional<QString> name = systemSoundName(sound);
        if (!name) continue;
        SCOPED_TRACE(name->toStdString());
        const QByteArray wav = GeneratedTones::wav(*name).value_or(QByteArray(44, 0));
        // A 16-bit mono PCM WAV whose sizes match its length.
        const auto le32 = [&](int at) { return qFromLittleEndian<quint32>(wav.constData() + at); };
        EXPECT_TRUE(wav.startsWith("RIFF") && wav.mid(8, 8) == "WAVEfmt " && wav.mid(36, 4) == "data");
        EXPECT_EQ(std::vector({le32(4), le32(20), le32(24), le32(40)}),
                  std::vector({quint32(wav.size() - 8), 0x10001u, quint32(GeneratedTones::kSampleRate),
                               quint32(wav.size() - 44)}));
        std::vector<double> s;
        double peak = 0;
        for (qsizetype i = 44; i + 1 < wav.size(); i += 2) {
            s.push_back(qFromLittleEndian<qint16>(wav.constData() + i) / 32768.0);
            peak = std::max(peak, std::abs(s.back()));
        }
        const double seconds = double(s.size()) / GeneratedTones::kSampleRate;
        EXPECT_TRUE(seconds >= 0.1 && seconds <= 1.5) << seconds;
        EXPECT_TRUE(peak > 0.5 && peak < 0.9) << "audible, never clipping: " << peak;
        EXPECT_LT(std::abs(s.front()) + std::abs(s.back()), 0.01) << "no click at either end";
        pitches.insert(std::lround(crossingsPerSecond(s) / 100)); // in 50 Hz steps
    }
    EXPECT_EQ(pitches.size(), 6u) << "each tone sounds different";
    EXPECT_FALSE(GeneratedTones::wav("glass").has_value());
}
