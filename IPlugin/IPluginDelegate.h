// The editor-delegate type the plug-in base derives from. A build with the graphics framework defines
// PLUGKIT_WITH_GFX_DELEGATE for every target that sees the plug-in base, so the graphics delegate sits
// between the framework's delegate base and the plug-in base; a headless build uses the base itself.
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
