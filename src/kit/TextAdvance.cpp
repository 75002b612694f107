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

} // namespace

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
}

} // namespace vantrel
