#pragma once

#include "dock/NativeDockSettingsTransaction.h"
#include "platform/EnumTraits.h"

#include <QObject>
#include <QString>
#include <bitset>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

class UserDefaults;
class WorkQueue;

// The screen edge of the system Dock and its window-minimize animation, stored by their names.
#define VANTREL_DOCK_POSITION_CASES(C) C(left) C(bottom) C(right)
VANTREL_STRING_ENUM(DockPosition, VANTREL_DOCK_POSITION_CASES)
#define VANTREL_DOCK_MINIMIZE_EFFECT_CASES(C) C(genie) C(scale) C(suck)
VANTREL_STRING_ENUM(DockMinimizeEffect, VANTREL_DOCK_MINIMIZE_EFFECT_CASES)

// An editable copy of ten of the system Dock's own settings. `reload()` reads them from the
// system, the setters change only the copy, and `apply()` writes the copy back as one transaction
// that restarts the Dock and puts every key back when a step fails. All commands run on the
// system Dock's serial queue; results come back to the main thread. While the replacement Dock
// holds the system Dock suppressed, both are refused.
//
// A setting that was never read from the system (its read failed, the reload was refused or has
// not finished) and never edited is left out of `apply()`, so the copy's starting values never
// overwrite what the system holds.
class DockSettingsStore : public QObject {
    Q_OBJECT
public:
    using Position = DockPosition;
    using MinimizeEffect = DockMinimizeEffect;
    using Result = NativeDockSettingsTransactionResult;

    // The ten settings, in the order they are read and written.
    enum class Field {
        tileSize,
        magnificationSize,
        magnification,
        autoHide,
        autoHideDelay,
        showRecents,
        showOnlyRunning,
        translucentHiddenApps,
        position,
        minimizeEffect,
    };
    static constexpr std::size_t kFieldCount = 10;

    struct Values {
        double tileSize = 48;
        double magnificationSize = 72;
        bool magnification = true;
        bool autoHide = false;
        double autoHideDelay = 0.12;
        bool showRecents = true;
        bool showOnlyRunning = false;
        bool translucentHiddenApps = false;
        Position position = Position::bottom;
        MinimizeEffect minimizeEffect = MinimizeEffect::genie;
    };
    using FieldSet = std::bitset<kFieldCount>;

    struct Dependencies {
        // The serial queue of every command on the system Dock.
        WorkQueue& systemDockQueue;
        // Our own defaults, where a pending restore of the system Dock is recorded.
        UserDefaults& ownDefaults;
        // A client of the "com.apple.dock" domain, made fresh for each piece of work.
        std::function<std::unique_ptr<DockDefaultsClient>()> makeClient;
    };

    // Starts from the editor's defaults and reads the system's values at once.
    explicit DockSettingsStore(Dependencies dependencies, QObject* parent = nullptr);

    const Values& values() const { return values_; }
    double tileSize() const { return values_.tileSize; }
    double magnificationSize() const { return values_.magnificationSize; }
    bool magnification() const { return values_.magnification; }
    bool autoHide() const { return values_.autoHide; }
    double autoHideDelay() const { return values_.autoHideDelay; }
    bool showRecents() const { return values_.showRecents; }
    bool showOnlyRunning() const { return values_.showOnlyRunning; }
    bool translucentHiddenApps() const { return values_.translucentHiddenApps; }
    Position position() const { return values_.position; }
    MinimizeEffect minimizeEffect() const { return values_.minimizeEffect; }
    const QString& statusMessage() const { return statusMessage_; }
    bool isLoading() const { return isLoading_; }
    bool isApplying() const { return isApplying_; }
    // The settings whose value came from the system or from an edit, and so go into an apply.
    FieldSet knownFields() const { return known_; }

    // Edits of the copy; nothing reaches the system before `apply()`.
    void setTileSize(double value);
    void setMagnificationSize(double value);
    void setMagnification(bool value);
    void setAutoHide(bool value);
    void setAutoHideDelay(double value);
    void setShowRecents(bool value);
    void setShowOnlyRunning(bool value);
    void setTranslucentHiddenApps(bool value);
    void setPosition(Position value);
    void setMinimizeEffect(MinimizeEffect value);

    // Reads the ten settings on the queue; ignored while a reload is under way.
    void reload();
    // Writes the known settings as they are now; ignored while an apply is under way.
    void apply();

    // The writes for `fields` of `values`, in table order. None when a size or the delay to be
    // written is not a finite number: it has no text the system could take.
    static std::optional<std::vector<NativeDockSetting>> settingsFor(const Values& values, FieldSet fields);
    // "1", "true", "yes" and "0", "false", "no" in any letter case; anything else is no boolean.
    static std::optional<bool> boolValue(const QString& text);
    // A whole-text decimal number; white space around it, an empty text, trailing characters or
    // a value that is not finite give none.
    static std::optional<double> numberValue(const QString& text);

Q_SIGNALS:
    // Any field, the status or a flag changed.
    void changed();

private:
    struct Snapshot;
    // Reads the ten keys in table order; one failed read does not stop the others.
    static Snapshot captureCurrentSettings(DockDefaultsClient& client);
    void setStatus(const QString& message);
    void finishReload(const Snapshot& snapshot, bool refused);
    void finishApply(std::optional<Result> result);
    template <typename T> void edit(Field field, T& slot, T value);

    Dependencies deps_;
    Values values_;
    FieldSet known_;
    QString statusMessage_ = QStringLiteral("Ready");
    bool isLoading_ = false;
    bool isApplying_ = false;
};

} // namespace vantrel
