#include "platform/linux/GeneratedTones.h"

#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace vantrel;

namespace {
std::vector<double> samplesOf(const QByteArray& wav) {
    std::vector<double> out;
    for (qsizetype i = 44; i + 1 < wav.size(); i += 2)
        out.push_back(qFromLittleEndian<qint16>(wav.constData() + i) / 32768.0);
    return out;
}
quint32 le32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 le16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// Sign changes per second over the loudest tenth of a second: a rough pitch.
double crossingsPerSecond(const std::vector<double>& s) {
    const int window = GeneratedTones::kSampleRate / 10;
    std::size_t start = 0;
    double best = -1;
    for (std::size_t i = 0; i + window < s.size(); i += window / 4) {
        double energy = 0;
        for (int k = 0; k < window; ++k)
            energy += s[i + k] * s[i + k];
        if (energy > best) best = energy, start = i;
    }
    int crossings = 0;
    for (int k = 1; k < window && start + k < s.size(); ++k)
        crossings += (s[start + k - 1] < 0) != (s[start + k] < 0);
    return crossings * 10.0;
}
} // namespace

TEST(GeneratedTones, SixShortCleanTonesOfTheirOwnCharacter) {
    const QStringList names = GeneratedTones::names();
    EXPECT_EQ(names, (QStringList{"Glass", "Ping", "Pop", "Hero", "Purr", "Submarine"}));
    std::set<long> pitches;
    std::set<std::size_t> lengths;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const auto wav = GeneratedTones::wav(name);
        ASSERT_TRUE(wav.has_value());
        ASSERT_GT(wav->size(), 44);
        EXPECT_EQ(wav->left(4), "RIFF");
        EXPECT_EQ(wav->mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(le32(*wav, 4), quint32(wav->size() - 8));
        EXPECT_EQ(le16(*wav, 20), 1); // PCM
        EXPECT_EQ(le16(*wav, 22), 1); // mono
        EXPECT_EQ(le32(*wav, 24), quint32(GeneratedTones::kSampleRate));
        EXPECT_EQ(le16(*wav, 34), 16); // bits
        EXPECT_EQ(wav->mid(36, 4), "data");
        EXPECT_EQ(le32(*wav, 40), quint32(wav->size() - 44));

        const std::vector<double> s = samplesOf(*wav);
        const double seconds = double(s.size()) / GeneratedTones::kSampleRate;
        EXPECT_GE(seconds, 0.1);
        EXPECT_LE(seconds, 1.5);
        double peak = 0;
        for (double v : s)
            peak = std::max(peak, std::abs(v));
        EXPECT_GT(peak, 0.5) << "audible";
        EXPECT_LT(peak, 0.9) << "never clipping";
        // Soft start and end: no click at either end.
        EXPECT_LT(std::abs(s.front()), 0.01);
        EXPECT_LT(std::abs(s.back()), 0.01);
        pitches.insert(std::lround(crossingsPerSecond(s) / 100)); // in 50 Hz steps
        lengths.insert(s.size());
    }
    EXPECT_EQ(pitches.size(), 6u) << "each tone sounds different";
    EXPECT_EQ(lengths.size(), 6u);
}

TEST(GeneratedTones, UnknownNamesHaveNoTone) {
    EXPECT_FALSE(GeneratedTones::wav("glass").has_value());
    EXPECT_FALSE(GeneratedTones::wav("").has_value());
    EXPECT_FALSE(GeneratedTones::wav("Basso").has_value());
}
