#include "platform/linux/HeapMemory.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace vantrel {

// A drawing of many shapes parses into tens of megabytes of small allocations, and a large bitmap
// decodes into one of tens; freed, they stay with the heap of the thread that made them (or that
// of the thread that freed them), which no later icon of ordinary size reuses, for as long as the
// program runs.
void returnFreedMemory() {
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

void mapLargeBlocksApart() {
#ifdef __GLIBC__
    ::mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

} // namespace vantrel
