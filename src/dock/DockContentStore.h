#pragma once

#include <QObject>
#include <QString>

namespace vantrel {

// The replacement Dock's tiles. No tiles are kept yet, so the store always invites the user to
// add some.
class DockContentStore : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kEmptyMessage = "Add apps, folders, or websites to build your Dock.";

    explicit DockContentStore(QObject* parent = nullptr) : QObject(parent) {}
    QString statusMessage() const { return QString::fromLatin1(kEmptyMessage); }
};

} // namespace vantrel
