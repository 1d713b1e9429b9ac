#include "platform/MemoryUse.h"

#include "platform/Log.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
// Below this, blocks come from the allocator's pool: small ones are many and quickly reused.
constexpr int kLargeBlockBytes = 1024 * 1024;
} // namespace

void GiveLargeBlocksBack() {
#if defined(__GLIBC__)
    // Setting the threshold also stops the allocator from raising it after each large block freed.
    if (mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes) != 1)
        qCWarning(lcQuillora) << "The allocator keeps large blocks: freed text copies stay resident";
#endif
}
