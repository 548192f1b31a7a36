// The CLIPBOARD selection with another X client (xclip) in both directions, and reads that time out.
#include "tests/IGfx/Platforms/editor_fixture.h"

#include "IPlugin/IPluginSpawn.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace vemlor::x11test {
namespace {

using plugkit::ChildProcess;

class Clipboard : public EditorFixture
{
protected:
  void SetUp() override
  {
    EditorFixture::SetUp();
    if (IsSkipped() || HasFatalFailure())
      return;
    if (RunTool({"xclip", "-version"}) == 127)
      GTEST_SKIP() << "xclip is not installed";
  }

  void TearDown() override
  {
    if (xclip.IsRunning())
      xclip.Terminate();
    EditorFixture::TearDown();
  }

  // What xclip reads from the clipboard as target, while the editor keeps serving.
  std::string readWithXclip(const char* target = "UTF8_STRING")
  {
    std::string out;
    EXPECT_TRUE(xclip.Start({"xclip", "-selection", "clipboard", "-o", "-target", target}, true));
    bool open = true;
    EXPECT_TRUE(
      PumpUntil(host.runLoop(), [&] { return !(open = xclip.ReadAvailable(out)); }, {fd(), xclip.OutputFD()}));
    xclip.Release();
    return out;
  }

  // Puts text on the clipboard through xclip, which stays in the foreground serving it.
  void writeWithXclip(const std::string& text)
  {
    const std::string file = MakeTempDir("clip") + "/text";
    std::ofstream(file, std::ios::binary) << text;
    ASSERT_TRUE(xclip.Start({"xclip", "-selection", "clipboard", "-i", "-quiet", file}, false));
    Display* d = parent.display();
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    ASSERT_TRUE(pumpUntil([&] {
      const ::Window owner = XGetSelectionOwner(d, clipboard);
      return owner != None && owner != editor.Window().GetWindow();
    }));
  }

  ChildProcess xclip;
};

TEST_F(Clipboard, TextTheEditorCopiesIsReadByAnotherClient)
{
  const std::string text = "Gr\xc3\xbc\xc3\x9f"
                           "e \xe2\x9c\x93 cutoff 1.2 kHz\nsecond line";
  ASSERT_TRUE(editor.Clipboard().SetText(text));
  EXPECT_EQ(readWithXclip(), text);
}

TEST_F(Clipboard, ALongTextIsServedWhole)
{
  std::string text;
  for (int i = 0; text.size() < 300000; ++i)
    text += "row " + std::to_string(i) + " \xe2\x80\x94 value\n";
  ASSERT_TRUE(editor.Clipboard().SetText(text));
  const std::string got = readWithXclip();
  ASSERT_EQ(got.size(), text.size());
  EXPECT_TRUE(got == text);
}

TEST_F(Clipboard, TargetsAndLatin1AreOffered)
{
  ASSERT_TRUE(editor.Clipboard().SetText("caf\xc3\xa9 \xe2\x9c\x93"));
  const std::string targets = readWithXclip("TARGETS");
  for (const char* t : {"TARGETS", "UTF8_STRING", "STRING", "TEXT"})
    EXPECT_NE(targets.find(t), std::string::npos) << t;
  EXPECT_EQ(readWithXclip("STRING"), "caf\xe9 ?");
}

TEST_F(Clipboard, TextAnotherClientCopiesIsReadAndTakesOverOurs)
{
  ASSERT_TRUE(editor.Clipboard().SetText("ours"));
  const std::string text = "theirs \xe2\x9c\x93";
  writeWithXclip(text);
  ASSERT_TRUE(pumpUntil([&] { return !editor.Clipboard().OwnsSelection(); }));
  std::string got;
  ASSERT_TRUE(editor.Clipboard().GetText(got, 2000));
  EXPECT_EQ(got, text);
}

TEST_F(Clipboard, ALongTextFromAnotherClientArrivesInPieces)
{
  std::string text;
  // Past what one request carries (about 1 MB for xclip), so it must send the text in pieces.
  for (int i = 0; text.size() < 1500000; ++i)
    text += "line " + std::to_string(i) + "\n";
  writeWithXclip(text);
  std::string got;
  ASSERT_TRUE(editor.Clipboard().GetText(got, 5000));
  ASSERT_EQ(got.size(), text.size());
  EXPECT_TRUE(got == text);
}

TEST_F(Clipboard, AnOwnerThatNeverAnswersTimesOutWithNothing)
{
  // A client that takes the selection and then never handles its events.
  Display* silent = XOpenDisplay(nullptr);
  ASSERT_NE(silent, nullptr);
  const ::Window w = XCreateSimpleWindow(silent, DefaultRootWindow(silent), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(silent, XInternAtom(silent, "CLIPBOARD", False), w, CurrentTime);
  XSync(silent, False);

  std::string got = "stale";
  EXPECT_FALSE(editor.Clipboard().GetText(got, 50));
  EXPECT_TRUE(got.empty());
  XCloseDisplay(silent);
}

TEST_F(Clipboard, NoOwnerIsNoText)
{
  Display* d = parent.display();
  XSetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False), None, CurrentTime);
  XSync(d, False);
  EXPECT_FALSE(editor.Clipboard().MayHaveText());
  std::string got = "stale";
  EXPECT_FALSE(editor.Clipboard().GetText(got));
  EXPECT_TRUE(got.empty());
  ASSERT_TRUE(editor.Clipboard().SetText("x"));
  EXPECT_TRUE(editor.Clipboard().MayHaveText());
}

