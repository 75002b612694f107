#pragma once

#include "kit/SettingBinding.h"

#include <QAbstractButton>
#include <QList>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace vantrel {

class VantrelHaptics;

// Where a segmented control draws its track and its segments: each segment as wide as its label
// needs, the room to spare shared equally, or all narrowed alike when the track is too short.
struct SegmentedLayout {
    QRectF track;
    std::vector<QRectF> segments;

    static constexpr double kHeight = 24;
    static constexpr double kInset = 2;
    static constexpr double kRadius = 7;
    static constexpr double kSegmentPadding = 10; // on each side of a label

    // The track fills `bounds`' width and is kHeight high, centred vertically; `natural` holds
    // each segment's own width.
    static SegmentedLayout of(const QRectF& bounds, const std::vector<double>& natural);
};

// A row of mutually exclusive segments. A click on another segment plays the controls haptic
// (when haptics are given) and then announces the choice with `chosen`, once; showing a value
// from the model (setSelectedIndex) announces nothing.
class VantrelSegmentedControl : public QWidget {
    Q_OBJECT
public:
    // `label` names the control for assistive technologies; it is not drawn.
    VantrelSegmentedControl(const QString& label, const QStringList& options, VantrelHaptics* haptics,
                            QWidget* parent = nullptr);

    QStringList options() const { return options_; }
    int selectedIndex() const { return selected_; }
    // Shows `index` as selected (-1: none), without announcing it.
    void setSelectedIndex(int index);
    // The clickable segment at `index`.
    QAbstractButton* segment(int index) const { return segments_.at(std::size_t(index)); }

    // Shows the binding's value (the segment whose tag equals it) and writes the tag of each
    // segment the user picks.
    template <typename T> void bind(SettingBinding<T> binding, QList<T> tags) {
        auto sync = [this, get = binding.get, tags] { setSelectedIndex(int(tags.indexOf(get()))); };
        sync();
        binding.observe(this, sync);
        connect(this, &VantrelSegmentedControl::chosen, this, [set = binding.set, tags](int index) {
            if (index >= 0 && index < tags.size()) set(tags[index]);
        });
    }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void chosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void choose(int index);
    std::vector<double> naturalWidths() const;

    QStringList options_;
    VantrelHaptics* haptics_;
    std::vector<QAbstractButton*> segments_;
    int selected_ = -1;
};

} // namespace vantrel
