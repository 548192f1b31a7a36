// File prompts of the open editor through the external chooser: the answer arrives on the main
// thread through the run loop while the editor keeps drawing, split into the chosen file and its
// folder; a cancel or a missing chooser completes the prompt empty.
#include "tests/editor_view/view_session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

namespace vemlor::viewtest {
namespace {

using ::TextString;
using plugkit::gfx::EFileAction;

struct Answer
{
  std::string fileName, path;
  bool onMainThread = false;
};

class EditorViewPrompt : public ::testing::Test
{
protected:
  void SetUp() override
  {
    REQUIRE_X_DISPLAY();
    dir = x11test::MakeTempDir("editor_prompt");
    fifo = dir + "/answer";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("VEMLOR_FAKE_CHOOSER_FIFO", fifo.c_str(), 1);
    setenv("VEMLOR_FAKE_CHOOSER_ARGS", (dir + "/args").c_str(), 1);
    ASSERT_TRUE(s.open());
    ASSERT_TRUE(s.waitForFirstFrame());
  }

  void TearDown() override
  {
    if (!savedPath.empty())
      setenv("PATH", savedPath.c_str(), 1);
  }

  void prompt(const char* pathList)
  {
    setenv("PATH", pathList, 1);
    TextString fileName("preset.fxp"), path(dir.c_str());
    const std::thread::id main = std::this_thread::get_id();
    s.ui()->PromptForFile(fileName, path, EFileAction::Save, "fxp",
                          [this, main](const TextString& f, const TextString& p) {
                            answer = Answer{f.Get(), p.Get(), std::this_thread::get_id() == main};
                          });
    // The caller's own strings say nothing until the answer comes.
    EXPECT_STREQ(fileName.Get(), "");
  }

  bool reply(const std::string& line)
  {
    int fd = -1;
    s.pumpUntil([&] { return (fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0 || errno != ENXIO; });
    if (fd < 0)
      return false;
    const std::string text = line + "\n";
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written;
  }

  ViewSession s;
  std::string dir, fifo, savedPath;
  std::optional<Answer> answer;
};

TEST_F(EditorViewPrompt, ChosenFileArrivesOnTheMainThreadWhileTheEditorKeepsDrawing)
{
  prompt((std::string(VEMLOR_FAKE_BIN) + ":" + savedPath).c_str());
  // The chooser is open: the editor still draws what changes.
  s.plug->Knob()->SetDirty(false);
  const int frames = s.ui()->NFramesDrawn();
  ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->NFramesDrawn() > frames; }));
  EXPECT_FALSE(answer);

  ASSERT_TRUE(reply(dir + "/mine.fxp"));
  ASSERT_TRUE(s.pumpUntil([&] { return answer.has_value(); }));
  EXPECT_EQ(answer->fileName, dir + "/mine.fxp");
  EXPECT_EQ(answer->path, dir);
  EXPECT_TRUE(answer->onMainThread);
}

TEST_F(EditorViewPrompt, CancelAndMissingChooserCompleteEmpty)
{
  prompt((std::string(VEMLOR_FAKE_BIN) + ":" + savedPath).c_str());
  ASSERT_TRUE(reply("cancel"));
  ASSERT_TRUE(s.pumpUntil([&] { return answer.has_value(); }));
  EXPECT_EQ(answer->fileName, "");
  EXPECT_EQ(answer->path, "");

  answer.reset();
  prompt(dir.c_str()); // neither zenity nor kdialog there
  ASSERT_TRUE(s.pumpUntil([&] { return answer.has_value(); }));
  EXPECT_EQ(answer->fileName, "");
  EXPECT_EQ(answer->path, "");
  EXPECT_TRUE(answer->onMainThread);
}

TEST_F(EditorViewPrompt, MessageBoxAnswersThroughItsCompletionWithoutHoldingTheMainThread)
{
  using plugkit::gfx::EMsgBoxResult;
  using plugkit::gfx::EMsgBoxType;
  setenv("PATH", (std::string(VEMLOR_FAKE_BIN) + ":" + savedPath).c_str(), 1);
  const struct
  {
    EMsgBoxType type;
    const char* written; // the button the user presses
    EMsgBoxResult result;
  } cases[] = {{EMsgBoxType::YesNoCancel, "", EMsgBoxResult::Yes},
               {EMsgBoxType::YesNoCancel, "extra:No", EMsgBoxResult::No},
               {EMsgBoxType::YesNoCancel, "cancel", EMsgBoxResult::Cancel},
               {EMsgBoxType::OKCancel, "", EMsgBoxResult::OK},
               {EMsgBoxType::YesNo, "cancel", EMsgBoxResult::No},
               {EMsgBoxType::RetryCancel, "", EMsgBoxResult::Retry}};
  for (const auto& c : cases)
  {
    std::optional<EMsgBoxResult> got;
    EXPECT_EQ(s.ui()->ShowMessageBox("Replace the preset?", "Save", c.type, [&](EMsgBoxResult r) { got = r; }),
              EMsgBoxResult::Null)
      << "the answer is still to come";
    EXPECT_FALSE(got);
    const int frames = s.ui()->NFramesDrawn();
    s.plug->Knob()->SetDirty(false);
    ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->NFramesDrawn() > frames; })) << "the editor draws on meanwhile";
    ASSERT_TRUE(reply(c.written));
    ASSERT_TRUE(s.pumpUntil([&] { return got.has_value(); }));
    EXPECT_EQ(*got, c.result) << c.written;
  }

  // With no box program the safe answer comes at once, as it did before boxes could be shown.
  setenv("PATH", dir.c_str(), 1);
  std::optional<EMsgBoxResult> got;
  EXPECT_EQ(s.ui()->ShowMessageBox("Delete?", "", EMsgBoxType::YesNo, [&](EMsgBoxResult r) { got = r; }),
            EMsgBoxResult::No);
  EXPECT_EQ(got, EMsgBoxResult::No);
}

} // namespace
} // namespace vemlor::viewtest
