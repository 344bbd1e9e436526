#include "LargeBuffer.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace BlinkwitCore::LargeBuffer {

void adviseHugePages(const void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t hugePage = std::uintptr_t(2) << 20;
    // Smaller buffers are served from memory the allocator keeps; not worth a system call.
    if (bytes < 2 * hugePage)
        return;
    const auto address = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (address + hugePage - 1) & ~(hugePage - 1);
    const std::uintptr_t end = (address + bytes) & ~(hugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace BlinkwitCore::LargeBuffer
