#include "kit/TextAdvance.h"

#include <QFontMetricsF>
#include <QHash>

namespace vantrel {

namespace {

struct Key {
    QFont font;
    QString text;
    bool operator==(const Key&) const = default;
};

size_t qHash(const Key& key, size_t seed = 0) {
    return qHashMulti(seed, key.font, key.text);
}

QHash<Key, double>& widths() {
    static QHash<Key, double> cache;
    return cache;
}

struct ElidedKey {
    QFont font;
    QString text;
    double width;
    bool operator==(const ElidedKey&) const = default;
};

size_t qHash(const ElidedKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.font, key.text, key.width);
}

QHash<ElidedKey, QString>& elisions() {
    static QHash<ElidedKey, QString> cache;
    return cache;
}

} // namespace

QString TextAdvance::elidedRight(const QFont& font, const QString& text, double width) {
    QHash<ElidedKey, QString>& cache = elisions();
    ElidedKey key{font, text, width};
    if (auto known = cache.constFind(key); known != cache.constEnd()) return *known;
    QString elided = QFontMetricsF(font).elidedText(text, Qt::ElideRight, width);
    if (cache.size() >= kCapacity) cache.clear();
    cache.insert(std::move(key), elided);
    return elided;
}

int TextAdvance::cachedElidedCount() {
    return int(elisions().size());
}

double TextAdvance::of(const QFont& font, const QString& text) {
    QHash<Key, double>& cache = widths();
    Key key{font, text};
    if (auto known = cache.constFind(key); known != cache.constEnd()) return *known;
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    if (cache.size() >= kCapacity) cache.clear();
    cache.insert(std::move(key), width);
    return width;
}

int TextAdvance::cachedCount() {
    return int(widths().size());
}

void TextAdvance::clear() {
    widths().clear();
    elisions().clear();
}

} // namespace vantrel
