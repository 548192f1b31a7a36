// The frequencies tab: three cutoff blocks of four registry controls each, side by side.
#include <gtest/gtest.h>

#include <string>

#include "product/editor/frequencies_tab.h"
#include "tests/product/editor/tabs_session.h"

namespace vemlor::ui::test {
namespace {

using plugkit::gfx::IControl;
using plugkit::gfx::IRECT;

constexpr float kTol = 0.01f;

void ExpectRect(const IRECT& r, float l, float t, float rr, float b, const std::string& what)
{
  EXPECT_NEAR(r.L, l, kTol) << what;
  EXPECT_NEAR(r.T, t, kTol) << what;
  EXPECT_NEAR(r.R, rr, kTol) << what;
  EXPECT_NEAR(r.B, b, kTol) << what;
}

TEST(FrequenciesTab, BlocksSpreadOverTheContentAreaWithTheirGapsOrKeepTenPixelsWhenNarrow)
{
  struct Case
  {
    const char* name;
    IRECT content;
    float x0, x1, x2; // the blocks' left edges
  };
  // r = 160 / 9, wc = 3r + 55, bw = 2 wc + 4: 17.78, 108.33, 220.67.
  const Case cases[] = {
    {"editor width 940: gaps of 32", IRECT(152, 20, 910, 180), 168.f, 420.67f, 673.33f},
    {"narrower than three blocks and 30: gaps of 10", IRECT(152, 20, 152 + 3 * 220.67f + 20, 180), 157.f, 387.67f,
     618.33f},
    {"far too narrow: still 10", IRECT(152, 20, 400, 180), 157.f, 387.67f, 618.33f},
  };
  for (const Case& c : cases)
  {
    const auto blocks = cutoffBlockRects(c.content);
    const float xs[] = {c.x0, c.x1, c.x2};
    for (size_t k = 0; k < blocks.size(); ++k)
    {
      const std::string what = std::string(c.name) + ", block " + std::to_string(k);
      const float x = xs[k];
      ExpectRect(blocks[k].caption, x, 20.f, x + 220.67f, 37.78f, what + " caption");
      ExpectRect(blocks[k].notes, x, 37.78f, x + 108.33f, 126.67f, what + " notes");
      ExpectRect(blocks[k].glide, x, 126.67f, x + 108.33f, 180.f, what + " glide");
      ExpectRect(blocks[k].controller, x + 112.33f, 37.78f, x + 220.67f, 144.44f, what + " controller");
    }
  }
}

TEST(FrequenciesTab, PlacesTwelveRegistryControlsInItsGroupInBlockOrder)
{
  TabsSession s;
  s.Open();
  const int before = s.G().NControls();
  attachFrequenciesTab(*s.pass);

  // Only the blocks are in the group; the blocks' children come with them, ungrouped.
  const std::vector<IControl*> tab = s.Group(kGroupTabFreqs);
  ASSERT_EQ(tab.size(), 12u);
  EXPECT_GT(s.G().NControls() - before, 12);
  const auto blocks = cutoffBlockRects(s.pass->content);
  for (size_t k = 0; k < 3; ++k)
  {
    const IRECT expected[] = {blocks[k].caption, blocks[k].notes, blocks[k].glide, blocks[k].controller};
    for (size_t i = 0; i < 4; ++i)
    {
      const IControl* c = tab[4 * k + i];
      ExpectRect(c->GetRECT(), expected[i].L, expected[i].T, expected[i].R, expected[i].B,
                 "block " + std::to_string(k) + " control " + std::to_string(i));
    }
  }
  // Left to right: pre-filter A, pre-filter B, main; the controller blocks show their cutoff's controller.
  const int cutoffs[] = {zarvo::par_preFlt_A_hz, zarvo::par_preFlt_B_hz, zarvo::par_main_cutoff_hz};
  for (size_t k = 0; k < 3; ++k)
  {
    bool found = false;
    s.G().ForControlWithParam(cutoffs[k], [&](IControl* c) {
      found = found || (blocks[k].controller.Contains(c->GetRECT()) && !c->IsHidden());
    });
    EXPECT_TRUE(found) << k;
  }
}

} // namespace
} // namespace vemlor::ui::test
