#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "product/params/params.h"
#include "product/ui/hover_help_texts.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"
#include "utils/ui/ITooltipHost.h"

namespace vemlor::ui {
namespace {

using plugkit::gfx::IRECT;
using plugkit::gfx::test::EditorSession;
using plugkit::gfx::test::RecordingControl;

const char* paramName(int32_t idx)
{
  for (const auto& row : zarvo::kParamNames)
    if (row.index == idx)
      return row.name;
  return "?";
}

TEST(HoverHelpTexts, EveryTextMatchesTheGoldenFileByteForByte)
{
  HelpTexts texts;
  fillParamHelpTexts(texts);
  EditorSession s;
  for (int tag : {1050, 1051, 1052, 1053, 1067})
    s.G().AttachControl(new RecordingControl(IRECT(0, 0, 10, 10)), tag);
  setButtonHelpTexts(s.G());

  std::ostringstream out;
  for (const auto& [idx, text] : std::map<int32_t, std::string>(texts.begin(), texts.end()))
    out << "=== parameter " << idx << " " << paramName(idx) << "\n" << text << "\n";
  for (int tag : {1050, 1051, 1052, 1053, 1067})
    out << "=== button " << tag << "\n" << s.G().GetControlWithTag(tag)->GetTooltip() << "\n";

  std::ifstream file(VEMLOR_HOVER_HELP_GOLDEN, std::ios::binary);
  ASSERT_TRUE(file) << VEMLOR_HOVER_HELP_GOLDEN;
  std::ostringstream golden;
  golden << file.rdbuf();
  EXPECT_EQ(56u, texts.size());
  EXPECT_EQ(golden.str(), out.str());
}

TEST(HoverHelpTexts, RebuildingLeavesOneTextPerIndex)
{
  HelpTexts texts{{70, "stale"}, {11, "old"}};
  fillParamHelpTexts(texts);
  fillParamHelpTexts(texts);
  EXPECT_EQ(56u, texts.size());
  EXPECT_EQ(0u, texts.count(70));
  EXPECT_EQ(0u, texts.count(zarvo::par_main_filter_model)) << "no text for a control that does not need one";
  EXPECT_TRUE(texts.at(zarvo::par_preFlt_A_res).starts_with("pre flt A resonance\n\n"));
  EXPECT_TRUE(texts.at(zarvo::par_preFlt_A_res).ends_with("\nhold shift for precision setting."));
}

TEST(HoverHelpTexts, AbsentButtonsAreSkipped)
{
  EditorSession s;
  auto* save = new RecordingControl(IRECT(0, 0, 10, 10));
  auto* clear = new RecordingControl(IRECT(0, 0, 10, 10));
  s.G().AttachControl(save, 1050);
  s.G().AttachControl(clear, 1067);
  setButtonHelpTexts(s.G());
  EXPECT_STREQ("clear cc map", clear->GetTooltip());
  EXPECT_TRUE(std::string(save->GetTooltip()).starts_with("save cc map to file"));
}

// A control offering help for one part of itself.
class HostControl : public RecordingControl, public zarvo::ui::ITooltipHost
{
public:
  using RecordingControl::RecordingControl;
  const char* hoveredTooltip() const override { return text; }
  IRECT hoveredTooltipRect() const override { return IRECT(1, 2, 3, 4); }
  const char* text = "";
};

TEST(HoverHelpTexts, TheHoveredControlsOwnTextComesFirstThenItsTooltipThenItsParameter)
{
  HelpTexts texts{{3, "param three"}};
  const IRECT r(10, 20, 30, 40);
  struct Case
  {
    const char* name;
    const char* hostText; // null: not a tooltip host
    const char* tooltip;
    int param;
    std::string text;
    IRECT anchor;
  };
  const Case cases[] = {
    {"host text wins", "part help", "own", 3, "part help", IRECT(1, 2, 3, 4)},
    {"empty host text falls through to the tooltip", "", "own", 3, "own", r},
    {"tooltip before the parameter", nullptr, "own", 3, "own", r},
    {"the parameter's text", nullptr, "", 3, "param three", r},
    {"a parameter without a text gives nothing", nullptr, "", 5, "", IRECT()},
    {"no parameter gives nothing", "", "", -1, "", IRECT()},
  };
  for (const Case& c : cases)
  {
    HostControl host(r, c.param);
    RecordingControl plain(r, c.param);
    RecordingControl& control = c.hostText ? static_cast<RecordingControl&>(host) : plain;
    if (c.hostText)
      host.text = c.hostText;
    control.SetTooltip(c.tooltip);
    const HoverHelp help = hoverHelpFor(control, texts);
    EXPECT_EQ(c.text, help.text) << c.name;
    EXPECT_EQ(c.anchor, help.anchor) << c.name;
  }
}

} // namespace
} // namespace vemlor::ui
