#pragma once

#include "platform/EventMonitors.h"

#include <QObject>
#include <map>
#include <optional>

namespace vantrel {

// Local monitors as an event filter on the application: wheel turns, left and right presses,
// the left release and the pinch and swipe gestures of this program's own windows, seen once each
// at their window and passed on unchanged. Programs here see no other program's input, so global
// monitors are refused.
class QtEventMonitors final : public QObject, public EventMonitors {
    Q_OBJECT
public:
    explicit QtEventMonitors(QObject* parent = nullptr);
    ~QtEventMonitors() override;

    Token addGlobalMonitor(InputEventMask, Handler) override { return kRefused; }
    Token addLocalMonitor(InputEventMask mask, Handler handler) override;
    void removeMonitor(Token token) override;

    // What a Qt event delivered to a window is to a monitor; none for anything else.
    static std::optional<InputEvent> translate(const QEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Monitor {
        InputEventMask mask;
        Handler handler;
    };
    std::map<Token, Monitor> monitors_;
    Token next_ = 1;
    bool filtering_ = false;
};

} // namespace vantrel
