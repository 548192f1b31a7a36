#include "IGfx/Controls/IBMeterControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IBMeterControl::IBMeterControl(float x, float y, const IBitmap& bitmap, int paramIdx, EResponse response,
                               float highRangeDB, float lowRangeDB)
  : IBitmapControl(x, y, bitmap, paramIdx)
  , mResponse(response)
  , mHighRangeDB(highRangeDB)
  , mLowRangeDB(lowRangeDB)
{}

void IBMeterControl::OnRescale()
{
  if (mGraphics)
    RescaleBitmap(*mGraphics);
}

double IBMeterControl::ValueForLevel(float level) const
{
  if (!std::isfinite(level))
    return 0.;
  const double range = std::fabs(static_cast<double>(mHighRangeDB) - mLowRangeDB);
  // An empty decibel range cannot spread levels: such a meter reads linearly.
  if (mResponse == EResponse::Log && range > 0.)
  {
    const double db = 20. * std::log10(std::fabs(static_cast<double>(level)));
    const double v = (db + std::fabs(static_cast<double>(mLowRangeDB))) / range;
    return std::isnan(v) ? 0. : std::clamp(v, 0., 1.);
  }
  return std::clamp(static_cast<double>(level), 0., 1.);
}

void IBMeterControl::OnMsgFromDelegate(int msgTag, int dataSize, const void* pData)
{
  if (msgTag != kLevelsMsgTag || IsDisabled())
    return;
  constexpr int kHeader = static_cast<int>(sizeof(PayloadHeader));
  constexpr int kLevel = static_cast<int>(sizeof(float));
  const auto* bytes = static_cast<const unsigned char*>(pData);
  if (!pData || dataSize < kHeader + kLevel)
  {
    // Too short to say anything: reads as silence on the first channel.
    SetValue(ValueForLevel(0.f), 0);
    SetDirty(false);
    return;
  }
  PayloadHeader header;
  std::memcpy(&header, bytes, sizeof header);
  // Trust neither field: read only levels the payload holds, write only values the control has.
  const int levelsHeld = (dataSize - kHeader) / kLevel;
  const int count = std::min(std::max(header.nChans, 0), levelsHeld);
  for (int i = 0; i < count; ++i)
  {
    const int64_t valIdx = static_cast<int64_t>(header.chanOffset) + i;
    if (valIdx < 0 || valIdx >= NVals())
      continue;
    float level;
    std::memcpy(&level, bytes + kHeader + static_cast<size_t>(i) * sizeof(float), sizeof level);
    SetValue(ValueForLevel(level), static_cast<int>(valIdx));
  }
  SetDirty(false);
}

} // namespace plugkit::gfx
