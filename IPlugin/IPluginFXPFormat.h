// The program (FXP) and bank (FXB) container: its magics and its big-endian fields.
#pragma once

#include <bit>
#include <cstdint>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginConfig.h"

namespace plugkit::fxp {

constexpr int32_t kMagicCcnK = MakeFourCC("CcnK");
constexpr int32_t kMagicFPCh = MakeFourCC("FPCh"); // program: opaque state chunk
constexpr int32_t kMagicFxCk = MakeFourCC("FxCk"); // program: normalised parameter values
constexpr int32_t kMagicFBCh = MakeFourCC("FBCh"); // bank: preset list
constexpr int32_t kMagicFxBk = MakeFourCC("FxBk"); // bank: one FxCk program per slot
constexpr int32_t kMagicTffp = MakeFourCC("tffp"); // leads the framework's data inside a chunk
constexpr int32_t kProgramVersion = 1;
constexpr int32_t kBankVersion = 2;
constexpr int32_t kFrameworkVersionWord = 0x00010000; // little-endian after "tffp"
constexpr int kProgramHeaderSize = 56;
constexpr int kProgramNameSize = 28;
constexpr int kProgramNamePos = 28;
constexpr int kBankHeaderSize = 156; // up to the end of the reserved bytes
constexpr int kBankReservedSize = 124;
constexpr int kBankDataPos = 160;

inline void PutBE32(IByteChunk& chunk, int32_t value)
{
  const uint32_t v = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                            static_cast<uint8_t>(v)};
  chunk.PutBytes(bytes, 4);
}

inline void PutBEFloat(IByteChunk& chunk, float value)
{
  PutBE32(chunk, static_cast<int32_t>(std::bit_cast<uint32_t>(value)));
}

inline bool FitsAt(const IByteChunk& chunk, int pos, int size)
{
  return pos >= 0 && size >= 0 && size <= chunk.Size() - pos;
}

// The caller has checked that the field fits.
inline int32_t GetBE32(const IByteChunk& chunk, int pos)
{
  const uint8_t* p = chunk.GetData() + pos;
  return static_cast<int32_t>((uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]});
}

inline float GetBEFloat(const IByteChunk& chunk, int pos)
{
  return std::bit_cast<float>(static_cast<uint32_t>(GetBE32(chunk, pos)));
}

} // namespace plugkit::fxp
