#include "utils/morph/morph_session.h"

#include <utility>

#include "IPlugin/IPluginThreadRole.h"

namespace zarvo::morph {

MorphSession::MorphSession(IPatchHistory& history)
  : mHistory(history)
{}

const MorphSession::Record& MorphSession::record() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mRecord;
}

bool MorphSession::active() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mRecord.active;
}

void MorphSession::open(plugkit::IByteChunk preMorphChunk)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mRecord.active = true;
  mRecord.preMorphChunk = std::move(preMorphChunk);
  mRecord.preMorphValid = true;
  mRecord.preMorphIdentity = mHistory.hasPresetManager() ? mHistory.currentIdentity() : PatchIdentity{};
  mRecord.pointApplied = false;
}

void MorphSession::markStart()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mRecord.undoDepthAtStart = 0;
  if (!mHistory.hasPresetManager())
    return;
  mHistory.captureBaseline();
  mRecord.undoDepthAtStart = mHistory.undoDepth();
  mHistory.setMorphSessionMark(mRecord.undoDepthAtStart);
}

void MorphSession::adopt()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const bool manager = mHistory.hasPresetManager();
  mRecord.active = true;
  mRecord.preMorphValid = false;
  mRecord.pointApplied = false;
  mRecord.undoDepthAtStart = manager ? mHistory.undoDepth() : 0;
  if (manager)
    mHistory.setMorphSessionMark(mRecord.undoDepthAtStart);
}

void MorphSession::notePointApplied()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  mRecord.pointApplied = true;
}

bool MorphSession::revertsOnClose() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return mRecord.pointApplied && mRecord.preMorphValid;
}

void MorphSession::closeReverted()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mHistory.hasPresetManager())
  {
    mHistory.commitFromState(plugkit::IByteChunk(), mRecord.undoDepthAtStart);
    mHistory.selectIdentity(mRecord.preMorphIdentity);
  }
  close();
}

void MorphSession::closeDiscarded()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mHistory.hasPresetManager())
  {
    mHistory.trimUndoTo(mRecord.undoDepthAtStart);
    mHistory.captureBaseline();
  }
  close();
}

void MorphSession::closeBaked(const PatchIdentity& identity)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mHistory.hasPresetManager())
  {
    mHistory.commitFromState(mRecord.preMorphValid ? mRecord.preMorphChunk : plugkit::IByteChunk(),
                             mRecord.undoDepthAtStart);
    mHistory.selectIdentity(identity);
  }
  close();
}

void MorphSession::close()
{
  mHistory.setMorphSessionMark(0);
  mRecord.active = false;
  mRecord.preMorphValid = false;
  mRecord.pointApplied = false;
}

} // namespace zarvo::morph
