// The catalogue of controls a user may place: entries that build a control for a cell, and a tree of
// named groups for the picker menu.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IGfx/IControl.h"

namespace plugkit::gfx {
class IGfx;
}

namespace zarvo::ui {

// One placeable control.
struct ControlDesc
{
  // A fresh, unattached control for the cell on every call; it keeps by value what it needs, by
  // reference only what outlives the editor.
  std::function<plugkit::gfx::IControl*(const plugkit::gfx::IRECT&)> factory;
  // Share of a column's height, 0..1.
  float size = 0.f;
  // The picker's name for it.
  std::string label;
};

// Built once per editor on the main thread, then only read and copied; copies share the group nodes.
class ControlRegistry
{
public:
  struct Entry
  {
    int32_t id;
    ControlDesc desc;
  };

  struct Node
  {
    struct Child
    {
      uint8_t isGroup; // 1 for a sub-group, 0 for a control
      int32_t id;      // 0 for a sub-group
      std::shared_ptr<Node> group;
    };
    std::string name;
    std::vector<Child> children;
  };

  ControlRegistry() = default;
  // The copy's entries and root are its own (sub-groups shared); it adds to its own root.
  ControlRegistry(const ControlRegistry& other);
  ControlRegistry& operator=(const ControlRegistry& other);
  ControlRegistry(ControlRegistry&& other) noexcept;
  ControlRegistry& operator=(ControlRegistry&& other) noexcept;
  ~ControlRegistry() = default;

  // Appends the entry and a control item to the group being filled. Duplicate ids are kept; lookups
  // find the first.
  void add(int id, ControlDesc desc);
  // The same as add; the catalogue's form for controls that stand for no single parameter.
  void addAlt(int id, ControlDesc desc, int);
  // Appends a named sub-group and adds what fill adds into it, nesting to any depth. An empty fill
  // leaves an empty group.
  void group(std::string name, const std::function<void()>& fill);

  std::vector<Entry> entries;
  Node root;
  Node* current = &root; // the node that receives new children
};

// The first entry with the id, or null.
const ControlDesc* findControl(const ControlRegistry& registry, int id);

// Main thread. Builds the control for id in the cell and attaches it with the tag and group; null,
// placing nothing, when no entry or no factory answers for the id or the context refuses the control.
plugkit::gfx::IControl* placeControl(plugkit::gfx::IGfx& g, const ControlRegistry& registry, int id,
                                     const plugkit::gfx::IRECT& cell, int tag = -1, const char* group = "");

} // namespace zarvo::ui
