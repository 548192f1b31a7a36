// The catalogue in the user tab panel as the editor hands it over: a copy with named-position knobs
// fitted to their cells, showing the default layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "product/ui/default_user_tab.h"
#include "product/ui/section_label_control.h"
#include "tests/product/ui/catalogue_session.h"
#include "utils/user_tab/user_tab_panel.h"
#include "utils/ui/WrapKnobControl.h"

namespace vemlor::ui::test {
namespace {

using namespace plugkit::gfx;

TEST(UserTabCatalogue, DefaultLayoutPlacesEveryControlOfTheCatalogue)
{
  CatalogueSession s;
  zarvo::ui::ControlRegistry copy = s.registry;
  for (auto& entry : copy.entries)
    entry.desc.factory = zarvo::ui::WrapKnobControl::fitted(entry.desc.factory);
  int changes = 0;
  auto* panel = new zarvo::ui::UserTabPanel(
    IRECT(152, 20, 910, 180), std::move(copy), defaultUserTabSlots(), false, s.look.style1, s.look.accent,
    zarvo::ui::UserTabPanel::Callbacks{
      [&changes](const std::vector<zarvo::ui::UserTabPanel::Slot>&, bool) { ++changes; }, {}},
    "Vemlor", "1.3.0", "zarvo", nullptr, nullptr);
  ASSERT_NE(s.G().AttachControl(panel, 1068, "TAB_USER"), nullptr);

  // Nothing of the default layout is unknown to the catalogue, so nothing is dropped.
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(panel->slots(), defaultUserTabSlots());

  std::vector<IControl*> children;
  panel->ForAllChildrenFunc([&children](int, IControl* c) { children.push_back(c); });
  int placed = 0;
  for (const auto& column : defaultUserTabSlots())
  {
    for (const int id : column)
    {
      if (id < 0)
        continue;
      ++placed;
      int matches = 0;
      for (IControl* c : children)
      {
        if (id < 10000)
          matches += c->GetParamIdx() == id ? 1 : 0;
        else if (auto* caption = dynamic_cast<SectionLabelControl*>(c))
          matches += std::string(caption->GetStr()) == "DAMPING" ? 1 : 0;
      }
      EXPECT_EQ(matches, 1) << id;
    }
  }
  EXPECT_EQ(placed, 14);
}

} // namespace
} // namespace vemlor::ui::test
