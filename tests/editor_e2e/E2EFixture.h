// The fixture of the end-to-end tests: a hosted instance with its editor open at scale 1, and the
// probes the tests share.
#pragma once

#include "tests/editor_e2e/EditorGeometry.h"
#include "tests/editor_e2e/EditorSession.h"

#include "tests/IGfx/Platforms/X11TestSupport.h"

namespace vemlor::e2e {

inline constexpr Rgb kBackground{60, 60, 60};
inline constexpr Rgb kAccent{95, 55, 200};

// Indices of the editor values in the state chunk.
enum EditorValue
{
  kValueScale = 0,
  kValueTab = 1,
  kValueUserEditing = 2,
  kValueStripCollapsed = 8,
};

// Expands the preset strip of an open editor when it is collapsed.
inline void expandStripOf(EditorSession& s)
{
  if (s.chunk().editorValues.at(kValueStripCollapsed) == 0.0)
    return;
  const Rect toggle = stripZone(kZoneToggle, true);
  ASSERT_TRUE(s.input().click(toggle.cx(), toggle.cy()));
  ASSERT_TRUE(s.pumpUntil([&] { return s.chunk().editorValues.at(kValueStripCollapsed) == 0.0; }));
  s.settle();
}

class EditorE2E : public ::testing::Test
{
protected:
  void SetUp() override
  {
    REQUIRE_X_DISPLAY();
    ASSERT_TRUE(s) << s.session.error;
    ASSERT_TRUE(s.open());
  }

  double editorValue(EditorValue v) { return s.chunk().editorValues.at(static_cast<size_t>(v)); }
  bool click(const Rect& r, int button = 1) { return s.input().click(r.cx(), r.cy(), button); }
  // Clicks a tab and waits until the plug-in reports it current.
  void selectTab(int tab)
  {
    ASSERT_TRUE(click(tabButton(tab)));
    ASSERT_TRUE(s.pumpUntil([&] { return editorValue(kValueTab) == tab; })) << "tab " << tab;
    s.settle();
  }
  void expandStrip() { expandStripOf(s); }

  EditorSession s;
};

// True when every pixel of the rectangle is the background colour.
inline bool onlyBackground(const ScreenCapture& shot, const Rect& r)
{
  for (float y = r.t; y < r.b; y += 1.f)
    for (float x = r.l; x < r.r; x += 1.f)
      if (!(shot.at(x, y) == kBackground))
        return false;
  return true;
}

} // namespace vemlor::e2e
