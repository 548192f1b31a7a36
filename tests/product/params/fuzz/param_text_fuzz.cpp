// Random texts a host sends for a parameter (UTF-16, as getParamValueByString takes them): a text the
// parameter reads gives a normalised value from 0 to 1, and the parameter's own texts read back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "IPlugin/IPluginParameter.h"
#include "IPlugin/VST3/IPluginVST3_Parameter.h"
#include "product/params/param_init.h"
#include "product/params/params.h"

namespace {

using Steinberg::Vst::ParamValue;
using Steinberg::Vst::String128;

struct Fixture
{
  Fixture()
  {
    for (int i = 0; i < zarvo::kNumParams; ++i)
    {
      params.push_back(std::make_unique<plugkit::IParam>());
      zarvo::initParam(*params.back(), i);
      wrappers.push_back(std::make_unique<plugkit::IPluginVST3Parameter>(*params.back(), static_cast<uint32_t>(i), 0));
    }
  }
  std::vector<std::unique_ptr<plugkit::IParam>> params;
  std::vector<std::unique_ptr<plugkit::IPluginVST3Parameter>> wrappers;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static Fixture f;
  if (size < 1)
    return 0;
  const plugkit::IPluginVST3Parameter& param = *f.wrappers[data[0] % zarvo::kNumParams];
  ++data;
  --size;

  // Odd bytes make ASCII texts likely, as hosts send; every second byte pair may reach beyond it.
  String128 text{};
  const bool wide = size > 0 && (data[0] & 1) != 0;
  size_t n = 0;
  for (size_t i = 1; i < size && n < 127; i += wide ? 2 : 1)
  {
    uint16_t c = data[i];
    if (wide && i + 1 < size)
      c = static_cast<uint16_t>(c | (data[i + 1] << 8));
    text[n++] = static_cast<Steinberg::char16>(c);
  }

  ParamValue value = 0.5;
  if (!param.fromString(text, value))
    return 0;
  if (!std::isfinite(value) || value < 0.0 || value > 1.0)
    std::abort();

  // The text shown for what was read reads back. Shown rounded (or, at the top of a wrapping range,
  // as the bottom), it may name another value; that value's own text then reads back to a value
  // shown the same way.
  String128 shown{};
  param.toString(value, shown);
  ParamValue again = -1.0;
  if (!param.fromString(shown, again) || !std::isfinite(again) || again < 0.0 || again > 1.0)
    std::abort();
  String128 shownAgain{};
  param.toString(again, shownAgain);
  ParamValue third = -1.0;
  if (!param.fromString(shownAgain, third))
    std::abort();
  String128 shownThird{};
  param.toString(third, shownThird);
  if (std::memcmp(shownAgain, shownThird, sizeof shownAgain) != 0)
    std::abort();
  return 0;
}
