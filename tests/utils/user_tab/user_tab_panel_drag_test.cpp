// Drag and drop on the user tab through the synthetic-input driver: moves, refusals, undo steps, the
// drop indicator and the cursor.
#include "tests/utils/user_tab/user_tab_fixture.h"

namespace zarvo::ui::test {
namespace {

using plugkit::gfx::ECursor;
using plugkit::gfx::IMouseMod;

// Four columns of 172.5 pixels: 29 (0.33); 13, a 1/8 spacer, 14 (0.785); 3 (0.5); 11, 12 (0.455).
const Slots kLayout = {{29}, {13, -1, 14}, {3}, {11, 12}};

// Where a pointer goes, taken from the panel's geometry after the press.
struct Where
{
  enum Kind
  {
    Body,      // the middle of the cell
    Upper,     // a quarter down the cell
    Lower,     // three quarters down the cell
    RemoveBox, // inside the cell's remove box
    Strip,     // the add-column strip right of the columns
    LeftOfAll, // left of the first column
    ColumnEnd, // right of the last column's centre, inside it
  } kind;
  int column = 0;
  int cell = 0;
  float dx = 0.f;
  float dy = 0.f;
  bool shift = false;
};

class DragTest : public PanelTest
{
protected:
  DragTest()
  {
    s.G().EnableMouseOver(true);
    Make(kLayout, true);
  }

  std::pair<float, float> At(const Where& w) const
  {
    const IRECT& cols0 = panel->columnRects().front();
    float x = 0.f, y = 0.f;
    switch (w.kind)
    {
    case Where::Strip:
      x = panel->columnRects().back().R + 10.f;
      y = 100.f;
      break;
    case Where::LeftOfAll:
      x = cols0.L - 10.f;
      y = 100.f;
      break;
    case Where::ColumnEnd:
      x = panel->columnRects().back().R - 5.f;
      y = 100.f;
      break;
    default:
    {
      const IRECT r = panel->cellRects()[static_cast<size_t>(w.column)][static_cast<size_t>(w.cell)].second;
      x = r.MW();
      y = w.kind == Where::Upper ? r.T + 0.25f * r.H() : w.kind == Where::Lower ? r.T + 0.75f * r.H() : r.MH();
      if (w.kind == Where::RemoveBox)
      {
        x = r.R - 10.f;
        y = r.T + 9.f;
      }
    }
    }
    return {x + w.dx, y + w.dy};
  }

