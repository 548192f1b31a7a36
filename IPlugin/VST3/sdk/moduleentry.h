// Hooks the bundle defines, run by the Linux module entry points (main thread).
#pragma once

// Called on the module's first ModuleEntry; false makes that entry fail.
bool InitModule();
// Called on the module's last ModuleExit.
bool DeinitModule();
