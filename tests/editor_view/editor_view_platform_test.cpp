// Platform operations of the open editor: the cursor call's answer, drawing at once, the font
// descriptor cache shared by every editor of the process, and the screen scale the X server asks
// for when the host gives none.
#include "tests/editor_view/view_session.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "IGfx/Platforms/FontconfigHelpers.h"
#include "IPlugin/IPluginSpawn.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace vemlor::viewtest {
namespace {

using namespace Steinberg;
using plugkit::gfx::ECursor;
using plugkit::gfx::FontconfigFontDescriptor;
using plugkit::gfx::FontconfigHelpers;
using plugkit::gfx::IGfxLinux;
using Cache = plugkit::gfx::StaticStorage<FontconfigFontDescriptor>;

TEST(EditorViewPlatform, CursorCallAnswersTheShapeItReplaced)
{
  REQUIRE_X_DISPLAY();
  ViewSession s;
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  EXPECT_EQ(s.ui()->SetMouseCursor(ECursor::HAND), ECursor::ARROW);
  EXPECT_EQ(s.ui()->SetMouseCursor(ECursor::SIZEALL), ECursor::HAND);
  EXPECT_EQ(s.ui()->SetMouseCursor(ECursor::ARROW), ECursor::SIZEALL);
}

TEST(EditorViewPlatform, DrawNowDrawsEveryControlAndPresentsBeforeReturning)
{
  REQUIRE_X_DISPLAY();
  ViewSession s;
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  const int frames = s.ui()->NFramesDrawn();
  const int knobDraws = s.plug->Knob()->draws;
  s.ui()->DrawNow();
  EXPECT_EQ(s.ui()->NFramesDrawn(), frames + 1);
  EXPECT_EQ(s.plug->Knob()->draws, knobDraws + 1);
  ASSERT_TRUE(s.close());
}

TEST(EditorViewPlatform, FontDescriptorCacheLivesAsLongAsTheLastGraphicsContext)
{
  REQUIRE_X_DISPLAY();
  Cache& cache = FontconfigHelpers::DescriptorCache();
  ASSERT_EQ(Cache::Accessor(cache).Users(), 0);
  ViewSession s;
  ASSERT_TRUE(s.open());
  EXPECT_EQ(Cache::Accessor(cache).Users(), 1) << "the open editor";
  {
    IGfxLinux second(*s.plug, 100, 100);
    EXPECT_EQ(Cache::Accessor(cache).Users(), 2);
    plugkit::gfx::PlatformFontPtr font =
      FontconfigHelpers::LoadPlatformFont("cache-probe", "Roboto", plugkit::gfx::ETextStyle::Normal);
    ASSERT_NE(font, nullptr);
    second.CachePlatformFont("cache-probe", font);
    EXPECT_NE(Cache::Accessor(cache).Find("cache-probe"), nullptr);
  }
  EXPECT_EQ(Cache::Accessor(cache).Users(), 1);
  EXPECT_NE(Cache::Accessor(cache).Find("cache-probe"), nullptr) << "the other editor still uses it";
  ASSERT_TRUE(s.close());
  EXPECT_EQ(Cache::Accessor(cache).Users(), 0);
  EXPECT_EQ(Cache::Accessor(cache).Size(), 0) << "emptied with its last user";
}

// An X server of the test's own, so its resources can be set without touching the shared one.
class PrivateXServer
{
public:
  PrivateXServer()
  {
    if (!mServer.Start({"Xvfb", "-displayfd", "1", "-screen", "0", "2000x600x24", "-nolisten", "tcp", "-noreset"},
                       true))
      return;
    std::string out;
    while (out.find('\n') == std::string::npos)
    {
      pollfd fd{mServer.OutputFD(), POLLIN, 0};
      if (poll(&fd, 1, 10000) <= 0 || !mServer.ReadAvailable(out))
        break;
    }
    if (out.find('\n') != std::string::npos)
      mName = ":" + out.substr(0, out.find('\n'));
  }
  ~PrivateXServer() { mServer.Terminate(); }

  const std::string& Name() const { return mName; }

  // What xrdb does: the resource string on the root window, read by every client that connects later
  // (the server keeps it when this connection ends: it never resets).
  bool SetResources(const std::string& resources) const
  {
    Display* d = XOpenDisplay(mName.c_str());
    if (!d)
      return false;
    XChangeProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.c_str()), static_cast<int>(resources.size()));
    XSync(d, False);
    XCloseDisplay(d);
    return true;
  }

private:
  plugkit::ChildProcess mServer;
  std::string mName;
};

class ScopedDisplay
{
public:
  explicit ScopedDisplay(const std::string& name)
    : mSaved(std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "")
  {
    setenv("DISPLAY", name.c_str(), 1);
  }
  ~ScopedDisplay() { setenv("DISPLAY", mSaved.c_str(), 1); }

private:
  std::string mSaved;
};

TEST(EditorViewPlatform, WithoutAHostScaleTheServersXftDpiScalesTheEditorUntilTheHostSetsOne)
{
  PrivateXServer server;
  ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
  ASSERT_TRUE(server.SetResources("Xcursor.size:\t24\nXft.dpi:\t192\n"));
  ScopedDisplay display(server.Name());
  std::optional<ViewSession> s(std::in_place);
  ASSERT_TRUE(s->open()); // the host sets no content scale
  ASSERT_TRUE(s->waitForFirstFrame());
  EXPECT_FLOAT_EQ(s->ui()->GetScreenScale(), 2.f);
  auto children = s->parent.children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0].width, 1880);
  EXPECT_EQ(children[0].height, 400);
  ViewRect rect;
  ASSERT_EQ(s->view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), 1880);
  EXPECT_FLOAT_EQ(s->ui()->EditorWindow().Input().Scale(), 2.f);

  // A factor from the host replaces it, even the 1 the view started with.
  IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(s->view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)), kResultOk);
  EXPECT_EQ(scaling->setContentScaleFactor(1.f), kResultOk);
  scaling->release();
  EXPECT_FLOAT_EQ(s->ui()->GetScreenScale(), 1.f);
  ASSERT_TRUE(s->pumpUntil([&] {
    const auto now = s->parent.children();
    return !now.empty() && now[0].width == 940 && now[0].height == 200;
  }));
  s.reset(); // closes every connection to the private server before it ends
}

} // namespace
} // namespace vemlor::viewtest