  static IMouseMod Mod(bool shift)
  {
    IMouseMod m = plugkit::gfx::test::InputDriver::Left();
    m.S = shift;
    return m;
  }
};

TEST_F(DragTest, DropsMoveCellsAndColumns)
{
  struct Case
  {
    const char* name;
    Where press;
    std::vector<Where> path; // the last point is the release
    Slots expected;
    bool step;
  };
  const Case cases[] = {
    {"a click", {Where::Body, 1, 0}, {{Where::Body, 1, 0}}, kLayout, false},
    {"5 pixels is still a click", {Where::Body, 1, 0}, {{Where::Body, 1, 0, 3.f, 4.f}}, kLayout, false},
    {"6 pixels drags, onto its own place",
     {Where::Body, 1, 0},
     {{Where::Body, 1, 0, 0.f, 6.f}, {Where::Upper, 1, 0}},
     kLayout,
     false},
    {"just below itself", {Where::Body, 1, 0}, {{Where::Upper, 1, 1}}, kLayout, false},
    {"down past the spacer", {Where::Body, 1, 0}, {{Where::Lower, 1, 1}}, {{29}, {-1, 13, 14}, {3}, {11, 12}}, true},
    {"to the end of its column",
     {Where::Body, 1, 0},
     {{Where::Lower, 1, 2}},
     {{29}, {-1, 14, 13}, {3}, {11, 12}},
     true},
    {"across, under a cell", {Where::Body, 3, 0}, {{Where::Lower, 0, 0}}, {{29, 11}, {13, -1, 14}, {3}, {12}}, true},
    {"across, emptying its column",
     {Where::Body, 2, 0},
     {{Where::Upper, 3, 1}},
     {{29}, {13, -1, 14}, {11, 3, 12}},
     true},
    {"too tall for the column", {Where::Body, 2, 0}, {{Where::Lower, 1, 2}}, kLayout, false},
    {"a column's only cell left of all, from the first column",
     {Where::Body, 0, 0},
     {{Where::LeftOfAll}},
     kLayout,
     false},
    {"a column's only cell to a new last column",
     {Where::Body, 0, 0},
     {{Where::Strip}},
     {{13, -1, 14}, {3}, {11, 12}, {29}},
     true},
    {"a cell to a new first column",
     {Where::Body, 1, 2},
     {{Where::LeftOfAll}},
     {{14}, {29}, {13, -1}, {3}, {11, 12}},
     true},
    {"shift moves the column",
     {Where::Body, 1, 0},
     {{Where::ColumnEnd, 0, 0, 0, 0, true}},
     {{29}, {3}, {11, 12}, {13, -1, 14}},
     true},
    {"shift onto its own gap", {Where::Body, 1, 0}, {{Where::Body, 1, 1, 0, 0, true}}, kLayout, false},
    {"shift let go during the drag moves the cell",
     {Where::Body, 1, 0},
     {{Where::ColumnEnd, 0, 0, 0, 0, true}, {Where::Strip, 0, 0, 0, 0, true}, {Where::Strip}},
     {{29}, {-1, 14}, {3}, {11, 12}, {13}},
     true},
    {"shift pressed during the drag moves the column",
     {Where::Body, 1, 0},
     {{Where::Strip}, {Where::LeftOfAll, 0, 0, 0, 0, true}},
     {{13, -1, 14}, {29}, {3}, {11, 12}},
     true},
    {"remove box press and release",
     {Where::RemoveBox, 1, 2},
     {{Where::RemoveBox, 1, 2}},
     {{29}, {13, -1}, {3}, {11, 12}},
     true},
    {"remove box of a column's only cell",
     {Where::RemoveBox, 0, 0},
     {{Where::RemoveBox, 0, 0, 2.f, 2.f}},
     {{13, -1, 14}, {3}, {11, 12}},
     true},
    {"remove box pressed, released outside",
     {Where::RemoveBox, 1, 2},
     {{Where::RemoveBox, 1, 2, -25.f, 0.f}},
     kLayout,
     false},
    {"remove box pressed, then dragged away and back",
     {Where::RemoveBox, 1, 0},
     {{Where::Lower, 3, 1}, {Where::RemoveBox, 1, 0}},
     {{29}, {-1, 14}, {3}, {11, 12}},
     true},
    {"pressed outside, released on the remove box",
     {Where::Body, 1, 2},
     {{Where::RemoveBox, 1, 2, 0.f, 0.f}},
     kLayout,
     false},
  };
  for (const Case& c : cases)
  {
    Make(kLayout, true);
    const auto [px, py] = At(c.press);
    s.Input().Press(px, py);
    for (size_t i = 0; i < c.path.size(); ++i)
    {
      const auto [x, y] = At(c.path[i]);
      if (i + 1 < c.path.size() || std::hypot(x - px, y - py) > 0.f)
        s.Input().DragTo(x, y, Mod(c.path[i].shift));
      if (i + 1 == c.path.size())
        s.Input().Release(x, y, Mod(c.path[i].shift));
    }
    EXPECT_EQ(panel->slots(), c.expected) << c.name;
    EXPECT_EQ(panel->history().size(), c.step ? 1u : 0u) << c.name;
    EXPECT_FALSE(panel->dragState().active) << c.name;
    RemovePanel();
  }
}

TEST_F(DragTest, IndicatorMarksTheDropPosition)
{
  struct Case
  {
    const char* name;
    Where to;
    std::function<UserTabPanel::DropMark(const UserTabPanel&)> expected;
  };
  const Case cases[] = {
    {"between two cells of another column",
     {Where::Upper, 3, 1},
     [](const UserTabPanel& p) {
       const auto& cells = p.cellRects()[3];
       const float y = 0.5f * (cells[0].second.B + cells[1].second.T);
       const IRECT col = p.columnRects()[3];
       return UserTabPanel::DropMark{p.cellRects()[1][0].second, col.L, y, col.R, y};
     }},
    {"under the last cell",
     {Where::Lower, 0, 0},
     [](const UserTabPanel& p) {
       const float y = p.cellRects()[0][0].second.B;
       const IRECT col = p.columnRects()[0];
       return UserTabPanel::DropMark{p.cellRects()[1][0].second, col.L, y, col.R, y};
     }},
    {"a new column at the end",
     {Where::Strip},
     [](const UserTabPanel& p) {
       const float x = p.columnRects().back().R;
       return UserTabPanel::DropMark{p.cellRects()[1][0].second, x, 20.f, x, 180.f};
     }},
    {"the column, between two others",
     {Where::Body, 3, 0, -30.f, 0, true},
     [](const UserTabPanel& p) {
       const float x = 0.5f * (p.columnRects()[2].R + p.columnRects()[3].L);
       return UserTabPanel::DropMark{p.columnRects()[1], x, 20.f, x, 180.f};
     }},
  };
  for (const Case& c : cases)
  {
    Make(kLayout, true);
    const auto [px, py] = At({Where::Body, 1, 0});
    s.Input().Press(px, py);
    const auto [x, y] = At(c.to);
    s.Input().DragTo(x, y, Mod(c.to.shift));
    UserTabPanel::DropMark mark;
    ASSERT_TRUE(panel->dropMark(mark)) << c.name;
    const UserTabPanel::DropMark want = c.expected(*panel);
    EXPECT_EQ(mark.outline, want.outline) << c.name;
    EXPECT_FLOAT_EQ(mark.x1, want.x1) << c.name;
    EXPECT_FLOAT_EQ(mark.y1, want.y1) << c.name;
    EXPECT_FLOAT_EQ(mark.x2, want.x2) << c.name;
    EXPECT_FLOAT_EQ(mark.y2, want.y2) << c.name;

    // Drawn in white: the outline and a 2-pixel line.
    s.recorder.Clear();
    s.G().Tick();
    bool line = false;
    for (const auto& call : s.recorder.Only("PathStroke"))
      line = line || (call.thickness == 2.f && call.color == plugkit::gfx::COLOR_WHITE);
    EXPECT_TRUE(line) << c.name;
    s.Input().Release(x, y, Mod(c.to.shift));
    RemovePanel();
  }

  // A refused drop shows no mark.
  Make(kLayout, true);
  const auto [px, py] = At({Where::Body, 2, 0});
  s.Input().Press(px, py);
  const auto [x, y] = At({Where::Lower, 1, 2});
  s.Input().DragTo(x, y);
  UserTabPanel::DropMark mark;
  EXPECT_FALSE(panel->dropMark(mark));
  EXPECT_TRUE(panel->dragState().active);
}

TEST_F(DragTest, CursorFollowsTheZone)
{
  const auto [bx, by] = At({Where::Body, 1, 0});
  const auto [rx, ry] = At({Where::RemoveBox, 1, 0});
  s.platform.cursorsSet.clear();
  s.Input().Hover(bx, by);
  EXPECT_EQ(s.platform.cursorsSet.back(), ECursor::SIZEALL);
  EXPECT_TRUE(panel->hoveredOverlay());
  s.Input().Hover(rx, ry);
  EXPECT_EQ(s.platform.cursorsSet.back(), ECursor::HAND);
  EXPECT_TRUE(panel->hoveredOverlay()->overRemove());
  // Off the cells, in the add-column strip.
  s.Input().Hover(panel->columnRects().back().R + 3.f, 30.f);
  EXPECT_EQ(s.platform.cursorsSet.back(), ECursor::ARROW);
  EXPECT_FALSE(panel->hoveredOverlay());
  s.Input().Hover(bx, by);
  s.Input().Leave();
  EXPECT_EQ(s.platform.cursorsSet.back(), ECursor::ARROW);
  // A release sets the arrow, and the hover after it the cursor of the cell under the pointer.
  s.Input().Press(bx, by);
  s.platform.cursorsSet.clear();
  s.Input().Release(bx, by);
  EXPECT_EQ(s.platform.cursorsSet, (std::vector<ECursor>{ECursor::ARROW, ECursor::SIZEALL}));
}

TEST_F(DragTest, HoverShowsGlyphsOutlineAndHint)
{
  UserTabPanel::Appearance look = panel->appearance();
  look.moveGlyph = GlyphLabel("MOVE");
  look.removeGlyph = GlyphLabel("X");
  panel->setAppearance(look);
  panel->rebuild();
  const plugkit::gfx::IColor accent(255, 95, 55, 200), highlight(255, 200, 200, 200);
  // The texts drawn in the next frame with their colours.
  const auto drawn = [this] {
    s.recorder.Clear();
    s.G().SetAllControlsDirty();
    s.G().Tick();
    std::vector<std::pair<std::string, plugkit::gfx::IColor>> texts;
    for (const auto& call : s.recorder.Only("DoDrawText"))
      texts.emplace_back(call.text, call.color);
    return texts;
  };
  const auto count = [](const auto& texts, const std::string& text, const plugkit::gfx::IColor& color) {
    return std::ranges::count(texts, std::make_pair(text, color));
  };

  auto texts = drawn();
  EXPECT_EQ(count(texts, "MOVE", highlight), 0);
  EXPECT_EQ(count(texts, "X", accent), 7); // one remove box per cell
  EXPECT_EQ(count(texts, "hold shift to move whole column", plugkit::gfx::COLOR_WHITE), 1);

  const auto [bx, by] = At({Where::Body, 3, 0});
  s.Input().Hover(bx, by);
  texts = drawn();
  EXPECT_EQ(count(texts, "MOVE", highlight), 1);
  EXPECT_EQ(panel->hoveredRect(), panel->cellRects()[3][0].second);
  const auto [rx, ry] = At({Where::RemoveBox, 3, 0});
  s.Input().Hover(rx, ry);
  texts = drawn();
  EXPECT_EQ(count(texts, "MOVE", highlight), 0);
  EXPECT_EQ(count(texts, "X", highlight), 1);
  // The 1/8 spacer's cell is too low for the move glyph.
  const auto [sx, sy] = At({Where::Body, 1, 1});
  s.Input().Hover(sx, sy);
  EXPECT_EQ(count(drawn(), "MOVE", highlight), 0);
}

TEST_F(PanelTest, DragHintStaysClearOfTheWidthButtons)
{
  const std::string hint = "hold shift to move whole column";
  struct Case
  {
    const char* name;
    Slots slots;
    bool centred; // nothing below the middle of the editor: the hint stays centred
  };
  const Case cases[] = {
    {"the product's default layout", defaultSlots(), false},
    {"a width button under the middle", {{0}, {2}, {4, -8}, {6}, {9}}, false},
    {"no width buttons", {{0, 2}, {4, 6}}, true},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Make(c.slots, true);
    s.recorder.Clear();
    s.G().SetAllControlsDirty();
    s.G().Tick();
    std::vector<IRECT> drawnAt;
    for (const auto& call : s.recorder.Only("DoDrawText"))
    {
      if (call.text == hint)
        drawnAt.push_back(call.rect);
    }
    ASSERT_EQ(drawnAt.size(), 1u);
    const IRECT at = drawnAt.front();
    EXPECT_GE(at.L, 0.f);
    EXPECT_LE(at.R, 940.f);
    EXPECT_FLOAT_EQ(at.B, kContent.B + panel->appearance().bottomBand);
    for (const IRECT& button : panel->widthModRects())
    {
      EXPECT_FALSE(at.Intersects(button)) << button.L << " " << button.R;
    }
    if (c.centred)
    {
      EXPECT_FLOAT_EQ(at.MW(), 470.f);
    }
    else
    {
      EXPECT_FALSE(panel->widthModRects().empty());
    }
  }
}

} // namespace
} // namespace zarvo::ui::test
