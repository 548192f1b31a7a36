#include "utils/zarvo_file.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zarvo {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kWritten = "# zarvo v1\n"
                                 "# plugin Vemlor 1.3.0\n"
                                 "\n"
                                 "[morph-rig]\n"
                                 "a = 1\n"
                                 "b\n"
                                 "\n"
                                 "[user-tab]\n";

TEST(ZarvoFile, WritesExactBytesAndReadsThemBack)
{
  ZarvoFile file("Vemlor", "1.3.0");
  file.setSection("morph-rig", {"a = 1", "b"});
  file.setSection("user-tab", {});
  EXPECT_EQ(file.toString(), kWritten);

  test::TempDir dir;
  ASSERT_EQ(file.toFile(dir / "rig.zarvo"), plugkit::EFileResult::kOk);
  EXPECT_EQ(test::readBytes(dir / "rig.zarvo"), kWritten);

  const ZarvoFile::Loaded loaded = ZarvoFile::fromFile(dir / "rig.zarvo");
  ASSERT_EQ(loaded.result, plugkit::EFileResult::kOk);
  const std::optional<ZarvoFile>& back = loaded.file;
  ASSERT_TRUE(back);
  EXPECT_EQ(back->pluginName(), "Vemlor");
  EXPECT_EQ(back->pluginVersion(), "1.3.0");
  ASSERT_EQ(back->sections().size(), 2u);
  EXPECT_EQ(back->section("morph-rig"), (Lines{"a = 1", "b"}));
  EXPECT_TRUE(back->hasSection("user-tab"));
  EXPECT_TRUE(back->section("user-tab").empty());
}

TEST(ZarvoFile, FileErrorsAreResultsNotExceptions)
{
  test::TempDir dir;
  EXPECT_EQ(ZarvoFile("Vemlor", "1.3.0").toFile(dir / "missing-folder" / "x.zarvo"),
            plugkit::EFileResult::kWriteFailed);

  test::writeBytes(dir / "notes.txt", "shopping list\n");
  // Past the cap even with a valid header: no valid file is that large.
  test::writeBytes(dir / "huge.zarvo", std::string(kWritten) + std::string(ZarvoFile::kMaxFileBytes, '#'));
  const struct
  {
    const char* name;
    std::filesystem::path path;
    plugkit::EFileResult result;
  } cases[] = {
    {"absent", dir / "absent.zarvo", plugkit::EFileResult::kUnreadable},
    {"a folder", dir.path(), plugkit::EFileResult::kUnreadable},
    {"another format", dir / "notes.txt", plugkit::EFileResult::kNotOurs},
    {"oversized", dir / "huge.zarvo", plugkit::EFileResult::kNotOurs},
  };
  for (const auto& c : cases)
  {
    const ZarvoFile::Loaded loaded = ZarvoFile::fromFile(c.path);
    EXPECT_EQ(loaded.result, c.result) << c.name;
    EXPECT_FALSE(loaded.file) << c.name;
  }
}

