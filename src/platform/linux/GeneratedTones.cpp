#include "platform/linux/GeneratedTones.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace vantrel::GeneratedTones {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kPeak = 0.7;     // of full scale: loud enough, never clipping
constexpr double kAttack = 0.005; // a soft start, so the tone begins without a click
constexpr double kRelease = 0.02; // and a soft end

double strike(double t, double decay) {
    return t < 0 ? 0.0 : std::exp(-t / decay);
}
double sine(double frequency, double t) {
    return std::sin(kTwoPi * frequency * t);
}

struct Tone {
    const char* name;
    double duration;
    // Samples the whole tone at once: the pop needs a running phase for its falling pitch.
    std::function<std::vector<double>(int count)> synthesise;
};

std::vector<double> sampled(int count, const std::function<double(double)>& at) {
    std::vector<double> out(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) out[static_cast<std::size_t>(i)] = at(double(i) / kSampleRate);
    return out;
}

// A struck glass: a high fundamental with two quickly fading inharmonic partials.
std::vector<double> glass(int count) {
    return sampled(count, [](double t) {
        return sine(1760.0, t) * strike(t, 0.30) + 0.35 * sine(3520.0, t) * strike(t, 0.15) +
               0.25 * sine(4857.6, t) * strike(t, 0.10);
    });
}

// A short bright ping with its octave.
std::vector<double> ping(int count) {
    return sampled(count, [](double t) {
        return sine(1318.5, t) * strike(t, 0.12) + 0.2 * sine(2637.0, t) * strike(t, 0.06);
    });
}

// A drop in pitch from 900 Hz to 250 Hz over a few hundredths of a second.
std::vector<double> pop(int count) {
    std::vector<double> out(static_cast<std::size_t>(count));
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / kSampleRate;
        const double frequency = 250.0 + 650.0 * std::exp(-t / 0.025);
        phase += kTwoPi * frequency / kSampleRate;
        out[static_cast<std::size_t>(i)] = std::sin(phase) * strike(t, 0.035);
    }
    return out;
}

// A rising major arpeggio, C5 E5 G5 C6.
std::vector<double> hero(int count) {
    static constexpr double notes[] = {523.25, 659.25, 783.99, 1046.50};
    return sampled(count, [](double t) {
        double sum = 0;
        for (int n = 0; n < 4; ++n) {
            const double start = 0.12 * n;
            if (t >= start) sum += sine(notes[n], t - start) * strike(t - start, n == 3 ? 0.35 : 0.22);
        }
        return sum;
    });
}

// A low soft hum that flutters 28 times a second.
std::vector<double> purr(int count) {
    return sampled(count, [](double t) {
        const double body = sine(196.0, t) + sine(588.0, t) / 9.0;
        const double flutter = 0.55 + 0.45 * sine(28.0, t);
        const double swell = std::min(1.0, t / 0.04);
        return body * flutter * swell * strike(t, 0.35);
    });
}

// A sonar ping with a faint echo.
std::vector<double> submarine(int count) {
    return sampled(count, [](double t) {
        auto ping = [](double s) { return s < 0 ? 0.0 : sine(440.0 - 12.0 * s, s) * strike(s, 0.30); };
        return ping(t) + 0.35 * ping(t - 0.38);
    });
}

const std::vector<Tone>& tones() {
    static const std::vector<Tone> all = {
        {"Glass", 0.9, glass}, {"Ping", 0.5, ping}, {"Pop", 0.16, pop},
        {"Hero", 1.0, hero},   {"Purr", 0.7, purr}, {"Submarine", 1.2, submarine},
    };
    return all;
}

void shape(std::vector<double>& samples) {
    const int count = int(samples.size());
    const int attack = int(kAttack * kSampleRate), release = int(kRelease * kSampleRate);
    for (int i = 0; i < count; ++i) {
        double gain = 1.0;
        if (i < attack) gain = double(i) / attack;
        if (i >= count - release) gain = std::min(gain, double(count - 1 - i) / release);
        samples[std::size_t(i)] *= gain;
    }
    double peak = 0;
    for (double s : samples) peak = std::max(peak, std::abs(s));
    if (peak > 0)
        for (double& s : samples) s *= kPeak / peak;
}

void appendLe32(QByteArray& out, quint32 v) {
    char bytes[4];
    qToLittleEndian(v, bytes);
    out.append(bytes, 4);
}
void appendLe16(QByteArray& out, quint16 v) {
    char bytes[2];
    qToLittleEndian(v, bytes);
    out.append(bytes, 2);
}

QByteArray encodeWav(const std::vector<double>& samples) {
    const quint32 dataSize = quint32(samples.size() * 2);
    QByteArray out;
    out.reserve(int(44 + dataSize));
    out.append("RIFF", 4);
    appendLe32(out, 36 + dataSize);
    out.append("WAVEfmt ", 8);
    appendLe32(out, 16); // size of the format chunk
    appendLe16(out, 1);  // PCM
    appendLe16(out, 1);  // mono
    appendLe32(out, kSampleRate);
    appendLe32(out, kSampleRate * 2); // bytes per second
    appendLe16(out, 2);               // bytes per frame
    appendLe16(out, 16);              // bits per sample
    out.append("data", 4);
    appendLe32(out, dataSize);
    for (double s : samples) appendLe16(out, quint16(qint16(std::lround(s * 32767.0))));
    return out;
}

} // namespace

std::optional<QByteArray> wav(const QString& name) {
    for (const Tone& tone : tones()) {
        if (name != QLatin1String(tone.name)) continue;
        std::vector<double> samples = tone.synthesise(int(tone.duration * kSampleRate));
        shape(samples);
        return encodeWav(samples);
    }
    return std::nullopt;
}

} // namespace vantrel::GeneratedTones
