#include "control-center/HomeActions.h"

#include "app/AppState.h"
#include "kit/VantrelHaptics.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "modules/NotesStore.h"
#include "modules/StopwatchStore.h"
#include "services/CommandPaletteController.h"
#include "services/KeyboardCleaningController.h"

namespace vantrel {

HomeActions::HomeActions(AppState& state, VantrelHaptics& haptics, FileChooser chooseFiles, QObject* parent)
    : QObject(parent), state_(state), haptics_(haptics), chooseFiles_(std::move(chooseFiles)) {}

void HomeActions::setPresentedUtility(std::optional<HomeUtility> utility) {
    if (presentedUtility_ == utility) return;
    presentedUtility_ = utility;
    Q_EMIT presentedUtilityChanged();
}

void HomeActions::presentUtility(HomeUtility utility) {
    haptics_.play(HapticSurface::controls);
    setPresentedUtility(utility);
}

void HomeActions::selectUtility(HomeUtility utility) {
    setPresentedUtility(utility);
}

void HomeActions::closeUtility() {
    setPresentedUtility(std::nullopt);
}

bool HomeActions::handleEscape() {
    if (!presentedUtility_) return false;
    setPresentedUtility(std::nullopt);
    return true;
}

void HomeActions::openSection(VantrelSection section) {
    haptics_.play(HapticSurface::controls);
    state_.setSelectedSection(section);
}

void HomeActions::openPermissions() {
    state_.setSelectedSection(VantrelSection::permissions);
}

void HomeActions::showCommandPalette() {
    state_.commandPalette().show(&state_, state_.controlCenterScreen());
}

void HomeActions::openCleaningCanvas() {
    state_.keyboardCleaning().start();
}

QString HomeActions::editorText() const {
    const NotesStore& notes = state_.notes();
    const std::optional<qsizetype> index = notes.selectedIndex();
    return index ? notes.notes().at(*index).body : QString();
}

void HomeActions::setEditorText(const QString& text) {
    NotesStore& notes = state_.notes();
    // The store changes only a selected note; without one the keystrokes would vanish.
    if (!notes.selectedIndex()) {
        if (text.isEmpty()) return;
        notes.add(std::nullopt);
    }
    notes.updateSelected(text);
}

void HomeActions::selectNote(const QUuid& id) {
    state_.notes().setSelectedID(id);
}

void HomeActions::addNote() {
    state_.notes().add(std::nullopt);
}

void HomeActions::openScreenshot(const QUrl& url) {
    state_.fileShelf().open(url);
}

void HomeActions::toggleFocus() {
    FocusTimer& focus = state_.focus();
    if (focus.isRunning())
        focus.pause();
    else
        focus.start();
}

void HomeActions::resetFocus() {
    state_.focus().reset();
}

void HomeActions::decreaseFocusDuration() {
    // Unclamped on purpose: the timer keeps its own limits.
    state_.focus().updateDuration(state_.focus().durationMinutes() - 1);
}

void HomeActions::increaseFocusDuration() {
    state_.focus().updateDuration(state_.focus().durationMinutes() + 1);
}

void HomeActions::toggleStopwatch() {
    StopwatchStore& stopwatch = state_.stopwatch();
    if (stopwatch.isStopwatchRunning())
        stopwatch.pauseStopwatch();
    else
        stopwatch.startStopwatch();
}

void HomeActions::resetStopwatch() {
    state_.stopwatch().resetStopwatch();
}

void HomeActions::recordLap() {
    state_.stopwatch().recordLap();
}

void HomeActions::toggleCountdown() {
    StopwatchStore& stopwatch = state_.stopwatch();
    if (stopwatch.isCountdownRunning())
        stopwatch.pauseCountdown();
    else
        stopwatch.startCountdown();
}

void HomeActions::resetCountdown() {
    state_.stopwatch().resetCountdown();
}

void HomeActions::chooseCountdownMinutes(qint64 minutes) {
    state_.stopwatch().setCountdown(minutes);
}

void HomeActions::addFile() {
    if (!chooseFiles_) return;
    const QList<QUrl> chosen = chooseFiles_();
    if (!chosen.isEmpty()) state_.fileShelf().add(chosen);
}

void HomeActions::openFile(const QUrl& url) {
    state_.fileShelf().open(url);
}

} // namespace vantrel
