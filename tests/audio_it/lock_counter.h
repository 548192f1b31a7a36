// Counts the pthread locks taken by threads other than the main thread while counting is on; this
// program's pthread lock functions wrap the C library's, so the loaded plug-in's calls pass here.
#pragma once

#include <cstddef>

namespace vemlor::testhost {

// Main thread: starts counting from zero; `everyThread` counts the main thread too.
void beginCountingLocks(bool everyThread = false);
// Main thread: stops counting and returns what was counted.
std::size_t endCountingLocks();

} // namespace vemlor::testhost
