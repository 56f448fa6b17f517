// Undo and redo of the list commands on the record on screen, through the editing model: each command is one
// step, the pending-edit marker follows, and saving or leaving the record ends the history.
#include <gtest/gtest.h>

#include <functional>

#include "editor/editor_model.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;
constexpr ListKind kTriggers = ListKind::triggers, kLines = ListKind::lines;

class Undo : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.store({make_record({"b", "A"}, {"no"}, {"x", "y"}), make_record({"t2"}, {}, {"line 2"})});
    model_.open();
  }
  // What undo must bring back: the lists on screen and the marker.
  std::pair<Record, std::int32_t> state() const { return {model_.working_record(), model_.pending()}; }

  DatabaseFolder folder_;
  EditorModel model_{folder_.env, folder_.layout(), folder_.prompt};
};

TEST_F(Undo, EachCommandIsOneStepAndTheMarkerFollows) {
  const auto shown = state();
  ASSERT_TRUE(model_.add_entry(kTriggers, "(c,Z) d"));  // the add and its expansion: one step
  const auto added = state();
  EXPECT_EQ(added.first.list(kTriggers), (EntryList{"A", "b", "c d", "Z d"}));
  model_.delete_entries(kTriggers, {0, 2});  // a delete of a selection: one step, the marker stays
  ASSERT_TRUE(model_.modify_entry(kLines, 1, "why"));
  const auto modified = state();

  EXPECT_EQ(model_.undo(), kLines);
  EXPECT_EQ(model_.undo(), kTriggers);
  EXPECT_EQ(state(), added);
  EXPECT_EQ(model_.undo(), kTriggers);
  EXPECT_EQ(state(), shown);  // undoing every change leaves nothing pending
  EXPECT_EQ(model_.pending(), 0);
  EXPECT_EQ(model_.undo(), std::nullopt);
  EXPECT_EQ(model_.redo(), kTriggers);
  EXPECT_EQ(state(), added);
  EXPECT_EQ(model_.redo(), kTriggers);
  EXPECT_EQ(model_.redo(), kLines);
  EXPECT_EQ(state(), modified);
  EXPECT_EQ(model_.redo(), std::nullopt);

  // Commands that change nothing are no steps; a new step drops what was undone.
  ASSERT_TRUE(model_.add_entry(kLines, ""));
  model_.delete_entries(kLines, {7});
  model_.undo();
  EXPECT_EQ(state().first.list(kLines), (EntryList{"x", "y"}));
  ASSERT_TRUE(model_.add_entry(kLines, "z"));
  EXPECT_FALSE(model_.can_redo());
  // A modified entry keeps its place in a sorted list, and undo puts the old one back at the same place.
  ASSERT_TRUE(model_.modify_entry(kTriggers, 0, "zz"));
  EXPECT_EQ(state().first.list(kTriggers), (EntryList{"zz", "Z d"}));
  model_.undo();
  EXPECT_EQ(state().first.list(kTriggers), (EntryList{"b", "Z d"}));
}

TEST_F(Undo, SavingOrLeavingTheRecordEndsTheHistoryAndAFailedSaveKeepsIt) {
  const struct {
    const char* what;
    std::function<void(EditorModel&)> act;
  } rows[] = {{"save", [](EditorModel& m) { m.save_record(); }},
              {"quit", [](EditorModel& m) { m.quit(); }},
              {"step", [](EditorModel& m) { m.step(+1); }},
              {"show", [](EditorModel& m) { m.show_record(1); }},
              {"type the same number", [](EditorModel& m) { m.set_record_text("1"); }}};
  for (const auto& row : rows) {
    model_.set_record_text("1");
    ASSERT_TRUE(model_.add_entry(kTriggers, row.what));
    row.act(model_);
    EXPECT_FALSE(model_.can_undo()) << row.what;
  }
  // A save that fails keeps the edits pending and the history with them.
  model_.set_record_text("1");
  const Record before = model_.working_record();
  ASSERT_TRUE(model_.add_entry(kLines, "kept"));
  folder_.env.log.clear();
  folder_.env.fail_at = 0;
  EXPECT_FALSE(model_.save_record());
  folder_.env.fail_at = -1;
  EXPECT_EQ(model_.undo(), kLines);
  EXPECT_EQ(std::make_pair(model_.pending(), model_.working_record()), std::make_pair(0, before));
  // Deletes alone leave nothing pending, so stepping on loses them and their history (as before).
  model_.delete_entries(kLines, {0});
  model_.step(+1);
  EXPECT_FALSE(model_.can_undo());
  model_.step(-1);
  EXPECT_EQ(model_.working_record(), before);
}

