#include <filesystem>
#include <fstream>
#include <sstream>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/utils/midi_cc/fakes.h"
#include "utils/midi_cc/cc_file_orchestrator.h"
#include "utils/midi_cc/cc_mediator.h"

namespace {

using midi_cc_test::FakeEditorServices;
using midi_cc_test::FakePlugin;
using midi_cc_test::tableOf;
using zarvo::IEditorServices;
using zarvo::midi_cc::CCFileOrchestrator;
using zarvo::midi_cc::CCMediator;
using zarvo::midi_cc::MappingTable;
using Strings = std::vector<std::string>;
using Reports = std::vector<std::pair<plugkit::EFileResult, IEditorServices::EFileContent>>;
constexpr IEditorServices::EFileContent kCCMap = IEditorServices::EFileContent::ControllerMap;

const MappingTable kMap = tableOf({{2, 1, 0.0, 1.0, 0}, {3, 74, 0.75, 0.25, 2}, {0, 74, 1.0 / 3.0, 1.0, 16}});

constexpr const char* kGoldenFile = R"(# zarvo v1
# plugin Vemlor 1.3.0

[midi-cc]
1 2 0 1 0
74 3 0.75 0.25 2
74 0 0.3333333333 1 16

[midi-cc-mod]
3 1 0.5 0
)";

// The plug-in side: its mediator and editor services, an orchestrator wired as the plug-in wires
// it, and a record of the hooks it ran.
struct Owner
{
  Owner()
    : mediator(plugin)
    , files(
        mediator, editor, "Vemlor", "1.3.0", [] { return std::string("/presets/last"); },
        [this] { events.push_back("applied"); }, "ccmap.zarvo")
  {
    files.setExtraSectionIO([this](zarvo::ZarvoFile& f) { f.setSection("midi-cc-mod", modLines); },
                            [this](const zarvo::ZarvoFile& f) {
                              events.push_back("read mod");
                              readModLines = f.section("midi-cc-mod");
                            });
    files.setBeforeChange([this] { events.push_back("undo step"); });
  }

  FakePlugin plugin;
  CCMediator mediator;
  FakeEditorServices editor;
  CCFileOrchestrator files;
  Strings modLines{"3 1 0.5 0"};
  Strings readModLines;
  Strings events;
};

std::filesystem::path tempFile(const char* name)
{
  const auto dir = std::filesystem::temp_directory_path() / ("midi_cc_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir / name;
}

std::string readAll(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(CCFiles, SavesTheGoldenFileThroughTheSaveDialog)
{
  Owner owner;
  owner.mediator.mapper().replaceMappings(kMap);
  FakeEditorServices& editor = owner.editor;
  owner.files.promptSave();
  EXPECT_EQ(editor.prompts, Strings{"save 'ccmap.zarvo' in '/presets/last' *.zarvo"});

  const auto path = tempFile("ccmap.zarvo");
  std::filesystem::remove(path);
  editor.completeDialog("");
  EXPECT_FALSE(std::filesystem::exists(path)) << "a cancelled dialog writes nothing";
  EXPECT_TRUE(editor.reports.empty()) << "a cancelled dialog reports nothing";
  editor.completeDialog(path.string());
  EXPECT_EQ(readAll(path), kGoldenFile);

  // A folder that cannot take the file: the old file stays and the user hears why.
  owner.files.promptSave();
  editor.completeDialog((path.parent_path() / "no-such-folder" / "ccmap.zarvo").string());
  EXPECT_EQ(editor.reports,
            (Reports{{plugkit::EFileResult::kOk, kCCMap}, {plugkit::EFileResult::kWriteFailed, kCCMap}}));
}

TEST(CCFiles, LoadRestoresMapAndModulationAndKeepsAPendingLearn)
{
  const auto path = tempFile("roundtrip.zarvo");
  {
    Owner saver;
    saver.mediator.mapper().replaceMappings(kMap);
    ASSERT_EQ(saver.files._save(path.string()), plugkit::EFileResult::kOk);
  }
  Owner owner;
  owner.mediator.mapper().setListeningParam(1);
  owner.mediator.mapper().setLearningForParam(1, false);
  FakeEditorServices& editor = owner.editor;
  owner.files.promptLoad();
  EXPECT_EQ(editor.prompts, Strings{"open '' in '/presets/last' *.zarvo"});
  editor.completeDialog(path.string());
  EXPECT_EQ(editor.reports, (Reports{{plugkit::EFileResult::kOk, kCCMap}}));

  const MappingTable& read = owner.mediator.mapper().mappings();
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read.at(74)[0], kMap.at(74)[0]);
  EXPECT_NEAR(read.at(74)[1].min, 1.0 / 3.0, 1e-10);
  EXPECT_EQ(read.at(74)[1].channel, 16);
  EXPECT_EQ(owner.readModLines, Strings{"3 1 0.5 0"});
  EXPECT_EQ(owner.events, (Strings{"undo step", "read mod", "applied"}));
  EXPECT_TRUE(owner.mediator.mapper().isLearning());
  EXPECT_EQ(owner.mediator.mapper().listeningParam(), 1);
}

TEST(CCFiles, CopyPutsTheFileTextOnTheClipboard)
{
  Owner owner;
  owner.mediator.mapper().replaceMappings(kMap);
  owner.files._copy();
  EXPECT_EQ(owner.editor.clipboard, kGoldenFile);
}

struct PasteCase
{
  const char* name;
  bool hasText;
  std::string text;
  bool clipboardHasCC;
  MappingTable mapAfter;
  Strings events;
};

void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.name; }

