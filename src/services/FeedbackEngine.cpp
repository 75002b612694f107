#include "services/FeedbackEngine.h"

#include "core/VantrelPreferences.h"
#include "platform/SetIfChanged.h"

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
    setIfChanged(this, isListening_, listening, &FeedbackEngine::isListeningChanged);
}

} // namespace vantrel
