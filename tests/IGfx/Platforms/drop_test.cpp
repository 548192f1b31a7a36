// Files dropped on the editor: the uri-list reader, and whole XDND conversations with a small source
// client on its own connection.
#include "tests/IGfx/Platforms/editor_fixture.h"

#include "IGfx/Platforms/X11/UriList.h"

#include <X11/Xatom.h>

#include <string>
#include <vector>

namespace vemlor::x11test {
namespace {

struct UriCase
{
  const char* name;
  std::string list;
  std::vector<std::string> paths;
};

class UriListReading : public ::testing::TestWithParam<UriCase>
{};

TEST_P(UriListReading, GivesLocalPathsInOrder)
{
  EXPECT_EQ(plugkit::gfx::ParseUriList(GetParam().list), GetParam().paths);
}

INSTANTIATE_TEST_SUITE_P(
  Lists, UriListReading,
  ::testing::Values(
    UriCase{"one", "file:///home/u/a.fxp\r\n", {"/home/u/a.fxp"}}, UriCase{"without_line_end", "file:///a", {"/a"}},
    UriCase{"three_crlf", "file:///a\r\nfile:///b\r\nfile:///c\r\n", {"/a", "/b", "/c"}},
    UriCase{"bare_newlines", "file:///a\nfile:///b\n", {"/a", "/b"}},
    UriCase{"percent_escapes", "file:///home/u/My%20Presets/caf%C3%A9%25.fxp", {"/home/u/My Presets/caf\xc3\xa9%.fxp"}},
    UriCase{"upper_and_lower_hex", "file:///%2a%2A", {"/**"}},
    UriCase{"localhost", "file://localhost/tmp/x", {"/tmp/x"}}, UriCase{"single_slash_form", "file:/tmp/x", {"/tmp/x"}},
    UriCase{"scheme_case", "FILE:///tmp/x", {"/tmp/x"}},
    UriCase{"comments_and_blanks", "# from a file manager\r\n\r\nfile:///a\r\n  \r\n", {"/a"}},
    UriCase{"other_host", "file://server/share/x\r\nfile:///a", {"/a"}},
    UriCase{"other_schemes", "https://example.org/x.fxp\r\nsmb://s/x\r\nfile:///a", {"/a"}},
    UriCase{"broken_escape", "file:///a%2\r\nfile:///b%zz\r\nfile:///c", {"/c"}},
    UriCase{"escaped_nul", "file:///a%00b\r\nfile:///c", {"/c"}},
    UriCase{"raw_nul", std::string("file:///a\0b\r\nfile:///c", 22), {"/c"}},
    UriCase{"relative", "file://a\r\nfile:a", {}}, UriCase{"empty", "", {}}),
  [](const auto& info) { return std::string(info.param.name); });

// A drag source on its own connection: it offers types, moves over the editor, drops and serves
// the data, recording the target's status and finish messages.
class DragSource
{
public:
  explicit DragSource(::Window target)
    : target(target)
  {
    for (int attempt = 0; attempt < 3 && d == nullptr; ++attempt)
      d = XOpenDisplay(nullptr);
    window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
    selection = XInternAtom(d, "XdndSelection", False);
    uriList = XInternAtom(d, "text/uri-list", False);
    XSetSelectionOwner(d, selection, window, CurrentTime);
    XSync(d, False);
  }
  ~DragSource()
  {
    XDestroyWindow(d, window);
    XCloseDisplay(d);
  }

  int fd() const { return ConnectionNumber(d); }
  Atom atom(const char* name) { return XInternAtom(d, name, False); }

  void send(const char* type, long l1, long l2, long l3, long l4)
  {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = target;
    e.xclient.message_type = atom(type);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(window);
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(d, target, False, NoEventMask, &e);
    XFlush(d);
  }

  // Enter with the types inline (up to three) or through XdndTypeList.
  void enter(const std::vector<Atom>& types)
  {
    long flags = 5L << 24;
    if (types.size() > 3)
    {
      XChangeProperty(d, window, atom("XdndTypeList"), XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(types.data()), static_cast<int>(types.size()));
      flags |= 1;
    }
    auto at = [&](size_t i) { return i < types.size() && types.size() <= 3 ? static_cast<long>(types[i]) : 0L; };
    send("XdndEnter", flags, at(0), at(1), at(2));
  }
  void position(int rootX, int rootY)
  {
    send("XdndPosition", 0, (rootX << 16) | rootY, CurrentTime, atom("XdndActionCopy"));
  }
  void drop() { send("XdndDrop", 0, CurrentTime, 0, 0); }

