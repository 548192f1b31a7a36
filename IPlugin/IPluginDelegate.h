// The editor-delegate type the plug-in base derives from. A build with the graphics framework turns on
// PLUGKIT_WITH_GFX_DELEGATE, a PUBLIC compile definition of plugkit_core (so every unit that sees the
// plug-in base sees one layout of it): the graphics delegate then sits between the framework's
// delegate base and the plug-in base; a headless build uses the base itself.
#pragma once

#if defined(PLUGKIT_WITH_GFX_DELEGATE) && PLUGKIT_WITH_GFX_DELEGATE
#include "IGfx/IGfxEditorDelegate.h"

namespace plugkit {
using IPluginDelegate = gfx::IGEditorDelegate;
} // namespace plugkit
#else
#include "IPlugin/IPluginEditorDelegate.h"

namespace plugkit {
using IPluginDelegate = IEditorDelegate;
} // namespace plugkit
#endif
