#pragma once

#include "platform/EventMonitors.h"
#include "platform/linux/QtEventMonitors.h"

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <map>
#include <memory>
#include <thread>

namespace vantrel {

// Global monitors of an X11 desktop through XInput2, read on an X connection and a thread of
// their own so that a busy main thread never holds the input back: scrolls from the scroll
// valuators of raw motion and from legacy wheel buttons, clicks from raw presses of buttons 1
// and 3, the left release, and touchpad pinches and swipes from XI 2.4 gestures on the root
// window (those the window under the pointer does not take). Only what an installed monitor
// wants is passed to the main thread. Raw events include this program's own windows, so local
// monitors are refused; gestures that Qt's windows take arrive as Qt's native gestures and are
// added to the global ones. The server reports no click pressure: pressure never arrives.
class X11EventMonitors final : public QObject, public EventMonitors {
    Q_OBJECT
public:
    // `display` names the server, the one Qt opened (qtXcbDisplayName()); empty: none.
    explicit X11EventMonitors(QByteArray display, QObject* parent = nullptr);
    ~X11EventMonitors() override;
    X11EventMonitors(const X11EventMonitors&) = delete;
    X11EventMonitors& operator=(const X11EventMonitors&) = delete;

    Token addGlobalMonitor(InputEventMask mask, Handler handler) override;
    Token addLocalMonitor(InputEventMask, Handler) override { return kRefused; }
    void removeMonitor(Token token) override;

    // Whether the reader runs and the server selected what the monitors want, for tests: false
    // until the reader reports, after every change of what is wanted.
    bool isSelected() const { return selectedMask_ == wantedMask(); }

Q_SIGNALS:
    // The reader selected `mask` on the server.
    void selected(quint32 mask);

private:
    class Reader;
    struct Monitor {
        InputEventMask mask;
        Handler handler;
        Token gestureToken = kRefused;
    };

    InputEventMask wantedMask() const;
    void updateReader();
    void deliver(const InputEvent& event);

    QByteArray display_;
    std::map<Token, Monitor> monitors_;
    Token next_ = 1;
    QtEventMonitors ownWindows_;
    std::unique_ptr<Reader> reader_;
    quint32 selectedMask_ = 0;
    // Raised with every reader started or stopped: what an earlier one posted is dropped.
    std::uint64_t readerGeneration_ = 0;
};

} // namespace vantrel
