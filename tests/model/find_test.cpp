// Finding entries: the case folding of the sorted lists, the order of the
// matches, and Find Next / Find Previous of the window with the record on
// screen taken as shown.
#include <gtest/gtest.h>

#include "model/editor_model.h"
#include "model/find.h"
#include "tests/support/faulty_env.h"
#include "tests/support/records.h"
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

class Finding : public ::testing::Test {
 protected:
  // Record 1 stores its triggers out of order: they show as "a goal", "b", "c goal".
  Finding() {
    const std::vector<Record> records = {make_record({"c goal", "b", "a goal"}, {}, {"goal one", "goal two"}),
                                         make_record({"nothing"}, {}, {"nothing"}),
                                         make_record({}, {"no goal"}, {})};
    std::string data;
    std::string index;
    for (const Record& record : records) {
      index += index_bytes({static_cast<std::int32_t>(data.size())});
      data += stored(record);
    }
    write_bytes(folder_ / "commdb.dat", data);
    write_bytes(folder_ / "commdb.idx", index);
    model_.open();
  }
  std::vector<FindHit> steps(FindDirection direction, int count, const std::string& text = "GOAL") {
    std::vector<FindHit> hits;
    std::optional<FindHit> last;
    for (int i = 0; i < count; ++i) {
      last = find_in_editor(model_, FindQuery{text, std::nullopt, false}, direction, last);
      if (!last) break;
      hits.push_back(*last);
      model_.set_record_text(std::to_string(last->record));  // the window moves there
    }
    return hits;
  }

  TempFolder folder_;
  FaultyEnv env_;
  ScriptedPrompt prompt_;
  EditorModel model_{env_, Layout{folder_.path(), false}, prompt_};
};

constexpr ListKind T = ListKind::triggers;
constexpr ListKind X = ListKind::exclusions;
constexpr ListKind L = ListKind::lines;

TEST_F(Finding, TheShownRecordIsSearchedAsShownUnsavedChangesIncluded) {
  model_.set_record_text("2");
  ASSERT_TRUE(model_.add_entry(L, "a late goal"));
  EXPECT_EQ(steps(FindDirection::next, 1, "LATE"), (std::vector<FindHit>{{2, L, 1}}));
  model_.set_record_text("3");
  model_.delete_entries(X, {0});  // deleted on screen, still stored
  EXPECT_EQ(steps(FindDirection::next, 1, "no goal"), std::vector<FindHit>{});
  // The new-record position comes after the stored records.
  model_.set_record_text("4");
  ASSERT_TRUE(model_.add_entry(L, "goal at the end"));
  EXPECT_EQ(steps(FindDirection::previous, 1, "at the end"), (std::vector<FindHit>{{4, L, 0}}));
  EXPECT_EQ(model_.record_count(), 4);
}

TEST_F(Finding, UnreadableRecordsCountAsEmpty) {
  write_bytes(folder_ / "commdb.idx", index_bytes({-5, 1 << 30, 0}));
  model_.open();
  std::vector<FindHit> hits;
  const Status status = for_each_match(model_.database(), FindQuery{"b", T, true}, ShownRecord{},
                                       [&hits](const FindHit& hit, const Entry&) {
                                         hits.push_back(hit);
                                         return true;
                                       });
  EXPECT_TRUE(status.is_ok());
  EXPECT_EQ(hits, (std::vector<FindHit>{{3, T, 1}}));
}

}  // namespace
}  // namespace zenfaro
