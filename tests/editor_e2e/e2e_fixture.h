// The fixture of the end-to-end tests: a hosted instance with its editor open at scale 1, and the
// probes the tests share.
#pragma once

#include "tests/editor_e2e/editor_geometry.h"
#include "tests/editor_e2e/editor_session.h"

#include "tests/IGfx/Platforms/x11_test_support.h"

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

// Turns the morph field on or off with the MORPH toggle when it is not already so: the editor is
// rebuilt at 620 or 200 pixels high.
inline void setMorphOf(EditorSession& s, bool on)
{
  if ((s.normalized(zarvo::par_morph_active) > 0.5) == on)
    return;
  ASSERT_TRUE(s.input().click(kMorphToggle.cx(), kMorphToggle.cy()));
  ASSERT_TRUE(s.pumpUntil(
    [&] { return (s.normalized(zarvo::par_morph_active) > 0.5) == on && s.editorHeight() == (on ? 620.f : 200.f); }))
    << "morph " << s.normalized(zarvo::par_morph_active) << ", height " << s.editorHeight();
  s.settle();
}

// The open preset browser's current row: the first y below the strip where a run of the accent
// colour crosses the name zone (a row's fill, wider than any accent-coloured control); -1 if none.
inline float browserCurrentRow(const EditorSession& s)
{
  const Rect name = stripZone(kZoneName);
  const float l = name.l + 10.f, r = name.l + 210.f, h = s.editorHeight();
  const ScreenCapture shot = s.capture(l, name.b, r, h);
  for (float y = name.b + 1.f; y < h; y += 1.f)
  {
    bool run = true;
    for (float x = l; x < r && run; x += 10.f)
      run = shot.at(x, y) == kAccent;
    if (run)
      return y;
  }
  return -1.f;
}

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
