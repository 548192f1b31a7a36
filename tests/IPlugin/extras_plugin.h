// A small plug-in whose parameters a test sets up itself, for the plug-in base extras and bank tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <stdlib.h>

#include "IPlugin/IPluginAPIBase.h"

namespace plugkit::test {

inline Config ExtrasConfig(bool stateChunks, int nParams, int nPresets, int32_t uniqueId = MakeFourCC("Vmlr"))
{
  Config config;
  config.nParams = nParams;
  config.nPresets = nPresets;
  config.channelIOStr = "1-1 2-2";
  config.pluginName = "Vemlor";
  config.version = MakeVersion(1, 3, 0);
  config.uniqueId = uniqueId;
  config.stateChunks = stateChunks;
  return config;
}

class ExtrasPlugin : public IPluginAPIBase
{
public:
  ExtrasPlugin(const Config& config, const std::function<void(ExtrasPlugin&)>& initParams)
    : IPluginAPIBase(config, kAPIVST3)
  {
    initParams(*this);
  }

  void OnRestoreState() override { calls.push_back("restore"); }
  void InformHostOfPresetChange() override { calls.push_back("presetChange"); }

  std::vector<double> Values() const
  {
    std::vector<double> values;
    for (int i = 0; i < NParams(); ++i)
      values.push_back(GetParam(i)->Value());
    return values;
  }

  std::vector<std::string> calls;
};

// The bank tests' plug-in: 0 "level" a double 0..1, 1 "steps" an int 0..4; three slots.
inline void LevelAndSteps(ExtrasPlugin& plug)
{
  plug.GetParam(0)->InitDouble("level", 0.5, 0.0, 1.0, 0.001);
  plug.GetParam(1)->InitInt("steps", 1, 0, 4);
}

using Bytes = std::vector<uint8_t>;

// A fresh folder under the system's temporary folder for one test, removed afterwards.
class TempDir
{
public:
  TempDir()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "plugkit-extras-XXXXXX").string();
    mPath = ::mkdtemp(pattern.data());
  }
  ~TempDir()
  {
    std::error_code ec;
    std::filesystem::remove_all(mPath, ec);
  }

  std::string PathOf(const std::string& name) const { return (mPath / name).string(); }

  std::string Write(const std::string& name, const Bytes& bytes) const
  {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  static Bytes Read(const std::string& path)
  {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }

  const std::filesystem::path& Path() const { return mPath; }

private:
  std::filesystem::path mPath;
};

} // namespace plugkit::test
