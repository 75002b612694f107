#pragma once

#include "core/PreferenceEnums.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace vantrel {

class VantrelHaptics;

// One custom colour of the appearance page (the background hue or the symbol colour): the
// colour picked in the well and not yet saved, what the editor says about it, and its Save,
// Cancel and Reset. An unsaved colour is never written anywhere; Reset turns the custom colour
// off without forgetting it.
class TintEditorModel : public QObject {
    Q_OBJECT
public:
    // What tells the two editors apart.
    struct Texts {
        QString wellLabel;     // the well's accessible name
        QString defaultStatus; // the status while the custom colour is off
        QString saveLabel;     // the accessible name of "Save color"
        QString resetHelp;     // the help text of "Reset"
    };
    // The stored colour and its switch, as the settings keep them.
    struct Storage {
        std::function<BackgroundTint()> tint;
        std::function<void(BackgroundTint)> setTint;
        std::function<bool()> enabled;
        std::function<void(bool)> setEnabled;
    };

    TintEditorModel(Texts texts, Storage storage, VantrelHaptics& haptics, QObject* parent = nullptr);

    const Texts& texts() const { return texts_; }
    const std::optional<QColor>& pending() const { return pending_; }
    bool isEnabled() const { return storage_.enabled(); }

    // What the well shows: the pending colour, else the stored tint (whether or not it is on).
    QColor wellColor() const;
    // "Unsaved" while a colour is pending; else "Saved color" while the custom colour is on; else
    // the editor's default text.
    QString statusText() const;
    // The status is drawn in the accent while a colour is pending.
    bool statusIsAccented() const { return pending_.has_value(); }
    // Save and Cancel are offered while a colour is pending, Reset while the custom colour is on.
    bool offersSave() const { return pending_.has_value(); }
    bool offersReset() const { return isEnabled(); }

    // The well moved: the colour is held here only.
    void setPending(const QColor& color);
    // Plays the controls haptic, writes the pending colour as the tint, turns it on and forgets
    // the pending colour. Nothing happens without one.
    void save();
    // Forgets the pending colour; nothing is played or written.
    void cancel();
    // Plays the controls haptic, forgets the pending colour and turns the custom colour off; the
    // stored tint stays.
    void reset();

    // The sRGB colour of a stored tint, opaque.
    static QColor color(const BackgroundTint& tint);

Q_SIGNALS:
    // The pending colour changed (the stored values announce themselves through the settings).
    void changed();

private:
    void setPendingValue(std::optional<QColor> value);

    Texts texts_;
    Storage storage_;
    VantrelHaptics& haptics_;
    std::optional<QColor> pending_;
};

} // namespace vantrel
