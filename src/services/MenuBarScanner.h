#pragma once

#include <QObject>
#include <QString>

namespace vantrel {

// The index of other applications' menu-bar items. Nothing is scanned yet: the index stays empty
// and the scanner asks for the access it would need.
class MenuBarScanner : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kNeedsAccessibilityMessage = "Grant Accessibility to search menu-bar items.";

    explicit MenuBarScanner(QObject* parent = nullptr) : QObject(parent) {}
    QString statusMessage() const { return QString::fromLatin1(kNeedsAccessibilityMessage); }
    int itemCount() const { return 0; }
};

} // namespace vantrel
