#include "utils/ui/ControlRegistry.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace zarvo::ui {

ControlRegistry::ControlRegistry(const ControlRegistry& other)
  : entries(other.entries)
  , root(other.root)
{}

ControlRegistry& ControlRegistry::operator=(const ControlRegistry& other)
{
  if (this != &other)
  {
    entries = other.entries;
    root = other.root;
    current = &root;
  }
  return *this;
}

ControlRegistry::ControlRegistry(ControlRegistry&& other) noexcept
  : entries(std::move(other.entries))
  , root(std::move(other.root))
{
  other.current = &other.root;
}

ControlRegistry& ControlRegistry::operator=(ControlRegistry&& other) noexcept
{
  if (this != &other)
  {
    entries = std::move(other.entries);
    root = std::move(other.root);
    current = &root;
    other.current = &other.root;
  }
  return *this;
}

void ControlRegistry::add(int id, ControlDesc desc)
{
  entries.push_back({id, std::move(desc)});
  current->children.push_back({0, id, nullptr});
}

void ControlRegistry::addAlt(int id, ControlDesc desc, int) { add(id, std::move(desc)); }

void ControlRegistry::group(std::string name, const std::function<void()>& fill)
{
  auto node = std::make_shared<Node>();
  node->name = std::move(name);
  Node* const outer = current;
  outer->children.push_back({1, 0, node});
  current = node.get();
  if (fill)
    fill();
  current = outer;
}

const ControlDesc* findControl(const ControlRegistry& registry, int id)
{
  const auto it = std::ranges::find(registry.entries, id, &ControlRegistry::Entry::id);
  return it == registry.entries.end() ? nullptr : &it->desc;
}

plugkit::gfx::IControl* placeControl(plugkit::gfx::IGfx& g, const ControlRegistry& registry, int id,
                                     const plugkit::gfx::IRECT& cell, int tag, const char* group)
{
  const ControlDesc* desc = findControl(registry, id);
  if (!desc || !desc->factory)
    return nullptr;
  plugkit::gfx::IControl* control = desc->factory(cell);
  if (!control)
    return nullptr;
  plugkit::gfx::IControl* attached = g.AttachControl(control, tag, group);
  if (!attached)
    control->release(); // refused, as for a tag already taken: nobody else holds it
  return attached;
}

} // namespace zarvo::ui
