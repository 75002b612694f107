#pragma once

#include "kit/SettingBinding.h"

#include <QAbstractButton>
#include <QList>
#include <QStringList>

namespace vantrel {

class MenuPresenter;
class VantrelHaptics;

// A pop-up menu picker: a button showing the current option that opens a menu of all options
// through the injected presenter. Picking another option plays the controls haptic (when haptics
// are given) and announces it with `chosen`, once; showing a value from the model
// (setCurrentIndex) announces nothing.
class VantrelMenuPicker : public QAbstractButton {
    Q_OBJECT
public:
    VantrelMenuPicker(const QString& label, const QStringList& options, MenuPresenter& menus,
                      VantrelHaptics* haptics, QWidget* parent = nullptr);

    QStringList options() const { return options_; }
    int currentIndex() const { return current_; }
    // Shows `index` as the current option (-1: none), without announcing it.
    void setCurrentIndex(int index);

    template <typename T> void bind(SettingBinding<T> binding, QList<T> tags) {
        auto sync = [this, get = binding.get, tags] { setCurrentIndex(int(tags.indexOf(get()))); };
        sync();
        binding.observe(this, sync);
        connect(this, &VantrelMenuPicker::chosen, this, [set = binding.set, tags](int index) {
            if (index >= 0 && index < tags.size()) set(tags[index]);
        });
    }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr double kHeight = 24;
    static constexpr double kRadius = 7;

Q_SIGNALS:
    void chosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openMenu();
    void choose(int index);

    QString label_;
    QStringList options_;
    MenuPresenter& menus_;
    VantrelHaptics* haptics_;
    int current_ = -1;
};

} // namespace vantrel
