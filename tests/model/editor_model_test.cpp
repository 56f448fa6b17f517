// The editing model: working lists, the pending-edit marker, navigation and
// the record commands, on a real database in a temporary folder.
#include <gtest/gtest.h>

#include "core/check_database.h"
#include "tests/support/faulty_env.h"
#include "tests/support/scripted_prompt.h"
#include "tests/support/temp_folder.h"
#include "ui/model/editor_model.h"

namespace zenfaro {
namespace {

using namespace testing;

class Editing : public ::testing::Test {
 protected:
  // A database of `records` records; record k has the trigger "tk" and the
  // commentary line "line k".
  void make_database(int records) {
    std::string data;
    std::vector<std::int32_t> offsets;
    for (int k = 1; k <= records; ++k) {
      offsets.push_back(static_cast<std::int32_t>(data.size()));
      data += count(1) + line("t" + std::to_string(k)) + count(0) + count(1) + line("line " + std::to_string(k));
    }
    std::string index;
    for (const std::int32_t offset : offsets) index += index_bytes({offset});
    write_bytes(folder_ / "commdb.dat", data);
    write_bytes(folder_ / "commdb.idx", index);
    model_.open();
  }
  Record stored(std::int32_t n) {
    Database db;
    open_database(default_env(), Layout{folder_.path(), false}, &db).ignore_error();
    return read_record(db, n);
  }
  EntryList shown(ListKind kind) const { return model_.list(kind).entries(); }

  TempFolder folder_;
  FaultyEnv env_;
  ScriptedPrompt prompt_;
  EditorModel model_{env_, Layout{folder_.path(), false}, prompt_};
};

TEST_F(Editing, OpensOnRecordOneWithTheNavigatorReachingTheNewRecordPosition) {
  make_database(5);
  EXPECT_EQ(model_.record_text(), "1");
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"t1"}));
  EXPECT_EQ(model_.navigator_maximum(), 6);
  model_.set_record_text("6");
  EXPECT_TRUE(model_.working_record().empty());
  EXPECT_EQ(model_.pending(), 0);
}

TEST_F(Editing, AnEmptyFolderOpensAtTheNewRecordPositionOne) {
  model_.open();
  EXPECT_EQ(model_.record_count(), 0);
  EXPECT_EQ(model_.navigator_maximum(), 1);
  EXPECT_TRUE(model_.working_record().empty());
}

TEST_F(Editing, APendingAdditionIsSavedWhenStepping) {
  make_database(5);
  model_.set_record_text("3");
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "new line"));
  EXPECT_EQ(model_.pending(), 3);
  model_.step(+1);
  EXPECT_EQ(model_.record_text(), "4");
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"t4"}));
  EXPECT_EQ(stored(3).list(ListKind::lines), (EntryList{"line 3", "new line"}));
  EXPECT_EQ(model_.pending(), 0);
}

TEST_F(Editing, AnAdditionOnTheNewRecordPositionIsAppendedWhenMovingAway) {
  make_database(2);
  model_.set_record_text("3");
  ASSERT_TRUE(model_.add_entry(ListKind::triggers, "fresh"));
  EXPECT_EQ(model_.pending(), 3);
  model_.set_record_text("1");
  EXPECT_EQ(model_.record_count(), 3);
  EXPECT_EQ(stored(3).list(ListKind::triggers), (EntryList{"fresh"}));
}

TEST_F(Editing, DeletionsAloneAreLostOnNavigationButKeptBySave) {
  make_database(3);
  model_.delete_entries(ListKind::triggers, {0});
  EXPECT_EQ(model_.pending(), 0);
  model_.step(+1);
  model_.step(-1);
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"t1"}));
  model_.delete_entries(ListKind::triggers, {0});
  ASSERT_TRUE(model_.save_record());
  EXPECT_TRUE(stored(1).list(ListKind::triggers).empty());
}

TEST_F(Editing, DeletingSelectedEntriesRemovesExactlyThoseWhateverTheirOrder) {
  make_database(1);
  for (const char* text : {"b", "c", "d", "e"}) ASSERT_TRUE(model_.add_entry(ListKind::lines, text));
  model_.delete_entries(ListKind::lines, {4, 1, 2, 4});
  EXPECT_EQ(shown(ListKind::lines), (EntryList{"line 1", "d"}));
}

