// The keyboard and GL context the editor view shares with a host that has its own: shortcuts typed
// over the editor reach the host's window, the in-editor text entry takes the keys only while it is
// open, loses them (and ends) when the host takes the focus, closes without applying on a scroll,
// types what keyboard layouts, dead keys and the euro sign give, and the host's GL context stays
// current through opening, frames, resizing and closing.
#include "tests/editor_view/view_session.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "IGfx/Controls/ICaptionControl.h"
#include "IGfx/Controls/ITextEntryControl.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace vemlor::viewtest {
namespace {

using namespace Steinberg;
using plugkit::gfx::IRECT;

constexpr IRECT kCaption{300.f, 80.f, 400.f, 120.f}; // the value of parameter 0 (0.5 at first)
constexpr IRECT kName{500.f, 80.f, 800.f, 120.f};

// A field of free text, as a preset name: a click opens the text entry; the committed text is kept.
class NameField final : public plugkit::gfx::IControl
{
public:
  explicit NameField(const IRECT& bounds)
    : IControl(bounds)
  {}
  void Draw(plugkit::gfx::IGfx& g) override { g.FillRect(plugkit::gfx::IColor(255, 70, 70, 80), GetRECT()); }
  void OnMouseDown(float, float, const plugkit::gfx::IMouseMod&) override
  {
    GetUI()->CreateTextEntry(*this, GetText(), GetRECT(), "");
  }
  void OnTextEntryCompletion(const char* str, int) override
  {
    committed = str;
    ++completions;
  }

  std::string committed;
  int completions = 0;
};

class EditorKeyboard : public ::testing::Test
{
protected:
  void SetUp() override
  {
    REQUIRE_X_DISPLAY();
    s.plug->extraLayout = [this](plugkit::gfx::IGfx* g) {
      // The text's font, so the screenshots show what was typed (it has Cyrillic and the euro sign).
      g->LoadFont("Roboto-Regular", "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf");
      g->AttachControl(new plugkit::gfx::ICaptionControl(kCaption, 0));
      g->AttachControl(name = new NameField(kName));
    };
    ASSERT_TRUE(s.open());
    ASSERT_TRUE(s.waitForFirstFrame());
    // The host's window has the keyboard, as a host's main window has while the user works in it.
    s.parent.takeKeyboardFocus();
  }

  void xdo(const std::vector<std::string>& args) { ASSERT_EQ(x11test::RunXdotool(args, s.childWindow()), 0); }

  ::Window focus() const
  {
    ::Window w = 0;
    int revert = 0;
    XGetInputFocus(s.parent.display(), &w, &revert);
    return w;
  }
  bool entryHasKeyboard()
  {
    return s.ui()->GetControlInTextEntry() != nullptr && s.ui()->EditorWindow().HoldsKeyboard() &&
           focus() == s.childWindow();
  }
  plugkit::gfx::ITextEntryControl* entry() const
  {
    return dynamic_cast<plugkit::gfx::ITextEntryControl*>(s.ui()->GetTextEntryControl());
  }
  // A click on the field at (x, y); true once its text entry holds the keyboard.
  bool openEntryAt(const IRECT& field)
  {
    xdo({"mousemove", "--window", "%w", std::to_string(static_cast<int>(field.MW())),
         std::to_string(static_cast<int>(field.MH())), "click", "1"});
    return s.pumpUntil([&] { return entryHasKeyboard(); });
  }
  bool pumpUntilEntryShows(const std::string& text)
  {
    return s.pumpUntil([&] { return entry() && entry()->GetStr() == text; });
  }
  double value() const { return s.plug->GetParam(0)->Value(); }
  // Collects the keys reaching the host's window until want arrives.
  bool pumpUntilHostGets(KeySym want)
  {
    return s.pumpUntil([&] {
      for (KeySym k : s.parent.takeKeys())
        hostKeys.push_back(k);
      return std::find(hostKeys.begin(), hostKeys.end(), want) != hostKeys.end();
    });
  }

