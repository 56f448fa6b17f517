// Finding entries: the case folding of the sorted lists, and the record on
// screen taken as shown by Find Next and Find Previous. (The order and the
// positions of the matches: the command-line tests; the window: its tests.)
#include <gtest/gtest.h>

#include "ui/model/editor_model.h"
#include "ui/model/find.h"
#include "tests/support/faulty_env.h"
#include "tests/support/database_folder.h"
#include "tests/support/scripted_prompt.h"
#include "tests/support/temp_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

TEST(TextMatcher, FoldsCaseAsTheSortedListsDoUnlessMatchCase) {
  const struct {
    const char* entry;
    const char* text;
    bool match_case;
    bool matches;
  } rows[] = {
      {"What a GOAL!", "goal", false, true},     {"What a GOAL!", "goal", true, false},
      {"What a GOAL!", "GOAL!", true, true},     {"caf\xC9", "CAF\xE9", false, true},  // É é
      {"\x8A" "koda", "\x9A" "KODA", false, true},                                    // Š š
      {"\xD7", "\xF7", false, false},            // × is no capital of ÷
      {"goa", "goal", false, false},             {"ggoal", "goal", false, true},
      {"abcabd", "abd", false, true},            {"a", "", false, false},
      {"x", "x", false, true},                   {"", "x", false, false},
  };
  for (const auto& row : rows) {
    const TextMatcher matcher(FindQuery{row.text, std::nullopt, row.match_case});
    EXPECT_EQ(matcher.matches(row.entry), row.matches) << row.entry << " / " << row.text;
  }
}

// Find Next and Find Previous of the window search the record on screen as it
// is shown: unsaved additions are found, entries deleted on screen are not,
// and the new-record position comes after the stored records.
TEST(Finding, TheShownRecordIsSearchedAsShown) {
  TempFolder folder;
  const std::string first = stored(make_record({"first"}, {}, {"line"}));
  write_bytes(folder / "commdb.dat", first + stored(make_record({}, {"no goal"}, {})));
  write_bytes(folder / "commdb.idx", index_bytes({0, static_cast<std::int32_t>(first.size())}));
  FaultyEnv env;
  ScriptedPrompt prompt;
  EditorModel model(env, Layout{folder.path(), false}, prompt);
  model.open();
  const auto find = [&model](const char* text, FindDirection direction) {
    return find_in_editor(model, FindQuery{text, std::nullopt, false}, direction, std::nullopt);
  };
  ASSERT_TRUE(model.add_entry(ListKind::lines, "a late GOAL"));
  EXPECT_EQ(find("goal", FindDirection::next), (FindHit{2, ListKind::exclusions, 0}));
  EXPECT_EQ(find("late", FindDirection::next), (FindHit{1, ListKind::lines, 1}));  // round to the record shown
  model.set_record_text("2");
  model.delete_entries(ListKind::exclusions, {0});
  EXPECT_EQ(find("no goal", FindDirection::previous), std::nullopt);
  model.set_record_text("3");
  ASSERT_TRUE(model.add_entry(ListKind::triggers, "(new,old) goal"));
  // Record 2's deletion alone was not saved; record 3 is the new-record position.
  EXPECT_EQ(find("goal", FindDirection::previous), (FindHit{2, ListKind::exclusions, 0}));
  EXPECT_EQ(find("old", FindDirection::previous), (FindHit{3, ListKind::triggers, 1}));
}

}  // namespace
}  // namespace zenfaro
