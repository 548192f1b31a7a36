#include "IGfx/IContainerBase.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IContainerBase::IContainerBase(const IRECT& bounds, IContainerFunction attachFunc, IContainerFunction resizeFunc)
  : IControl(bounds)
  , mAttachFunc(std::move(attachFunc))
  , mResizeFunc(std::move(resizeFunc))
{
  mIgnoreMouse = true;
}

void IContainerBase::OnAttached()
{
  if (mAttachFunc)
    mAttachFunc(this, mRECT);
  OnResize();
}

void IContainerBase::OnResize()
{
  PruneChildren();
  if (mResizeFunc && !mChildren.empty())
    mResizeFunc(this, mRECT);
}

void IContainerBase::Hide(bool hide)
{
  ForAllChildrenFunc([hide](int, IControl* child) { child->Hide(hide); });
  IControl::Hide(hide);
}

void IContainerBase::SetDisabled(bool disable)
{
  ForAllChildrenFunc([disable](int, IControl* child) { child->SetDisabled(disable); });
  IControl::SetDisabled(disable);
}

IControl* IContainerBase::AddChildControl(IControl* child, int ctrlTag, const char* group)
{
  if (!child || !mGraphics)
    return nullptr;
  child->SetParent(this);
  IControl* attached = mGraphics->AttachControl(child, ctrlTag, group);
  if (attached)
    mChildren.push_back(attached);
  else
    child->SetParent(nullptr);
  return attached;
}

void IContainerBase::ForAllChildrenFunc(const std::function<void(int childIdx, IControl* child)>& func)
{
  PruneChildren();
  // A copy: the function may remove or add controls.
  const std::vector<IControl*> children = mChildren;
  for (size_t i = 0; i < children.size(); ++i)
  {
    if (mGraphics && mGraphics->GetControlIdx(children[i]) >= 0)
      func(static_cast<int>(i), children[i]);
  }
}

int IContainerBase::NChildren()
{
  PruneChildren();
  return static_cast<int>(mChildren.size());
}

IControl* IContainerBase::GetChild(int idx)
{
  PruneChildren();
  if (idx < 0 || idx >= static_cast<int>(mChildren.size()))
    return nullptr;
  return mChildren[static_cast<size_t>(idx)];
}

void IContainerBase::PruneChildren()
{
  // Pointers are compared against the context's list before any is
  // dereferenced.
  std::erase_if(
    mChildren, [this](IControl* c) { return !mGraphics || mGraphics->GetControlIdx(c) < 0 || c->GetParent() != this; });
}

} // namespace plugkit::gfx
