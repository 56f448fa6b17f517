// The expansion of parenthesised alternatives and the order of the lists.
#include <gtest/gtest.h>

#include "ui/model/alternatives.h"
#include "ui/model/collation.h"
#include "ui/model/icon_choice.h"

namespace zenfaro {
namespace {

EntryList expand(bool sorted, EntryList before, std::size_t max_entries = 32000) {
  WorkingList list(sorted);
  for (Entry& entry : before) list.insert(std::move(entry));
  EXPECT_TRUE(expand_alternatives(list, max_entries));
  return list.entries();
}

TEST(Alternatives, WorkedExamples) {
  EXPECT_EQ(expand(false, {"The (quick,slow) fox"}), (EntryList{"The quick fox", "The slow fox"}));
  EXPECT_EQ(expand(false, {"a (b,(c,d)) e"}), (EntryList{"a b e", "a c e", "a d e"}));
  EXPECT_EQ(expand(false, {"a (,very) big goal"}), (EntryList{"a big goal", "a very big goal"}));
  EXPECT_EQ(expand(false, {"shot()"}), (EntryList{"shot"}));
  EXPECT_EQ(expand(false, {"a (b"}), (EntryList{"a (b"}));
}

TEST(Alternatives, TwoGroupsGiveFourEntries) {
  EXPECT_EQ(expand(false, {"(a,b) and (c,d)"}), (EntryList{"a and c", "a and d", "b and c", "b and d"}));
}

TEST(Alternatives, SortedListsPlaceEveryProducedEntryAlphabetically) {
  EXPECT_EQ(expand(true, {"m", "(z,a) x"}), (EntryList{"a x", "m", "z x"}));
}

TEST(Alternatives, OlderEntriesWithAGroupAreExpandedToo) {
  EXPECT_EQ(expand(false, {"(a,b)", "plain"}), (EntryList{"plain", "a", "b"}));
}

TEST(Alternatives, SpacesCollapseAndTrimButTabsStay) {
  EXPECT_EQ(expand(false, {"  (x ,  ) \t"}), (EntryList{"x \t", "\t"}));
  EXPECT_EQ(expand(false, {"(,)"}), (EntryList{"", ""}));
}

TEST(Alternatives, UnbalancedAndStrayParenthesesAreLeftAlone) {
  EXPECT_EQ(expand(false, {")(", "a)b", "((a,b)"}), (EntryList{")(", "a)b", "((a,b)"}));
}

TEST(Alternatives, StopsBeforeTheListGrowsBeyondItsCapacity) {
  std::string bomb;
  for (int i = 0; i < 40; ++i) bomb += "(a,b)";
  WorkingList list(false);
  list.insert(bomb);
  EXPECT_FALSE(expand_alternatives(list, 32000));
  EXPECT_LE(list.size(), 32000u);
}

TEST(Collation, IgnoresLetterCaseIncludingAccentedLetters) {
  EXPECT_EQ(expand(true, {"Gamma", "alpha", "beta"}), (EntryList{"alpha", "beta", "Gamma"}));
  EXPECT_EQ(compare_ignoring_case("\xC9t\xE9", "\xE9T\xC9"), 0);  // Été / éTÉ
  EXPECT_LT(compare_ignoring_case("ab", "abc"), 0);
  // Equal entries keep the order in which they came.
  EXPECT_EQ(expand(true, {"Goal", "goal", "GOAL"}), (EntryList{"Goal", "goal", "GOAL"}));
  // A whole list put on screen at once is in the order of inserting each
  // entry in turn, in descending order too.
  EntryList stored;
  for (int i = 3000; i-- > 0;) stored.push_back((i % 2 ? "B" : "b") + std::to_string(i % 7));
  WorkingList one_by_one(true);
  WorkingList at_once(true);
  for (const Entry& entry : stored) one_by_one.insert(entry);
  at_once.assign(stored);
  EXPECT_EQ(at_once.entries(), one_by_one.entries());
}

}  // namespace
}  // namespace zenfaro

namespace zenfaro {
namespace {

TEST(IconChooser, GivesOneOrTwoWithEqualChanceFromItsSeed) {
  IconChooser chooser(12345);
  IconChooser same(12345);
  int ones = 0;
  for (int i = 0; i < 1000; ++i) {
    const int icon = chooser.next();
    ASSERT_TRUE(icon == 1 || icon == 2) << icon;
    ones += icon == 1 ? 1 : 0;
    EXPECT_EQ(same.next(), icon);
  }
  EXPECT_GT(ones, 400);
  EXPECT_LT(ones, 600);
}

}  // namespace
}  // namespace zenfaro