  ViewSession s;
  NameField* name = nullptr;
  std::vector<KeySym> hostKeys;
};

TEST_F(EditorKeyboard, KeysTypedOverTheEditorReachTheHostWhileNoTextEntryIsOpen)
{
  // The pointer rests on the knob, which takes only "k".
  xdo({"mousemove", "--window", "%w", "100", "100"});
  xdo({"key", "space", "ctrl+z"});
  ASSERT_TRUE(pumpUntilHostGets(XK_z));
  EXPECT_EQ(hostKeys, (std::vector<KeySym>{XK_space, XK_Control_L, XK_z}));
  EXPECT_TRUE(s.plug->Knob()->keysSeen.empty());

  // While the entry is open the editor has every key, and the host none.
  ASSERT_TRUE(openEntryAt(kCaption));
  s.parent.takeKeys();
  xdo({"type", "0.25"});
  xdo({"key", "Return"});
  ASSERT_TRUE(s.pumpUntil([&] { return std::abs(value() - 0.25) < 1e-9; }));
  EXPECT_TRUE(s.parent.takeKeys().empty());

  // Closed: the host's window has the keyboard again, and its shortcuts work over the editor.
  ASSERT_TRUE(s.pumpUntil([&] { return s.parent.hasKeyboardFocus(); }));
  EXPECT_FALSE(s.ui()->EditorWindow().HoldsKeyboard());
  hostKeys.clear();
  xdo({"mousemove", "--window", "%w", "100", "100"});
  xdo({"key", "space"});
  ASSERT_TRUE(pumpUntilHostGets(XK_space));
}

TEST_F(EditorKeyboard, TheHostTakingTheFocusEndsTheEntryAndAClickOnTheFieldTakesItBack)
{
  ASSERT_TRUE(openEntryAt(kCaption));
  xdo({"type", "0.75"});
  ASSERT_TRUE(pumpUntilEntryShows("0.75"));

  // The user clicks into the host: focus leaves the editor, and the entry ends as Return ends it.
  s.parent.takeKeyboardFocus();
  ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->GetControlInTextEntry() == nullptr; }));
  EXPECT_NEAR(value(), 0.75, 1e-9);
  EXPECT_FALSE(s.ui()->EditorWindow().HoldsKeyboard());
  EXPECT_TRUE(s.parent.hasKeyboardFocus());

  ASSERT_TRUE(openEntryAt(kCaption));
  xdo({"type", "0.25"});
  xdo({"key", "Return"});
  ASSERT_TRUE(s.pumpUntil([&] { return std::abs(value() - 0.25) < 1e-9; }));
}

TEST_F(EditorKeyboard, ScrollingWhileTheEntryIsOpenClosesItAndLeavesTheValue)
{
  ASSERT_TRUE(openEntryAt(kCaption));
  xdo({"type", "0.9"});
  ASSERT_TRUE(pumpUntilEntryShows("0.9"));
  xdo({"click", "4"});
  ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->GetControlInTextEntry() == nullptr; }));
  EXPECT_NEAR(value(), 0.5, 1e-9);
  ASSERT_TRUE(s.pumpUntil([&] { return s.parent.hasKeyboardFocus(); }));
}

// Sets the keyboard layout for the test and puts the usual one back after, whatever happens.
class KeyboardLayout
{
public:
  bool set(const char* layout) { return x11test::RunTool({"setxkbmap", layout}) == 0; }
  ~KeyboardLayout() { x11test::RunTool({"setxkbmap", "us"}); }
};

TEST_F(EditorKeyboard, TextFromOtherLayoutsDeadKeysAndTheEuroSignArrivesAsTyped)
{
  KeyboardLayout layout;
  ASSERT_TRUE(openEntryAt(kName));
  ASSERT_TRUE(layout.set("ru"));
  xdo({"key", "Cyrillic_zhe", "Cyrillic_A"});
  // Each key is read with the layout the server had when it was typed: let these arrive first.
  ASSERT_TRUE(pumpUntilEntryShows("\xd0\xb6\xd0\x90"));
  ASSERT_TRUE(layout.set("de"));
  // AltGr+E, then the acute dead key followed by e.
  xdo({"key", "EuroSign", "dead_acute", "e"});
  const std::string typed = "\xd0\xb6\xd0\x90\xe2\x82\xac\xc3\xa9"; // жА€é
  ASSERT_TRUE(pumpUntilEntryShows(typed));
  EXPECT_TRUE(s.screenshot("editor_text_entry_layouts"));
  xdo({"key", "Return"});
  ASSERT_TRUE(s.pumpUntil([&] { return name->completions == 1; }));
  EXPECT_EQ(name->committed, typed);
}

TEST(EditorViewHostGL, TheHostsContextIsCurrentAgainAfterOpeningFramesResizingAndClosing)
{
  REQUIRE_X_DISPLAY();
  ViewSession s;
  testhost::HostGLContext gl(s.parent.display());
  ASSERT_TRUE(gl.makeCurrent());

  ASSERT_TRUE(s.open());
  EXPECT_TRUE(gl.isCurrent()) << "after attached";
  ASSERT_TRUE(s.waitForFirstFrame());
  EXPECT_TRUE(gl.isCurrent()) << "after the first frame";

  IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(s.view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)), kResultOk);
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultOk);
  scaling->release();
  const int frames = s.ui()->NFramesDrawn();
  ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->NFramesDrawn() > frames; }));
  EXPECT_TRUE(gl.isCurrent()) << "after resizing and a frame";
  // The editor still draws with its own context: the knob is on screen.
  EXPECT_TRUE(s.screenshot("editor_with_host_gl_context"));

  ASSERT_TRUE(s.close());
  EXPECT_TRUE(gl.isCurrent()) << "after close";
}

} // namespace
} // namespace vemlor::viewtest