  // Answers selection requests and records status and finish messages.
  void serve()
  {
    while (XPending(d) > 0)
    {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == SelectionRequest)
      {
        const XSelectionRequestEvent& r = e.xselectionrequest;
        XSelectionEvent answer{};
        answer.type = SelectionNotify;
        answer.requestor = r.requestor;
        answer.selection = r.selection;
        answer.target = r.target;
        answer.time = r.time;
        answer.property = None;
        if (r.target == uriList)
        {
          XChangeProperty(d, r.requestor, r.property, uriList, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
          answer.property = r.property;
        }
        XSendEvent(d, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&answer));
        XFlush(d);
      }
      else if (e.type == ClientMessage && e.xclient.message_type == atom("XdndStatus"))
      {
        statuses.push_back({(e.xclient.data.l[1] & 1) != 0, static_cast<Atom>(e.xclient.data.l[4])});
      }
      else if (e.type == ClientMessage && e.xclient.message_type == atom("XdndFinished"))
      {
        finished = true;
        finishedAccepted = (e.xclient.data.l[1] & 1) != 0;
      }
    }
  }

  struct StatusMessage
  {
    bool accepted;
    Atom action;
  };
  std::string data;
  std::vector<StatusMessage> statuses;
  bool finished = false;
  bool finishedAccepted = false;
  Display* d = nullptr;
  ::Window window = 0;

private:
  ::Window target;
  Atom selection = 0;
  Atom uriList = 0;
};

class XdndDrop : public EditorFixture
{
protected:
  bool converse(DragSource& source, int rootX, int rootY)
  {
    auto pumpWith = [&](const std::function<bool()>& done) {
      return PumpUntil(host.runLoop(),
                       [&] {
                         source.serve();
                         return done();
                       },
                       {fd(), source.fd()});
    };
    source.position(rootX, rootY);
    if (!pumpWith([&] { return !source.statuses.empty(); }))
      return false;
    source.drop();
    return pumpWith([&] { return source.finished; });
  }
};

TEST_F(XdndDrop, OneFileIsOneDropCallAtThePointer)
{
  DragSource source(editor.Window().GetWindow());
  source.data = "file:///home/u/Presets/Warm%20Pad.fxp\r\n";
  source.enter({source.atom("text/uri-list"), source.atom("UTF8_STRING")});
  ASSERT_TRUE(converse(source, 300, 100));
  ASSERT_EQ(source.statuses.size(), 1u);
  EXPECT_TRUE(source.statuses[0].accepted);
  EXPECT_EQ(source.statuses[0].action, source.atom("XdndActionCopy"));
  EXPECT_TRUE(source.finishedAccepted);
  EXPECT_EQ(listener.dropCalls, (std::vector<std::string>{"drop 300,100"}));
  EXPECT_EQ(listener.drops, (std::vector<std::vector<std::string>>{{"/home/u/Presets/Warm Pad.fxp"}}));
}

TEST_F(XdndDrop, ThreeFilesAreOneMultipleDropCallInSourceOrderDividedByTheScale)
{
  editor.SetScale(1.f, 2.f);
  DragSource source(editor.Window().GetWindow());
  source.data = "# three\r\nfile:///c.fxp\r\nfile://localhost/a%23.fxp\r\nfile:///b.fxp\r\n";
  // Four types: the source lists them on its window.
  source.enter(
    {source.atom("text/plain"), source.atom("UTF8_STRING"), source.atom("STRING"), source.atom("text/uri-list")});
  ASSERT_TRUE(converse(source, 300, 100));
  EXPECT_TRUE(source.finishedAccepted);
  EXPECT_EQ(listener.dropCalls, (std::vector<std::string>{"multiple 150,50"}));
  EXPECT_EQ(listener.drops, (std::vector<std::vector<std::string>>{{"/c.fxp", "/a#.fxp", "/b.fxp"}}));
}

TEST_F(XdndDrop, DragsWithoutFilesAreRefusedAndDropNothing)
{
  DragSource source(editor.Window().GetWindow());
  source.data = "file:///a";
  source.enter({source.atom("text/plain")});
  ASSERT_TRUE(converse(source, 300, 100));
  ASSERT_FALSE(source.statuses.empty());
  EXPECT_FALSE(source.statuses[0].accepted);
  EXPECT_FALSE(source.finishedAccepted);
  EXPECT_TRUE(listener.dropCalls.empty());
}

TEST_F(XdndDrop, AListWithoutLocalFilesDropsNothingAndSaysSo)
{
  DragSource source(editor.Window().GetWindow());
  source.data = "https://example.org/a.fxp\r\n";
  source.enter({source.atom("text/uri-list")});
  ASSERT_TRUE(converse(source, 300, 100));
  EXPECT_FALSE(source.finishedAccepted);
  EXPECT_TRUE(listener.dropCalls.empty());
}

TEST_F(XdndDrop, TheWindowAnnouncesVersionFive)
{
  Display* d = parent.display();
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(d, editor.Window().GetWindow(), XInternAtom(d, "XdndAware", False), 0, 1, False, XA_ATOM,
                               &type, &format, &count, &after, &data),
            Success);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(*reinterpret_cast<long*>(data), 5);
  XFree(data);
}

} // namespace
} // namespace vemlor::x11test