TEST_F(Editing, AddingSortsTriggersAndAppendsLinesAndEmptiesNothingOnEmptyText) {
  make_database(1);
  ASSERT_TRUE(model_.add_entry(ListKind::triggers, "Gamma"));
  ASSERT_TRUE(model_.add_entry(ListKind::triggers, "alpha"));
  ASSERT_TRUE(model_.add_entry(ListKind::triggers, "beta"));
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"alpha", "beta", "Gamma", "t1"}));
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "(x,y) z"));
  EXPECT_EQ(shown(ListKind::lines), (EntryList{"line 1", "x z", "y z"}));
  model_.save_record();
  ASSERT_TRUE(model_.add_entry(ListKind::lines, ""));
  EXPECT_EQ(model_.pending(), 0);
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "   "));
  EXPECT_EQ(shown(ListKind::lines).back(), "   ");
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "   "));
  EXPECT_EQ(shown(ListKind::lines).size(), 5u);  // equal entries are never merged
}

TEST_F(Editing, ModifyingReplacesInPlaceWithoutSortingOrExpanding) {
  make_database(1);
  ASSERT_TRUE(model_.add_entry(ListKind::triggers, "b"));
  model_.save_record();
  ASSERT_TRUE(model_.modify_entry(ListKind::triggers, 0, "zz (a,b)"));
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"zz (a,b)", "t1"}));
  EXPECT_EQ(model_.pending(), 1);
  ASSERT_TRUE(model_.add_entry(ListKind::triggers, "c"));  // the next add expands it
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"c", "t1", "zz a", "zz b"}));
}

TEST_F(Editing, UnchangedModificationStillMarksTheRecord) {
  make_database(2);
  ASSERT_TRUE(model_.modify_entry(ListKind::lines, 0, "line 1"));
  EXPECT_EQ(model_.pending(), 1);
}

TEST_F(Editing, TooLongOrUnstorableTextIsRefusedAndChangesNothing) {
  make_database(1);
  EXPECT_FALSE(model_.add_entry(ListKind::lines, std::string(5000, 'x')));
  EXPECT_FALSE(model_.add_entry(ListKind::lines, "a\rb"));
  EXPECT_FALSE(model_.modify_entry(ListKind::lines, 0, std::string(5000, 'x')));
  EXPECT_EQ(prompt_.errors(), 3);
  EXPECT_EQ(model_.pending(), 0);
  EXPECT_EQ(shown(ListKind::lines), (EntryList{"line 1"}));
  EXPECT_TRUE(model_.add_entry(ListKind::lines, std::string(4999, 'x')));
}

TEST_F(Editing, AnExpansionBeyondTheListCapacityIsRefused) {
  make_database(1);
  std::string bomb;
  for (int i = 0; i < 20; ++i) bomb += "(a,b)";
  EXPECT_FALSE(model_.add_entry(ListKind::lines, bomb));
  EXPECT_EQ(shown(ListKind::lines), (EntryList{"line 1"}));
  EXPECT_EQ(model_.pending(), 0);
}

TEST_F(Editing, NumbersBelowOneNameNoRecordAndWriteNothing) {
  make_database(2);
  for (const char* text : {"", "0", "-3", "abc"}) {
    model_.set_record_text(text);
    EXPECT_TRUE(model_.working_record().empty()) << text;
    EXPECT_FALSE(model_.add_entry(ListKind::triggers, "x"));
    model_.delete_record();
    EXPECT_TRUE(prompt_.questions.empty());
    EXPECT_TRUE(model_.quit());
  }
  EXPECT_EQ(model_.record_count(), 2);
  EXPECT_FALSE(is_file(folder_ / "commdb.old"));
}

TEST_F(Editing, TypingANumberShowsEachPrefixInTurn) {
  make_database(12);
  model_.set_record_text("");
  model_.set_record_text("1");
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"t1"}));
  model_.set_record_text("12");
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"t12"}));
}

TEST_F(Editing, TheNavigatorWrapsAtBothEnds) {
  make_database(3);
  model_.step(-1);
  EXPECT_EQ(model_.record_text(), "4");
  model_.step(+1);
  EXPECT_EQ(model_.record_text(), "1");
  model_.set_record_text("9");
  model_.step(+1);
  EXPECT_EQ(model_.record_text(), "1");
}

