#pragma once

// Readable failure messages for Qt values in GoogleTest assertions.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << QJsonDocument(QJsonArray::fromStringList(list)).toJson(QJsonDocument::Compact).toStdString();
}

inline void PrintTo(const QJsonValue& value, std::ostream* out) {
    if (value.isUndefined()) {
        *out << "<undefined>";
        return;
    }
    // Wrapped in an array so that scalars print as JSON too.
    const QByteArray json = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    *out << json.mid(1, json.size() - 2).toStdString();
}

#include <QRect>
#include <QRectF>

inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height() << ")";
}

inline void PrintTo(const QRectF& rect, std::ostream* out) {
    *out << "QRectF(" << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height()
         << ")";
}
