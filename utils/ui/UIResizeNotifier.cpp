#include "utils/ui/UIResizeNotifier.h"

#include "IGfx/IGfx.h"

namespace zarvo::ui {

UIResizeNotifier::UIResizeNotifier(Callback callback_)
  : IControl(plugkit::gfx::IRECT(0.f, 0.f, 2.f, 2.f), -1)
  , callback(std::move(callback_))
{
  // It sits under the logo's corner; clicks there belong to what lies beneath.
  SetIgnoreMouse(true);
}

UIResizeNotifier::~UIResizeNotifier() = default;

void UIResizeNotifier::OnResize()
{
  plugkit::gfx::IGfx* g = GetUI();
  if (drawCount == 0 || !g || !callback)
    return;
  callback(g->Width(), g->Height(), g->GetDrawScale(), g->GetResizingInProcess());
}

void UIResizeNotifier::Draw(plugkit::gfx::IGfx&) { ++drawCount; }

} // namespace zarvo::ui
