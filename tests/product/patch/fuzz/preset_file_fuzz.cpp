// Random and damaged preset files of the product (the FXP container with the product's state chunk)
// loaded as the patch and into morph points: a file the preset manager refuses leaves the plug-in's
// state as it was; a file it takes leaves a state that saves as a preset and loads back to the same
// state; the morph field's reader of the file gives values from 0 to 1 or refuses it.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "IPlugin/IPluginThreadRole.h"
#include "product/Vemlor.h"
#include "tests/support/byte_mutation.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> stateOf(Vemlor& plug)
{
  plugkit::IByteChunk chunk;
  if (!plug.SerializeState(chunk))
    std::abort();
  return {chunk.GetData(), chunk.GetData() + chunk.Size()};
}

struct Fixture
{
  Fixture()
  {
    // Settings and presets in a folder of the fuzzer's own, in memory where the system has one.
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    folder = base / ("vemlor_preset_fuzz_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    plug = new Vemlor(plugkit::InstanceInfo{});
    if (plug->initialize(nullptr) != Steinberg::kResultOk)
      std::abort();
    plug->presetManager()->navigateTo(0);

    // The input is served from an anonymous file: no disk write per input.
    const int fd = ::memfd_create("preset", 0);
    if (fd < 0)
      std::abort();
    input = fd;
    inputPath = "/proc/self/fd/" + std::to_string(fd);

    const fs::path valid = folder / "valid.fxp";
    if (!plug->SavePresetAsFXP(valid.c_str()))
      std::abort();
    std::ifstream in(valid, std::ios::binary);
    validBytes.assign(std::istreambuf_iterator<char>(in), {});
    savedPath = (folder / "saved.fxp").string();
  }
  ~Fixture() { fs::remove_all(folder); }

  fs::path folder;
  Vemlor* plug = nullptr;
  int input = -1;
  std::string inputPath;
  std::string savedPath;
  std::vector<uint8_t> validBytes;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static Fixture f;
  if (size == 0)
    return 0;
  const std::vector<uint8_t> bytes = vemlor::test_support::rawOrDamaged(f.validBytes, data, size);
  if (::ftruncate(f.input, 0) != 0 ||
      ::pwrite(f.input, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
    std::abort();

  Vemlor& plug = *f.plug;
  zarvo::PresetManager& pm = *plug.presetManager();
  const std::vector<uint8_t> before = stateOf(plug);

  // Into morph points: values from 0 to 1, or nothing.
  zarvo::morph::MorphValues values{};
  uint32_t noteMask = 0;
  if (plug.morphController().fileRouter().readFXPMorphParams(f.inputPath, values, noteMask) ==
      plugkit::EFileResult::kOk)
    for (const double v : values)
      if (!(v >= 0.0 && v <= 1.0))
        std::abort();

  // As the patch.
  if (!pm.loadFromFile(f.inputPath))
  {
    if (stateOf(plug) != before)
      std::abort(); // a refused file changed the plug-in
    return 0;
  }
  const std::vector<uint8_t> loaded = stateOf(plug);
  if (!plug.SavePresetAsFXP(f.savedPath.c_str()) || !plug.LoadStateFromFXP(f.savedPath.c_str()))
    std::abort(); // what the plug-in took it must save and read again
  if (stateOf(plug) != loaded)
    std::abort();

  // The next input starts from the same patch.
  pm.navigateTo(1);
  pm.navigateTo(0);
  return 0;
}
