// Draws the four art themes' backgrounds (dark, light and their thumbnails) as PNG files:
//   vantrel_artwork <output folder>
// Every picture is computed from a few waves and a little value noise, in the hue band the
// theme's recolouring profile names, with saturations above its threshold so a custom tint
// recolours it fully.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

constexpr double kTau = 6.283185307179586;

struct Hsl {
    double h, s, l;
};

// Hash-based value noise in 0...1, smooth between lattice points.
double hash(int x, int y, int seed) {
    unsigned n = unsigned(x) * 374761393u + unsigned(y) * 668265263u + unsigned(seed) * 2246822519u;
    n = (n ^ (n >> 13)) * 1274126177u;
    return double((n ^ (n >> 16)) & 0xffffff) / double(0xffffff);
}

double noise(double x, double y, int seed) {
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = hash(xi, yi, seed), b = hash(xi + 1, yi, seed);
    const double c = hash(xi, yi + 1, seed), d = hash(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double fbm(double x, double y, int seed) {
    double sum = 0, amplitude = 0.5, total = 0;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * noise(x, y, seed + octave);
        total += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / total;
}

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double triangle(double x) {
    const double f = x - std::floor(x);
    return 1 - std::abs(2 * f - 1);
}

// Each painter maps a point (u across 0...aspect, v down 0...1) to a colour.
using Painter = std::function<Hsl(double u, double v, bool dark)>;

// Angular planes folded along sharp creases, like cleaved volcanic glass. Band centre 0.6.
Hsl obsidianFold(double u, double v, bool dark) {
    struct Fold {
        double angle, frequency, phase, weight;
    };
    static const Fold folds[] = {{0.35, 1.3, 0.1, 0.45}, {1.9, 0.9, 0.4, 0.35}, {2.7, 1.7, 0.7, 0.25},
                                 {4.1, 0.6, 0.2, 0.3}};
    double shade = 0, crease = 0;
    for (const Fold& f : folds) {
        const double d = u * std::cos(f.angle) + v * std::sin(f.angle);
        const double t = triangle(d * f.frequency + f.phase);
        shade += f.weight * t;
        crease = std::max(crease, std::pow(t, 24.0) * f.weight * 2.2);
    }
    shade = clamp01(shade / 1.35);
    const double grain = fbm(u * 9, v * 9, 3) - 0.5;
    const double hue = 0.6 + 0.035 * (shade - 0.5) + 0.01 * grain;
    if (dark)
        return {hue, 0.42 + 0.18 * shade, clamp01(0.045 + 0.11 * shade * (1 - 0.5 * v) + 0.16 * crease + 0.01 * grain)};
    return {hue, 0.36 + 0.16 * shade, clamp01(0.9 - 0.12 * shade + 0.06 * crease + 0.01 * grain)};
}

// Soft translucent curtains drifting down, like frost veils. Band centre 0.56.
Hsl glacialVeil(double u, double v, bool dark) {
    double veil = 0;
    const double waves[][3] = {{1.1, 0.3, 0.9}, {1.9, 1.7, 0.6}, {3.3, 2.9, 0.4}};
    for (const auto& w : waves) veil += w[2] * std::sin(kTau * (u * w[0] + 0.35 * std::sin(kTau * v * 0.6 + w[1])) + w[1]);
    veil = clamp01(0.5 + veil / 3.8);
    const double mist = fbm(u * 3, v * 5, 11);
    const double glow = std::exp(-std::pow((v - 0.25) * 2.4, 2));
    const double hue = 0.56 + 0.03 * (veil - 0.5) + 0.015 * (mist - 0.5);
    if (dark) return {hue, 0.5 + 0.2 * veil, clamp01(0.06 + 0.14 * veil * glow + 0.05 * mist * (1 - v))};
    return {hue, 0.42 + 0.2 * veil, clamp01(0.94 - 0.1 * veil * glow - 0.04 * mist)};
}

// Slow streamlines of light over deep water. Band centre 0.62.
Hsl midnightCurrent(double u, double v, bool dark) {
    const double flow = fbm(u * 1.6, v * 1.6, 21);
    const double phase = v * 7 + 1.4 * std::sin(u * 2.6 + v * 1.3) + 0.7 * std::sin(u * 6.1 - v * 2.2) + 1.2 * flow;
    const double line = std::pow(0.5 + 0.5 * std::cos(kTau * phase), 14.0);
    const double swell = 0.5 + 0.5 * std::sin(kTau * (u * 0.4 + v * 0.3));
    const double hue = 0.62 + 0.015 * line - 0.02 * swell;
    if (dark) return {hue, 0.58 + 0.2 * line, clamp01(0.04 + 0.05 * swell * (1 - v) + 0.24 * line)};
    return {hue, 0.46 + 0.2 * line, clamp01(0.92 - 0.05 * swell - 0.2 * line)};
}

// Layered strata of warm stone and brushed metal. Band centre 0.075.
Hsl canyonAlloy(double u, double v, bool dark) {
    const double warp = 0.9 * std::sin(u * 2.3 + 0.7) + 0.35 * std::sin(u * 6.1) + 0.6 * fbm(u * 3, v * 3, 31);
    const double layer = v * 11 + warp;
    const double band = layer - std::floor(layer);
    const double edge = std::pow(1 - band, 3.0);
    const double brushed = fbm(u * 40, v * 2, 37) - 0.5;
    const double hue = 0.075 + 0.035 * (band - 0.5) + 0.01 * brushed;
    if (dark) return {hue, 0.5 + 0.18 * band, clamp01(0.06 + 0.16 * band * band + 0.1 * edge * (1 - v) + 0.02 * brushed)};
    return {hue, 0.46 + 0.16 * band, clamp01(0.8 + 0.1 * band - 0.12 * edge + 0.02 * brushed)};
}

QImage draw(const Painter& painter, int width, int height, bool dark) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double v = (y + 0.5) / height;
            const double u = (x + 0.5) / height;
            const Hsl c = painter(u, v, dark);
            line[x] = QColor::fromHslF(float(c.h - std::floor(c.h)), float(clamp01(c.s)), float(clamp01(c.l))).rgb();
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const struct {
        const char* name;
        Painter painter;
    } themes[] = {{"obsidian-fold", obsidianFold},
                  {"glacial-veil", glacialVeil},
                  {"midnight-current", midnightCurrent},
                  {"canyon-alloy", canyonAlloy}};

    struct Job {
        QString path;
        const Painter* painter;
        int width, height;
        bool dark;
    };
    std::vector<Job> jobs;
    for (const auto& theme : themes)
        for (bool dark : {false, true}) {
            const QString base = folder + QLatin1Char('/') + QLatin1String(theme.name) +
                                 (dark ? QStringLiteral("-dark") : QStringLiteral("-light"));
            jobs.push_back({base + QStringLiteral(".png"), &theme.painter, 1600, 1000, dark});
            jobs.push_back({base + QStringLiteral("-thumb.png"), &theme.painter, 240, 150, dark});
        }

    std::vector<int> failed(jobs.size(), 0);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < jobs.size(); ++i)
        threads.emplace_back([&, i] {
            const Job& job = jobs[i];
            failed[i] = !draw(*job.painter, job.width, job.height, job.dark).save(job.path, "PNG");
        });
    for (std::thread& t : threads) t.join();
    for (std::size_t i = 0; i < jobs.size(); ++i)
        if (failed[i]) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(jobs[i].path));
            return 1;
        }
    return 0;
}
