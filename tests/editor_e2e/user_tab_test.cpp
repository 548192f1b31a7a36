// The user tab edited with the real pointer and keyboard: edit mode, a control added from the
// picker, dragged to another place, edit mode left; the default layout file then holds the new
// layout and a new instance shows it. A layout saved to a file by one instance loads in another.
#include "tests/editor_e2e/e2e_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace vemlor::e2e {
namespace {

using Layout = std::vector<std::vector<plugin_it::LayoutEntry>>;

// The width fraction of a width-modifier entry (ids -4 to -9), else 0.
float widthModifier(const plugin_it::LayoutEntry& e)
{
  if (e.kind != 1)
    return 0.f;
  switch (static_cast<int32_t>(e.value))
  {
  case -4: return 1.f;
  case -5: return 0.75f;
  case -6: return 2.f / 3.f;
  case -7: return 0.5f;
  case -8: return 0.25f;
  case -9: return 0.125f;
  default: return 0.f;
  }
}

// The columns of the panel in edit mode: the content width less the add-column strip (50 + 18),
// shared in proportion to each column's width (its modifier, else 1).
std::vector<Rect> editColumns(const Layout& layout)
{
  std::vector<float> weights;
  float sum = 0.f;
  for (const auto& column : layout)
  {
    float w = 1.f;
    for (const auto& e : column)
      if (widthModifier(e) > 0.f)
        w = widthModifier(e);
    weights.push_back(w);
    sum += w;
  }
  const float shared = (kContentR - kContentL) - 68.f;
  std::vector<Rect> rects;
  float x = kContentL;
  for (float w : weights)
  {
    const float width = w / sum * shared;
    rects.push_back({x, kContentT, x + width, kContentB});
    x += width;
  }
  return rects;
}

constexpr Rect kAddColumn{kContentR - 68.f, kContentT, kContentR - 18.f, kContentB};

std::string readFile(const std::filesystem::path& path)
{
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class UserTabE2E : public EditorE2E
{
protected:
  void SetUp() override
  {
    EditorE2E::SetUp();
    if (HasFatalFailure() || IsSkipped())
      return;
    selectTab(2);
  }

  void setEditing(EditorSession& session, bool on)
  {
    ASSERT_TRUE(session.input().click(kUserLock.cx(), kUserLock.cy()));
    ASSERT_TRUE(
      session.pumpUntil([&] { return session.chunk().editorValues.at(kValueUserEditing) == (on ? 1.0 : 0.0); }))
      << "edit mode " << on;
    session.settle();
  }

  // Opens the picker on the add-column button and chooses the first control of its first group.
  void addColumnWithFirstControl()
  {
    const size_t columns = s.chunk().layout.size();
    ASSERT_TRUE(click(kAddColumn));
    s.settle();
    s.screenshot("user_tab_picker");
    // The first group opened with the keys, then Return down its first items (a group opens, a
    // control is chosen), the pointer away from the menu.
    XdoDriver keys = s.input();
    ASSERT_TRUE(keys.move(kEmptySpot.cx(), kEmptySpot.cy()));
    s.settle(2);
    for (const char* key : {"Down", "Right"})
    {
      ASSERT_TRUE(keys.key(key));
      s.settle(4);
    }
    for (int level = 0; level < 4 && s.chunk().layout.size() == columns; ++level)
    {
      ASSERT_TRUE(keys.key("Return"));
      s.settle(4);
    }
    ASSERT_TRUE(s.pumpUntil([&] { return s.chunk().layout.size() == columns + 1; })) << "no column was added";
    s.settle();
  }
};

TEST_F(UserTabE2E, AnEditedLayoutIsTheDefaultOfANewInstance)
{
  const std::filesystem::path file = EditorSession::dataFolder() / "default_layout.zarvo";
  const std::string fileBefore = readFile(file);
  setEditing(s, true);
  s.screenshot("user_tab_editing");
  addColumnWithFirstControl();
  const Layout added = s.chunk().layout;
  ASSERT_EQ(added.back().size(), 1u);
  const plugin_it::LayoutEntry control = added.back().front();

  // The new column's only cell, dragged to the left of every column: it becomes the first column.
  const std::vector<Rect> columns = editColumns(added);
  const Rect cell = columns.back();
  ASSERT_TRUE(s.input().drag(cell.cx(), cell.cy(), kContentL - 10.f, cell.cy()));
  ASSERT_TRUE(s.pumpUntil([&] {
    const Layout now = s.chunk().layout;
    return now.size() == added.size() && now.front().size() == 1 && now.front().front() == control;
  }))
    << "the control did not move";
  s.settle();
  s.screenshot("user_tab_dragged");
  const Layout edited = s.chunk().layout;
  EXPECT_EQ(Layout(edited.begin() + 1, edited.end()), Layout(added.begin(), added.end() - 1));

  setEditing(s, false);
  ASSERT_TRUE(s.pumpUntil([&] { return std::filesystem::exists(file) && readFile(file) != fileBefore; }))
    << "leaving edit mode saves the default layout";
  s.screenshot("user_tab_edited");

  EditorSession other;
  ASSERT_TRUE(other);
  EXPECT_EQ(other.chunk().layout, edited) << "a new instance starts with the saved layout";
  ASSERT_TRUE(s.close());
  ASSERT_TRUE(other.open());
  EXPECT_EQ(other.chunk().editorValues.at(kValueTab), 2.0) << "the new instance's tab";
}

TEST_F(UserTabE2E, ALayoutFileSavedByOneInstanceLoadsInAnother)
{
  const std::string dir = x11test::MakeTempDir("e2e_layout");
  const std::string fifo = dir + "/answer";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (std::string(VEMLOR_FAKE_BIN) + ":" + savedPath).c_str(), 1);
  setenv("VEMLOR_FAKE_CHOOSER_FIFO", fifo.c_str(), 1);
  setenv("VEMLOR_FAKE_CHOOSER_ARGS", (dir + "/args").c_str(), 1);
  const auto reply = [&](EditorSession& session, const std::string& line) {
    int fd = -1;
    session.pumpUntil([&] { return (fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0 || errno != ENXIO; });
    if (fd < 0)
      return false;
    const std::string text = line + "\n";
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written;
  };

  setEditing(s, true);
  addColumnWithFirstControl();
  const Layout mine = s.chunk().layout;
  const std::string file = dir + "/mine.zarvo";
  ASSERT_TRUE(click(kUserSave));
  ASSERT_TRUE(reply(s, file));
  ASSERT_TRUE(s.pumpUntil([&] { return std::filesystem::exists(file); })) << "no layout file";
  setEditing(s, false);
  ASSERT_TRUE(s.close());

  // A new instance whose default layout is the one just saved: cleared first, then loaded.
  EditorSession other;
  ASSERT_TRUE(other.open());
  expandStripOf(other);
  ASSERT_TRUE(other.input().click(tabButton(2).cx(), tabButton(2).cy()));
  ASSERT_TRUE(other.pumpUntil([&] { return other.chunk().editorValues.at(kValueTab) == 2.0; }));
  setEditing(other, true);
  const Rect clear = userToolbar(72.f);
  ASSERT_TRUE(other.input().click(clear.cx(), clear.cy()));
  ASSERT_TRUE(other.pumpUntil([&] { return other.chunk().layout.empty(); })) << "clear empties the layout";
  ASSERT_TRUE(other.input().click(kUserLoad.cx(), kUserLoad.cy()));
  ASSERT_TRUE(reply(other, file));
  EXPECT_TRUE(other.pumpUntil([&] { return other.chunk().layout == mine; })) << "the file's layout was loaded";
  setenv("PATH", savedPath.c_str(), 1);
}

} // namespace
} // namespace vemlor::e2e
