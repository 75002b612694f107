#pragma once

namespace vantrel {

// Keeps the raster engine's fills, image scales and conversions on the thread that paints.
// Qt splits each of them that is more than a few dozen lines tall into bands for its global
// thread pool and waits for the bands; with the one pool thread this program allows, that hand-
// off costs more than the band work itself (a page paint takes twice as long). Qt hands work over
// only when the painting thread is not one of the pool's own, so this program answers that every
// thread is. Call it once from the program: the call links the answer in.
void keepFillsOnThePaintingThread();

} // namespace vantrel
