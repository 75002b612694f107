#pragma once

#include <QObject>
#include <QString>

namespace vantrel {

// The system Dock's own settings as the native settings editor shows them. It starts from the
// editor's defaults; reading the system's values is not done yet.
class DockSettingsStore : public QObject {
    Q_OBJECT
public:
    explicit DockSettingsStore(QObject* parent = nullptr) : QObject(parent) {}

    double tileSize() const { return tileSize_; }
    double magnificationSize() const { return magnificationSize_; }
    double autoHideDelay() const { return autoHideDelay_; }
    const QString& statusMessage() const { return statusMessage_; }

private:
    double tileSize_ = 48;
    double magnificationSize_ = 72;
    double autoHideDelay_ = 0.12;
    QString statusMessage_ = QStringLiteral("Ready");
};

} // namespace vantrel
