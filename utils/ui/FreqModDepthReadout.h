// Three rows "oct", "semi" and "cent" that spell out a frequency modulation depth given in octaves.
#pragma once

#include "IGfx/IControl.h"

namespace zarvo::ui {

// Main thread only.
class FreqModDepthReadout : public plugkit::gfx::IControl
{
public:
  explicit FreqModDepthReadout(const plugkit::gfx::IRECT& bounds);

  void Draw(plugkit::gfx::IGfx& g) override;
  // Row 0 at the top, each a third of the height; "--" as the value while no depth is known.
  void drawRow(plugkit::gfx::IGfx& g, int row, const char* name, long value, bool negative) const;

  // The parameter whose depth is shown; the readout itself is bound to none.
  void setParameter(int paramIdx) { mParameter = paramIdx; }
  int parameter() const { return mParameter; }
  void setTextStyles(const plugkit::gfx::IText& nameText, const plugkit::gfx::IText& valueText);
  // nameColumn: from the left edge to the values; gap: between names and values.
  void setLayout(float nameColumn, float gap);
  // Depth in octaves, signed; redraws only on a change.
  void setDepth(double octaves, bool valid);

  double depth() const { return mDepth; }
  bool valid() const { return mValid; }

  struct Parts
  {
    long octaves = 0;
    long semitones = 0;
    long cents = 0;
    bool negative = false;
  };
  // Rounded once, on the total cents.
  static Parts split(double octaves, bool valid);

private:
  int mParameter = -1;
  plugkit::gfx::IText mNameText;
  plugkit::gfx::IText mValueText;
  float mNameColumn = 55.f;
  float mGap = 5.f;
  double mDepth = 0.;
  bool mValid = false;
};

} // namespace zarvo::ui
