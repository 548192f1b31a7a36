// MIDI and system-exclusive messages as the framework passes them between host, processor and editor.
#pragma once

#include <cstdint>

namespace plugkit {

// A timed three-byte MIDI message; the offset counts samples from the start of the block.
struct IMidiMsg
{
  int32_t mOffset = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;

  // Host-facing title of MIDI controller idx (0..127); empty for any other index.
  static const char* CCNameStr(int idx);
};

// A system-exclusive message that points at bytes owned by the sender; valid during the call only.
struct ISysEx
{
  int32_t mOffset = 0;
  const uint8_t* mData = nullptr;
  int32_t mSize = 0;
};

// A system-exclusive message copied into a queue cell; longer messages are not queued.
struct SysExData
{
  static constexpr int kMaxSize = 512;

  int32_t mOffset = 0;
  int32_t mSize = 0;
  uint8_t mData[kMaxSize] = {};
};

} // namespace plugkit
