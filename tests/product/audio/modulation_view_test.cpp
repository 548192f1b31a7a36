// The audio thread's copy of the controller modulation and holds: read again only when the
// plug-in's count of changes moved.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "IPlugin/IPluginParameter.h"
#include "product/audio/modulation_view.h"
#include "product/params/param_init.h"

namespace zarvo {
namespace {

// Modulation and holds set by the test, a count it moves by hand, and how often each is read.
class CountingSource final : public ParamModulator
{
public:
  CountingSource()
  {
    for (int i = 0; i < kNumParams; ++i)
    {
      mParams[static_cast<size_t>(i)] = std::make_unique<plugkit::IParam>();
      initParam(*mParams[static_cast<size_t>(i)], i);
    }
  }
  const plugkit::IParam& param(int index) const override { return *mParams[static_cast<size_t>(index)]; }
  bool modulation(int p, SlotModulation& out) const override
  {
    ++modulationReads;
    out = slots[static_cast<size_t>(p)];
    return modulating[static_cast<size_t>(p)];
  }
  bool heldByController(int p) const override
  {
    ++heldReads;
    return held[static_cast<size_t>(p)];
  }
  uint64_t modulationEpoch() const override { return epoch; }

  std::array<bool, kNumParams> modulating{};
  std::array<SlotModulation, kNumParams> slots{};
  std::array<bool, kNumParams> held{};
  uint64_t epoch = 5;
  mutable int modulationReads = 0;
  mutable int heldReads = 0;

private:
  std::array<std::unique_ptr<plugkit::IParam>, kNumParams> mParams;
};

TEST(ModulationView, ReadsTheSourceAgainOnlyWhenItsCountMoved)
{
  CountingSource source;
  source.modulating[par_main_drive] = true;
  source.slots[par_main_drive] = {0.25, 0.5};
  source.held[par_main_resonance] = true;
  source.held[kNumParams - 1] = true;
  ModulationView view(source);

  EXPECT_TRUE(view.refresh()) << "the first block reads everything";
  EXPECT_EQ(source.modulationReads, mod::kNumModSlots);
  EXPECT_EQ(source.heldReads, kNumParams);
  EXPECT_TRUE(view.anyActive());
  EXPECT_TRUE(view.held(par_main_resonance));
  EXPECT_TRUE(view.held(kNumParams - 1));
  EXPECT_FALSE(view.held(par_main_drive));
  EXPECT_FALSE(view.held(-1));
  EXPECT_FALSE(view.held(kNumParams));
  EXPECT_DOUBLE_EQ(view.composeRelativeCC(par_main_drive, 0.2), 0.2 + 0.25 * 0.5);
  EXPECT_EQ(view.composeRelativeCC(par_main_resonance, 0.2), 0.2);

  // Unchanged count: the copy stays, even when the source's values differ (a change not yet counted).
  source.slots[par_main_drive].controllerValue = 1.0;
  source.held[par_main_resonance] = false;
  EXPECT_FALSE(view.refresh());
  EXPECT_EQ(source.modulationReads, mod::kNumModSlots);
  EXPECT_TRUE(view.heldByController(par_main_resonance));

  source.epoch = 6;
  EXPECT_TRUE(view.refresh());
  EXPECT_EQ(view.modulationEpoch(), 6u);
  EXPECT_FALSE(view.held(par_main_resonance));
  EXPECT_DOUBLE_EQ(view.composeRelativeCC(par_main_drive, 0.2), 0.2 + 1.0 * 0.5);

  source.modulating[par_main_drive] = false;
  view.forget();
  EXPECT_TRUE(view.refresh()) << "after a reset the source is read whatever its count says";
  EXPECT_FALSE(view.anyActive());
  SlotModulation out;
  EXPECT_FALSE(view.modulation(par_main_drive, out));
  EXPECT_FALSE(view.modulation(par_main_pt_tilt, out)) << "a parameter without a slot";
}

} // namespace
} // namespace zarvo
