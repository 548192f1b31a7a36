// The panel's columns, cells and edit-mode furniture on the recording backend.
#include "tests/utils/user_tab/user_tab_fixture.h"
#include "utils/ui/GlyphButtonControl.h"
#include "utils/user_tab/user_tab_border_overlay.h"
#include "utils/user_tab/user_tab_drag_indicator.h"
#include "utils/user_tab/user_tab_geometry.h"

namespace zarvo::ui::test {
namespace {

// The default tab's width weights, left to right.
constexpr float kWeights[] = {1.f, 1.f, 1.f, 0.25f, 1.f, 0.125f, 1.f, 1.f, 0.125f, 1.f, 0.125f};
constexpr float kWeightSum = 7.625f;

void ExpectRect(const IRECT& got, const IRECT& want, const std::string& what)
{
  EXPECT_NEAR(got.L, want.L, 0.01f) << what;
  EXPECT_NEAR(got.T, want.T, 0.01f) << what;
  EXPECT_NEAR(got.R, want.R, 0.01f) << what;
  EXPECT_NEAR(got.B, want.B, 0.01f) << what;
}

TEST_F(PanelTest, DefaultTabColumnsShareTheContentWidth)
{
  struct Case
  {
    const char* name;
    bool unlocked;
    float shared; // the content width less the add-column strip
  };
  for (const Case& c : {Case{"normal", false, 758.f}, Case{"edit", true, 758.f - 68.f}})
  {
    Make(defaultSlots(), c.unlocked);
    ASSERT_EQ(panel->columnRects().size(), 11u) << c.name;
    float x = 152.f;
    for (size_t i = 0; i < 11; ++i)
    {
      const float w = kWeights[i] / kWeightSum * c.shared;
      ExpectRect(panel->columnRects()[i], IRECT(x, 20, x + w, 180),
                 std::string(c.name) + " column " + std::to_string(i));
      x += w;
    }
    RemovePanel();
  }
}

TEST_F(PanelTest, ThirdDefaultColumnStacksItsCells)
{
  Make(defaultSlots());
  const IRECT col = panel->columnRects()[2];
  // "band mode", the 1/8 spacer, "DAMPING", "damp thresh", "damp release".
  const float heights[] = {54.f, 20.f, 24.f, 27.f, 27.f};
  const std::vector<UserTabGeometry::Cell> cells = UserTabGeometry::cells(
    panel->slots()[2], col, [this](int id) -> std::optional<float> { return panel->controlSize(id); });
  ASSERT_EQ(cells.size(), 5u);
  float y = 20.f;
  for (size_t i = 0; i < 5; ++i)
  {
    EXPECT_EQ(cells[i].index, static_cast<int>(i));
    ExpectRect(cells[i].rect, IRECT(col.L, y, col.R, y + heights[i]), "cell " + std::to_string(i));
    y += heights[i] + 2.f;
  }
  // The four controls were placed in their cells (the spacer is invisible).
  std::vector<std::pair<std::string, IRECT>> placed;
  for (const auto& p : Placed())
  {
    if (p.second.L == col.L)
      placed.push_back(p);
  }
  ASSERT_EQ(placed.size(), 4u);
  EXPECT_EQ(placed[0].first, "id 9");
  ExpectRect(placed[2].second, cells[3].rect, "damp thresh");
}

TEST_F(PanelTest, NoCellLeavesItsColumn)
{
  struct Case
  {
    const char* name;
    Slot slot;
    std::vector<float> heights;
  };
  const Case cases[] = {
    {"one spacer alone takes the column", {-2}, {160.f}},
    {"spacers alone share the column", {-3, -2, -7}, {(160.f - 2.f) * 2.f / 3.f, (160.f - 2.f) / 3.f}},
    {"spacers past the height shrink, controls get nothing",
     {-3, -3, 29, -3},
     {(160.f - 6.f) / 3.f, (160.f - 6.f) / 3.f, 0.f, (160.f - 6.f) / 3.f}},
    {"unknown ids and modifiers get no cell", {-6, 77777, 29}, {160.f}},
  };
  const IRECT col(0, 0, 100, 160);
  for (const Case& c : cases)
  {
    const auto cells = UserTabGeometry::cells(c.slot, col, [](int id) -> std::optional<float> {
      if (id == 77777)
        return std::nullopt;
      if (id >= 0)
        return 0.33f;
      return UserTabLayout::isWidthMod(id) ? 0.f : UserTabLayout::kSpacerDefs[static_cast<size_t>(-id - 1)].fraction;
    });
    ASSERT_EQ(cells.size(), c.heights.size()) << c.name;
    for (size_t i = 0; i < cells.size(); ++i)
    {
      EXPECT_NEAR(cells[i].rect.H(), c.heights[i], 0.01f) << c.name << " cell " << i;
      EXPECT_GE(cells[i].rect.T, col.T) << c.name;
      EXPECT_LE(cells[i].rect.B, col.B) << c.name;
    }
  }
}

TEST_F(PanelTest, WidthModifiersWeighColumns)
{
  panel =
    new UserTabPanel(IRECT(0, 0, 600, 100), productLikeRegistry(), Slots{{-7, 29}, {11}}, false,
                     plugkit::gfx::IVStyle(), plugkit::gfx::IColor(), {}, "Vemlor", "1.3.0", "zarvo", nullptr, nullptr);
  s.G().AttachControl(panel);
  EXPECT_EQ(panel->columnRects()[0], IRECT(0, 0, 200, 100));
  EXPECT_EQ(panel->columnRects()[1], IRECT(200, 0, 600, 100));
}

TEST_F(PanelTest, EditModeFurniture)
{
  Make(defaultSlots(), true);
  EXPECT_EQ(panel->GetRECT(), IRECT(152, 0, 910, 198));
  EXPECT_EQ(panel->GetTargetRECT(), IRECT(152, 0, 910, 198));
  const auto& cols = panel->columnRects();

  // A "+" over every column in the band above it, as wide as the band is high unless the column is
  // narrower; the add-column button in the strip.
  for (size_t i = 0; i < cols.size(); ++i)
  {
    IControl* plus = nullptr;
    panel->ForAllChildrenFunc([&](int, IControl* c) {
      if (std::string(c->GetTooltip()) == "add a control" && c->GetRECT().MW() == cols[i].MW())
        plus = c;
    });
    ASSERT_TRUE(plus) << "column " << i;
    const float side = std::min(cols[i].W(), 20.f);
    ExpectRect(plus->GetRECT(), IRECT(cols[i].L, 0, cols[i].R, 20).GetCentredInside(side, side),
               "plus " + std::to_string(i));
  }
  // The add-column "+" is as large as the button text (1.5 x the style's 19).
  ExpectRect(WithTooltip("add a column")->GetRECT(), IRECT(842, 20, 892, 180).GetCentredInside(28.5f, 28.5f),
             "add column");
  EXPECT_EQ(WithTooltip("exit edit mode")->GetRECT(), IRECT(892, 20, 910, 38));
  EXPECT_EQ(WithTooltip("save")->GetRECT(), IRECT(892, 47, 910, 65));
  EXPECT_EQ(WithTooltip("load")->GetRECT(), IRECT(892, 65, 910, 83));
  EXPECT_EQ(WithTooltip("clear")->GetRECT(), IRECT(892, 92, 910, 110));
  EXPECT_EQ(WithTooltip("undo")->GetRECT(), IRECT(892, 119, 910, 137));
  EXPECT_FALSE(WithTooltip("clear")->IsDisabled());
  EXPECT_TRUE(WithTooltip("undo")->IsDisabled());

  // Width buttons in the band below their columns, with the modifier's tip.
  const std::pair<size_t, const char*> widths[] = {{3, "1/4 width. click to remove"},
                                                   {5, "1/8 width. click to remove"}};
  for (const auto& [column, tip] : widths)
  {
    IControl* found = nullptr;
    panel->ForAllChildrenFunc([&](int, IControl* c) {
      if (std::string(c->GetTooltip()) == tip && c->GetRECT().MW() == cols[column].MW())
        found = c;
    });
    ASSERT_TRUE(found) << tip;
    ExpectRect(found->GetRECT(), IRECT(cols[column].L, 180, cols[column].R, 198), tip);
  }

  // Outlines over the columns, overlays over the cells (whole columns for the empty ones), one indicator.
  EXPECT_EQ(Children<UserTabPanel::BorderOverlay>().size(), 11u);
  const auto overlays = Overlays();
  EXPECT_EQ(overlays.size(), 2u + 2u + 5u + 1u + 1u + 1u + 2u + 2u + 1u + 1u + 1u);
  int whole = 0;
  for (auto* o : overlays)
    whole += o->wholeColumn() ? 1 : 0;
  EXPECT_EQ(whole, 4);
  ASSERT_EQ(Children<UserTabPanel::DragIndicator>().size(), 1u);
  EXPECT_EQ(Children<UserTabPanel::DragIndicator>()[0]->GetRECT(), IRECT(152, 0, 910, 198));
  EXPECT_EQ(panel->cellRects()[2].size(), 5u);
}

TEST_F(PanelTest, NormalModeShowsControlsAndTheLockOnly)
{
  Make(defaultSlots());
  EXPECT_EQ(Placed().size(), 14u);
  EXPECT_EQ(panel->GetRECT(), kContent);
  EXPECT_TRUE(Overlays().empty());
  EXPECT_EQ(WithTooltip("edit user layout")->GetRECT(), IRECT(892, 20, 910, 38));
  EXPECT_FALSE(WithTooltip("save"));
}

TEST_F(PanelTest, EmptyTabHintsAtTheEditButton)
{
  Make({});
  s.recorder.Clear();
  s.G().SetAllControlsDirty();
  s.G().Tick();
  std::string hint;
  for (const auto& call : s.recorder.Only("DoDrawText"))
  {
    if (call.fontSize == 22.f)
    {
      hint += call.text;
      EXPECT_EQ(call.color, plugkit::gfx::IColor(80, 255, 255, 255));
    }
  }
  EXPECT_EQ(hint, "tap 'edit' to add your controls");

  // With the lock glyph the hint shows it in place of the word.
  UserTabPanel::Appearance look = panel->appearance();
  look.lockedGlyph = GlyphLabel::glyph("\xF3\xB0\xA4\x8C", "materialdesignicons-webfont.ttf");
  panel->setAppearance(look);
  panel->rebuild();
  s.recorder.Clear();
  s.G().SetAllControlsDirty();
  s.G().Tick();
  hint.clear();
  for (const auto& call : s.recorder.Only("DoDrawText"))
  {
    if (call.fontSize == 22.f)
      hint += call.text;
  }
  EXPECT_EQ(hint, "tap \xF3\xB0\xA4\x8C to add your controls");
}

TEST_F(PanelTest, EmptyTabInEditModeIsOneAddColumnButton)
{
  Make({}, true);
  EXPECT_EQ(WithTooltip("add a column")->GetRECT(), kContent.GetCentredInside(28.5f, 28.5f));
  EXPECT_TRUE(WithTooltip("clear")->IsDisabled());
  EXPECT_TRUE(Placed().empty());
}

TEST_F(PanelTest, ConstructionKeepsKnownIdsOnly)
{
  Make({{77777}, {29, 55555, -5}, {}, {-1}});
  EXPECT_EQ(panel->slots(), (Slots{{-5, 29}, {-1}}));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].first, panel->slots());
  EXPECT_FALSE(changes[0].second);

