// File and folder choosers as external programs: argument vectors, answers and cancels arriving
// through the run loop while frames keep ticking, and no chooser at all.
#include "tests/IGfx/Platforms/x11_test_support.h"

#include "IGfx/Platforms/X11/ExternalChooser.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "pluginterfaces/base/smartpointer.h"

namespace vemlor::x11test {
namespace {

using plugkit::RunLoopTimer;
using plugkit::gfx::ChooserAnswer;
using plugkit::gfx::ChooserRequest;
using plugkit::gfx::EChooserKind;
using plugkit::gfx::EMessageButtons;
using plugkit::gfx::ExternalChooser;

struct ArgsCase
{
  const char* name;
  const char* program;
  ChooserRequest request;
  std::vector<std::string> args;
};

class ChooserArguments : public ::testing::TestWithParam<ArgsCase>
{};

TEST_P(ChooserArguments, AreOneVectorWithoutAShell)
{
  EXPECT_EQ(ExternalChooser::Arguments(GetParam().program, GetParam().request), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(
  Programs, ChooserArguments,
  ::testing::Values(
    ArgsCase{"zenity_open",
             "zenity",
             {EChooserKind::OpenFile, "Load preset", "/home/u/My Presets", "", "fxp zarvo", "", "", {}},
             {"zenity", "--file-selection", "--title=Load preset", "--filename=/home/u/My Presets/",
              "--file-filter=*.fxp *.zarvo"}},
    ArgsCase{"zenity_save",
             "zenity",
             {EChooserKind::SaveFile, "Save preset", "/home/u/", "Warm \"Pad\"; rm -rf ~.fxp", ".fxp", "", "", {}},
             {"zenity", "--file-selection", "--save", "--confirm-overwrite", "--title=Save preset",
              "--filename=/home/u/Warm \"Pad\"; rm -rf ~.fxp", "--file-filter=*.fxp"}},
    ArgsCase{
      "zenity_directory",
      "zenity",
      {EChooserKind::Directory, "Choose a Directory", "/home/u/Desktop", "", "fxp", "", "", {}},
      {"zenity", "--file-selection", "--directory", "--title=Choose a Directory", "--filename=/home/u/Desktop/"}},
    ArgsCase{
      "zenity_bare", "zenity", {EChooserKind::OpenFile, "", "", "", "", "", "", {}}, {"zenity", "--file-selection"}},
    ArgsCase{"kdialog_open",
             "kdialog",
             {EChooserKind::OpenFile, "Load preset", "/home/u", "", "fxp zarvo", "", "", {}},
             {"kdialog", "--getopenfilename", "/home/u/", "*.fxp *.zarvo", "--title", "Load preset"}},
    ArgsCase{"kdialog_save",
             "kdialog",
             {EChooserKind::SaveFile, "", "/home/u", "a.fxp", "fxp", "", "", {}},
             {"kdialog", "--getsavefilename", "/home/u/a.fxp", "*.fxp"}},
    ArgsCase{"kdialog_directory",
             "kdialog",
             {EChooserKind::Directory, "", "", "", "", "", "", {}},
             {"kdialog", "--getexistingdirectory", "."}},
    ArgsCase{"zenity_message_yes_no_cancel",
             "zenity",
             {EChooserKind::Message, "Replace?", "", "", "", "", "<b>a & b</b>", EMessageButtons::YesNoCancel},
             {"zenity", "--question", "--title=Replace?", "--text=<b>a & b</b>", "--no-markup", "--ok-label=Yes",
              "--cancel-label=Cancel", "--extra-button=No"}},
    ArgsCase{"zenity_message_ok",
             "zenity",
             {EChooserKind::Message, "", "", "", "", "", "Done", EMessageButtons::OK},
             {"zenity", "--info", "--text=Done", "--no-markup"}},
    ArgsCase{"kdialog_message_retry_cancel",
             "kdialog",
             {EChooserKind::Message, "Disk", "", "", "", "", "Try again?", EMessageButtons::RetryCancel},
             {"kdialog", "--yesno", "Try again?", "--yes-label", "Retry", "--no-label", "Cancel", "--title", "Disk"}},
    ArgsCase{"kdialog_message_yes_no_cancel",
             "kdialog",
             {EChooserKind::Message, "", "", "", "", "", "Save?", EMessageButtons::YesNoCancel},
             {"kdialog", "--yesnocancel", "Save?"}}),
  [](const auto& info) { return std::string(info.param.name); });

// The fake zenity first on PATH: it records its arguments and answers what the test writes into
// its FIFO, so the chooser stays open as long as the test wants.
class FakeChooser : public ::testing::Test
{
protected:
  void SetUp() override
  {
    dir = MakeTempDir("chooser");
    fifo = dir + "/answer";
    argsFile = dir + "/args";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (std::string(VEMLOR_FAKE_BIN) + ":" + savedPath).c_str(), 1);
    setenv("VEMLOR_FAKE_CHOOSER_FIFO", fifo.c_str(), 1);
    setenv("VEMLOR_FAKE_CHOOSER_ARGS", argsFile.c_str(), 1);
    ASSERT_TRUE(frameTimer.Start(&host.runLoop(), 16, [this] { ++frames; }));
  }

  void TearDown() override
  {
    setenv("PATH", savedPath.c_str(), 1);
    frameTimer.Stop();
  }

  bool pumpUntil(const std::function<bool()>& done) { return PumpUntil(host.runLoop(), done, {}); }

  // Writes the chooser's answer once it is reading.
  bool answer(const std::string& line)
  {
    int fd = -1;
    pumpUntil([&] { return (fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0 || errno != ENXIO; });
    if (fd < 0)
      return false;
    const std::string text = line + "\n";
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written;
  }

  std::string recordedArgs()
  {
    std::ifstream in(argsFile);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  testhost::Host host;
  RunLoopTimer frameTimer;
  int frames = 0;
  std::string dir, fifo, argsFile, savedPath;
};

struct AnswerCase
{
  const char* name;
  std::string written;
  bool cancelled;
  std::string path;
};

class ChooserAnswers : public FakeChooser, public ::testing::WithParamInterface<AnswerCase>
{};

TEST_P(ChooserAnswers, ArriveFromTheRunLoopWhileFramesKeepTicking)
{
  ExternalChooser chooser(&host.runLoop());
  std::optional<ChooserAnswer> got;
  ChooserRequest request{EChooserKind::OpenFile, "Load preset", dir, "", "fxp", "", "", {}};
  ASSERT_TRUE(chooser.Start(request, [&](const ChooserAnswer& a) { got = a; }));
  EXPECT_FALSE(chooser.Start(request, [](const ChooserAnswer&) {})) << "one chooser at a time";

  // The user takes a while: the editor goes on drawing and hears nothing yet.
  ASSERT_TRUE(pumpUntil([&] { return std::filesystem::exists(argsFile) && frames >= 30; }));
  EXPECT_FALSE(got.has_value());
  EXPECT_TRUE(chooser.IsOpen());
  EXPECT_NE(recordedArgs().find("--file-selection\n--title=Load preset\n"), std::string::npos) << recordedArgs();

  const int framesBefore = frames;
  ASSERT_TRUE(answer(GetParam().written));
  ASSERT_TRUE(pumpUntil([&] { return got.has_value(); }));
  EXPECT_GT(frames, framesBefore);
  EXPECT_EQ(got->cancelled, GetParam().cancelled);
  EXPECT_EQ(got->path, GetParam().path);
  EXPECT_TRUE(got->message.empty());
  EXPECT_FALSE(chooser.IsOpen());
  EXPECT_EQ(host.runLoop().eventHandlerCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, ChooserAnswers,
                         ::testing::Values(AnswerCase{"chosen", "/home/u/Presets/Warm Pad.fxp", false,
                                                      "/home/u/Presets/Warm Pad.fxp"},
                                           AnswerCase{"cancelled", "cancel", true, ""},
                                           AnswerCase{"not_an_absolute_path", "Warm Pad.fxp", true, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FakeChooser, AMessageBoxAnswersWithTheButtonPressed)
{
  const struct
  {
    const char* written;
    int button;
  } cases[] = {{"", 0}, {"extra:No", 1}, {"cancel", -1}};
  for (const auto& c : cases)
  {
    ExternalChooser box(&host.runLoop());
    std::optional<ChooserAnswer> got;
    ChooserRequest request{EChooserKind::Message, "Caption", "", "", "", "", "Text", EMessageButtons::YesNoCancel};
    ASSERT_TRUE(box.Start(request, [&](const ChooserAnswer& a) { got = a; })) << c.written;
    ASSERT_TRUE(answer(c.written)) << c.written;
    ASSERT_TRUE(pumpUntil([&] { return got.has_value(); })) << c.written;
    EXPECT_EQ(got->button, c.button) << c.written;
    EXPECT_NE(recordedArgs().find("--question\n--title=Caption\n--text=Text\n"), std::string::npos) << recordedArgs();
    EXPECT_EQ(host.runLoop().timerCount(), 1) << "only the frame timer is left";
  }
}

TEST_F(FakeChooser, ARunLoopWithoutDescriptorHandlersStillGetsTheAnswer)
{
  struct TimersOnly : testhost::RunLoop
  {
    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler*,
                                                       Steinberg::Linux::FileDescriptor) override
    {
      return Steinberg::kNotImplemented;
    }
  } loop;
  ExternalChooser chooser(&loop);
  std::optional<ChooserAnswer> got;
  ASSERT_TRUE(
    chooser.Start({EChooserKind::OpenFile, "", dir, "", "", "", "", {}}, [&](const ChooserAnswer& a) { got = a; }));
  ASSERT_TRUE(PumpUntil(loop, [&] { return std::filesystem::exists(argsFile); }, {}));
  ASSERT_TRUE(answer("/home/u/x.fxp"));
  ASSERT_TRUE(PumpUntil(loop, [&] { return got.has_value(); }, {}));
  EXPECT_EQ(got->path, "/home/u/x.fxp");
  EXPECT_EQ(loop.timerCount(), 0);
}

TEST_F(FakeChooser, WithoutAnyChooserTheRequestCompletesAsCancelledWithAMessage)
{
  setenv("PATH", dir.c_str(), 1); // neither zenity nor kdialog here
  ExternalChooser chooser(&host.runLoop());
  std::optional<ChooserAnswer> got;
  ASSERT_TRUE(
    chooser.Start({EChooserKind::Directory, "", "", "", "", "", "", {}}, [&](const ChooserAnswer& a) { got = a; }));
  EXPECT_FALSE(got.has_value()) << "the answer comes from the run loop, never inside the request";
  ASSERT_TRUE(pumpUntil([&] { return got.has_value(); }));
  EXPECT_TRUE(got->cancelled);
  EXPECT_TRUE(got->path.empty());
  EXPECT_EQ(got->message, ExternalChooser::kNoChooserMessage);
  EXPECT_EQ(host.runLoop().timerCount(), 1) << "only the frame timer is left";
}

TEST_F(FakeChooser, ClosingTheEditorWithAChooserOpenEndsItWithoutAnAnswer)
{
  bool called = false;
  {
    ExternalChooser chooser(&host.runLoop());
    ASSERT_TRUE(chooser.Start({EChooserKind::OpenFile, "", dir, "", "", "", "", {}},
                              [&](const ChooserAnswer&) { called = true; }));
    ASSERT_TRUE(pumpUntil([&] { return std::filesystem::exists(argsFile); }));
  }
  EXPECT_EQ(host.runLoop().eventHandlerCount(), 0);
  ASSERT_TRUE(pumpUntil([&] { return plugkit::ChildProcess::ReapFinished() == 0; }));
  host.pump(16);
  EXPECT_FALSE(called);
}

} // namespace
} // namespace vemlor::x11test
