// Counts heap allocations made on one thread while counting is on; the host program's malloc,
// calloc, realloc, aligned allocations and operator new all pass through it.
#pragma once

#include <cstddef>

namespace vemlor::testhost {

// Starts counting on the calling thread from zero.
void beginCountingAllocations() noexcept;
// Stops counting on the calling thread and returns how many allocations it saw.
std::size_t endCountingAllocations() noexcept;

} // namespace vemlor::testhost
