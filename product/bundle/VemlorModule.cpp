// What the module offers: the plug-in class Vemlor with its compiled-in configuration.
#include "IPlugin/VST3/IPluginVST3_Module.h"
#include "product/Vemlor.h"
#include "product/VemlorConfig.h"

const plugkit::Config& plugkit::GetPlugConfig() { return zarvo::kVemlorConfig; }

plugkit::IPluginVST3* plugkit::ConstructPlug(const plugkit::InstanceInfo& info) { return new Vemlor(info); }
