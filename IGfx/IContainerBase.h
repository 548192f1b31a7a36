// A control that groups child controls: it creates them when attached, lays
// them out on every resize and passes hiding and disabling on to them. It draws
// nothing and lets the mouse through. Main thread only.
#pragma once

#include <functional>
#include <vector>

#include "IGfx/IControl.h"

namespace plugkit::gfx {

class IContainerBase;

using IContainerFunction =
    std::function<void(IContainerBase *container, const IRECT &bounds)>;

class IContainerBase : public IControl {
public:
  // attachFunc adds the children with AddChildControl; resizeFunc lays them
  // out.
  IContainerBase(const IRECT &bounds, IContainerFunction attachFunc = nullptr,
                 IContainerFunction resizeFunc = nullptr);

  void OnAttached() override;
  // Runs the resize function once there is a child to lay out.
  void OnResize() override;
  void Draw(IGfx &) override {}
  void Hide(bool hide) override;
  void SetDisabled(bool disable) override;

  // Attaches child to the container's context above the container; returns what
  // the context kept.
  IControl *AddChildControl(IControl *child, int ctrlTag = -1,
                            const char *group = "");
  void ForAllChildrenFunc(
      const std::function<void(int childIdx, IControl *child)> &func);
  int NChildren();
  IControl *GetChild(int idx);

private:
  // Drops children the context no longer holds, so no removed control is ever
  // touched.
  void PruneChildren();

  IContainerFunction mAttachFunc;
  IContainerFunction mResizeFunc;
  std::vector<IControl *> mChildren;
};

} // namespace plugkit::gfx
