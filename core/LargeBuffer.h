#pragma once

#include <cstddef>

namespace BlinkwitCore::LargeBuffer {

// Asks the kernel to back the whole 2 MiB pages inside [data, data + bytes) with huge pages.
// The engine's text copies and token lists of multi-megabyte inputs come fresh from the kernel
// on each call; faulting them in 4 KiB at a time cost more than the engine's own work.
// A hint only: without kernel support nothing changes.
// Buffers below 4 MiB are left alone.
void adviseHugePages(const void* data, std::size_t bytes);

} // namespace BlinkwitCore::LargeBuffer
