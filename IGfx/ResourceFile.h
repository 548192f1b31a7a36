// Reading a resource file whole into memory.
#pragma once

#include <vector>

namespace plugkit::gfx {

// Main thread. The file's bytes; empty when it cannot be opened or yields fewer bytes than its size.
std::vector<unsigned char> ReadResourceFile(const char* path);

} // namespace plugkit::gfx
