#include "tests/editor_e2e/editor_session.h"

#include <poll.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "tests/IGfx/Platforms/x11_test_support.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace vemlor::e2e {

using namespace Steinberg;

EditorSession::EditorSession()
  : parent(1960, 1300)
  , session(VEMLOR_BUNDLE_PATH, true)
{}

EditorSession::~EditorSession() { close(); }

bool EditorSession::open(float screenScale)
{
  if (!*this || view)
    return false;
  view = session.controller().createView(Vst::ViewType::kEditor);
  if (!view || view->setFrame(&session.host.frame()) != kResultTrue)
    return false;
  if (screenScale != 1.f)
  {
    IPlugViewContentScaleSupport* scaling = nullptr;
    if (view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)) != kResultOk)
      return false;
    const bool ok = scaling->setContentScaleFactor(screenScale) == kResultOk;
    scaling->release();
    if (!ok)
      return false;
  }
  parent.listenForKeys();
  if (view->attached(parent.parent(), kPlatformTypeX11EmbedWindowID) != kResultOk)
    return false;
  if (!pumpUntil([&] { return window() != 0; }))
    return false;
  settle();
  return true;
}

bool EditorSession::close()
{
  if (!view)
    return true;
  const bool removed = view->removed() == kResultOk;
  view->setFrame(nullptr);
  view->release();
  view = nullptr;
  return removed;
}

::Window EditorSession::window() const
{
  for (const auto& child : parent.children())
    if (child.mapped)
      return child.id;
  return 0;
}

int EditorSession::width() const
{
  for (const auto& child : parent.children())
    if (child.mapped)
      return child.width;
  return 0;
}

int EditorSession::height() const
{
  for (const auto& child : parent.children())
    if (child.mapped)
      return child.height;
  return 0;
}

bool EditorSession::pumpUntil(const std::function<bool()>& done, int maxTurns)
{
  for (int turn = 0; turn < maxTurns; ++turn)
  {
    session.host.pump(16);
    // Keys typed over the editor reach the host's window; it passes them to the view as hosts do.
    if (parent.ok())
      parent.forwardKeys(view);
    if (done())
      return true;
    std::vector<pollfd> waits;
    for (int fd : session.host.runLoop().descriptors())
      waits.push_back({fd, POLLIN, 0});
    if (parent.ok())
      waits.push_back({ConnectionNumber(parent.display()), POLLIN, 0});
    poll(waits.data(), waits.size(), 10);
  }
  return false;
}

void EditorSession::settle(int turns)
{
  int left = turns;
  pumpUntil([&] { return --left <= 0; }, turns);
}

XdoDriver EditorSession::input()
{
  return XdoDriver(window(), scale(), [this] { settle(2); });
}

ScreenCapture EditorSession::capture() const { return captureWindow(parent.display(), window(), scale()); }

ScreenCapture EditorSession::capture(float l, float t, float r, float b) const
{
  return captureWindow(parent.display(), window(), scale(), l, t, r, b);
}

ScreenCapture EditorSession::screenshot(const std::string& name)
{
  // Written once the editor holds still, since a help bubble fades on the real clock: two runs then
  // write the same picture. After twenty looks, whatever it shows.
  ScreenCapture shot = capture();
  for (int look = 0; look < 20; ++look)
  {
    settle(8);
    ScreenCapture next = capture();
    const bool still = next.width == shot.width && next.height == shot.height && next.rgb == shot.rgb;
    shot = std::move(next);
    if (still)
      break;
  }
  EXPECT_TRUE(shot.writePng(name)) << name;
  return shot;
}

double EditorSession::normalized(int index)
{
  return session.controller().getParamNormalized(static_cast<Vst::ParamID>(index));
}

double EditorSession::plain(int index) { return plugin_it::paramTable().plain(index, normalized(index)); }

std::vector<uint8_t> EditorSession::state() { return session.plugin->getState().value_or(std::vector<uint8_t>{}); }

Chunk EditorSession::chunk()
{
  const std::vector<uint8_t> bytes = state();
  const auto parsed = plugin_it::parseChunk(bytes);
  EXPECT_TRUE(parsed.has_value()) << "the plug-in's state does not parse as a chunk";
  return parsed ? parsed->chunk : Chunk{};
}

bool EditorSession::setState(const std::vector<uint8_t>& bytes) { return session.plugin->setState(bytes); }

bool EditorSession::restartProcessing()
{
  return session.plugin->startProcessing({plugin_it::kSampleRate, plugin_it::kBlockSize, Vst::kSample64});
}

Stereo EditorSession::render(const Stereo& input)
{
  EXPECT_TRUE(restartProcessing()) << session.plugin->lastError();
  return plugin_it::render(*session.plugin, input);
}

std::filesystem::path EditorSession::dataFolder()
{
  const char* home = std::getenv("XDG_DATA_HOME");
  return std::filesystem::path(home ? home : "") / "Vemlor";
}

std::optional<std::string> EditorSession::preference(const std::string& key)
{
  std::ifstream in(dataFolder() / "preferences.ini");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key + "=", 0) == 0)
      return line.substr(key.size() + 1);
  return std::nullopt;
}

Stereo renderState(const std::vector<uint8_t>& state, const Stereo& input)
{
  plugin_it::Instance other;
  EXPECT_TRUE(other) << other.session.error;
  if (!other)
    return {};
  EXPECT_TRUE(other.setState(state));
  EXPECT_TRUE(other.restart()) << other.plugin().lastError();
  return plugin_it::render(other.plugin(), input);
}

const Stereo& testSignal()
{
  static const Stereo signal = plugin_it::noiseSignal(0.5, 11);
  return signal;
}

} // namespace vemlor::e2e
