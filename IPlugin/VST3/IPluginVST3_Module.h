// The module's outer door: entry hooks, the factory describing its one class, and instance creation
// under a process-wide lock.
#pragma once

#include "IPlugin/IPluginConfig.h"
#include "IPlugin/VST3/IPluginVST3.h"

#include "pluginterfaces/base/funknown.h"

namespace plugkit {

// Defined once by the product the module carries (main thread): its configuration, and the
// construction of its plug-in class with one reference.
const Config& GetPlugConfig();
IPluginVST3* ConstructPlug(const InstanceInfo& info);

// Main thread: constructs the plug-in under the creation lock, one instance at a time in the process
// (the lock is recursive). Null when construction failed: nothing of it reaches the host.
IPluginVST3* MakePlug(const InstanceInfo& info);

// The 16-byte class id: a fixed prefix, then the maker code and the plug-in code, each 32-bit word
// most significant byte first.
void MakeClassID(const Config& config, Steinberg::TUID cid);

} // namespace plugkit
