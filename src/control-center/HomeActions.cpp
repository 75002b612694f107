#include "control-center/HomeActions.h"

#include "core/PermissionCenter.h"
#include "core/VantrelHaptics.h"
#include "modules/ClipboardStore.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "modules/NotesStore.h"
#include "modules/StopwatchStore.h"
#include "platform/OpenPanel.h"
#include "platform/SetIfChanged.h"
#include "services/KeyboardCleaningController.h"

namespace vantrel {

HomeActions::HomeActions(const HomePageContext& context, QObject* parent)
    : QObject(parent), context_(context) {}

void HomeActions::setPresentedUtility(std::optional<HomeUtility> utility) {
    setIfChanged(this, presentedUtility_, utility, &HomeActions::presentedUtilityChanged);
}

void HomeActions::presentUtility(HomeUtility utility) {
    context_.haptics.play(HapticSurface::controls);
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
    context_.haptics.play(HapticSurface::controls);
    if (context_.selectSection) context_.selectSection(section);
}

void HomeActions::openPermissions() {
    if (context_.selectSection) context_.selectSection(VantrelSection::permissions);
}

void HomeActions::showCommandPalette() {
    if (context_.showCommandPalette) context_.showCommandPalette();
}

void HomeActions::openCleaningCanvas() {
    context_.keyboardCleaning.start();
}

QString HomeActions::editorText() const {
    const NotesStore& notes = context_.notes;
    const std::optional<qsizetype> index = notes.selectedIndex();
    return index ? notes.notes().at(*index).body : QString();
}

bool HomeActions::setEditorText(const QString& text) {
    NotesStore& notes = context_.notes;
    // The store changes only a selected note; without one the keystrokes would vanish.
    if (!notes.selectedIndex()) {
        if (text.isEmpty()) return false;
        notes.add(std::nullopt);
    }
    return notes.updateSelected(text);
}

void HomeActions::selectNote(const QUuid& id) {
    context_.notes.setSelectedID(id);
}

void HomeActions::addNote() {
    context_.notes.add(std::nullopt);
}

void HomeActions::openScreenshot(const QUrl& url) {
    context_.shelf.open(url);
}

void HomeActions::toggleFocus() {
    context_.focus.toggle();
}

void HomeActions::resetFocus() {
    context_.focus.reset();
}

void HomeActions::decreaseFocusDuration() {
    // Unclamped on purpose: the timer keeps its own limits.
    context_.focus.updateDuration(context_.focus.durationMinutes() - 1);
}

void HomeActions::increaseFocusDuration() {
    context_.focus.updateDuration(context_.focus.durationMinutes() + 1);
}

void HomeActions::toggleStopwatch() {
    StopwatchStore& stopwatch = context_.stopwatch;
    if (stopwatch.isStopwatchRunning())
        stopwatch.pauseStopwatch();
    else
        stopwatch.startStopwatch();
}

void HomeActions::resetStopwatch() {
    context_.stopwatch.resetStopwatch();
}

void HomeActions::recordLap() {
    context_.stopwatch.recordLap();
}

void HomeActions::toggleCountdown() {
    StopwatchStore& stopwatch = context_.stopwatch;
    if (stopwatch.isCountdownRunning())
        stopwatch.pauseCountdown();
    else
        stopwatch.startCountdown();
}

void HomeActions::resetCountdown() {
    context_.stopwatch.resetCountdown();
}

void HomeActions::chooseCountdownMinutes(qint64 minutes) {
    context_.stopwatch.setCountdown(minutes);
}

void HomeActions::copyEntry(const ClipboardEntry& entry) {
    // The store writes the text, takes the clipboard's new change count as seen and plays the
    // controls haptic, in that order, so the next capture does not take the copy in again.
    context_.clipboard.copy(entry);
}

void HomeActions::addFile() {
    const std::optional<QStringList> chosen = context_.openPanel.runForItems({});
    if (!chosen || chosen->isEmpty()) return;
    QList<QUrl> urls;
    for (const QString& path : *chosen) urls.append(QUrl::fromLocalFile(path));
    context_.shelf.add(urls);
}

void HomeActions::openFile(const QUrl& url) {
    context_.shelf.open(url);
}

void HomeActions::removeFile(const QUrl& url) {
    context_.shelf.remove(url);
}

} // namespace vantrel
