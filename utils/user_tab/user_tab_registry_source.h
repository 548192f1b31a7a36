// The user tab's view of a control registry: any registry with a list of entries {id, desc {factory,
// size, label}} and a root group {name, children {isGroup, id, group}}, kept by value.
#pragma once

#include <utility>

#include "utils/user_tab/user_tab_control_source.h"

namespace zarvo::ui {

template <class Registry>
class RegistryControlSource final : public UserTabControlSource
{
public:
  explicit RegistryControlSource(Registry registry)
    : mRegistry(std::move(registry))
  {}

  bool contains(int id) const override { return find(id) != nullptr; }
  float size(int id) const override
  {
    const auto* desc = find(id);
    return desc ? static_cast<float>(desc->size) : 0.f;
  }
  std::string label(int id) const override
  {
    const auto* desc = find(id);
    return desc ? std::string(desc->label) : std::string();
  }
  plugkit::gfx::IControl* create(int id, const plugkit::gfx::IRECT& cell) const override
  {
    const auto* desc = find(id);
    return desc && desc->factory ? desc->factory(cell) : nullptr;
  }
  void walkTree(const TreeWalk& walk) const override { walkNode(mRegistry.root, walk); }

private:
  const auto* find(int id) const
  {
    for (const auto& entry : mRegistry.entries)
    {
      if (entry.id == id)
        return &entry.desc;
    }
    return static_cast<decltype(&mRegistry.entries.front().desc)>(nullptr);
  }

  template <class Node>
  static void walkNode(const Node& node, const TreeWalk& walk)
  {
    for (const auto& child : node.children)
    {
      if (!child.isGroup)
      {
        if (walk.control)
          walk.control(child.id);
      }
      else if (child.group)
      {
        if (walk.enterGroup)
          walk.enterGroup(child.group->name);
        walkNode(*child.group, walk);
        if (walk.leaveGroup)
          walk.leaveGroup();
      }
    }
  }

  Registry mRegistry;
};

} // namespace zarvo::ui
