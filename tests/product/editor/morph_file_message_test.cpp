// What the open editor tells when a file of the morph field or the controller map could not be
// loaded or saved: one short message per kind of failure in the bubble over the pad, held a while
// against hover help, nothing for a success; and a rig or controller map file that fails to load
// leaves the plug-in as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "product/ui/tooltip_bubble_control.h"
#include "tests/product/editor/vemlor_editor_fixture.h"

namespace vemlor::ui::test {
namespace {

using plugkit::EFileResult;
using plugkit::gfx::IBubbleControl;
using EFileContent = zarvo::IEditorServices::EFileContent;

constexpr const char* kUnreadableText = "the file could not be read.\nnothing was changed.";
constexpr const char* kNotOursText = "not a morph rig or sound of this plug-in.\nnothing was changed.";
constexpr const char* kWriteFailedText = "the file could not be written.";
constexpr const char* kNotACCMapText = "not a cc map of this plug-in.\nnothing was changed.";

TooltipBubbleControl& bubbleOf(VemlorEditorFixture& f)
{
  auto* bubble = dynamic_cast<TooltipBubbleControl*>(f.G().GetBubbleControl(0));
  EXPECT_NE(bubble, nullptr);
  return *bubble;
}

bool shown(const TooltipBubbleControl& b)
{
  return b.GetState() == IBubbleControl::kExpanding || b.GetState() == IBubbleControl::kShown;
}

std::vector<uint8_t> stateOf(Vemlor& plug)
{
  plugkit::IByteChunk chunk;
  EXPECT_TRUE(plug.SerializeState(chunk));
  return {chunk.GetData(), chunk.GetData() + chunk.Size()};
}

// A folder of the test's own for the files it writes.
std::filesystem::path scratchFolder()
{
  const std::filesystem::path dir =
    std::filesystem::temp_directory_path() / ("vemlor_morph_file_message_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

void writeFile(const std::filesystem::path& path, std::string_view bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(MorphFileMessage, EachFailureIsToldOverThePadAndASuccessShowsNothing)
{
  struct Row
  {
    const char* name;
    EFileResult result;
    EFileContent content;
    const char* text; // null: nothing shown
  };
  const Row rows[] = {
    {"unreadable", EFileResult::kUnreadable, EFileContent::MorphField, kUnreadableText},
    {"not a file of ours", EFileResult::kNotOurs, EFileContent::MorphField, kNotOursText},
    {"not written", EFileResult::kWriteFailed, EFileContent::MorphField, kWriteFailedText},
    {"success", EFileResult::kOk, EFileContent::MorphField, nullptr},
    {"a controller map, unreadable", EFileResult::kUnreadable, EFileContent::ControllerMap, kUnreadableText},
    {"not a controller map of ours", EFileResult::kNotOurs, EFileContent::ControllerMap, kNotACCMapText},
    {"a controller map, not written", EFileResult::kWriteFailed, EFileContent::ControllerMap, kWriteFailedText},
    {"a controller map, saved", EFileResult::kOk, EFileContent::ControllerMap, nullptr},
  };
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.name);
    VemlorEditorFixture f({.morphOn = true});
    f.frame();
    TooltipBubbleControl& bubble = bubbleOf(f);
    plugkit::gfx::IControl* pad = f.tagged(kTagMorphPad);
    ASSERT_NE(pad, nullptr);
    ASSERT_FALSE(shown(bubble));

    f.plug->editorServices().reportFileResult(row.result, row.content);
    f.frame();
    if (!row.text)
    {
      EXPECT_FALSE(shown(bubble));
      continue;
    }
    ASSERT_TRUE(shown(bubble));
    EXPECT_STREQ(bubble.GetStr(), row.text);
    EXPECT_EQ(bubble.GetCaller(), pad);
    // Inside the pad and the editor, whole.
    const plugkit::gfx::IRECT r = bubble.GetBubbleBounds();
    EXPECT_TRUE(pad->GetRECT().Contains(r)) << r.L << " " << r.T << " " << r.R << " " << r.B;

    // Hover help waits while the message holds, then takes the bubble back.
    f.idle(190);
    EXPECT_TRUE(shown(bubble));
    EXPECT_STREQ(bubble.GetStr(), row.text);
    f.idle(20);
    EXPECT_FALSE(shown(bubble));
  }
}

TEST(MorphFileMessage, ARigFileThatFailsToLoadChangesNothingAndIsTold)
{
  struct Row
  {
    const char* name;
    const char* content; // null: no file at the path
    const char* text;
  };
  const Row rows[] = {
    {"a missing file", nullptr, kUnreadableText},
    {"a rig section of nothing it knows", "# zarvo v1\n[morph-rig]\nno rig here\n=\n\x01\x02\x03\n", kNotOursText},
    {"a controller map, not a rig", "# zarvo v1\n[midi-cc]\n", kNotOursText},
    {"bytes of no text format", "\x89PNG\r\n\x1a\n", kNotOursText},
  };
  const std::filesystem::path folder = scratchFolder();
  for (const Row& row : rows)
  {
    SCOPED_TRACE(row.name);
    VemlorEditorFixture f({.morphOn = true});
    // The first tick sets the parameters the field drives; the state is steady from then on.
    f.idle();
    f.frame();
    const std::filesystem::path path = folder / "corrupt.zarvo";
    std::filesystem::remove(path);
    if (row.content)
      writeFile(path, row.content);
    const std::vector<uint8_t> before = stateOf(*f.plug);
    const size_t undoDepth = f.plug->presetManager()->undoStack().size();

    f.platform.fileAnswers.push_back(plugkit::gfx::test::HeadlessPlatform::FileAnswer{path.string(), folder.string()});
    f.plug->morphController().promptImportRig();
    f.idle();
    f.frame();

    EXPECT_TRUE(f.platform.fileAnswers.empty()) << "the dialog was asked";
    EXPECT_EQ(stateOf(*f.plug), before);
    EXPECT_EQ(f.plug->presetManager()->undoStack().size(), undoDepth);
    TooltipBubbleControl& bubble = bubbleOf(f);
    EXPECT_TRUE(shown(bubble));
    EXPECT_STREQ(bubble.GetStr(), row.text);
  }
  std::filesystem::remove_all(folder);
}

TEST(MorphFileMessage, AControllerMapFileThatFailsToLoadChangesNothingAndIsTold)
{
  const std::filesystem::path folder = scratchFolder();
  const std::filesystem::path path = folder / "rig.zarvo";
  writeFile(path, "# zarvo v1\n[morph-rig]\n");
  VemlorEditorFixture f({.morphOn = false});
  f.idle();
  f.frame();
  const std::vector<uint8_t> before = stateOf(*f.plug);

  f.platform.fileAnswers.push_back(plugkit::gfx::test::HeadlessPlatform::FileAnswer{path.string(), folder.string()});
  f.plug->ccFiles().promptLoad();
  f.idle();
  f.frame();

  EXPECT_TRUE(f.platform.fileAnswers.empty()) << "the dialog was asked";
  EXPECT_EQ(stateOf(*f.plug), before);
  TooltipBubbleControl& bubble = bubbleOf(f);
  ASSERT_TRUE(shown(bubble));
  EXPECT_STREQ(bubble.GetStr(), kNotACCMapText);
  // Without the pad the message sits inside the editor, whole.
  const plugkit::gfx::IRECT r = bubble.GetBubbleBounds();
  EXPECT_TRUE(plugkit::gfx::IRECT(0.f, 0.f, f.G().Width(), f.G().Height()).Contains(r));
  std::filesystem::remove_all(folder);
}

} // namespace
} // namespace vemlor::ui::test
