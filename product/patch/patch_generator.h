// New patches for morph points: the randomizer and the factory presets' starters.
#pragma once

#include "product/patch/factory_presets.h"
#include "product/patch/randomizer.h"
#include "utils/morph/morph_host.h"

namespace zarvo {

// Main thread.
class RandomizerPatchGenerator final : public morph::IPatchGenerator
{
public:
  RandomizerPatchGenerator(Randomizer& randomizer, const FactoryPresets& factory)
    : mRandomizer(randomizer)
    , mFactory(factory)
  {}
  ParamValueMap generatePatch() override { return mRandomizer.generate(); }
  ParamValueMap mutatePatch(MutationSession& session, const ParamGetter& current) override
  {
    return mRandomizer.mutate(session, current);
  }
  void recordRandomized(MutationSession& session, const ParamGetter& current) override
  {
    mRandomizer.recordRandomized(session, current);
  }
  void recordMutated(MutationSession& session, const ParamGetter& current) override
  {
    mRandomizer.recordMutated(session, current);
  }
  StarterPresets starterPresets() const override { return {mFactory.starterParams(), mFactory.starterIndices()}; }

private:
  Randomizer& mRandomizer;
  const FactoryPresets& mFactory;
};

} // namespace zarvo
