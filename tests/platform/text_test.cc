// Byte-text helpers and file-name patterns: casing is ASCII only and names
// sort the way listings show them.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/wildcard.h"

namespace trovane {
namespace {

TEST(TextTest, TrimsSpacesOnly) {
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimBlanks(" \r\n"), "\r\n");
  EXPECT_EQ(TrimBlanks("    "), "");
  EXPECT_EQ(TrimBlanks(""), "");
}

TEST(TextTest, CasingTouchesAsciiLettersOnly) {
  EXPECT_EQ(UpperAscii("az_[x]1\xe9\xfc"), "AZ_[X]1\xe9\xfc");
  EXPECT_TRUE(EqualsNoCase("Trovane.Log", "TROVANE.LOG"));
  // Latin-1 e-acute and E-acute are different bytes, not a case pair.
  EXPECT_FALSE(EqualsNoCase("\xe9", "\xc9"));
  EXPECT_FALSE(EqualsNoCase("ab", "abc"));
}

TEST(TextTest, UpperCasingGoesByteByByteOverEveryValue) {
  // Every byte at every position of a long text, and an odd-sized tail:
  // bytes above 127 whose low seven bits spell a letter stay as they are.
  std::string all;
  for (int round = 0; round < 3; ++round) {
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b + round));
  }
  all += "tail";
  std::string expected = all;
  for (char& c : expected) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  EXPECT_EQ(UpperAscii(all), expected);
  std::string in_place = all;
  UpperAsciiInPlace(in_place);
  EXPECT_EQ(in_place, expected);
}

TEST(TextTest, SearchesWithoutRegardToCase) {
  EXPECT_TRUE(ContainsNoCase("C:\\Vek\\Run.EXE", "vek\\run.exe"));
  EXPECT_TRUE(ContainsNoCase("anything", ""));
  EXPECT_FALSE(ContainsNoCase("ab", "abc"));
  EXPECT_FALSE(ContainsNoCase("", "a"));
  EXPECT_TRUE(EndsWithNoCase("Run.EXE", ".exe"));
  EXPECT_TRUE(EndsWithNoCase("Run.EXE", ""));
  EXPECT_FALSE(EndsWithNoCase("Run.exe", ".ex"));
  EXPECT_FALSE(EndsWithNoCase("exe", "r.exe"));
}

TEST(TextTest, NamesSortByUpperCasedBytesThenByTheirOwn) {
  std::vector<std::string> names = {"_a",  "zoo", "[x]", "\xe9", "a",
                                    "Zoo", "B",   "ab",  "A"};
  std::sort(names.begin(), names.end(),
            [](const std::string& x, const std::string& y) {
              return CompareNamesNoCase(x, y) < 0;
            });
  // Bytes above 127 sort last: the comparison is on unsigned bytes.
  const std::vector<std::string> expected = {"A",   "a",   "ab", "B",   "Zoo",
                                             "zoo", "[x]", "_a", "\xe9"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(CompareNamesNoCase("Same", "Same"), 0);
  EXPECT_GT(CompareNamesNoCase("a", "A"), 0);
}

TEST(WildcardTest, StarAndQuestionMarkMatchWithoutRegardToCase) {
  EXPECT_TRUE(HasWildcards("a?c"));
  EXPECT_TRUE(HasWildcards("*.exe"));
  EXPECT_FALSE(HasWildcards("Run.exe"));

  EXPECT_TRUE(MatchesWildcard("Run.exe", "*.EXE"));
  EXPECT_TRUE(MatchesWildcard("Run.exe", "r?N.*"));
  EXPECT_TRUE(MatchesWildcard("Run.exe", "*"));
  EXPECT_TRUE(MatchesWildcard("", "*"));
  EXPECT_TRUE(MatchesWildcard("a.b.c", "*.c"));
  EXPECT_TRUE(MatchesWildcard("abcbc", "a*bc"));
  EXPECT_FALSE(MatchesWildcard("Run.exe", "?.exe"));
  EXPECT_FALSE(MatchesWildcard("Run.exe", "*.ex"));
  EXPECT_FALSE(MatchesWildcard("Run", "Run?"));
  EXPECT_FALSE(MatchesWildcard("", "?"));
  EXPECT_FALSE(MatchesWildcard("Run.exe", "Run"));
  // "*.*" fits every name, also one without a dot.
  EXPECT_TRUE(MatchesWildcard("README", "*.*"));
  EXPECT_TRUE(MatchesWildcard("Run.exe", "*.*"));
  EXPECT_FALSE(MatchesWildcard("README", "*.?"));
}

TEST(WildcardTest, PathologicalPatternGetsTheRightAnswer) {
  // Many stars against a long run of one letter: a matcher that tries every
  // way of splitting the name among the stars never finishes.
  std::string pattern;
  for (int i = 0; i < 30; ++i) pattern += "*a";
  pattern += "*b";
  const std::string name(20000, 'a');
  EXPECT_FALSE(MatchesWildcard(name, pattern));
  EXPECT_TRUE(MatchesWildcard(name + "b", pattern));
  EXPECT_FALSE(MatchesWildcard(std::string(29, 'a') + "b", pattern));
}

}  // namespace
}  // namespace trovane
