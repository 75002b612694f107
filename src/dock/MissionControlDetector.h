#pragma once

namespace vantrel::MissionControlDetector {

// Whether the desktop shows an overview of every window above which the Dock must stay revealed.
// The X11 desktops draw no such overview over their own windows the way Mission Control does, so
// it is never showing here; the controller still takes the answer from an injected function, and
// the answer true raises the Dock above everything.
bool isActive();

} // namespace vantrel::MissionControlDetector
