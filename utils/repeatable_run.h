// Runs that must repeat exactly: what a new instance otherwise chooses at random, and the build stamp.
#pragma once

#include <cstdint>

namespace zarvo {

// True when VEMLOR_REPEATABLE is set in the environment, as the tests set it so that the screenshots
// they write are the same from run to run: a new instance then starts from a fixed seed and the about
// box shows a fixed build stamp. Users never set it.
bool repeatableRun();

// The seed of a new instance's random choices (its starter preset, its morph points): the system's
// random device, or a fixed number in a repeatable run.
uint32_t freshInstanceSeed();

} // namespace zarvo
