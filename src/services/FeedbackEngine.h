#pragma once

#include <QObject>
#include <QPointer>

namespace vantrel {

class VantrelPreferences;

// Trackpad feedback. Linux offers no trackpad gestures or actuator to listen to, so starting only
// marks the engine as listening; no monitor is installed.
class FeedbackEngine : public QObject {
    Q_OBJECT
public:
    explicit FeedbackEngine(VantrelPreferences& preferences, QObject* parent = nullptr);

    VantrelPreferences* preferences() const;
    void setPreferences(VantrelPreferences* preferences);

    virtual void start();
    // Safe when not listening.
    virtual void stop();
    bool isListening() const { return isListening_; }

Q_SIGNALS:
    void isListeningChanged(bool listening);

private:
    void setListening(bool listening);

    QPointer<VantrelPreferences> preferences_;
    bool isListening_ = false;
};

} // namespace vantrel
