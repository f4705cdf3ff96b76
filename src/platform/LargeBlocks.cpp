#include "platform/LargeBlocks.h"

#include <malloc.h>

namespace quorvane {

void ReturnLargeBlocksAtOnce() {
    // The default threshold, set once: a fixed value keeps it from growing.
    static const bool set = mallopt(M_MMAP_THRESHOLD, 128 * 1024) != 0;
    (void)set;
}

} // namespace quorvane
