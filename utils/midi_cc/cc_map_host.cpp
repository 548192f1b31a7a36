#include "utils/midi_cc/cc_map_host.h"

#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"

namespace zarvo::midi_cc {

void GfxCCMapHost::forEachControllable(const ControllableFunc& fn)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* ui = editorUI();
  if (!ui)
    return;
  ui->ForAllControlsFunc([&fn](plugkit::gfx::IControl* c) {
    if (auto* controllable = dynamic_cast<IControllable*>(c))
      fn(*controllable, c->GetParamIdx());
  });
}

IControllable* GfxCCMapHost::firstControllableForParam(int param)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* ui = editorUI();
  return ui ? dynamic_cast<IControllable*>(ui->GetControlWithParamIdx(param)) : nullptr;
}

} // namespace zarvo::midi_cc
