// The registry on its own: entries, the group tree, copies and placing an id.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IGfx/Controls/ITextControl.h"
#include "tests/gfx_harness/editor_session.h"
#include "utils/ui/ControlRegistry.h"

namespace zarvo::ui {
namespace {

using plugkit::gfx::IControl;
using plugkit::gfx::IRECT;
using plugkit::gfx::ITextControl;

// A descriptor whose controls show text, so a built control tells which factory made it.
ControlDesc textDesc(const std::string& text, float size = 0.25f)
{
  return {[text](const IRECT& r) -> IControl* { return new ITextControl(r, text.c_str()); }, size, text};
}

// The tree as one line: groups as name[...], controls as their ids.
std::string outline(const ControlRegistry::Node& node)
{
  std::string s;
  for (const ControlRegistry::Node::Child& c : node.children)
  {
    if (!s.empty())
      s += ' ';
    if (c.isGroup)
    {
      EXPECT_EQ(c.id, 0);
      s += c.group->name + "[" + outline(*c.group) + "]";
    }
    else
    {
      EXPECT_EQ(c.group, nullptr);
      s += std::to_string(c.id);
    }
  }
  return s;
}

std::vector<int> entryIds(const ControlRegistry& r)
{
  std::vector<int> ids;
  for (const ControlRegistry::Entry& e : r.entries)
    ids.push_back(e.id);
  return ids;
}

TEST(ControlRegistry, EmptyRegistryHasAnEmptyRoot)
{
  const ControlRegistry r;
  EXPECT_TRUE(r.entries.empty());
  EXPECT_TRUE(r.root.name.empty());
  EXPECT_TRUE(r.root.children.empty());
  EXPECT_EQ(r.current, &r.root);
}

TEST(ControlRegistry, GroupsNestAndRestoreTheNodeThatReceivesControls)
{
  ControlRegistry r;
  r.add(1, textDesc("one"));
  r.group("outer", [&] {
    r.add(2, textDesc("two"));
    r.group("inner", [&] {
      r.add(3, textDesc("three"));
      r.group("deepest", [&] { r.add(4, textDesc("four")); });
      r.add(5, textDesc("five"));
    });
    r.add(6, textDesc("six"));
    r.group("empty", [] {});
    r.group("no fill", nullptr);
  });
  r.add(7, textDesc("seven"));

  EXPECT_EQ(outline(r.root), "1 outer[2 inner[3 deepest[4] 5] 6 empty[] no fill[]] 7");
  EXPECT_EQ(entryIds(r), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(r.current, &r.root);
}

TEST(ControlRegistry, DuplicateIdsStayAndLookupFindsTheFirst)
{
  ControlRegistry r;
  r.add(5, textDesc("first", 0.5f));
  r.add(5, textDesc("second", 0.25f));
  EXPECT_EQ(outline(r.root), "5 5");
  ASSERT_EQ(r.entries.size(), 2u);
  const ControlDesc* found = findControl(r, 5);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->label, "first");
  EXPECT_EQ(found->size, 0.5f);
  EXPECT_EQ(findControl(r, 6), nullptr);
}

TEST(ControlRegistry, AddAltIsAdd)
{
  ControlRegistry viaAlt;
  ControlRegistry viaAdd;
  viaAlt.addAlt(10015, textDesc("readout", 0.67f), 79);
  viaAdd.add(10015, textDesc("readout", 0.67f));
  EXPECT_EQ(entryIds(viaAlt), entryIds(viaAdd));
  EXPECT_EQ(outline(viaAlt.root), outline(viaAdd.root));
  EXPECT_EQ(viaAlt.entries[0].desc.size, 0.67f);
  EXPECT_EQ(viaAlt.entries[0].desc.label, "readout");
}

TEST(ControlRegistry, CopiesShareGroupsAndAddOnlyToThemselves)
{
  ControlRegistry source;
  std::unique_ptr<ControlRegistry> copyInside;
  source.group("g", [&] {
    source.add(1, textDesc("one"));
    // A copy made while the source fills a group starts at its own root.
    copyInside = std::make_unique<ControlRegistry>(source);
  });
  EXPECT_EQ(copyInside->current, &copyInside->root);

  ControlRegistry copy = source;
  EXPECT_EQ(copy.current, &copy.root);
  copy.add(-1, textDesc("spacer"));
  EXPECT_EQ(outline(copy.root), "g[1] -1");
  EXPECT_EQ(outline(source.root), "g[1]");
  EXPECT_EQ(source.entries.size(), 1u);
  EXPECT_EQ(copy.root.children[0].group, source.root.children[0].group);

  // Assignment and moves keep each registry adding to its own root.
  ControlRegistry assigned;
  assigned = copy;
  ControlRegistry moved = std::move(assigned);
  moved.add(2, textDesc("two"));
  EXPECT_EQ(outline(moved.root), "g[1] -1 2");
  EXPECT_EQ(moved.current, &moved.root);
}

TEST(ControlRegistry, CopiedFactoriesBuildWhatTheSourceBuilds)
{
  ControlRegistry source;
  source.add(3, textDesc("knob text"));
  const ControlRegistry copy = source;
  const IRECT cell(10, 20, 110, 60);
  std::unique_ptr<IControl> a(source.entries[0].desc.factory(cell));
  std::unique_ptr<IControl> b(copy.entries[0].desc.factory(cell));
  EXPECT_NE(a.get(), b.get());
  EXPECT_STREQ(static_cast<ITextControl*>(a.get())->GetStr(), static_cast<ITextControl*>(b.get())->GetStr());
  EXPECT_EQ(a->GetRECT(), b->GetRECT());
}

TEST(ControlRegistry, PlacingAttachesAFreshControlPerCellAndNothingForUnknownIds)
{
  plugkit::gfx::test::EditorSession s;
  ControlRegistry r;
  r.add(1, textDesc("one"));
  r.add(2, ControlDesc{nullptr, 0.25f, "no factory"});
  r.add(3, ControlDesc{[](const IRECT&) -> IControl* { return nullptr; }, 0.25f, "builds nothing"});
  const int before = s.G().NControls();

  IControl* a = placeControl(s.G(), r, 1, IRECT(0, 0, 50, 20), -1, "TAB_USER");
  IControl* b = placeControl(s.G(), r, 1, IRECT(0, 20, 50, 40));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(a->GetRECT(), IRECT(0, 0, 50, 20));
  EXPECT_STREQ(a->GetGroup(), "TAB_USER");

  for (const int id : {2, 3, 99})
    EXPECT_EQ(placeControl(s.G(), r, id, IRECT(0, 40, 50, 60)), nullptr) << id;
  EXPECT_EQ(s.G().NControls(), before + 2);

  // A tag already taken: the context refuses the control and nothing is placed.
  ASSERT_NE(placeControl(s.G(), r, 1, IRECT(0, 60, 50, 80), 1068), nullptr);
  EXPECT_EQ(placeControl(s.G(), r, 1, IRECT(0, 80, 50, 100), 1068), nullptr);
  EXPECT_EQ(s.G().NControls(), before + 3);
}

} // namespace
} // namespace zarvo::ui
