#include "notch/NotchPresentationTier.h"

namespace vantrel {

NotchPresentationTier presentationTier(NotchTab tab) {
    switch (tab) {
    case NotchTab::home:
        return NotchPresentationTier::first;
    case NotchTab::timers:
    case NotchTab::system:
    case NotchTab::note:
    case NotchTab::bookmarks:
        return NotchPresentationTier::second;
    case NotchTab::clipboard:
    case NotchTab::calendar:
    case NotchTab::focus:
    case NotchTab::files:
    case NotchTab::mirror:
        return NotchPresentationTier::third;
    }
    return NotchPresentationTier::first;
}

} // namespace vantrel
