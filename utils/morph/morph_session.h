// The morph session: from switching morph on to the bake or the revert, with the span of undo
// history it covers.
#pragma once

#include "IPlugin/IByteChunk.h"
#include "utils/morph/morph_host.h"

namespace zarvo::morph {

// Main thread.
class MorphSession
{
public:
  struct Record
  {
    bool active = false;
    bool preMorphValid = false;
    bool pointApplied = false;
    int undoDepthAtStart = 0;
    plugkit::IByteChunk preMorphChunk;
    PatchIdentity preMorphIdentity{};
  };

  explicit MorphSession(IPatchHistory& history);
  MorphSession(const MorphSession&) = delete;
  MorphSession& operator=(const MorphSession&) = delete;

  const Record& record() const;
  bool active() const;

  // The editor switched morph on: preMorphChunk is the patch to return to. The undo span starts
  // with markStart, once the patch holds what the session starts from.
  void open(plugkit::IByteChunk preMorphChunk);
  void markStart();
  // Morphing found on without a session (a restore): a session with no patch to return to.
  void adopt();
  // A point's sound was applied to the parameters during the session.
  void notePointApplied();

  // Ending the session. True when the patch must first return to the one from before it: a point's
  // sound was applied and that patch is known.
  bool revertsOnClose() const;
  // After the revert: the session's history becomes one step back to that patch.
  void closeReverted();
  // Nothing to keep: the session's history is dropped.
  void closeDiscarded();
  // The blend was baked into the patch, now known as identity: one undo step over the session.
  void closeBaked(const PatchIdentity& identity);

private:
  void close();

  IPatchHistory& mHistory;
  Record mRecord;
};

} // namespace zarvo::morph
