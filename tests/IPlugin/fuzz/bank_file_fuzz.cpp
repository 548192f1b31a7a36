// Feeds damaged bank and program files to the readers of both plug-in kinds: none crashes or reads
// past the end, the slot list keeps its size, and every parameter stays within its range.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "IPlugin/IPluginAPIBase.h"
#include "tests/support/byte_mutation.h"

namespace {

using Bytes = std::vector<uint8_t>;

plugkit::Config FuzzConfig(bool stateChunks)
{
  plugkit::Config config;
  config.nParams = 3;
  config.nPresets = 3;
  config.channelIOStr = "2-2";
  config.version = plugkit::MakeVersion(1, 3, 0);
  config.uniqueId = plugkit::MakeFourCC("Vmlr");
  config.stateChunks = stateChunks;
  return config;
}

class FuzzPlugin : public plugkit::IPluginAPIBase
{
public:
  explicit FuzzPlugin(bool stateChunks)
    : IPluginAPIBase(FuzzConfig(stateChunks), plugkit::kAPIVST3)
  {
    GetParam(0)->InitDouble("level", 0.5, 0.0, 1.0, 0.001);
    GetParam(1)->InitInt("steps", 1, 0, 4);
    GetParam(2)->InitFrequency("cutoff", 1000.0, 20.0, 20000.0, 1.0);
    MakePreset("Soft", 0.25, 2, 200.0);
    MakePreset("Hard", 1.0, 4, 8000.0);
  }

  bool InRange() const
  {
    for (int i = 0; i < NParams(); ++i)
    {
      const double v = GetParam(i)->Value();
      if (!(v >= GetParam(i)->GetMin() && v <= GetParam(i)->GetMax()))
        return false;
    }
    return NPresets() == 3 && GetCurrentPresetIdx() >= 0 && GetCurrentPresetIdx() < 3;
  }
};

Bytes ReadAll(const std::string& path)
{
  Bytes bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb"))
  {
    for (int c; (c = std::fgetc(file)) != EOF;)
      bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
  }
  return bytes;
}

struct Fixture
{
  Fixture()
  {
    char pattern[] = "/tmp/plugkit-bank-fuzz-XXXXXX";
    dir = ::mkdtemp(pattern);
    path = dir + "/input";
    for (bool chunks : {true, false})
    {
      FuzzPlugin plug(chunks);
      plug.SaveBankAsFXB(path.c_str());
      valid.push_back(ReadAll(path));
      plug.SavePresetAsFXP(path.c_str());
      valid.push_back(ReadAll(path));
    }
  }
  ~Fixture()
  {
    std::remove(path.c_str());
    ::rmdir(dir.c_str());
  }

  std::string dir;
  std::string path;
  std::vector<Bytes> valid; // chunk bank, chunk program, parameter bank, parameter program
};

// The first byte picks the input: below 64 the bytes themselves; otherwise one of the valid files,
// cut at a length taken from the next two bytes, then overwritten at (offset, value) triples.
Bytes InputOf(const Fixture& f, const uint8_t* data, size_t size)
{
  const uint8_t mode = data[0];
  ++data;
  --size;
  if (mode < 64)
    return {data, data + size};

  Bytes bytes = f.valid[mode % f.valid.size()];
  if (const auto length = vemlor::test_support::takeU16(data, size); length && *length % 2)
    vemlor::test_support::cutTo(bytes, *length); // half of the inputs keep the whole file
  vemlor::test_support::overwriteAt(bytes, data, size);
  return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static Fixture f;
  if (size == 0)
    return 0;
  const Bytes input = InputOf(f, data, size);
  if (std::FILE* file = std::fopen(f.path.c_str(), "wb"))
  {
    std::fwrite(input.data(), 1, input.size(), file);
    std::fclose(file);
  }
  for (bool chunks : {true, false})
  {
    FuzzPlugin bank(chunks);
    bank.LoadBankFromFXB(f.path.c_str());
    FuzzPlugin program(chunks);
    program.LoadPresetFromFXP(f.path.c_str());
    if (!bank.InRange() || !program.InRange())
      std::abort();
  }
  return 0;
}
