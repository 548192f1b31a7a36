// The compiled-in configuration record a plug-in hands to the framework bases, and its companions.
#pragma once

#include <cstdint>

namespace plugkit {

// A four-character code, first character in the most significant byte ("Vmlr" reads in that order).
constexpr int32_t MakeFourCC(const char (&code)[5])
{
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
}

// Packed version 0xMMMMmmpp: major in the upper 16 bits, minor in bits 8..15, patch in bits 0..7.
constexpr int32_t MakeVersion(int major, int minor, int patch)
{
  return static_cast<int32_t>((static_cast<uint32_t>(major) << 16) | ((static_cast<uint32_t>(minor) & 0xFF) << 8) |
                              (static_cast<uint32_t>(patch) & 0xFF));
}

// "major.minor.patch" of a packed version, built at compile time so that the text and the number
// come from one definition.
struct VersionText
{
  char chars[16] = {};
  constexpr const char* c_str() const { return chars; }
};

constexpr VersionText MakeVersionText(int32_t packed)
{
  VersionText text;
  int at = 0;
  const int parts[3] = {static_cast<int>((static_cast<uint32_t>(packed) >> 16) & 0xFFFF),
                        static_cast<int>((packed >> 8) & 0xFF), static_cast<int>(packed & 0xFF)};
  for (int i = 0; i < 3; ++i)
  {
    if (i > 0)
      text.chars[at++] = '.';
    char digits[5] = {};
    int n = 0;
    int v = parts[i];
    do
    {
      digits[n++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v > 0);
    while (n > 0)
      text.chars[at++] = digits[--n];
  }
  return text;
}

// The host API a binding drives the plug-in through.
enum EAPI : int32_t
{
  kAPIUnknown = 0,
  kAPIVST3 = 1,
};

// Plug-in type codes.
enum EPlugType : int32_t
{
  kPlugTypeEffect = 0,
  kPlugTypeInstrument = 1,
  kPlugTypeMidiEffect = 2,
  kPlugTypeGenerator = 3,
};

// What the module's creation function passes to a new instance; the VST3 binding needs nothing.
struct InstanceInfo
{};

// Passed by value to the plug-in's constructor and on to the host-API base and the processor core.
// Texts are static, NUL-terminated strings.
struct Config
{
  int32_t nParams = 0;
  int32_t nPresets = 0;
  const char* channelIOStr = "";
  const char* pluginName = "";
  const char* productName = "";
  const char* makerName = "";
  int32_t version = 0;  // 0xMMMMmmpp
  int32_t uniqueId = 0; // four-character code
  int32_t makerId = 0;  // four-character code
  int32_t latency = 0;  // samples
  bool midiIn = false;
  bool midiOut = false;
  bool mpe = false;
  bool stateChunks = false;
  int32_t plugType = kPlugTypeEffect;
  bool hasEditor = false;
  int32_t editorWidth = 0;
  int32_t editorHeight = 0;
  int32_t minWidth = 0;
  int32_t maxWidth = 0;
  int32_t minHeight = 0;
  int32_t maxHeight = 0;
  bool hostMayResize = false;
  const char* bundleId = "";
  const char* appGroupId = "";
};

} // namespace plugkit
