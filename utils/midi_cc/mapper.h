// The controller map: which MIDI controller drives which parameters, and the pending learn.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "IPlugin/IPluginQueue.h"

namespace zarvo::midi_cc {

struct ParamCCMapping
{
  int32_t paramId = -1;
  int32_t cc = -1;     // equals the key of the list that holds the mapping
  double min = 0.0;    // normalised value at controller value 0
  double max = 1.0;    // normalised value at controller value 127; may lie below min
  int32_t channel = 0; // 0 any channel, 1..16 only that channel

  bool operator==(const ParamCCMapping&) const = default;
};

// CC number to its mappings: ascending CC number, each list in insertion order.
using MappingTable = std::map<int32_t, std::vector<ParamCCMapping>>;

// The first mapping of `paramId` within one list, or the list's end.
std::vector<ParamCCMapping>::iterator findMappingIteratorForPId(std::vector<ParamCCMapping>& list, int paramId);

// The main thread owns the map and publishes every edit as an immutable snapshot; the audio thread
// reads the snapshot it pins and never inserts. A learn completed on the audio thread drives its
// parameter at once and is handed to the main thread, which adds it to the map.
class Mapper
{
public:
  struct ResolvedParam
  {
    int32_t paramId;
    double value; // normalised
  };

  static constexpr double kLearnMotionThreshold = 0.12;
  static constexpr int kNumCCs = 128;
  // Learns completed on the audio thread and not yet taken over by the main thread.
  static constexpr int kMaxPendingLearns = 8;

  Mapper();
  ~Mapper();
  Mapper(const Mapper&) = delete;
  Mapper& operator=(const Mapper&) = delete;

  // ---- main thread ----

  // Removes the parameter's first mapping and starts a learn for it.
  void setLearningForParam(int paramId, bool requireMotion);
  void clearMappingForParam(int paramId);
  // Mappings of `a` become mappings of `b` and the other way round; raises the changed flag.
  void swapParamMappings(int a, int b);
  void invertRangeForListeningParam();
  void setMinForListeningParam(double v);
  void setMaxForListeningParam(double v);
  // Empties the map, forgets the listening parameter and ends a pending learn.
  void clearAllMappings();
  // Appends {paramId, cc, 0, 1, any channel} unless the CC's list holds the parameter already;
  // raises the changed flag either way.
  void addMapping(int cc, int paramId);
  void setChannelForParam(int paramId, int channel);
  // Replaces the whole map (readers of chunks, files and clipboard text); the learn state stays.
  void replaceMappings(MappingTable table);

  int getCCForParam(int paramId) const;
  // Valid until the next edit of the map.
  const ParamCCMapping* findMappingForPId(int paramId) const;
  const MappingTable& mappings() const { return mCurrent->table; }

  int listeningParam() const { return mListeningParam.load(std::memory_order_relaxed); }
  void setListeningParam(int paramId) { mListeningParam.store(paramId, std::memory_order_relaxed); }
  // Returns whether a learn was pending.
  bool cancelLearning();
  // Takes over learns completed on the audio thread, then consumes the changed flag.
  bool consumeChanged();
  // Frees snapshots the audio thread no longer reads; every publication does it too.
  void collectRetired();

  // ---- any thread ----
  bool isLearning() const { return mLearnTicket.load(std::memory_order_acquire) != 0; }

  // ---- audio thread ----

  // One controller message (value already normalised, channel 1..16, 0 matches every mapping):
  // completes a due learn, then calls `emit(ResolvedParam)` for each mapping of `cc` that passes
  // the channel filter, in list order. Allocates nothing.
  template <class Emit>
  void processMidiCC(int cc, double value, int channel, Emit&& emit);

private:
  struct Snapshot
  {
    MappingTable table;
    uint64_t learnedThrough = 0; // highest learn sequence already in `table`
  };

  struct LearnedMapping
  {
    uint64_t seq = 0;
    int32_t cc = -1;
    int32_t paramId = -1;
  };

  template <class Edit>
  void edit(Edit&& change);
  void drainLearned(Snapshot& next);
  void publish(std::unique_ptr<Snapshot> next);

  const Snapshot& pinSnapshot();
  void unpinSnapshot();
  void learnStep(int cc, double value);
  bool overlayEntryAdds(const Snapshot& snap, int index) const;

  // Main thread.
  std::unique_ptr<Snapshot> mCurrent;
  std::vector<std::unique_ptr<Snapshot>> mRetired;
  uint32_t mLastTicket = 0;

  // Shared.
  std::atomic<const Snapshot*> mPublished{nullptr};
  std::atomic<const Snapshot*> mPinned{nullptr};
  std::atomic<int> mListeningParam{-1};
  // 0 while no learn is pending; each learn gets its own ticket so that a stale completion fails.
  std::atomic<uint32_t> mLearnTicket{0};
  std::atomic<bool> mRequireMotion{false};
  std::atomic<bool> mChanged{false};
  plugkit::IPluginQueue<LearnedMapping, kMaxPendingLearns> mLearned; // audio to main

  // Audio thread.
  uint32_t mSeenTicket = 0;
  uint64_t mNextLearnSeq = 1;
  std::array<double, kNumCCs> mFirstValue{};
  std::array<bool, kNumCCs> mSeen{};
  std::array<LearnedMapping, kMaxPendingLearns> mOverlay{};
  int mOverlayCount = 0;
};

template <class Emit>
void Mapper::processMidiCC(int cc, double value, int channel, Emit&& emit)
{
  const Snapshot& snap = pinSnapshot();
  learnStep(cc, value);

  if (auto it = snap.table.find(cc); it != snap.table.end())
  {
    for (const ParamCCMapping& m : it->second)
    {
      if (channel != 0 && m.channel != 0 && m.channel != channel)
        continue;
      emit(ResolvedParam{m.paramId, m.min + (m.max - m.min) * value});
    }
  }
  // A learned mapping the map does not hold yet: full range, any channel, after the list.
  for (int i = 0; i < mOverlayCount; ++i)
  {
    if (mOverlay[i].cc == cc && overlayEntryAdds(snap, i))
      emit(ResolvedParam{mOverlay[i].paramId, value});
  }
  unpinSnapshot();
}

} // namespace zarvo::midi_cc
