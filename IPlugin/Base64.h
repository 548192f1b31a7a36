// Standard Base64 (RFC 4648 alphabet, "=" padding) for preset blobs.
#pragma once

#include <cstdint>
#include <string>

namespace plugkit {

// Any thread (allocates).
std::string Base64Encode(const uint8_t* data, int size);

// Decodes into out, which the caller has zero-filled, stopping at the first character outside the
// alphabet ("=" and the terminator included) or once size bytes are written. Returns the bytes
// written. Never allocates.
int Base64Decode(const char* text, uint8_t* out, int size);

} // namespace plugkit
