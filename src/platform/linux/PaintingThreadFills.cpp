#include "platform/linux/PaintingThreadFills.h"

#include <QThreadPool>

// Qt asks this only to learn whether work that it would split across the pool already runs on a
// pool thread, where splitting it could wait on itself; the answer "yes" makes it do the work in
// place. Defined in the program, it is the definition Qt's libraries are bound to.
bool QThreadPool::contains(const QThread*) const {
    return true;
}

namespace vantrel {

void keepFillsOnThePaintingThread() {}

} // namespace vantrel
