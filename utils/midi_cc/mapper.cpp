#include "utils/midi_cc/mapper.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "IPlugin/IPluginThreadRole.h"

namespace zarvo::midi_cc {

namespace {

// The first mapping of a parameter: ascending CC number, then list order.
template <class Table>
auto firstMappingIn(Table& table, int paramId) -> decltype(&table.begin()->second.front())
{
  for (auto& entry : table)
  {
    for (auto& m : entry.second)
    {
      if (m.paramId == paramId)
        return &m;
    }
  }
  return nullptr;
}

void removeFirstMapping(MappingTable& table, int paramId)
{
  for (auto entry = table.begin(); entry != table.end(); ++entry)
  {
    auto& list = entry->second;
    if (auto it = findMappingIteratorForPId(list, paramId); it != list.end())
    {
      list.erase(it);
      if (list.empty())
        table.erase(entry);
      return;
    }
  }
}

} // namespace

std::vector<ParamCCMapping>::iterator findMappingIteratorForPId(std::vector<ParamCCMapping>& list, int paramId)
{
  return std::find_if(list.begin(), list.end(), [paramId](const ParamCCMapping& m) { return m.paramId == paramId; });
}

Mapper::Mapper()
  : mCurrent(std::make_unique<Snapshot>())
{
  mPublished.store(mCurrent.get(), std::memory_order_seq_cst);
}

Mapper::~Mapper() = default;

// ---- main thread: snapshots ----

template <class Edit>
void Mapper::edit(Edit&& change)
{
  auto next = std::make_unique<Snapshot>(*mCurrent);
  drainLearned(*next);
  change(next->table);
  publish(std::move(next));
}

void Mapper::drainLearned(Snapshot& next)
{
  LearnedMapping learned;
  while (mLearned.Pop(learned))
  {
    auto& list = next.table[learned.cc];
    if (findMappingIteratorForPId(list, learned.paramId) == list.end())
      list.push_back({learned.paramId, learned.cc, 0.0, 1.0, 0});
    next.learnedThrough = std::max(next.learnedThrough, learned.seq);
  }
}

void Mapper::publish(std::unique_ptr<Snapshot> next)
{
  mPublished.store(next.get(), std::memory_order_seq_cst);
  mRetired.push_back(std::move(mCurrent));
  mCurrent = std::move(next);
  collectRetired();
}

void Mapper::collectRetired()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // The reader pins before it re-checks the published pointer, so a snapshot that is not pinned
  // now can never be pinned again once it has been replaced.
  const Snapshot* pinned = mPinned.load(std::memory_order_seq_cst);
  std::erase_if(mRetired, [pinned](const std::unique_ptr<Snapshot>& s) { return s.get() != pinned; });
}

// ---- main thread: operations ----

void Mapper::setLearningForParam(int paramId, bool requireMotion)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  edit([&](MappingTable& table) { removeFirstMapping(table, paramId); });
  mListeningParam.store(paramId, std::memory_order_relaxed);
  mRequireMotion.store(requireMotion, std::memory_order_relaxed);
  mLastTicket = mLastTicket == UINT32_MAX ? 1 : mLastTicket + 1;
  // Release: the audio thread sees the listening parameter and motion rule with the ticket.
  mLearnTicket.store(mLastTicket, std::memory_order_release);
}

void Mapper::clearMappingForParam(int paramId)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  edit([&](MappingTable& table) { removeFirstMapping(table, paramId); });
}

void Mapper::swapParamMappings(int a, int b)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  edit([&](MappingTable& table) {
    for (auto& [cc, list] : table)
    {
      for (ParamCCMapping& m : list)
      {
        if (m.paramId == a)
          m.paramId = b;
        else if (m.paramId == b)
          m.paramId = a;
      }
    }
  });
  mChanged.store(true, std::memory_order_release);
}

void Mapper::invertRangeForListeningParam()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const int listening = listeningParam();
  edit([&](MappingTable& table) {
    if (ParamCCMapping* m = firstMappingIn(table, listening))
      std::swap(m->min, m->max);
  });
}

void Mapper::setMinForListeningParam(double v)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const int listening = listeningParam();
  edit([&](MappingTable& table) {
    if (ParamCCMapping* m = firstMappingIn(table, listening))
      m->min = v;
  });
}

void Mapper::setMaxForListeningParam(double v)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const int listening = listeningParam();
  edit([&](MappingTable& table) {
    if (ParamCCMapping* m = firstMappingIn(table, listening))
      m->max = v;
  });
}

