// Per-parameter controller mode and per-slot modulation settings, with their state-chunk section and
// their "midi-cc-mod" text section.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "product/params/mod_params.h"
#include "product/params/params.h"

namespace plugkit {
class IByteChunk;
class IParam;
} // namespace plugkit

namespace zarvo {

class ZarvoFile;

// What the settings ask of the plug-in. Main thread.
class CCModHost
{
public:
  virtual ~CCModHost() = default;

  // Parameter 0 to 78, or none.
  virtual const plugkit::IParam* ccModParam(int index) const = 0;
  // The controller map assigns a controller to the parameter.
  virtual bool hasController(int index) const = 0;
  // For the three cutoffs: the filter follows MIDI notes.
  virtual bool cutoffFollowsNotes(int index) const = 0;
};

// All settings as plain values: what a reader stages before anything is applied.
struct CCModValues
{
  std::array<uint32_t, kNumParams> mode{};           // 1: the controller modulates; 0: it sets the value
  std::array<int32_t, mod::kNumModSlots> multiply{}; // non-zero: proportional; 0: additive
  std::array<double, mod::kNumModSlots> depth{};     // octaves for frequency slots, else -1..1
  std::array<bool, mod::kNumModSlots> bipolar{};

  bool operator==(const CCModValues&) const = default;
};

// Writers run on the main thread; every value is an atomic the audio thread may read at any time.
class CCModSettings
{
public:
  static constexpr const char* kSectionName = "midi-cc-mod";
  static constexpr int kRecordSize = 15;

  explicit CCModSettings(const CCModHost& host)
    : mHost(host)
  {}
  CCModSettings(const CCModSettings&) = delete;
  CCModSettings& operator=(const CCModSettings&) = delete;

  // ---- any thread
  // Moves after every change of any setting.
  uint64_t changes() const { return mChanges.load(std::memory_order_acquire); }
  uint32_t mode(int param) const;
  bool held(int param) const;
  int32_t multiply(int slot) const;
  double depth(int slot) const;
  bool bipolar(int slot) const;

  // ---- main thread

  // The note-mode controller switches a cutoff to modulation when its filter starts following notes.
  void setMode(int param, uint32_t mode);
  void setHeld(int param, bool held);

  CCModValues values() const;
  // Replaces every setting; ccHeld is left as it is.
  void assign(const CCModValues& values);

  // The largest depth a slot may hold: the octaves of the parameter's range for frequency slots, else 1.
  double depthLimit(int slot) const;

  // The mode the parameter falls back to: 1 for a cutoff whose filter follows notes, else 0; then
  // its held flag from that mode.
  void rederiveMode(int param);
  // For all parameters: held = has a controller and mode is 0.
  void rederiveHeld();

  // Frequency slots take depth as a distance in normalised units and store it as octaves from the
  // current value; other slots clamp it to -1..1. Clears the slot's bipolar flag.
  void setCCModDepth(int param, double depth);
  // Each returns the parameter's slot, or -1 (nothing changed) when it has none.
  int invertCCDepth(int param);
  int toggleCCBipolar(int param);
  int resetCCModSettings(int param);

  void serializeCCMod(plugkit::IByteChunk& chunk) const;
  // Reads the section at pos into out (starting from defaults) without touching the settings; the
  // position after it, pos when negative, or -1 when it does not fit the chunk.
  int parseCCMod(const plugkit::IByteChunk& chunk, int pos, CCModValues& out) const;
  // parseCCMod, then the values replace the settings only when the whole section was read.
  int unserializeCCMod(const plugkit::IByteChunk& chunk, int pos);
  // The position after the section, pos when negative, -1 when it does not fit.
  static int skipCCMod(const plugkit::IByteChunk& chunk, int pos);

  void writeCCModConfig(ZarvoFile& file) const;
  // Resets everything, applies the file's lines (the mode lock is not applied), then re-derives held.
  void readCCModConfig(const ZarvoFile& file);

private:
  static bool validParam(int param) { return param >= 0 && param < kNumParams; }
  static int slotOf(int param) { return validParam(param) ? mod::indexOf(static_cast<EParams>(param)) : -1; }
  static bool isFrequencySlot(int slot);
  // Stored depths: NaN gives 0, the rest is clamped to the slot's limit.
  double storedDepth(int slot, double depth) const;
  // After the stores of a change: the audio thread reads the settings again.
  void changed() { mChanges.fetch_add(1, std::memory_order_release); }

  const CCModHost& mHost;
  std::array<std::atomic<uint32_t>, kNumParams> mMode{};
  std::array<std::atomic<bool>, kNumParams> mHeld{};
  std::array<std::atomic<int32_t>, mod::kNumModSlots> mMultiply{};
  std::array<std::atomic<double>, mod::kNumModSlots> mDepth{};
  std::array<std::atomic<bool>, mod::kNumModSlots> mBipolar{};
  std::atomic<uint64_t> mChanges{0};
};

} // namespace zarvo