TEST(ZarvoFile, SavingOverAFileReplacesItWhole)
{
  test::TempDir dir;
  test::writeBytes(dir / "rig.zarvo", std::string(kWritten) + std::string(5000, '#') + "\n");
  ZarvoFile file("Vemlor", "1.3.0");
  file.setSection("midi-cc", {"cc 1"});
  ASSERT_EQ(file.toFile(dir / "rig.zarvo"), plugkit::EFileResult::kOk);
  EXPECT_EQ(test::readBytes(dir / "rig.zarvo"), file.toString());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(ZarvoFile, HeaderLineDecidesWhetherTextIsAFile)
{
  const struct
  {
    const char* name;
    const char* text;
    bool accepted;
  } cases[] = {
    {"plain", "# zarvo v1\n", true},
    {"no line end", "# zarvo v1", true},
    {"blanks and CR around", "  \t# zarvo v1 \r\n", true},
    {"after empty lines", "\n \r\n\t\n# zarvo v1\n[x]\n", true},
    {"empty text", "", false},
    {"only empty lines", "\n  \r\n\t\n", false},
    {"no blank after number sign", "#zarvo v1\n", false},
    {"capitals", "# ZARVO V1\n", false},
    {"other version", "# zarvo v2\n", false},
    {"plugin line first", "# plugin Vemlor 1.3.0\n# zarvo v1\n", false},
    {"comment first", "# hello\n# zarvo v1\n", false},
    {"section first", "[x]\n# zarvo v1\n", false},
    {"text after header word", "# zarvo v1 extra\n", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ZarvoFile::fromText(c.text).has_value(), c.accepted) << c.name;
}

// Every classification rule in one text; the CR LF form must read identically.
TEST(ZarvoFile, ParsesLinesByTheirShapeAndCrLfReadsLikeLf)
{
  const std::string lf = "# zarvo v1\n"
                         "dropped before any section\n"
                         "# plugin Solo\n"
                         "[a]\n"
                         "   two  words \t\n"
                         "# a comment\n"
                         "\n"
                         "# zarvo v1\n"
                         "#plugin X Y\n"
                         "# plugin\n"
                         "line\n"
                         "[]\n"
                         "in empty name\n"
                         "[b]c]\n"
                         "[a]\n"
                         "second a\n"
                         "[unterminated\n"
                         "x]\n";
  std::string crlf;
  for (char c : lf)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

  for (const std::string& text : {lf, crlf})
  {
    const auto f = ZarvoFile::fromText(text);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pluginName(), "Solo");
    EXPECT_EQ(f->pluginVersion(), "");
    ASSERT_EQ(f->sections().size(), 4u);
    EXPECT_EQ(f->sections()[0].name, "a");
    EXPECT_EQ(f->sections()[0].lines, (Lines{"two  words", "line"}));
    EXPECT_EQ(f->sections()[1].name, "");
    EXPECT_EQ(f->sections()[1].lines, (Lines{"in empty name"}));
    EXPECT_EQ(f->sections()[2].name, "b]c");
    EXPECT_TRUE(f->sections()[2].lines.empty());
    EXPECT_EQ(f->sections()[3].name, "a");
    EXPECT_EQ(f->sections()[3].lines, (Lines{"second a", "[unterminated", "x]"}));
  }
}

TEST(ZarvoFile, LaterPluginLineOverwritesOnlyTheWordsItHas)
{
  const auto f = ZarvoFile::fromText("# zarvo v1\n# plugin A 1.0\n# plugin B\n# plugin   C   2.0  extra\n");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->pluginName(), "C");
  EXPECT_EQ(f->pluginVersion(), "2.0");

  const auto g = ZarvoFile::fromText("# zarvo v1\n# plugin A 1.0\n# plugin B\n");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->pluginName(), "B");
  EXPECT_EQ(g->pluginVersion(), "1.0");
}

TEST(ZarvoFile, DuplicateSectionsLookUpAndReplaceTheFirst)
{
  auto f = ZarvoFile::fromText("# zarvo v1\n[s]\none\n[t]\n[s]\ntwo\n");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->section("s"), (Lines{"one"}));
  f->setSection("s", {"new"});
  f->setSection("u", {"appended"});
  EXPECT_EQ(f->toString(), "# zarvo v1\n# plugin  \n\n[s]\nnew\n\n[t]\n\n[s]\ntwo\n\n[u]\nappended\n");
}

TEST(ZarvoFile, MissingAndEmptySectionsDifferOnlyInHasSection)
{
  const auto f = ZarvoFile::fromText("# zarvo v1\n[empty]\n");
  ASSERT_TRUE(f);
  EXPECT_TRUE(f->hasSection("empty"));
  EXPECT_FALSE(f->hasSection("absent"));
  EXPECT_FALSE(f->hasSection("EMPTY"));
  EXPECT_EQ(&f->section("absent"), &ZarvoFile::kEmptyLines);
  EXPECT_TRUE(f->section("empty").empty());
  EXPECT_EQ(f->findSection("absent"), nullptr);
}

} // namespace
} // namespace zarvo