void Mapper::clearAllMappings()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // A learn left pending would complete onto no parameter.
  mLearnTicket.store(0, std::memory_order_release);
  edit([](MappingTable& table) { table.clear(); });
  mListeningParam.store(-1, std::memory_order_relaxed);
}

void Mapper::addMapping(int cc, int paramId)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  edit([&](MappingTable& table) {
    auto& list = table[cc];
    if (findMappingIteratorForPId(list, paramId) == list.end())
      list.push_back({paramId, cc, 0.0, 1.0, 0});
  });
  mChanged.store(true, std::memory_order_release);
}

void Mapper::setChannelForParam(int paramId, int channel)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  edit([&](MappingTable& table) {
    if (ParamCCMapping* m = firstMappingIn(table, paramId))
      m->channel = channel;
  });
}

void Mapper::replaceMappings(MappingTable table)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  edit([&](MappingTable& current) { current = std::move(table); });
}

int Mapper::getCCForParam(int paramId) const
{
  const ParamCCMapping* m = findMappingForPId(paramId);
  return m ? m->cc : -1;
}

const ParamCCMapping* Mapper::findMappingForPId(int paramId) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return firstMappingIn(mCurrent->table, paramId);
}

bool Mapper::cancelLearning()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mLearnTicket.exchange(0, std::memory_order_acq_rel) != 0;
}

bool Mapper::consumeChanged()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const bool changed = mChanged.exchange(false, std::memory_order_acq_rel);
  // Learns are queued before the flag is raised, so an exchange that saw it sees them.
  if (changed)
    edit([](MappingTable&) {});
  return changed;
}

// ---- audio thread ----

const Mapper::Snapshot& Mapper::pinSnapshot()
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const Snapshot* snap = mPublished.load(std::memory_order_seq_cst);
  for (;;)
  {
    mPinned.store(snap, std::memory_order_seq_cst);
    const Snapshot* again = mPublished.load(std::memory_order_seq_cst);
    if (again == snap)
      break;
    snap = again;
  }
  // Learns the snapshot already holds need no stand-in any more.
  int kept = 0;
  for (int i = 0; i < mOverlayCount; ++i)
  {
    if (mOverlay[i].seq > snap->learnedThrough)
      mOverlay[kept++] = mOverlay[i];
  }
  mOverlayCount = kept;
  return *snap;
}

void Mapper::unpinSnapshot() { mPinned.store(nullptr, std::memory_order_release); }

void Mapper::learnStep(int cc, double value)
{
  uint32_t ticket = mLearnTicket.load(std::memory_order_acquire);
  if (ticket == 0 || cc < 0 || cc >= kNumCCs)
    return;
  if (ticket != mSeenTicket)
  {
    mSeen.fill(false);
    mSeenTicket = ticket;
  }
  if (mRequireMotion.load(std::memory_order_relaxed))
  {
    if (!mSeen[cc])
    {
      mSeen[cc] = true;
      mFirstValue[cc] = value;
      return;
    }
    // Written so that a NaN distance never completes.
    if (!(std::fabs(value - mFirstValue[cc]) >= kLearnMotionThreshold))
      return;
  }
  if (mLearned.ElementsAvailable() >= kMaxPendingLearns || mOverlayCount == kMaxPendingLearns)
    return; // the main thread has not caught up; a later message completes the learn
  const int paramId = mListeningParam.load(std::memory_order_relaxed);
  if (!mLearnTicket.compare_exchange_strong(ticket, 0, std::memory_order_acq_rel))
    return; // cancelled or restarted meanwhile
  if (paramId >= 0)
  {
    const LearnedMapping learned{mNextLearnSeq++, cc, paramId};
    mLearned.Push(learned);
    mOverlay[mOverlayCount++] = learned;
  }
  mChanged.store(true, std::memory_order_release);
}

bool Mapper::overlayEntryAdds(const Snapshot& snap, int index) const
{
  const LearnedMapping& learned = mOverlay[index];
  if (auto it = snap.table.find(learned.cc); it != snap.table.end())
  {
    for (const ParamCCMapping& m : it->second)
    {
      if (m.paramId == learned.paramId)
        return false;
    }
  }
  for (int i = 0; i < index; ++i)
  {
    if (mOverlay[i].cc == learned.cc && mOverlay[i].paramId == learned.paramId)
      return false;
  }
  return true;
}

} // namespace zarvo::midi_cc
