// The built bundle hosted by the test host, its editor opened in the host's real X11 window the way
// a host opens it, and what the tests observe of it: the window, its pixels, the plug-in's
// parameters, its state chunk and its audio. Everything here runs on the test's main thread.
#pragma once

// GoogleTest before X11's headers: their macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include "tests/editor_e2e/screen_capture.h"
#include "tests/editor_e2e/xdo_driver.h"
#include "tests/host/host_window.h"
#include "tests/plugin_it/support.h"

#include "pluginterfaces/gui/iplugview.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vemlor::e2e {

using plugin_it::Chunk;
using plugin_it::Stereo;

inline constexpr float kEditorWidth = 940.f;

class EditorSession
{
public:
  // The host window is large enough for the editor at twice its size.
  EditorSession();
  ~EditorSession();
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  explicit operator bool() const { return parent.ok() && static_cast<bool>(session); }

  // createView, setFrame, the screen scale (when not 1) and attached; then pumps until the editor's
  // window is mapped and has drawn. False on any refusal or when it never shows.
  bool open(float screenScale = 1.f);
  // removed and the host's release of the view.
  bool close();
  bool isOpen() const { return view != nullptr; }

  // The editor's window inside the host's, and its size in screen pixels.
  ::Window window() const;
  int width() const;
  int height() const;
  // Screen pixels per editor pixel.
  float scale() const { return static_cast<float>(width()) / kEditorWidth; }
  // The editor's height in editor pixels (200, or 620 with the morph page).
  float editorHeight() const { return static_cast<float>(height()) / scale(); }

  // Pumps the host's run loop (16 ms of its clock per turn) until done() holds, at most maxTurns
  // turns; between turns it waits, bounded, for the X connections or the plug-in's descriptors.
  bool pumpUntil(const std::function<bool()>& done, int maxTurns = 400);
  // A few turns: enough for the frame timer to draw what changed and the idle timer to run.
  void settle(int turns = 8);

  // Input at editor positions, scaled to the window as it is now.
  XdoDriver input();
  ScreenCapture capture() const;
  // Only the part (l, t, r, b) in editor pixels: quicker for probes.
  ScreenCapture capture(float l, float t, float r, float b) const;
  // Captures, once the editor holds still, and writes <name>.png into the artefact folder; the
  // capture for probing.
  ScreenCapture screenshot(const std::string& name);

  // The plug-in as the host sees it.
  double normalized(int index);
  double plain(int index);
  Chunk chunk();
  std::vector<uint8_t> state();
  bool setState(const std::vector<uint8_t>& bytes);
  bool restartProcessing();
  Stereo render(const Stereo& input);

  // The plug-in's folder under the user's data folder: preferences, default user layout, presets.
  static std::filesystem::path dataFolder();
  // The text of a preference in preferences.ini; none when the key is absent.
  static std::optional<std::string> preference(const std::string& key);

  vemlor::testhost::HostWindow parent;
  vemlor::testhost::HostSession session;
  Steinberg::IPlugView* view = nullptr;
};

// The same patch heard in a second instance: a fresh instance given the state, restarted, rendered.
Stereo renderState(const std::vector<uint8_t>& state, const Stereo& input);

// Short steady noise, the input of every render comparison.
const Stereo& testSignal();

} // namespace vemlor::e2e
