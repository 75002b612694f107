#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <functional>

namespace vantrel {

// Watches every key press the application delivers while it exists: Escape calls `onEscape` and
// is consumed, so no control or window under it sees the key, even a focused text editor; every
// other key travels on unchanged. It installs itself on the application when created and removes
// itself when destroyed, so it lives exactly as long as whatever owns it.
class EscapeKeyMonitor final : public QObject {
    Q_OBJECT
public:
    explicit EscapeKeyMonitor(std::function<void()> onEscape, QObject* parent = nullptr);
    ~EscapeKeyMonitor() override;

    // The newest action is always the one called.
    void setOnEscape(std::function<void()> onEscape) { onEscape_ = std::move(onEscape); }
    // Whether it is installed on the application (there is none in some tools).
    bool isInstalled() const { return !application_.isNull(); }
    // A disabled monitor lets Escape travel on, as while its panel fades away.
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isEnabled() const { return enabled_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onEscape_;
    QPointer<QCoreApplication> application_;
    bool enabled_ = true;
};

} // namespace vantrel
