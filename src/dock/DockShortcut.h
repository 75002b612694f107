#pragma once

#include "dock/DockFolderColor.h"
#include "platform/EnumTraits.h"

#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>
#include <vector>

namespace vantrel {

#define VANTREL_DOCK_SHORTCUT_KINDS(C) C(application) C(folder) C(website) C(separator)
VANTREL_STRING_ENUM(DockShortcutKind, VANTREL_DOCK_SHORTCUT_KINDS)

// One pinned item of the replacement Dock.
struct DockShortcut {
    using Kind = DockShortcutKind;

    QUuid id;
    QString title;
    // The path of an application's entry or of a folder, or a website's absolute address; unused
    // for a separator.
    QString target;
    Kind kind = Kind::application;
    // None: the plain folder icon.
    std::optional<DockFolderColor> folderColor;
    // The title as the file holds it, when `title` shows only its beginning; none otherwise.
    std::optional<QString> storedTitle = std::nullopt;

    // The most of a title that is shown; a longer one shows its beginning and an ellipsis.
    static constexpr qsizetype kShownTitleLength = 256;

    bool operator==(const DockShortcut&) const = default;

    // Takes `title` as given: a very long one is shown by its beginning and kept whole for the
    // file, so drawing, measuring and eliding never walk megabytes of text.
    void setTitle(const QString& title);
    // What the file holds as the title.
    const QString& titleToStore() const { return storedTitle ? *storedTitle : title; }

    // The JSON array of "dock-shortcuts.json": "folderColor" is left out when there is none.
    static QJsonValue encodeList(const std::vector<DockShortcut>& items);
    // The whole array or nothing: one object with a required key missing, an id that is no UUID,
    // or a kind or colour outside the lists throws JsonDecodingError. Unknown keys are ignored.
    static std::vector<DockShortcut> decodeList(const QJsonValue& value);
};

} // namespace vantrel
