// The panel's layout text at the panel: the product's codec, files, the clipboard and dropped files.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "product/patch/prefs_access.h"
#include "product/ui/vemlor_layout_format.h"
#include "tests/utils/user_tab/user_tab_fixture.h"

namespace zarvo::ui::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class PanelTextTest : public PanelTest
{
protected:
  PanelTextTest()
  {
    folder = fs::temp_directory_path() / ("user_tab_text_" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  ~PanelTextTest() override { fs::remove_all(folder); }

  void UseProductCodec(UserTabPanel& p)
  {
    p.setLayoutTokenCodec([this](int id) { return zarvo::layoutTokenFromId(format, id); },
                          [this](std::string_view t) { return zarvo::layoutIdFromToken(format, t); });
  }
  // What must not move when a layout is refused.
  struct Snapshot
  {
    Slots slots;
    size_t history;
    std::vector<std::pair<std::string, IRECT>> placed;
    size_t changes;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot Take() { return {panel->slots(), panel->history().size(), Placed(), changes.size()}; }

  vemlor::ui::VemlorLayoutFormat format;
  fs::path folder;
};

TEST_F(PanelTextTest, DefaultLayoutWritesTheGoldenText)
{
  UseProductCodec(*Make(defaultSlots()));
  EXPECT_EQ(panel->serializeLayout(), readFile(fs::path(VEMLOR_USER_TAB_DATA) / "default_layout.zarvo"));
  ASSERT_TRUE(panel->saveLayout((folder / "saved.zarvo").string()));
  EXPECT_EQ(readFile(folder / "saved.zarvo"), panel->serializeLayout());
}

TEST_F(PanelTextTest, RefusedLayoutsChangeNothing)
{
  Make(defaultSlots(), true);
  UseProductCodec(*panel);
  panel->addSlot(29); // one undo step to keep
  std::ofstream(folder / "no_section.zarvo") << "# zarvo v1\n# plugin Vemlor 1.3.0\n\n[other]\nslot 29\n";
  std::ofstream(folder / "not_ours.zarvo") << "slot 29\n";
  const Snapshot before = Take();

  struct Case
  {
    const char* name;
    std::string text;
  };
  const Case texts[] = {
    {"empty", ""},
    {"no header", "[user-tab]\nslot 29\n"},
    {"no user-tab section", "# zarvo v1\n[other]\nslot 29\n"},
    {"header after text", "slot 29\n# zarvo v1\n[user-tab]\nslot 29\n"},
  };
  for (const Case& c : texts)
  {
    EXPECT_FALSE(panel->applySlots(c.text)) << c.name;
    EXPECT_TRUE(Take() == before) << c.name;
  }
  for (const char* file : {"missing.zarvo", "no_section.zarvo", "not_ours.zarvo"})
  {
    EXPECT_FALSE(panel->loadLayout((folder / file).string())) << file;
    EXPECT_TRUE(Take() == before) << file;
  }
  for (const std::optional<std::string>& clip :
       {std::optional<std::string>(), std::optional<std::string>(""), std::optional<std::string>("slot 29")})
  {
    s.platform.clipboard = clip;
    EXPECT_FALSE(panel->pasteFromClipboard()) << (clip ? *clip : "no text");
    EXPECT_TRUE(Take() == before);
  }
}

TEST_F(PanelTextTest, SectionOfUnknownIdsClearsTheTabUndoably)
{
  Make({{29}, {11}}, true);
  EXPECT_TRUE(panel->applySlots("# zarvo v1\n[user-tab]\nslot 12345 par_nothing\nslot\n"));
  EXPECT_TRUE(panel->slots().empty());
  EXPECT_EQ(changes.back().first, Slots{});
  panel->undo();
  EXPECT_EQ(panel->slots(), (Slots{{29}, {11}}));
}

TEST_F(PanelTextTest, AppliedTextIsCleanedAndNormalised)
{
  Make({}, true);
  UseProductCodec(*panel);
  EXPECT_TRUE(
    panel->applySlots("# zarvo v1\n[user-tab]\nslot par_dry_wet -7 77777 -5\n# slot 11\nslot kAlt_LabelDamping\n"));
  EXPECT_EQ(panel->slots(), (Slots{{-7, 29}, {10108}}));
  EXPECT_EQ(panel->history().size(), 1u);
}

TEST_F(PanelTextTest, LayoutTravelsBetweenPanelsByFileClipboardAndDrop)
{
  const Slots layout = {{-5, 13, -1, 12}, {10108, 26}, {29}};
  UseProductCodec(*Make(layout, true));
  ASSERT_TRUE(panel->saveLayout((folder / "mine.zarvo").string()));
  ASSERT_TRUE(panel->copyToClipboard());
  EXPECT_EQ(s.platform.clipboard, panel->serializeLayout());

  // Another editor, another panel.
  plugkit::gfx::test::EditorSession other{8, 940, 200};
  auto* second =
    new UserTabPanel(kContent, productLikeRegistry(), defaultSlots(), false, plugkit::gfx::IVStyle(),
                     plugkit::gfx::IColor(255, 95, 55, 200), {}, "Vemlor", "1.3.0", "zarvo", nullptr, nullptr);
  other.G().AttachControl(second);
  UseProductCodec(*second);
  EXPECT_TRUE(second->loadLayout((folder / "mine.zarvo").string()));
  EXPECT_EQ(second->slots(), layout);

  second->clearSlots();
  other.platform.clipboard = s.platform.clipboard;
  EXPECT_TRUE(second->pasteFromClipboard());
  EXPECT_EQ(second->slots(), layout);

  // A file dropped anywhere on the tab, here on a spacer and on a gap between cells.
  second->clearSlots();
  other.G().OnDrop((folder / "mine.zarvo").string().c_str(), 500.f, 100.f);
  EXPECT_EQ(second->slots(), layout);
  second->addSlot(11);
  other.G().OnDrop((folder / "mine.zarvo").string().c_str(), 160.f, 130.f);
  EXPECT_EQ(second->slots(), layout);
}

TEST_F(PanelTextTest, FileButtonsAskForAPathAndActOnlyOnOne)
{
  using Answer = plugkit::gfx::test::HeadlessPlatform::FileAnswer;
  UseProductCodec(*Make({{29}}, true));
  const IRECT save = WithTooltip("save")->GetRECT();
  const IRECT load = WithTooltip("load")->GetRECT();
  EXPECT_EQ(save, IRECT(892, 47, 910, 65));
  EXPECT_EQ(load, IRECT(892, 65, 910, 83));

  s.Input().Click(save.MW(), save.MH()); // cancelled
  EXPECT_FALSE(fs::exists(folder / "chosen.zarvo"));
  // The text button flashes and comes up again.
  s.G().Tick();
  s.platform.nowMs += 500.;
  s.G().Tick();
  EXPECT_EQ(WithTooltip("save")->GetValue(), 0.);
  s.platform.fileAnswers.push_back(Answer{(folder / "chosen.zarvo").string(), ""});
  s.Input().Click(save.MW(), save.MH());
  EXPECT_EQ(readFile(folder / "chosen.zarvo"), panel->serializeLayout());
  EXPECT_EQ(s.platform.fileDialogExtensions, (std::vector<std::string>{"zarvo", "zarvo"}));

  panel->addSlot(11);
  s.Input().Click(load.MW(), load.MH()); // cancelled
  EXPECT_EQ(panel->slots(), (Slots{{29}, {11}}));
  s.platform.fileAnswers.push_back(Answer{(folder / "chosen.zarvo").string(), ""});
  s.Input().Click(load.MW(), load.MH());
  EXPECT_EQ(panel->slots(), (Slots{{29}}));

  // A dialog that answers after the editor closed finds no panel to load into.
  s.platform.deferDialogs = true;
  s.platform.fileAnswers.push_back(Answer{(folder / "chosen.zarvo").string(), ""});
  s.Input().Click(load.MW(), load.MH());
  s.Reopen();
  EXPECT_EQ(s.platform.tasks.Drain(), 1);
}

} // namespace
} // namespace zarvo::ui::test
