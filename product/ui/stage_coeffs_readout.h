// A small table of one filter's pass-type blend weights as signed numbers under a title.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "IGfx/IControl.h"

namespace vemlor::ui {

// Main thread only.
class StageCoeffsReadout : public plugkit::gfx::IControl
{
public:
  // Which filter a readout belongs to.
  enum class ShapeKind : int32_t
  {
    Main = 0,
    PreA = 1,
    PreB = 2
  };
  static constexpr int kMaxRows = 5;

  explicit StageCoeffsReadout(const plugkit::gfx::IRECT& bounds);

  void Draw(plugkit::gfx::IGfx& g) override;
  // Calls the click callback when one is set.
  void OnMouseDown(float x, float y, const plugkit::gfx::IMouseMod& mod) override;

  void setClickCallback(std::function<void()> callback) { mClickCallback = std::move(callback); }
  void setShapeKind(ShapeKind kind) { mShapeKind = kind; }
  ShapeKind shapeKind() const { return mShapeKind; }
  void setTitle(const std::string& title);
  void setTextStyles(const plugkit::gfx::IText& title, const plugkit::gfx::IText& rowName,
                     const plugkit::gfx::IText& rowValue);
  void setBackground(const plugkit::gfx::IColor& color);

  // Each redraws only on a change. name must outlive the readout (a literal).
  void setRow(int row, const char* name, double value);
  void setRowCount(int count);
  void setShowRows(bool show);

  int rowCount() const { return mRowCount; }
  double rowValue(int row) const;
  // The value as drawn: sign always shown, one decimal.
  static std::string formatValue(double value);

private:
  struct Row
  {
    const char* name = "";
    double value = 0.;
  };

  std::function<void()> mClickCallback;
  std::string mTitle = "USER BLEND";
  plugkit::gfx::IText mTitleText{14.f, plugkit::gfx::DEFAULT_TEXT_FGCOLOR, "Roboto-Regular"};
  plugkit::gfx::IText mRowNameText{14.f, plugkit::gfx::DEFAULT_TEXT_FGCOLOR, "Roboto-Regular"};
  plugkit::gfx::IText mRowValueText{14.f, plugkit::gfx::DEFAULT_TEXT_FGCOLOR, "Roboto-Regular"};
  plugkit::gfx::IColor mBackground = plugkit::gfx::COLOR_TRANSPARENT;
  bool mShowRows = true;
  std::array<Row, kMaxRows> mRows{};
  int32_t mRowCount = kMaxRows;
  ShapeKind mShapeKind = ShapeKind::Main;
};

} // namespace vemlor::ui
