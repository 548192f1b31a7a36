#include <gtest/gtest.h>

#include <cstring>

#include "IPlugin/TextString.h"

namespace {

struct EditCase
{
  const char* name;
  const char* initial; // null: a default-constructed string
  void (*edit)(TextString&);
  const char* expected;
};

const EditCase kEditCases[] = {
  {"InsertInMiddle", "xyz", [](TextString& s) { s.Insert("ab", 1); }, "xabyz"},
  {"InsertAtStart", "xyz", [](TextString& s) { s.Insert("ab", 0); }, "abxyz"},
  {"InsertBeyondEndAppends", "xyz", [](TextString& s) { s.Insert("ab", 99); }, "xyzab"},
  {"InsertAtNegativePositionChangesNothing", "xyz", [](TextString& s) { s.Insert("ab", -1); }, "xyz"},
  {"InsertEmptyChangesNothing", "xyz", [](TextString& s) { s.Insert("", 1); }, "xyz"},
  {"InsertIntoEmpty", nullptr, [](TextString& s) { s.Insert("ab", 0); }, "ab"},
  {"SetShorterCutsText", "a longer text", [](TextString& s) { s.Set("short"); }, "short"},
  {"SetWithMaxLength", nullptr, [](TextString& s) { s.Set("abcdef", 3); }, "abc"},
  {"SetEmptyClears", "xyz", [](TextString& s) { s.Set(""); }, ""},
  {"SetNullClears", "xyz", [](TextString& s) { s.Set(nullptr); }, ""},
  {"AppendWithMaxLength", "ab", [](TextString& s) { s.Append("cdef", 2); }, "abcd"},
  {"AppendToEmpty", nullptr, [](TextString& s) { s.Append("ab"); }, "ab"},
  {"SetFormattedCutsToMaxLength", nullptr, [](TextString& s) { s.SetFormatted(3, "%d", 12345); }, "123"},
  {"SetFormattedFits", "old text here", [](TextString& s) { s.SetFormatted(10, "%d", 12345); }, "12345"},
  {"SetFormattedZeroLengthClears", "xyz", [](TextString& s) { s.SetFormatted(0, "%d", 5); }, ""},
  {"AppendFormattedCuts", "ab", [](TextString& s) { s.AppendFormatted(2, "%s", "xyz"); }, "abxy"},
  {"AppendFormattedSelf", "ab", [](TextString& s) { s.AppendFormatted(64, "/%s", s.Get()); }, "ab/ab"},
  {"SetFormattedFromOwnText", "dir", [](TextString& s) { s.SetFormatted(64, "%s/%s.%s", s.Get(), "name", "ini"); },
   "dir/name.ini"},
  {"InsertOwnTailBeforeIt", "abcd", [](TextString& s) { s.Insert(s.Get() + 2, 1); }, "acdbcd"},
  {"AppendOwnText", "abc", [](TextString& s) { s.Append(s.Get()); }, "abcabc"},
};

class TextStringEdit : public testing::TestWithParam<EditCase>
{};

TEST_P(TextStringEdit, GivesExpectedText)
{
  const EditCase& c = GetParam();
  TextString s;
  if (c.initial)
    s.Set(c.initial);
  c.edit(s);
  EXPECT_STREQ(s.Get(), c.expected);
  EXPECT_EQ(s.GetLength(), static_cast<int>(std::strlen(c.expected)));
}

INSTANTIATE_TEST_SUITE_P(Edits, TextStringEdit, testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextString, EmptyStringReadsAsEmptyTextAndCopiesAreIndependent)
{
  TextString empty;
  ASSERT_NE(empty.Get(), nullptr);
  EXPECT_STREQ(empty.Get(), "");
  EXPECT_EQ(empty.GetLength(), 0);

  TextString a("first");
  TextString b(a);
  a.Append(" changed");
  EXPECT_STREQ(b.Get(), "first");
  EXPECT_STREQ(a.Get(), "first changed");
}

} // namespace
