#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QVariantAnimation;

namespace vantrel {

// The cross-fade of the open surface's tab view when the tab changes: the outgoing view fades out
// while the incoming one fades in, over the same 0.18 s ease-in-out, whatever the motion setting.
// The outgoing view no longer takes the pointer and is deleted when its fade ends, or at once when
// another change starts before that.
class NotchContentCrossFade final : public QObject {
    Q_OBJECT
public:
    static constexpr double kSeconds = 0.18;

    explicit NotchContentCrossFade(QObject* parent = nullptr);
    ~NotchContentCrossFade() override;

    // Fades `outgoing` (taken over; none for nothing) out and `incoming` (none for nothing) in.
    void start(QWidget* outgoing, QWidget* incoming);

    QVariantAnimation* animation() const { return animation_; }
    // The view fading out; none once the fade has ended.
    QWidget* outgoing() const { return outgoing_; }
    // How opaque `view` is drawn now: 1 for a view that is not fading.
    static double opacity(const QWidget* view);

private:
    void apply(double progress);
    void finish();

    QVariantAnimation* animation_;
    QPointer<QWidget> outgoing_;
    QPointer<QWidget> incoming_;
    // Where the outgoing view's fade starts: a view caught part-way through fading in leaves from there.
    double outgoingFrom_ = 1;
};

} // namespace vantrel
