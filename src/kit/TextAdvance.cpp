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

// The value `cache` holds for `key`, else what `make` gives, kept; a full cache starts afresh.
template <typename Key, typename Value, typename Make>
Value remembered(QHash<Key, Value>& cache, Key key, const Make& make) {
    if (auto known = cache.constFind(key); known != cache.constEnd()) return *known;
    Value value = make();
    if (cache.size() >= TextAdvance::kCapacity) cache.clear();
    cache.insert(std::move(key), value);
    return value;
}

} // namespace

QString TextAdvance::elidedRight(const QFont& font, const QString& text, double width) {
    return remembered(elisions(), ElidedKey{font, text, width},
                      [&] { return QFontMetricsF(font).elidedText(text, Qt::ElideRight, width); });
}

int TextAdvance::cachedElidedCount() {
    return int(elisions().size());
}

double TextAdvance::of(const QFont& font, const QString& text) {
    return remembered(widths(), Key{font, text}, [&] { return QFontMetricsF(font).horizontalAdvance(text); });
}

int TextAdvance::cachedCount() {
    return int(widths().size());
}

void TextAdvance::clear() {
    widths().clear();
    elisions().clear();
}

} // namespace vantrel
