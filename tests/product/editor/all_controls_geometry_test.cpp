// Where the header, the preset row and the all-controls tab put their controls at 940 pixels wide.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <typeinfo>

#include "IGfx/Controls/IVButtonControl.h"
#include "IGfx/Controls/IVSwitchControl.h"
#include "IGfx/Controls/IVToggleControl.h"
#include "product/ui/section_label_control.h"
#include "product/ui/stage_coeffs_readout.h"
#include "product/ui/tooltip_tab_switch_control.h"
#include "tests/product/editor/vemlor_editor_fixture.h"
#include "utils/midi_cc/controllable.h"
#include "utils/ui/GlyphButtonControl.h"
#include "utils/ui/GlyphLabelControl.h"
#include "utils/ui/PresetStripControl.h"
#include "utils/ui/WrapKnobControl.h"

namespace vemlor::ui::test {
namespace {

using namespace plugkit::gfx;
using namespace zarvo;

constexpr float kTolerance = 0.001f;

void expectRect(const IRECT& actual, const IRECT& expected, const std::string& what)
{
  EXPECT_NEAR(actual.L, expected.L, kTolerance) << what;
  EXPECT_NEAR(actual.T, expected.T, kTolerance) << what;
  EXPECT_NEAR(actual.R, expected.R, kTolerance) << what;
  EXPECT_NEAR(actual.B, expected.B, kTolerance) << what;
}

// A parameter's control in the tab, a tagged control, or the damping caption.
struct CellRow
{
  int row;
  const char* name;
  int param; // -1: found by tag or class
  int tag;
  IRECT rect;
};

const CellRow kAllControls[] = {
  {1, "processing order", par_preFlt_processing_order, -1, {156.000f, 20.000f, 216.909f, 100.000f}},
  {2, "band mode", par_preFlt_band_mode, -1, {152.000f, 100.000f, 220.909f, 140.000f}},
  {3, "negative band mix", par_neg_band_mix, -1, {152.000f, 140.000f, 220.909f, 180.000f}},
  {4, "A detune", par_preFlt_A_detune, -1, {220.909f, 20.000f, 289.818f, 40.000f}},
  {5, "A pass type", par_preFlt_A_pt, -1, {220.909f, 40.000f, 289.818f, 80.000f}},
  {6, "A readout", -1, kTagPreAStageCoeffs, {220.909f, 80.000f, 289.818f, 100.000f}},
  {7, "B detune", par_preFlt_B_detune, -1, {220.909f, 100.000f, 289.818f, 120.000f}},
  {8, "B pass type", par_preFlt_B_pt, -1, {220.909f, 120.000f, 289.818f, 160.000f}},
  {9, "B readout", -1, kTagPreBStageCoeffs, {220.909f, 160.000f, 289.818f, 180.000f}},
  {10, "A frequency", par_preFlt_A_hz, -1, {289.818f, 20.000f, 358.727f, 100.000f}},
  {11, "B frequency", par_preFlt_B_hz, -1, {289.818f, 100.000f, 358.727f, 180.000f}},
  {12, "A resonance", par_preFlt_A_res, -1, {358.727f, 20.000f, 427.636f, 100.000f}},
  {13, "B resonance", par_preFlt_B_res, -1, {358.727f, 100.000f, 427.636f, 180.000f}},
  {14, "main resonance", par_main_resonance, -1, {431.636f, 20.000f, 492.545f, 100.000f}},
  {15, "damping caption", -1, -1, {427.636f, 100.000f, 496.545f, 120.000f}},
  {16, "damping threshold", par_damping_thresh, -1, {427.636f, 120.000f, 496.545f, 140.000f}},
  {17, "damping hold", par_damping_hold, -1, {427.636f, 140.000f, 496.545f, 160.000f}},
  {18, "damping release", par_damping_release, -1, {427.636f, 160.000f, 496.545f, 180.000f}},
  {19, "main cutoff", par_main_cutoff_hz, -1, {500.545f, 20.000f, 561.455f, 140.000f}},
  {20, "main detune", par_main_detune, -1, {496.545f, 140.000f, 565.455f, 160.000f}},
  {21, "drive", par_main_drive, -1, {569.455f, 20.000f, 630.364f, 100.000f}},
  {22, "saturation type", par_main_saturation_type, -1, {575.955f, 100.000f, 623.864f, 180.000f}},
  {23, "break intensity", par_break_intensity, -1, {638.364f, 20.000f, 699.273f, 140.000f}},
  {24, "break invert", par_break_invert_fb, -1, {634.364f, 160.000f, 703.273f, 180.000f}},
  {25, "break double", par_break_double, -1, {634.364f, 140.000f, 703.273f, 160.000f}},
  {26, "break character", par_break_character, -1, {713.773f, 20.000f, 761.682f, 100.000f}},
  {27, "break parameter", par_break_param, -1, {703.273f, 100.000f, 772.182f, 180.000f}},
  {28, "main pass type", par_main_pass_type, -1, {772.182f, 20.000f, 841.091f, 73.333f}},
  {29, "pass-type depth", par_main_pt_depth, -1, {772.182f, 91.111f, 841.091f, 135.556f}},
  {30, "pass-type tilt", par_main_pt_tilt, -1, {772.182f, 135.556f, 841.091f, 180.000f}},
  {31, "main readout", -1, kTagMainStageCoeffs, {772.182f, 73.333f, 841.091f, 91.111f}},
  {32, "dry/wet", par_dry_wet, -1, {845.091f, 20.000f, 906.000f, 100.000f}},
  {33, "gain", par_main_gain, -1, {845.091f, 100.000f, 906.000f, 180.000f}},
  {34, "gain on dry", par_gain_on_dry, -1, {910.000f, 110.795f, 918.000f, 169.205f}},
};

IControl* findCell(VemlorEditorFixture& f, const CellRow& row)
{
  if (row.param >= 0)
    return f.inGroup(kGroupTabAll, row.param);
  if (row.tag >= 0)
    return f.tagged(row.tag);
  for (IControl* c : f.group(kGroupTabAll))
    if (dynamic_cast<SectionLabelControl*>(c))
      return c;
  return nullptr;
}

class AllControlsGeometry : public testing::TestWithParam<bool>
{};

TEST_P(AllControlsGeometry, EveryRowOfTheTableAtBothHeights)
{
  VemlorEditorFixture f({.morphOn = GetParam()});
  ASSERT_EQ(f.G().Height(), GetParam() ? 620 : 200);
  for (const CellRow& row : kAllControls)
  {
    IControl* c = findCell(f, row);
    ASSERT_NE(c, nullptr) << "row " << row.row << " " << row.name;
    EXPECT_STREQ(c->GetGroup(), kGroupTabAll) << row.name;
    // A named-position knob widens its rectangle around the cell for the names.
    const auto* knob = dynamic_cast<zarvo::ui::WrapKnobControl*>(c);
    expectRect(knob ? knob->knobRect() : c->GetRECT(), row.rect, std::to_string(row.row) + " " + row.name);
  }
  // The table's 33 controls and the caption: nothing else in the tab.
  EXPECT_EQ(f.group(kGroupTabAll).size(), std::size(kAllControls));
  // The morph page exists only in the tall editor.
  if (!GetParam())
  {
    EXPECT_TRUE(f.group(kGroupMorph).empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Heights, AllControlsGeometry, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "h620" : "h200"; });

TEST(AllControlsTab, ShapeReadoutsStartHiddenWithTheirTitleOnlyAndTheirHelp)
{
  VemlorEditorFixture f;
  for (int tag : {kTagMainStageCoeffs, kTagPreAStageCoeffs, kTagPreBStageCoeffs})
  {
    auto* readout = dynamic_cast<StageCoeffsReadout*>(f.tagged(tag));
    ASSERT_NE(readout, nullptr) << tag;
    EXPECT_TRUE(readout->IsHidden()) << tag;
    EXPECT_STREQ(readout->GetTooltip(), "a filter shape with no single name\n\nclick to snap to the nearest pass type");
  }
  EXPECT_EQ(dynamic_cast<StageCoeffsReadout*>(f.tagged(kTagMainStageCoeffs))->shapeKind(),
            StageCoeffsReadout::ShapeKind::Main);
  EXPECT_EQ(dynamic_cast<StageCoeffsReadout*>(f.tagged(kTagPreAStageCoeffs))->shapeKind(),
            StageCoeffsReadout::ShapeKind::PreA);
  EXPECT_EQ(dynamic_cast<StageCoeffsReadout*>(f.tagged(kTagPreBStageCoeffs))->shapeKind(),
            StageCoeffsReadout::ShapeKind::PreB);
}

TEST(Header, ColumnControlsSitWhereTheTabColumnIs)
{
  VemlorEditorFixture f;
  IControl* tabs = nullptr;
  IControl* morph = nullptr;
  IControl* oversampling = nullptr;
  for (int i = 0; i < f.G().NControls(); ++i)
  {
    IControl* c = f.G().GetControl(i);
    if (dynamic_cast<TooltipTabSwitchControl*>(c))
      tabs = c;
    else if (c->GetParamIdx() == par_morph_active && dynamic_cast<IVToggleControl*>(c))
      morph = c;
    else if (c->GetParamIdx() == par_oversampling && !*c->GetGroup())
      oversampling = c;
  }
  ASSERT_NE(tabs, nullptr);
  ASSERT_NE(morph, nullptr);
  ASSERT_NE(oversampling, nullptr);
  expectRect(tabs->GetRECT(), {77.f, 20.f, 132.f, 74.f}, "tabs");
  expectRect(morph->GetRECT(), {77.f, 74.f, 132.f, 92.f}, "MORPH");
  expectRect(oversampling->GetRECT(), {77.f, 162.f, 132.f, 180.f}, "oversampling");
  // The one learnable control the layout makes itself.
  EXPECT_NE(dynamic_cast<midi_cc::IControllable*>(oversampling), nullptr);
  EXPECT_NE(dynamic_cast<IVSwitchControl*>(oversampling), nullptr);
  expectRect(f.tagged(kTagRandomize)->GetRECT(), {77.f, 142.f, 107.f, 160.f}, "randomize");
  expectRect(f.tagged(kTagMutate)->GetRECT(), {102.f, 142.f, 132.f, 160.f}, "mutate");
  // In the 5-pixel overlap the mutate button, attached later, takes the click.
  EXPECT_EQ(f.G().GetMouseControl(104.f, 150.f, false), f.tagged(kTagMutate));
}

TEST(PresetRow, StripCCRowAndClearButton)
{
  VemlorEditorFixture f;
  expectRect(f.tagged(kTagPresetStrip)->GetRECT(), {77.f, 0.f, 696.f, 18.f}, "strip");
  expectRect(f.tagged(kTagCCCaption)->GetRECT(), {748.2f, 0.f, 773.4f, 18.f}, "caption");
  expectRect(f.tagged(kTagCCSave)->GetRECT(), {773.4f, 0.f, 807.6f, 18.f}, "save");
  expectRect(f.tagged(kTagCCLoad)->GetRECT(), {807.6f, 0.f, 841.8f, 18.f}, "load");
  expectRect(f.tagged(kTagCCClear)->GetRECT(), {841.8f, 0.f, 876.f, 18.f}, "clear");
  auto* strip = dynamic_cast<zarvo::ui::PresetStripControl*>(f.tagged(kTagPresetStrip));
  ASSERT_NE(strip, nullptr);
  EXPECT_FLOAT_EQ(strip->collapsedToggleWidth, 55.f);
  EXPECT_NEAR(strip->buttonWidth, 34.2f, kTolerance);
  EXPECT_TRUE(strip->showNumbers);
  EXPECT_TRUE(strip->showRedo);
  EXPECT_FALSE(strip->collapsed);
}

TEST(Tags, EachTagNamesOneControlOfItsKindAndTheClipboardButtonsAreNotBuilt)
{
  VemlorEditorFixture f;
  struct Expected
  {
    int tag;
    const char* group;
    bool (*kind)(IControl*);
  };
  const Expected expected[] = {
    {kTagCCSave, kGroupPreset, [](IControl* c) { return dynamic_cast<zarvo::ui::GlyphButtonControl*>(c) != nullptr; }},
    {kTagCCLoad, kGroupPreset, [](IControl* c) { return dynamic_cast<zarvo::ui::GlyphButtonControl*>(c) != nullptr; }},
    {kTagCCCaption, kGroupPreset,
     [](IControl* c) { return dynamic_cast<zarvo::ui::GlyphLabelControl*>(c) != nullptr; }},
    {kTagCCClear, kGroupPreset, [](IControl* c) { return dynamic_cast<zarvo::ui::GlyphButtonControl*>(c) != nullptr; }},
    {kTagPresetStrip, kGroupPreset,
     [](IControl* c) { return dynamic_cast<zarvo::ui::PresetStripControl*>(c) != nullptr; }},
    {kTagRandomize, kGroupRandMut, [](IControl* c) { return dynamic_cast<IVButtonControl*>(c) != nullptr; }},
    {kTagMutate, kGroupRandMut, [](IControl* c) { return dynamic_cast<IVButtonControl*>(c) != nullptr; }},
    {kTagMainStageCoeffs, kGroupTabAll, [](IControl* c) { return dynamic_cast<StageCoeffsReadout*>(c) != nullptr; }},
    {kTagPreAStageCoeffs, kGroupTabAll, [](IControl* c) { return dynamic_cast<StageCoeffsReadout*>(c) != nullptr; }},
    {kTagPreBStageCoeffs, kGroupTabAll, [](IControl* c) { return dynamic_cast<StageCoeffsReadout*>(c) != nullptr; }},
  };
  std::set<IControl*> seen;
  for (const Expected& e : expected)
  {
    IControl* c = f.tagged(e.tag);
    ASSERT_NE(c, nullptr) << e.tag;
    EXPECT_TRUE(e.kind(c)) << e.tag;
    EXPECT_STREQ(c->GetGroup(), e.group) << e.tag;
    EXPECT_TRUE(seen.insert(c).second) << e.tag << " names a control another tag names";
  }
  for (int absent : {int(kTagCCCopy), int(kTagCCPaste), 1040, 1041, 1042, 1043})
    EXPECT_EQ(f.tagged(absent), nullptr) << absent;
  // The strip, the caption, save, load and clear: no clipboard buttons.
  EXPECT_EQ(f.group(kGroupPreset).size(), 5u);
  EXPECT_EQ(f.group(kGroupRandMut).size(), 2u);
}

} // namespace
} // namespace vemlor::ui::test
