// The whole editor as built, one line per control, against reviewed golden files. A change of the
// layout shows up here line by line; regenerate with VEMLOR_UPDATE_GOLDEN=1 and review the diff.
#include <gtest/gtest.h>

#include <cxxabi.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <typeinfo>

#include <fmt/format.h>

#include "tests/product/editor/vemlor_editor_fixture.h"
#include "utils/midi_cc/controllable.h"

namespace vemlor::ui::test {
namespace {

using namespace plugkit::gfx;

std::string className(const IControl& c)
{
  int status = 0;
  const char* mangled = typeid(c).name();
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  return status == 0 && name ? name.get() : mangled;
}

// Every tag the editor or the plug-in looks controls up by.
std::map<const IControl*, int> tagsOf(IGfx& g)
{
  std::map<const IControl*, int> tags;
  for (int tag : {7,    1040, 1041, 1042, 1043, 1044, 1050, 1051, 1052, 1053, 1054,
                  1060, 1061, 1062, 1063, 1064, 1065, 1066, 1067, 1068, 1070, 1071})
    if (IControl* c = g.GetControlWithTag(tag))
      tags[c] = tag;
  return tags;
}

std::string dump(IGfx& g)
{
  const std::map<const IControl*, int> tags = tagsOf(g);
  std::ostringstream out;
  out << fmt::format("editor {} x {}\n", g.Width(), g.Height());
  int index = 0;
  g.ForAllControlsFunc([&](IControl* c) {
    const IRECT& r = c->GetRECT();
    const auto tag = tags.find(c);
    out << fmt::format("{:3} {} ({:.3f}, {:.3f}, {:.3f}, {:.3f}) tag {} group \"{}\"{}{} param {} {}\n", index++,
                       className(*c), r.L, r.T, r.R, r.B, tag == tags.end() ? -1 : tag->second, c->GetGroup(),
                       c->IsHidden() ? " hidden" : "", c->IsDisabled() ? " disabled" : "", c->GetParamIdx(),
                       dynamic_cast<zarvo::midi_cc::IControllable*>(c) ? "learnable" : "plain");
  });
  return out.str();
}

std::string goldenPath(const char* name) { return std::string(VEMLOR_EDITOR_LAYOUT_GOLDEN_DIR) + "/" + name; }

void compareWithGolden(const std::string& actual, const char* name)
{
  const std::string path = goldenPath(name);
  if (const char* update = std::getenv("VEMLOR_UPDATE_GOLDEN"); update && std::string(update) == "1")
  {
    std::ofstream(path) << actual;
    GTEST_SKIP() << "wrote " << path;
  }
  std::ifstream in(path);
  ASSERT_TRUE(in) << "no golden file " << path << " (VEMLOR_UPDATE_GOLDEN=1 writes it)";
  std::stringstream expected;
  expected << in.rdbuf();
  // Line by line, so that a failure names the controls that moved.
  std::istringstream a(actual), e(expected.str());
  std::string lineA, lineE;
  int line = 1;
  while (true)
  {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreE = static_cast<bool>(std::getline(e, lineE));
    if (!moreA && !moreE)
      break;
    EXPECT_EQ(moreA ? lineA : "<end>", moreE ? lineE : "<end>") << name << " line " << line;
    ++line;
  }
}

TEST(LayoutDump, Editor940x200)
{
  VemlorEditorFixture f;
  compareWithGolden(dump(f.G()), "editor_940x200.txt");
}

TEST(LayoutDump, Editor940x620)
{
  VemlorEditorFixture f({.morphOn = true});
  compareWithGolden(dump(f.G()), "editor_940x620.txt");
}

} // namespace
} // namespace vemlor::ui::test
