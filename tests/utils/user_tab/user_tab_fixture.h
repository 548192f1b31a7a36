// A small catalogue of the control registry's shape, and a headless editor with a user tab panel over
// the product's content area (152, 20, 910, 180) of a 940 x 200 editor.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"
#include "utils/user_tab/user_tab_cell_overlay.h"
#include "utils/user_tab/user_tab_panel.h"

namespace zarvo::ui::test {

using plugkit::gfx::IControl;
using plugkit::gfx::IRECT;
using Slot = UserTabPanel::Slot;
using Slots = std::vector<Slot>;

// Entries {id, desc {factory, size, label}} and a root group of children {isGroup, id, group}.
struct FakeRegistry
{
  struct ControlDesc
  {
    std::function<IControl*(const IRECT&)> factory;
    float size = 0.f;
    std::string label;
  };
  struct Entry
  {
    int id;
    ControlDesc desc;
  };
  struct Node
  {
    struct Child
    {
      uint8_t isGroup;
      int id;
      std::shared_ptr<Node> group;
    };
    std::string name;
    std::vector<Child> children;
  };

  std::vector<Entry> entries;
  Node root;

  // Adds to node (the root when null); the control is a recording control named "id N".
  void add(int id, float size, std::string label, Node* node = nullptr)
  {
    entries.push_back({id,
                       {[id](const IRECT& r) -> IControl* {
                          return new plugkit::gfx::test::RecordingControl(r, -1, ("id " + std::to_string(id)).c_str());
                        },
                        size, std::move(label)}});
    (node ? *node : root).children.push_back({0, id, nullptr});
  }
  // Adds a control built by factory to node.
  void add(Node& node, int id, float size, std::string label, std::function<IControl*(const IRECT&)> factory)
  {
    entries.push_back({id, {std::move(factory), size, std::move(label)}});
    node.children.push_back({0, id, nullptr});
  }
  Node* group(std::string name, Node* node = nullptr)
  {
    auto g = std::make_shared<Node>();
    g->name = std::move(name);
    (node ? *node : root).children.push_back({1, 0, g});
    return g.get();
  }
};

// The ids of the product's default tab with their catalogue sizes and groups, and a few more for the
// picker: 12 "detune" (0.125), 3 "A pt" (0.5), 10015 "user blend" (0.67), 99 "tiny" (0.1) and
// 97 "fifteen" (0.15).
FakeRegistry productLikeRegistry();

// The product's default tab.
Slots defaultSlots();

class PanelTest : public ::testing::Test
{
protected:
  static constexpr IRECT kContent{152.f, 20.f, 910.f, 180.f};

  // Makes and attaches a panel configured as the product does (no glyphs), in place of the last one.
  UserTabPanel* Make(Slots slots, bool unlocked = false, bool productSettings = true);
  // Removes the panel with its children, as closing the editor would.
  void RemovePanel();
  // The recording controls the panel placed, as "id N" names with their rectangles.
  std::vector<std::pair<std::string, IRECT>> Placed() const;
  std::vector<UserTabPanel::CellOverlay*> Overlays() const;
  // The panel's children of a type.
  template <class T>
  std::vector<T*> Children() const
  {
    std::vector<T*> out;
    panel->ForAllChildrenFunc([&out](int, IControl* c) {
      if (auto* t = dynamic_cast<T*>(c))
        out.push_back(t);
    });
    return out;
  }
  // The child whose tooltip is tip.
  IControl* WithTooltip(const std::string& tip) const;

  plugkit::gfx::test::EditorSession s{8, 940, 200};
  UserTabPanel* panel = nullptr;
  std::vector<std::pair<Slots, bool>> changes;
  // What the panel calls after each rebuild.
  std::function<void()> afterRebuild;
};

} // namespace zarvo::ui::test
