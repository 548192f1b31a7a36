#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "IGfx/Controls/DirScan.h"
#include "IGfx/Controls/IDirBrowseControlBase.h"

namespace plugkit::gfx {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir
{
public:
  TempDir()
  {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    mPath = fs::temp_directory_path() / ("vemlor_dirbrowse_" + std::to_string(getpid()) + "_" + info->name());
    fs::remove_all(mPath);
    fs::create_directories(mPath);
  }
  ~TempDir() { fs::remove_all(mPath); }

  fs::path Touch(const std::string& rel) const
  {
    const fs::path p = mPath / rel;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
    return p;
  }
  fs::path Dir(const std::string& rel) const
  {
    fs::create_directories(mPath / rel);
    return mPath / rel;
  }
  const fs::path& Path() const { return mPath; }

private:
  fs::path mPath;
};

// Exposes the scan's results.
class Browser : public IDirBrowseControlBase
{
public:
  using IDirBrowseControlBase::IDirBrowseControlBase;
  // The menu as text: submenus as "name/" followed by their entries indented.
  static void Describe(const IPopupMenu& menu, Strings& out, const std::string& indent = "")
  {
    for (int i = 0; i < menu.NItems(); ++i)
    {
      const IPopupMenu::Item* item = menu.GetItem(i);
      if (item->GetSubmenu())
      {
        out.push_back(indent + item->GetText() + "/");
        Describe(*item->GetSubmenu(), out, indent + "  ");
      }
      else
        out.push_back(indent + item->GetText());
    }
  }
  Strings Menu()
  {
    Strings out;
    Describe(GetMainMenu(), out);
    return out;
  }
  // The file path behind each entry, in menu order.
  Strings ItemPaths() const
  {
    Strings out;
    for (const IPopupMenu::Item* item : mItems)
      out.push_back(mFiles[static_cast<size_t>(item->GetTag())].Get());
    return out;
  }
};

TEST(DirBrowseTest, ListsMatchingFilesByNameSortedWithoutLetterCase)
{
  TempDir d;
  for (const char* f :
       {"lead.fxp", "b.fxp", "A.fxp", "c.fxp", "fxp", "a.fxp.bak", "notes.txt", ".hidden.fxp", "padfxp"})
    d.Touch(f);
  d.Dir("folder.fxp");
  struct Case
  {
    const char* name;
    bool showExtensions;
    Strings expected;
  };
  const Case cases[] = {
    {"extensions hidden", false, {"A", "b", "c", "lead"}},
    {"extensions shown", true, {"A.fxp", "b.fxp", "c.fxp", "lead.fxp"}},
  };
  for (const Case& c : cases)
  {
    Browser b(IRECT(), "fxp", c.showExtensions, false);
    b.AddPath(d.Path().c_str(), "");
    b.SetupMenu();
    EXPECT_EQ(c.expected, b.Menu()) << c.name;
    EXPECT_EQ(4, b.NItems()) << c.name;
    EXPECT_EQ((Strings{(d.Path() / "A.fxp").string(), (d.Path() / "b.fxp").string(), (d.Path() / "c.fxp").string(),
                       (d.Path() / "lead.fxp").string()}),
              b.ItemPaths())
      << c.name;
  }
}

TEST(DirBrowseTest, SubfoldersBecomeSortedSubmenusAndEmptyOnesGo)
{
  TempDir d;
  d.Touch("Bass/sub.fxp");
  d.Touch("bass2/deep/low.fxp");
  d.Touch("lead.fxp");
  d.Dir("Empty");
  d.Touch("Other/readme.txt");
  struct Case
  {
    const char* name;
    bool recursive, showEmpty;
    Strings expected;
  };
  const Case cases[] = {
    {"recursive", true, false, {"Bass/", "  sub", "bass2/", "  deep/", "    low", "lead"}},
    {"recursive, empty folders kept",
     true,
     true,
     {"Bass/", "  sub", "bass2/", "  deep/", "    low", "Empty/", "lead", "Other/"}},
    {"flat", false, false, {"lead"}},
  };
  for (const Case& c : cases)
  {
    Browser b(IRECT(), "fxp", false, c.recursive, c.showEmpty);
    b.AddPath(d.Path().c_str(), "");
    b.SetupMenu();
    EXPECT_EQ(c.expected, b.Menu()) << c.name;
  }
}

TEST(DirBrowseTest, SeveralFoldersGetOneSubmenuEachInTheirOrder)
{
  TempDir d;
  d.Touch("factory/one.fxp");
  d.Touch("factory/two.fxp");
  d.Touch("user/mine.fxp");
  Browser b(IRECT(), "fxp", false);
  b.AddPath((d.Path() / "user").c_str(), "User");
  b.AddPath((d.Path() / "factory").c_str(), "Factory");
  b.AddPath((d.Path() / "missing").c_str(), "Missing");
  b.SetupMenu();
  EXPECT_EQ((Strings{"User/", "  mine", "Factory/", "  one", "  two"}), b.Menu());
  EXPECT_EQ(3, b.NItems());

  b.ClearPathList();
  b.SetupMenu();
  EXPECT_EQ(0, b.NItems());
  EXPECT_EQ(0, b.GetMainMenu().NItems());
}

TEST(DirBrowseTest, ALinkBackToAnAncestorIsNotDescended)
{
  TempDir d;
  d.Touch("presets/a.fxp");
  d.Touch("elsewhere/b.fxp");
  fs::create_directory_symlink(d.Path() / "presets", d.Path() / "presets/self");
  fs::create_directory_symlink(d.Path(), d.Path() / "presets/up");
  fs::create_directory_symlink(d.Path() / "elsewhere", d.Path() / "presets/linked");
  // Two links that lead into each other.
  d.Dir("x");
  d.Dir("y");
  fs::create_directory_symlink(d.Path() / "y", d.Path() / "x/toY");
  fs::create_directory_symlink(d.Path() / "x", d.Path() / "y/toX");
  fs::create_directory_symlink(d.Path() / "x", d.Path() / "presets/toX");
  d.Touch("y/c.fxp");

  Browser b(IRECT(), "fxp", false);
  b.AddPath((d.Path() / "presets").c_str(), "");
  b.SetupMenu();
  EXPECT_EQ((Strings{"a", "linked/", "  b", "toX/", "  toY/", "    c"}), b.Menu());

  DirScan scan;
  struct Case
  {
    const char* entry;
    int kind;
  };
  const Case cases[] = {{"a.fxp", DirScan::kNotDir},
                        {"self", DirScan::kLinkToAncestor},
                        {"up", DirScan::kLinkToAncestor},
                        {"linked", DirScan::kLinkedDir},
                        {"toX", DirScan::kLinkedDir}};
  for (const Case& c : cases)
  {
    bool seen = false;
    for (int more = scan.First((d.Path() / "presets/").c_str()); more == 0; more = scan.Next())
      if (std::string(scan.GetCurrentFN()) == c.entry)
      {
        seen = true;
        EXPECT_EQ(c.kind, scan.GetCurrentIsDirectory()) << c.entry;
        TextString full;
        scan.GetCurrentFullFN(full);
        EXPECT_EQ((d.Path() / "presets" / c.entry).string(), full.Get()) << "one trailing separator is dropped";
      }
    EXPECT_TRUE(seen) << c.entry;
  }
}

TEST(DirBrowseTest, ScanOfAShortOrMissingPathFails)
{
  DirScan scan;
  EXPECT_NE(0, scan.First("/"));
  EXPECT_NE(0, scan.First(""));
  EXPECT_NE(0, scan.First("/no/such/folder/anywhere"));
  EXPECT_EQ(DirScan::kNotDir, scan.GetCurrentIsDirectory());
}

TEST(DirBrowseTest, SelectionFollowsTheExactPath)
{
  TempDir d;
  d.Touch("sub/b.fxp");
  d.Touch("a.fxp");
  Browser b(IRECT(), "fxp", false);
  b.AddPath(d.Path().c_str(), "");
  b.SetupMenu();
  const std::string sub = (d.Path() / "sub/b.fxp").string();
  struct Case
  {
    const char* name;
    std::string path;
    int index;
    std::string selected;
  };
  std::string upper = sub;
  upper[upper.size() - 5] = 'B';
  const Case cases[] = {{"in a submenu", sub, 1, sub},
                        {"differs in letter case", upper, -1, ""},
                        {"not listed", (d.Path() / "zzz.fxp").string(), -1, ""}};
  for (const Case& c : cases)
  {
    b.SetSelectedFile(c.path.c_str());
    EXPECT_EQ(c.index, b.GetSelectedItemIdx()) << c.name;
    TextString selected;
    b.GetSelectedFile(selected);
    EXPECT_EQ(c.selected, selected.Get()) << c.name;
  }

  b.SetSelectedFile(sub.c_str());
  b.CheckSelectedItem();
  const IPopupMenu* submenu = b.GetMainMenu().GetItem(1)->GetSubmenu();
  ASSERT_NE(nullptr, submenu);
  EXPECT_TRUE(submenu->GetItem(0)->GetChecked());
  EXPECT_FALSE(b.GetMainMenu().GetItem(0)->GetChecked());
  b.SetupMenu();
  EXPECT_EQ(-1, b.GetSelectedItemIdx());
}

} // namespace
} // namespace plugkit::gfx