TEST_F(Clipboard, ALateAnswerToATimedOutReadIsNotTakenForTheNextOne)
{
  // A slow owner: it answers only after the editor gave up on it.
  Display* slow = XOpenDisplay(nullptr);
  ASSERT_NE(slow, nullptr);
  const ::Window w = XCreateSimpleWindow(slow, DefaultRootWindow(slow), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(slow, XInternAtom(slow, "CLIPBOARD", False), w, CurrentTime);
  XSync(slow, False);
  std::string got;
  EXPECT_FALSE(editor.Clipboard().GetText(got, 30));

  // Another client takes the clipboard; only then does the slow owner answer the old request.
  const std::string fresh = "fresh \xe2\x9c\x93";
  const std::string file = MakeTempDir("late") + "/text";
  std::ofstream(file, std::ios::binary) << fresh;
  ASSERT_TRUE(xclip.Start({"xclip", "-selection", "clipboard", "-i", "-quiet", file}, false));
  const Atom clipboard = XInternAtom(slow, "CLIPBOARD", False);
  ASSERT_TRUE(pumpUntil([&] {
    const ::Window owner = XGetSelectionOwner(slow, clipboard);
    return owner != None && owner != w;
  }));

  XEvent e;
  XNextEvent(slow, &e);
  ASSERT_EQ(e.type, SelectionRequest);
  const XSelectionRequestEvent r = e.xselectionrequest;
  const std::string late = "late";
  XChangeProperty(slow, r.requestor, r.property, XInternAtom(slow, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(late.data()), static_cast<int>(late.size()));
  XSelectionEvent notify{};
  notify.type = SelectionNotify;
  notify.requestor = r.requestor;
  notify.selection = r.selection;
  notify.target = r.target;
  notify.property = r.property;
  notify.time = r.time;
  XSendEvent(slow, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&notify));
  XSync(slow, False);
  XSync(editor.Window().GetDisplay(), False); // the late answer now waits in the editor's queue

  ASSERT_TRUE(editor.Clipboard().GetText(got, 2000));
  EXPECT_EQ(got, fresh);
  XCloseDisplay(slow);
}

TEST_F(Clipboard, TextCopiedInTheEditorIsStillPasteableAfterItClosesWhenAManagerRuns)
{
  // The manager runs as a process of its own: the editor waits for it while closing.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ready[1], 1);
  char* argv[] = {const_cast<char*>(VEMLOR_FAKE_CLIPBOARD_MANAGER), nullptr};
  pid_t manager = -1;
  const int spawned = posix_spawn(&manager, argv[0], &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(ready[1]);
  ASSERT_EQ(spawned, 0);
  char byte = 0;
  pollfd wait{ready[0], POLLIN, 0};
  const bool started = poll(&wait, 1, 5000) == 1 && read(ready[0], &byte, 1) == 1;
  close(ready[0]);

  const std::string text = "Resonance 0.7 \xe2\x9c\x93";
  if (started)
  {
    ASSERT_TRUE(editor.Clipboard().SetText(text));
    editor.Close();
    EXPECT_EQ(readWithXclip(), text);
  }
  kill(manager, SIGKILL);
  waitpid(manager, nullptr, 0);
  ASSERT_TRUE(started) << "the fake clipboard manager did not start";
}

TEST_F(Clipboard, WithoutAManagerClosingLeavesTheClipboardToNobody)
{
  Display* d = parent.display();
  XSetSelectionOwner(d, XInternAtom(d, "CLIPBOARD_MANAGER", False), None, CurrentTime);
  XSync(d, False);
  ASSERT_TRUE(editor.Clipboard().SetText("gone"));
  EXPECT_FALSE(editor.Clipboard().HandOverToManager(50));
  editor.Close();
  EXPECT_EQ(XGetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False)), static_cast<::Window>(None));
}

} // namespace
} // namespace vemlor::x11test