const MappingTable kLive = tableOf({{3, 7, 0.0, 1.0, 0}});

const PasteCase kPasteCases[] = {
  {"NoText", false, "", false, kLive, {}},
  {"EmptyText", true, "", false, kLive, {}},
  {"NotASectionedFile", true, "74 3 0 1 0\n", false, kLive, {}},
  {"WrongHeader", true, "# zarvo v2\n[midi-cc]\n74 3 0 1 0\n", false, kLive, {}},
  {"OnlyAModulationSection", true, "# zarvo v1\n[midi-cc-mod]\n3 1 0.5 0\n", false, kLive, {}},
  {"EmptyMapSectionEmptiesTheMap",
   true,
   "# zarvo v1\n[midi-cc]\n[midi-cc-mod]\n3 1 0.5 0\n",
   true,
   {},
   {"undo step", "read mod", "applied"}},
  {"InvalidLinesAreSkipped",
   true,
   "# zarvo v1\n# plugin Other 9.9\n[midi-cc]\n74 3 0 1\n20 1 0 1 0\n",
   true,
   tableOf({{1, 20, 0.0, 1.0, 0}}),
   {"undo step", "read mod", "applied"}},
};

class CCPaste : public testing::TestWithParam<PasteCase>
{};

TEST_P(CCPaste, AppliesOnlyAControllerMap)
{
  const PasteCase& c = GetParam();
  Owner owner;
  owner.mediator.mapper().replaceMappings(kLive);
  owner.editor.hasClipboardText = c.hasText;
  owner.editor.clipboard = c.text;

  EXPECT_EQ(owner.files.clipboardHasCC(), c.clipboardHasCC);
  owner.files._paste();
  EXPECT_EQ(owner.mediator.mapper().mappings(), c.mapAfter);
  EXPECT_EQ(owner.events, c.events);
}

INSTANTIATE_TEST_SUITE_P(CCFiles, CCPaste, testing::ValuesIn(kPasteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CCFiles, WithoutAnEditorTheClipboardHoldsNoMapAndNothingIsLoaded)
{
  Owner owner;
  owner.mediator.mapper().replaceMappings(kLive);
  owner.editor.editorOpen = false;
  owner.editor.hasClipboardText = true;
  owner.editor.clipboard = "# zarvo v1\n[midi-cc]\n";
  EXPECT_FALSE(owner.files.clipboardHasCC());
  owner.files._paste();
  owner.files.promptLoad();
  EXPECT_EQ(owner.mediator.mapper().mappings(), kLive);
  EXPECT_TRUE(owner.editor.reports.empty());
  EXPECT_TRUE(owner.events.empty());
}

TEST(CCFiles, UnreadableFileChangesNothing)
{
  Owner owner;
  owner.mediator.mapper().replaceMappings(kLive);
  const auto garbage = tempFile("garbage.zarvo");
  std::ofstream(garbage) << "\x01\x02 not a zarvo file\n[midi-cc]\n";
  const auto rig = tempFile("rig.zarvo");
  std::ofstream(rig) << "# zarvo v1\n[morph-rig]\npoint 0\n";
  EXPECT_EQ(owner.files._load(garbage.string()), plugkit::EFileResult::kNotOurs);
  EXPECT_EQ(owner.files._load(rig.string()), plugkit::EFileResult::kNotOurs);
  EXPECT_EQ(owner.files._load(tempFile("missing.zarvo").string()), plugkit::EFileResult::kUnreadable);
  EXPECT_EQ(owner.mediator.mapper().mappings(), kLive);
  EXPECT_TRUE(owner.events.empty());
}

// A file chosen in the open dialog that cannot be applied changes nothing and the user hears why.
TEST(CCFiles, ALoadThatFailsIsReported)
{
  struct Row
  {
    const char* name;
    const char* content; // null: no file at the path
    plugkit::EFileResult result;
  };
  const Row rows[] = {
    {"a missing file", nullptr, plugkit::EFileResult::kUnreadable},
    {"not a sectioned text", "\x01\x02 not a zarvo file\n[midi-cc]\n", plugkit::EFileResult::kNotOurs},
    {"a morph rig, not a map", "# zarvo v1\n[morph-rig]\npoint 0\n", plugkit::EFileResult::kNotOurs},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.name);
    Owner owner;
    owner.mediator.mapper().replaceMappings(kLive);
    const auto path = tempFile("failing.zarvo");
    std::filesystem::remove(path);
    if (row.content)
      std::ofstream(path) << row.content;
    owner.files.promptLoad();
    owner.editor.completeDialog(path.string());
    EXPECT_EQ(owner.editor.reports, (Reports{{row.result, kCCMap}}));
    EXPECT_EQ(owner.mediator.mapper().mappings(), kLive);
    EXPECT_TRUE(owner.events.empty());
  }
}

} // namespace
