// One plug-in of a bundle hosted by the test host, and a stream that hands out its bytes in pieces.
#pragma once

#include "tests/host/test_host.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vemlor::testhost {

// Opens the bundle and creates its effect class; check the session before use.
struct HostSession
{
  explicit HostSession(const char* bundlePath, bool offerRunLoop = false)
    : host(offerRunLoop)
  {
    bundle = Bundle::open(bundlePath, error);
    if (!bundle)
      return;
    const ClassInfo* info = bundle->findClass("Audio Module Class");
    if (!info)
    {
      error = "no effect class";
      return;
    }
    plugin = Plugin::create(*bundle, *info, host, error);
  }

  ~HostSession()
  {
    plugin.reset();
    if (bundle)
      bundle->close();
  }

  explicit operator bool() const { return plugin != nullptr; }
  Steinberg::Vst::IEditController& controller() { return *plugin->controller(); }

  // Every parameter's description by id.
  std::map<Steinberg::Vst::ParamID, Steinberg::Vst::ParameterInfo> parameters()
  {
    std::map<Steinberg::Vst::ParamID, Steinberg::Vst::ParameterInfo> infos;
    for (Steinberg::int32 i = 0; i < controller().getParameterCount(); ++i)
    {
      Steinberg::Vst::ParameterInfo info{};
      if (controller().getParameterInfo(i, info) == Steinberg::kResultTrue)
        infos[info.id] = info;
    }
    return infos;
  }

  std::string valueText(Steinberg::Vst::ParamID id, double normalized)
  {
    Steinberg::Vst::String128 text{};
    if (controller().getParamStringByValue(id, normalized, text) != Steinberg::kResultTrue)
      return "<refused>";
    return toUtf8(text, 128);
  }

  // The host's getParamValueByString for an ASCII text; value is passed through untouched on refusal.
  Steinberg::tresult readText(Steinberg::Vst::ParamID id, const std::string& text, Steinberg::Vst::ParamValue& value)
  {
    Steinberg::Vst::String128 wide{};
    for (size_t i = 0; i < text.size() && i < 127; ++i)
      wide[i] = static_cast<Steinberg::char16>(text[i]);
    return controller().getParamValueByString(id, wide, value);
  }

  Host host;
  std::unique_ptr<Bundle> bundle;
  std::unique_ptr<Plugin> plugin;
  std::string error;
};

// Serves its bytes from a start position, at most `piece` bytes per read; writes append.
class PieceStream : public Steinberg::IBStream
{
public:
  PieceStream(std::vector<uint8_t> bytes, int64_t start, Steinberg::int32 piece)
    : data(std::move(bytes))
    , position(start)
    , piece(piece)
  {}

  const std::vector<uint8_t>& bytes() const { return data; }

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes, Steinberg::int32* numBytesRead) override
  {
    const int64_t available = std::max<int64_t>(static_cast<int64_t>(data.size()) - position, 0);
    const auto n = static_cast<Steinberg::int32>(std::min<int64_t>({available, numBytes, piece}));
    if (n > 0)
      std::memcpy(buffer, data.data() + position, static_cast<size_t>(n));
    position += n;
    if (numBytesRead)
      *numBytesRead = n;
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override
  {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    data.insert(data.end(), bytes, bytes + numBytes);
    if (numBytesWritten)
      *numBytesWritten = numBytes;
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override
  {
    const int64_t base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? position : static_cast<int64_t>(data.size());
    if (base + pos < 0)
      return Steinberg::kInvalidArgument;
    position = base + pos;
    if (result)
      *result = position;
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override
  {
    if (pos)
      *pos = position;
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override
  {
    *obj = nullptr;
    return Steinberg::kNoInterface;
  }
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  std::vector<uint8_t> data;
  int64_t position;
  Steinberg::int32 piece;
};

} // namespace vemlor::testhost
