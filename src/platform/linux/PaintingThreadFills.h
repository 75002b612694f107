#pragma once

namespace vantrel {

// Keeps the raster engine's fills, image scales and conversions on the thread that paints.
// Qt splits each of them that is more than a few dozen lines tall into bands for a thread pool
// and waits for the bands; with the one pool thread this program allows, that hand-off costs more
// than the band work itself (a page paint takes twice as long). Where Qt has a switch for it (its
// own pool for image work, from 6.6), the switch is set; with the Qt 6.4 it was checked with, Qt
// hands work over only when the pool does not run the painting thread, so the program answers
// that question for the painting thread itself, where the build found that Qt asks it of the
// program (CMake says when it does not). Call it once from the program, after the application
// object exists: the call links the answer in. False when fills are left to Qt's pool.
bool keepFillsOnThePaintingThread();

} // namespace vantrel