TEST_F(Editing, DeleteRecordAsksThenShowsTheRecordThatTookItsNumber) {
  make_database(3);
  model_.set_record_text("2");
  model_.delete_record();  // No
  EXPECT_EQ(model_.record_count(), 3);
  prompt_.answers = {true};
  model_.delete_record();
  ASSERT_EQ(prompt_.questions.size(), 2u);
  EXPECT_EQ(prompt_.questions[1].text, "Are you sure you want to delete this record ?");
  EXPECT_EQ(prompt_.questions[1].caption, "Confirm Action");
  EXPECT_EQ(model_.record_count(), 2);
  EXPECT_EQ(model_.record_text(), "2");
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"t3"}));
  prompt_.answers = {true};
  model_.delete_record();
  EXPECT_EQ(model_.record_text(), "1");
  prompt_.answers = {true};
  model_.delete_record();
  EXPECT_EQ(model_.record_count(), 0);
  EXPECT_EQ(model_.record_text(), "1");
  EXPECT_TRUE(model_.working_record().empty());
}

TEST_F(Editing, DeleteRecordOnTheNewRecordPositionDropsItsAdditionsAndShowsTheLast) {
  make_database(3);
  model_.set_record_text("4");
  ASSERT_TRUE(model_.add_entry(ListKind::triggers, "unsaved"));
  prompt_.answers = {true};
  model_.delete_record();
  EXPECT_EQ(model_.record_count(), 3);
  EXPECT_EQ(model_.record_text(), "3");
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"t3"}));
}

TEST_F(Editing, QuitSavesEvenWithoutAPendingEditAndAppendsOnTheNewPosition) {
  make_database(1);
  model_.set_record_text("2");
  ASSERT_TRUE(model_.add_entry(ListKind::triggers, "last"));
  EXPECT_TRUE(model_.quit());
  EXPECT_EQ(stored(2).list(ListKind::triggers), (EntryList{"last"}));
}

TEST_F(Editing, AFailedSaveIsReportedAndKeepsTheEditsPending) {
  make_database(2);
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "keep me"));
  env_.log.clear();
  env_.fail_at = 0;
  EXPECT_FALSE(model_.save_record());
  EXPECT_EQ(prompt_.errors(), 1);
  EXPECT_EQ(model_.pending(), 1);
  env_.log.clear();
  env_.fail_at = 0;
  model_.step(+1);  // the save under the marker fails: stay on record 1
  EXPECT_EQ(model_.record_text(), "1");
  EXPECT_EQ(shown(ListKind::lines), (EntryList{"line 1", "keep me"}));
  env_.log.clear();
  env_.fail_at = 0;
  EXPECT_FALSE(model_.quit());
  env_.fail_at = -1;
  EXPECT_TRUE(model_.quit());
  EXPECT_EQ(stored(1).list(ListKind::lines), (EntryList{"line 1", "keep me"}));
}

TEST_F(Editing, EmptiedListsAreNeverSavedSoTheStoredRecordStays) {
  make_database(1);
  model_.delete_entries(ListKind::triggers, {0});
  model_.delete_entries(ListKind::lines, {0});
  EXPECT_TRUE(model_.save_record());
  EXPECT_EQ(stored(1).list(ListKind::triggers), (EntryList{"t1"}));
}

TEST_F(Editing, StoredTriggersOutOfOrderShowSortedAndAreSavedSorted) {
  write_bytes(folder_ / "commdb.dat", count(2) + line("zeta") + line("Alpha") + count(0) + count(2) + line("b") + line("a"));
  write_bytes(folder_ / "commdb.idx", index_bytes({0}));
  model_.open();
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"Alpha", "zeta"}));
  EXPECT_EQ(shown(ListKind::lines), (EntryList{"b", "a"}));
  ASSERT_TRUE(model_.save_record());
  EXPECT_EQ(stored(1).list(ListKind::triggers), (EntryList{"Alpha", "zeta"}));
  EXPECT_EQ(stored(1).list(ListKind::lines), (EntryList{"b", "a"}));
}

}  // namespace
}  // namespace zenfaro
