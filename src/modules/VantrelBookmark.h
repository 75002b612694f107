#pragma once

#include "platform/EnumTraits.h"

#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <vector>

namespace vantrel {

#define VANTREL_BOOKMARK_KINDS(C) C(website) C(application)
VANTREL_STRING_ENUM(BookmarkKind, VANTREL_BOOKMARK_KINDS)

// A one-click shortcut to a website or an installed application.
struct VantrelBookmark {
    using Kind = BookmarkKind;

    QUuid id;
    QString title;
    // A website's absolute address, or the path of an application's entry.
    QString target;
    Kind kind = Kind::website;

    bool operator==(const VantrelBookmark&) const = default;

    // The JSON array of "bookmarks.json"; decoding throws JsonDecodingError on any bad element.
    static QJsonValue encodeList(const std::vector<VantrelBookmark>& bookmarks);
    static std::vector<VantrelBookmark> decodeList(const QJsonValue& value);
};

} // namespace vantrel