  changes.clear();
  Make(defaultSlots());
  EXPECT_TRUE(changes.empty());
}

TEST_F(PanelTest, ModeChangesReportAndRebuild)
{
  Make({{29}});
  panel->setUnlocked(false);
  EXPECT_TRUE(changes.empty());
  IControl* lock = WithTooltip("edit user layout");
  s.Input().Click(lock->GetRECT().MW(), lock->GetRECT().MH());
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_TRUE(changes[0].second);
  EXPECT_TRUE(panel->unlocked());
  EXPECT_FALSE(Overlays().empty());

  panel->addSlot(11);
  s.Input().Click(900, 30); // the lock again: leaving edit mode keeps the history
  EXPECT_FALSE(panel->unlocked());
  EXPECT_EQ(panel->history().size(), 1u);
  panel->setUnlocked(true);
  EXPECT_TRUE(panel->history().empty());
}

TEST_F(PanelTest, EveryClickOnTheLockTogglesEvenInQuickSuccession)
{
  Make({{29}});
  // With glyphs, as the product draws it, the lock is a glyph button.
  UserTabPanel::Appearance look = panel->appearance();
  look.lockedGlyph = zarvo::ui::GlyphLabel("L");
  look.unlockedGlyph = zarvo::ui::GlyphLabel("U");
  panel->setAppearance(look);
  panel->setUnlocked(false);
  panel->rebuild();
  ASSERT_NE(dynamic_cast<zarvo::ui::GlyphButtonControl*>(WithTooltip("edit user layout")), nullptr);
  const IRECT lock = WithTooltip("edit user layout")->GetRECT();
  s.Input().Click(lock.MW(), lock.MH());
  ASSERT_TRUE(panel->unlocked());
  // The platform reports the second press of a quick pair as a double click.
  s.Input().DoubleClick(lock.MW(), lock.MH());
  s.Input().Release(lock.MW(), lock.MH());
  EXPECT_FALSE(panel->unlocked());
}

TEST_F(PanelTest, RebuildSendsEveryParameterAndCallsBack)
{
  int rebuilt = 0;
  Make({{29}});
  afterRebuild = [&rebuilt] { ++rebuilt; };
  s.dlg.log.clear();
  panel->rebuild();
  EXPECT_EQ(rebuilt, 1);
  // The harness's delegate records nothing for values sent to controls; the hidden tab stays hidden.
  panel->Hide(true);
  panel->rebuild();
  for (const auto& p : Placed())
    EXPECT_TRUE(WithTooltip("edit user layout")->IsHidden()) << p.first;
}

} // namespace
} // namespace zarvo::ui::test
