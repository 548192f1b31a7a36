// The colour prompt of the open editor through the external chooser: the chooser starts at the
// current colour, the pick arrives on the main thread through the run loop, a cancel reports nothing.
#include "tests/editor_view/view_session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

namespace vemlor::viewtest {
namespace {

using plugkit::gfx::IColor;

class EditorViewColorPrompt : public ::testing::Test
{
protected:
  void SetUp() override
  {
    REQUIRE_X_DISPLAY();
    dir = x11test::MakeTempDir("editor_color_prompt");
    fifo = dir + "/answer";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (std::string(VEMLOR_FAKE_BIN) + ":" + savedPath).c_str(), 1);
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

  bool prompt()
  {
    IColor color(255, 16, 32, 48);
    const std::thread::id main = std::this_thread::get_id();
    return s.ui()->PromptForColor(color, "Choose a color", [this, main](const IColor& c) {
      picked = c;
      onMainThread = std::this_thread::get_id() == main;
    });
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

  std::string recordedArgs()
  {
    std::ifstream in(dir + "/args");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  ViewSession s;
  std::string dir, fifo, savedPath;
  std::optional<IColor> picked;
  bool onMainThread = false;
};

TEST_F(EditorViewColorPrompt, PickArrivesOnTheMainThreadWhileTheEditorKeepsDrawing)
{
  ASSERT_TRUE(prompt());
  EXPECT_FALSE(prompt()) << "one chooser at a time";
  s.plug->Knob()->SetDirty(false);
  const int frames = s.ui()->NFramesDrawn();
  ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->NFramesDrawn() > frames; }));
  EXPECT_FALSE(picked);

  ASSERT_TRUE(reply("rgb(200,100,50)"));
  ASSERT_TRUE(s.pumpUntil([&] { return picked.has_value(); }));
  EXPECT_EQ(*picked, IColor(255, 200, 100, 50));
  EXPECT_TRUE(onMainThread);
  EXPECT_EQ(recordedArgs(), "--color-selection\n--title=Choose a color\n--color=#102030\n");
}

TEST_F(EditorViewColorPrompt, CancelOrAnUnreadableAnswerReportsNothing)
{
  for (const char* line : {"cancel", "not a colour"})
  {
    ASSERT_TRUE(s.pumpUntil([&] { return prompt(); })) << line; // once the previous chooser has ended
    ASSERT_TRUE(reply(line)) << line;
    // The chooser is free again once the answer has been handled.
    ASSERT_TRUE(s.pumpUntil([&] {
      IColor c;
      return s.ui()->PromptForColor(c, "", nullptr);
    }))
      << line;
    EXPECT_FALSE(picked) << line;
    ASSERT_TRUE(reply("cancel"));
  }
}

} // namespace
} // namespace vemlor::viewtest
