// The suffix index must find exactly what testing every value in turn for
// "the path ends with it" finds, ignoring case.
#include "search/suffix_index.h"

#include <gmock/gmock.h>

#include <random>

#include "platform/text.h"

namespace trovane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<int> Found(const SuffixIndex& index, std::string_view path) {
  std::vector<int> found;
  index.ForEachSuffixOf(path,
                        [&found](int number) { found.push_back(number); });
  return found;
}

TEST(SuffixIndexTest, FindsEveryValueThePathEndsWithShortestFirst) {
  const SuffixIndex index({"B.EXE", "AB.EXE", "", "E", "X\\AB.EXE", "B.EXE"});
  EXPECT_THAT(Found(index, "c:\\x\\ab.exe"), ElementsAre(2, 3, 0, 1, 4));
  EXPECT_THAT(Found(index, "C:\\Y\\B.EXE"), ElementsAre(2, 3, 0));
  EXPECT_THAT(Found(index, "C:\\B.EX"), ElementsAre(2));
  EXPECT_THAT(Found(index, ""), ElementsAre(2));
  EXPECT_THAT(Found(SuffixIndex({"A"}), ""), IsEmpty());
}

TEST(SuffixIndexTest, ValuesOfAnyLengthAreFoundWithoutADeepTrie) {
  const std::string long_name = std::string(300, 'N') + ".DAT";
  const std::string huge(10 << 20, 'X');
  const SuffixIndex index({"N.DAT", long_name, huge, long_name});
  EXPECT_THAT(Found(index, "C:\\" + UpperAscii(long_name)), ElementsAre(0, 1));
  EXPECT_THAT(Found(index, "c:\\" + std::string(300, 'n') + ".dat"),
              ElementsAre(0, 1));
  EXPECT_THAT(Found(index, "C:\\" + huge), ElementsAre(2));
  EXPECT_THAT(Found(index, huge.substr(1)), IsEmpty());
}

// Values and paths drawn from a few bytes, so that values share endings,
// repeat, and are one character or empty. Half the paths end in some
// value's tail, or the whole value, in mixed case; the rest are random.
TEST(SuffixIndexTest, AgreesWithTheItemByItemTestOnRandomValuesAndPaths) {
  std::mt19937 random(20260812);
  const auto below = [&](size_t n) {
    return std::uniform_int_distribution<size_t>(0, n - 1)(random);
  };
  const std::string bytes = "aAbB\\.x\xE9\xC9";
  const auto draw = [&](size_t most) {
    std::string text(below(most + 1), ' ');
    for (char& c : text) c = bytes[below(bytes.size())];
    return text;
  };
  for (int round = 0; round < 400; ++round) {
    std::vector<std::string> values(1 + below(12));
    const size_t longest = round % 2 == 0 ? 4 : 14;
    for (std::string& value : values) value = UpperAscii(draw(longest));
    const SuffixIndex index(values);
    for (int trial = 0; trial < 100; ++trial) {
      std::string path = draw(6);
      if (trial % 2 == 0) {
        const std::string& value = values[below(values.size())];
        std::string tail = value.substr(below(value.size() + 1));
        for (char& c : tail) c = below(2) == 0 ? LowerAscii(c) : c;
        path += tail;
      }
      std::vector<int> expected;
      for (size_t i = 0; i < values.size(); ++i) {
        if (!UpperAscii(path).ends_with(values[i])) continue;
        // Equal values answer to the number of the first of them.
        const int first = static_cast<int>(
            std::find(values.begin(), values.end(), values[i]) -
            values.begin());
        if (std::find(expected.begin(), expected.end(), first) ==
            expected.end()) {
          expected.push_back(first);
        }
      }
      std::vector<int> found = Found(index, path);
      for (size_t i = 1; i < found.size(); ++i) {
        EXPECT_LT(values[found[i - 1]].size(), values[found[i]].size());
      }
      std::sort(found.begin(), found.end());
      std::sort(expected.begin(), expected.end());
      ASSERT_EQ(found, expected) << "path [" << path << "]";
    }
  }
}

}  // namespace
}  // namespace trovane
