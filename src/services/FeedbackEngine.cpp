#include "services/FeedbackEngine.h"

#include "core/VantrelPreferences.h"

namespace vantrel {

FeedbackEngine::FeedbackEngine(VantrelPreferences& preferences, QObject* parent)
    : QObject(parent), preferences_(&preferences) {}

VantrelPreferences* FeedbackEngine::preferences() const {
    return preferences_;
}
void FeedbackEngine::setPreferences(VantrelPreferences* preferences) {
    preferences_ = preferences;
}

void FeedbackEngine::start() {
    setListening(true);
}

void FeedbackEngine::stop() {
    setListening(false);
}

void FeedbackEngine::setListening(bool listening) {
    if (isListening_ == listening) return;
    isListening_ = listening;
    Q_EMIT isListeningChanged(listening);
}

} // namespace vantrel
