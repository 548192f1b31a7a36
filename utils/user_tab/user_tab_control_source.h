// What the user tab needs of the control catalogue: each placeable control's maker, height share and
// picker label by id, and the picker's tree of named groups.
#pragma once

#include <functional>
#include <string>

#include "IGfx/IRECT.h"

namespace plugkit::gfx {
class IControl;
}

namespace zarvo::ui {

// Main thread only. Lookups answer for the first control added with an id.
class UserTabControlSource
{
public:
  // One walk over the group tree in declaration order.
  struct TreeWalk
  {
    std::function<void(const std::string& name)> enterGroup;
    std::function<void(int id)> control;
    std::function<void()> leaveGroup;
  };

  virtual ~UserTabControlSource() = default;

  virtual bool contains(int id) const = 0;
  // The control's share of a column's height (0 to 1); 0 for an unknown id.
  virtual float size(int id) const = 0;
  // The picker's name for the control; empty for an unknown id.
  virtual std::string label(int id) const = 0;
  // A new, unattached control for the cell; null for an unknown id or a control without a maker.
  virtual plugkit::gfx::IControl* create(int id, const plugkit::gfx::IRECT& cell) const = 0;
  virtual void walkTree(const TreeWalk& walk) const = 0;
};

} // namespace zarvo::ui
