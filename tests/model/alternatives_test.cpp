// The list logic: the expansion of alternatives, the order of the sorted
// lists, finding entries, and the choice of the window's icon.
#include <gtest/gtest.h>

#include "tests/support/database_folder.h"
#include "ui/model/alternatives.h"
#include "ui/model/collation.h"
#include "ui/model/editor_model.h"
#include "ui/model/find.h"
#include "ui/model/icon_choice.h"

namespace zenfaro {
namespace {

using namespace testing;

TEST(Lists, AlternativesExpandOuterGroupsFirstAndSortedListsSortIgnoringCase) {
  const struct { bool sorted; EntryList before; EntryList after; } rows[] = {
      {false, {"The (quick,slow) fox"}, {"The quick fox", "The slow fox"}},
      {false, {"a (b,(c,d)) e"}, {"a b e", "a c e", "a d e"}},
      {false, {"a (,very) big goal"}, {"a big goal", "a very big goal"}},
      {false, {"shot()", "a (b", ")(", "a)b", "((a,b)"}, {"a (b", ")(", "a)b", "((a,b)", "shot"}},
      {false, {"(a,b) and (c,d)"}, {"a and c", "a and d", "b and c", "b and d"}},
      {false, {"(a,b)", "plain"}, {"plain", "a", "b"}},             // older entries are expanded too
      {false, {"  (x ,  ) \t", "(,)"}, {"x \t", "\t", "", ""}},     // spaces collapse, tabs stay
      {true, {"m", "(z,a) x"}, {"a x", "m", "z x"}},
      {true, {"Gamma", "alpha", "beta", "\xC9t\xE9", "\xE9T\xC9"}, {"alpha", "beta", "Gamma", "\xC9t\xE9", "\xE9T\xC9"}},
      {true, {"Goal", "goal", "GOAL", "ab", "abc", "\x8Ax", "\x9A"}, {"ab", "abc", "Goal", "goal", "GOAL", "\x9A", "\x8Ax"}},
  };
  for (const auto& row : rows) {
    WorkingList list(row.sorted);
    for (const Entry& entry : row.before) list.insert(entry);
    EXPECT_TRUE(expand_alternatives(list, 32000));
    EXPECT_EQ(list.entries(), row.after) << row.before[0];
  }
  std::string bomb;
  for (int i = 0; i < 40; ++i) bomb += "(a,b)";
  WorkingList list(false);
  list.insert(bomb);
  EXPECT_FALSE(expand_alternatives(list, 32000));
  EXPECT_LE(list.size(), 32000u);
  // Case folding: the capitals of Windows-1252 are their small letters; the
  // multiplication sign is no capital of the division sign.
  for (const char* pair : {"A" "a", "\xC0\xE0", "\xDE\xFE", "\x8A\x9A", "\x8C\x9C", "\x8E\x9E", "\x9F\xFF"}) {
    EXPECT_EQ(compare_ignoring_case(std::string(1, pair[0]), std::string(1, pair[1])), 0) << pair;
  }
  EXPECT_NE(compare_ignoring_case("\xD7", "\xF7"), 0);
  // A whole list put on screen at once is in the order of inserting each
  // entry in turn.
  EntryList stored;
  for (int i = 3000; i-- > 0;) stored.push_back((i % 2 ? "B" : "b") + std::to_string(i % 7));
  WorkingList one_by_one(true);
  WorkingList at_once(true);
  for (const Entry& entry : stored) one_by_one.insert(entry);
  at_once.assign(stored);
  EXPECT_EQ(at_once.entries(), one_by_one.entries());
}

TEST(Lists, FindFoldsCaseAsTheListsDoAndSearchesTheRecordOnScreenAsShown) {
  const struct {
    const char* entry;
    const char* text;
    bool match_case;
    bool matches;
  } rows[] = {{"What a GOAL!", "goal", false, true}, {"What a GOAL!", "goal", true, false},
              {"What a GOAL!", "GOAL!", true, true}, {"caf\xC9", "CAF\xE9", false, true},
              {"\x8A" "koda", "\x9A" "KODA", false, true}, {"\xD7", "\xF7", false, false},
              {"goa", "goal", false, false},          {"ggoal", "goal", false, true},
              {"abcabd", "abd", false, true},         {"a", "", false, false},
              {"", "x", false, false}};
  for (const auto& row : rows) {
    EXPECT_EQ(TextMatcher(FindQuery{row.text, std::nullopt, row.match_case}).matches(row.entry), row.matches)
        << row.entry << " / " << row.text;
  }
  // Find Next and Find Previous go round the ends and take the record on
  // screen as shown: unsaved additions are found, entries deleted on screen
  // are not, and the new-record position comes after the stored records.
  DatabaseFolder folder;
  folder.store({make_record({"first"}, {}, {"line"}), make_record({}, {"no goal"}, {})});
  EditorModel model(folder.env, folder.layout(), folder.prompt);
  model.open();
  const auto find = [&model](const char* text, FindDirection direction) {
    return find_in_editor(model, FindQuery{text, std::nullopt, false}, direction, std::nullopt);
  };
  ASSERT_TRUE(model.add_entry(ListKind::lines, "a late GOAL"));
  EXPECT_EQ(find("goal", FindDirection::next), (FindHit{2, ListKind::exclusions, 0}));
  EXPECT_EQ(find("late", FindDirection::next), (FindHit{1, ListKind::lines, 1}));
  model.set_record_text("2");
  model.delete_entries(ListKind::exclusions, {0});
  EXPECT_EQ(find("no goal", FindDirection::previous), std::nullopt);
  model.set_record_text("3");
  ASSERT_TRUE(model.add_entry(ListKind::triggers, "(new,old) goal"));
  EXPECT_EQ(find("goal", FindDirection::previous), (FindHit{2, ListKind::exclusions, 0}));
  EXPECT_EQ(find("old", FindDirection::previous), (FindHit{3, ListKind::triggers, 1}));
}

TEST(Lists, TheIconIsOneOrTwoWithEqualChanceFromTheSeed) {
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
