// A level meter whose look is a multi-frame bitmap, fed levels by the plug-in through delegate messages.
#pragma once

#include <cstdint>

#include "IGfx/Controls/IBitmapControl.h"

namespace plugkit::gfx {

// Main thread only.
class IBMeterControl : public IBitmapControl
{
public:
  enum class EResponse : int32_t
  {
    Linear = 0,
    Log = 1 // decibels between the low and high ends of the range
  };

  // The message payload: this header, then nChans 32-bit float levels for channels chanOffset on.
  struct PayloadHeader
  {
    int32_t nChans;
    int32_t chanOffset;
  };
  static constexpr int kLevelsMsgTag = 0;

  IBMeterControl(float x, float y, const IBitmap& bitmap, int paramIdx = -1, EResponse response = EResponse::Linear,
                 float highRangeDB = 0.f, float lowRangeDB = -72.f);

  void OnRescale() override;
  // Levels while enabled; other tags and levels for channels the control has no value for are ignored.
  void OnMsgFromDelegate(int msgTag, int dataSize, const void* pData) override;
  void Draw(IGfx& g) override { DrawBitmap(g); }

  // The value a level shows: in decibels across the range, or linear; clamped to 0..1.
  double ValueForLevel(float level) const;

private:
  EResponse mResponse;
  float mHighRangeDB;
  float mLowRangeDB;
};

} // namespace plugkit::gfx