TEST_F(Undo, AnExpansionOfThousandsIsTakenBackWhole) {
  std::string text;
  for (int i = 0; i < 13; ++i) text += "(a,b)";  // 8192 entries
  ASSERT_TRUE(model_.add_entry(kLines, text));
  ASSERT_EQ(model_.list(kLines).size(), 8194u);
  const EntryList expanded = model_.list(kLines).entries();
  model_.undo();
  EXPECT_EQ(model_.list(kLines).entries(), (EntryList{"x", "y"}));
  model_.redo();
  EXPECT_EQ(model_.list(kLines).entries(), expanded);
}

// Every sequence of four commands, undos and redos: after each one the lists and the marker are exactly
// what a stack of the states before each step says they must be.
TEST_F(Undo, EverySequenceOfCommandsUndosAndRedosKeepsTheStates) {
  using State = std::pair<Record, std::int32_t>;
  struct Op {
    const char* name;
    std::function<bool(EditorModel&)> act;  // true when it is a step
  };
  const Op ops[] = {{"add triggers", [](EditorModel& m) { return m.add_entry(kTriggers, "(c,A) d"); }},
                    // Kept as its edits, or as the whole list before and after where those are fewer.
                    {"add lines", [](EditorModel& m) { return m.add_entry(kLines, "(p,(q,(r,s)))"); }},
                    {"delete trigger 0",
                     [](EditorModel& m) {
                       const bool any = m.list(kTriggers).size() > 0;
                       m.delete_entries(kTriggers, {0});
                       return any;
                     }},
                    {"delete lines 1 and 5",
                     [](EditorModel& m) {
                       const bool any = m.list(kLines).size() > 1;
                       m.delete_entries(kLines, {5, 1});
                       return any;
                     }},
                    {"modify trigger 0", [](EditorModel& m) { return m.modify_entry(kTriggers, 0, "mod"); }},
                    {"undo", nullptr},
                    {"redo", nullptr}};
  const int kinds = static_cast<int>(std::size(ops));
  int sequences = 1;
  constexpr int kLength = 4;  // 2401 sequences, each begun by reading the record (slow under wine)
  for (int length = 0; length < kLength; ++length) sequences *= kinds;
  model_.show_record(1);
  const State shown = state();
  for (int code = 0; code < sequences; ++code) {
    model_.show_record(1);
    std::vector<State> done, undone;
    std::string trail;
    for (int k = 0, rest = code; k < kLength; ++k, rest /= kinds) {
      const Op& op = ops[rest % kinds];
      trail += std::string(op.name) + "; ";
      const State before = state();
      if (op.act) {
        if (op.act(model_)) {
          done.push_back(before);
          undone.clear();
        }
        continue;
      }
      std::vector<State>& from = op.name[0] == 'u' ? done : undone;
      std::vector<State>& to = op.name[0] == 'u' ? undone : done;
      const std::optional<ListKind> changed = op.name[0] == 'u' ? model_.undo() : model_.redo();
      ASSERT_EQ(changed.has_value(), !from.empty()) << trail;
      if (from.empty()) continue;
      to.push_back(before);
      ASSERT_EQ(state(), from.back()) << trail;
      from.pop_back();
    }
    while (model_.undo()) {}
    ASSERT_EQ(state(), shown) << trail;
  }
}

}  // namespace
}  // namespace zenfaro
