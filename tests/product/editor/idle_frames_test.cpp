// An open editor left alone draws nothing: every control redraws only when what it shows changed.
#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "tests/product/editor/vemlor_editor_fixture.h"

namespace vemlor::ui::test {
namespace {

TEST(IdleEditor, DrawsNoFrameOnAnyTabAtEitherHeight)
{
  struct Case
  {
    const char* name;
    bool morphOn;
    int tab;
  };
  const Case cases[] = {
    {"all controls", false, 0},
    {"frequencies", false, 1},
    {"user", false, 2},
    {"user with the morph page", true, 2},
  };
  for (const Case& c : cases)
  {
    VemlorEditorFixture f({.morphOn = c.morphOn});
    f.plug->switchTab(c.tab);
    for (int i = 0; i < 10; ++i)
    {
      f.idle();
      f.frame();
    }
    for (int i = 0; i < 5; ++i)
    {
      f.idle();
      std::string dirty;
      f.G().ForAllControlsFunc([&dirty](plugkit::gfx::IControl* control) {
        if (control->IsDirty())
          dirty += std::string(typeid(*control).name()) + " ";
      });
      EXPECT_EQ(dirty, "") << c.name;
      EXPECT_FALSE(f.frame()) << c.name;
    }
  }
}

} // namespace
} // namespace vemlor::ui::test
