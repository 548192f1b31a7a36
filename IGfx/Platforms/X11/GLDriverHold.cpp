#include "IGfx/Platforms/X11/GLDriverHold.h"

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>

#include "IPlugin/IPluginThreadRole.h"

namespace plugkit::gfx {

namespace {

// The driver references, given back when this module is unloaded.
class Holds
{
public:
  ~Holds()
  {
    for (const Held& h : mHeld)
      dlclose(h.handle);
  }

  bool Contains(const std::string& path) const
  {
    for (const Held& h : mHeld)
      if (h.path == path)
        return true;
    return false;
  }

  void Add(std::string path, void* handle) { mHeld.push_back({std::move(path), handle}); }
  int Size() const { return static_cast<int>(mHeld.size()); }

private:
  struct Held
  {
    std::string path;
    void* handle;
  };
  std::vector<Held> mHeld;
};

Holds& TheHolds()
{
  static Holds holds;
  return holds;
}

// Mesa's DRI drivers ("…/dri/swrast_dri.so") and its gallium core library ("libgallium…").
bool IsGLDriver(const std::string& path)
{
  const auto slash = path.rfind('/');
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  const bool dri = file.size() > 7 && file.compare(file.size() - 7, 7, "_dri.so") == 0;
  return dri || file.rfind("libgallium", 0) == 0;
}

int CollectDriver(dl_phdr_info* info, size_t, void* out)
{
  if (info->dlpi_name != nullptr && IsGLDriver(info->dlpi_name))
    static_cast<std::vector<std::string>*>(out)->emplace_back(info->dlpi_name);
  return 0;
}

} // namespace

void HoldLoadedGLDrivers()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  std::vector<std::string> loaded;
  dl_iterate_phdr(CollectDriver, &loaded);
  Holds& holds = TheHolds();
  for (const std::string& path : loaded)
  {
    if (holds.Contains(path))
      continue;
    // RTLD_NOLOAD: a reference on what is already there, never a load of our own.
    if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD))
      holds.Add(path, handle);
  }
}

int HeldGLDriverCount()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  return TheHolds().Size();
}

} // namespace plugkit::gfx
