// The editing model: working lists, the pending-edit marker, navigation, the
// record commands and the exchange buttons, on a real database.
#include <gtest/gtest.h>

#include "tests/support/database_folder.h"
#include "ui/model/editor_model.h"
#include "ui/model/exchange_commands.h"

namespace zenfaro {
namespace {

using namespace testing;

class Editing : public ::testing::Test {
 protected:
  // Record k holds the trigger "tk" and the commentary line "line k".
  void make_database(int records) {
    std::vector<Record> all;
    for (int k = 1; k <= records; ++k) all.push_back(make_record({"t" + std::to_string(k)}, {}, {"line " + std::to_string(k)}));
    folder_.store(all);
    model_.open();
  }
  Record stored(std::int32_t n) const { return folder_.records().at(static_cast<std::size_t>(n - 1)); }
  EntryList shown(ListKind kind) const { return model_.list(kind).entries(); }

  DatabaseFolder folder_;
  ScriptedPrompt& prompt_ = folder_.prompt;
  EditorModel model_{folder_.env, folder_.layout(), folder_.prompt};
};

TEST_F(Editing, NavigationSavesAPendingEditFirstAndWraps) {
  make_database(3);
  EXPECT_EQ(model_.record_text(), "1");
  EXPECT_EQ(model_.navigator_maximum(), 4);
  model_.set_record_text("2");
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "new line"));
  EXPECT_EQ(model_.pending(), 2);
  model_.step(+1);
  EXPECT_EQ(model_.record_text(), "3");
  EXPECT_EQ(stored(2).list(ListKind::lines), (EntryList{"line 2", "new line"}));
  EXPECT_EQ(model_.pending(), 0);
  // Up and down with wrap, from wherever the box stands.
  const struct {
    const char* from;
    int direction;
    const char* to;
  } steps[] = {{"1", -1, "4"}, {"4", +1, "1"}, {"9", +1, "1"}, {"9", -1, "4"}, {"0", -1, "4"}, {"4", -1, "3"}};
  for (const auto& step : steps) {
    model_.set_record_text(step.from);
    model_.step(step.direction);
    EXPECT_EQ(model_.record_text(), step.to) << step.from << " " << step.direction;
  }
  // Typing shows each prefix in turn; beyond the records the lists are empty.
  model_.set_record_text("");
  EXPECT_TRUE(model_.working_record().empty());
  model_.set_record_text(" 3");
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"t3"}));
  // An addition on the new-record position is appended when moving away.
  model_.set_record_text("4");
  ASSERT_TRUE(model_.add_entry(ListKind::triggers, "fresh"));
  model_.set_record_text("1");
  EXPECT_EQ(stored(4), make_record({"fresh"}, {}, {}));
  EXPECT_EQ(model_.navigator_maximum(), 5);
}

TEST_F(Editing, ListCommandsChangeOnlyTheWorkingLists) {
  make_database(2);
  for (const char* text : {"Gamma", "alpha", "beta", ""}) ASSERT_TRUE(model_.add_entry(ListKind::triggers, text));
  EXPECT_EQ(shown(ListKind::triggers), (EntryList{"alpha", "beta", "Gamma", "t1"}));
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "(x,y) z"));
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "   "));
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "   "));  // equal entries are never merged
  EXPECT_EQ(shown(ListKind::lines), (EntryList{"line 1", "x z", "y z", "   ", "   "}));
  model_.delete_entries(ListKind::lines, {4, 1, 2, 4, 99});
  EXPECT_EQ(shown(ListKind::lines), (EntryList{"line 1", "   "}));
  // Modifying replaces in place, without sorting or expanding, and marks the
  // record even when nothing changed.
  ASSERT_TRUE(model_.save_record());
  ASSERT_TRUE(model_.modify_entry(ListKind::triggers, 0, "alpha"));
  EXPECT_EQ(model_.pending(), 1);
  ASSERT_TRUE(model_.modify_entry(ListKind::triggers, 0, "zz (a,b)"));
  EXPECT_EQ(shown(ListKind::triggers).front(), "zz (a,b)");
  EXPECT_FALSE(model_.modify_entry(ListKind::triggers, 9, "x"));
  // Deletions alone are not saved by navigation, only by Save Record.
  model_.show_record(1);
  model_.delete_entries(ListKind::triggers, {0});
  EXPECT_EQ(model_.pending(), 0);
  model_.step(+1);
  model_.step(-1);
  EXPECT_EQ(shown(ListKind::triggers).front(), "alpha");
  // What a list cannot hold is refused, and nothing changes.
  std::string bomb;
  for (int i = 0; i < 20; ++i) bomb += "(a,b)";
  prompt_.messages.clear();
  for (const std::string& text : {std::string(5000, 'x'), std::string("a\rb"), bomb}) {
    EXPECT_FALSE(model_.add_entry(ListKind::lines, text));
  }
  EXPECT_FALSE(model_.modify_entry(ListKind::lines, 0, std::string(5000, 'x')));
  EXPECT_EQ(prompt_.errors(), 4);
  EXPECT_EQ(model_.pending(), 0);
  EXPECT_EQ(shown(ListKind::lines), stored(1).list(ListKind::lines));
  EXPECT_TRUE(model_.add_entry(ListKind::lines, std::string(4999, 'x')));
}

TEST_F(Editing, DeleteRecordAsksAndShowsTheRecordThatTookItsNumber) {
  make_database(3);
  model_.set_record_text("2");
  model_.delete_record();  // No
  EXPECT_EQ(model_.record_count(), 3);
  const struct {
    const char* from;
    std::int32_t count;
    const char* shown;
    EntryList triggers;
  } rows[] = {{"2", 2, "2", {"t3"}}, {"3", 2, "2", {"t3"}},  // the new-record position: nothing deleted
              {"2", 1, "1", {"t1"}}, {"1", 0, "1", {}}};
  for (const auto& row : rows) {
    model_.set_record_text(row.from);
    if (std::string(row.from) == "3") {
      ASSERT_TRUE(model_.add_entry(ListKind::triggers, "unsaved"));
    }
    prompt_.answers = {true};
    model_.delete_record();
    EXPECT_EQ(prompt_.questions.back().text, "Are you sure you want to delete this record ?");
    EXPECT_EQ(prompt_.questions.back().caption, "Confirm Action");
    EXPECT_EQ(model_.record_count(), row.count) << row.from;
    EXPECT_EQ(model_.record_text(), row.shown) << row.from;
    EXPECT_EQ(shown(ListKind::triggers), row.triggers) << row.from;
  }
}

TEST_F(Editing, NumbersBelowOneAndEmptiedListsWriteNothing) {
  make_database(2);
  for (const char* text : {"", "0", "-3", "abc", "&H1"}) {
    model_.set_record_text(text);
    EXPECT_TRUE(model_.working_record().empty()) << text;
    EXPECT_FALSE(model_.add_entry(ListKind::triggers, "x"));
    model_.delete_record();
    EXPECT_TRUE(prompt_.questions.empty());
    EXPECT_TRUE(model_.quit());
  }
  model_.set_record_text("1");
  model_.delete_entries(ListKind::triggers, {0});
  model_.delete_entries(ListKind::lines, {0});
  EXPECT_TRUE(model_.save_record());
  EXPECT_EQ(folder_.records().size(), 2u);
  EXPECT_FALSE(is_file(folder_.base("commdb.old")));
}

TEST_F(Editing, AFailedSaveIsReportedAndKeepsTheEditsPendingOnScreen) {
  make_database(2);
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "keep me"));
  for (int attempt = 0; attempt < 3; ++attempt) {
    folder_.env.log.clear();
    folder_.env.fail_at = 0;
    if (attempt == 0) {
      EXPECT_FALSE(model_.save_record());
    }
    if (attempt == 1) model_.step(+1);  // the save under the marker fails: stay on record 1
    if (attempt == 2) {
      EXPECT_FALSE(model_.quit());
    }
    EXPECT_EQ(prompt_.errors(), attempt + 1);
    EXPECT_EQ(model_.pending(), 1);
    EXPECT_EQ(model_.record_text(), "1");
    EXPECT_EQ(shown(ListKind::lines), (EntryList{"line 1", "keep me"}));
  }
  folder_.env.fail_at = -1;
  EXPECT_TRUE(model_.quit());
  EXPECT_EQ(stored(1).list(ListKind::lines), (EntryList{"line 1", "keep me"}));
}

TEST_F(Editing, ARecordThatCannotBeReadWholeIsShownEmptyAndNotWrittenOver) {
  std::string huge = count(kMaxListEntries + 1);
  for (std::int64_t i = 0; i <= kMaxListEntries; ++i) huge += line("x");
  folder_.store_files(huge + count(0) + count(0), index_bytes({0}));
  model_.open();
  EXPECT_TRUE(model_.damaged());
  EXPECT_TRUE(model_.working_record().empty());
  EXPECT_FALSE(model_.add_entry(ListKind::lines, "over it"));
  EXPECT_NE(prompt_.messages.back().text.find("could not be read whole"), std::string::npos);
  EXPECT_EQ(folder_.data(), huge + count(0) + count(0));
}

TEST_F(Editing, TheExchangeButtonsAskForAFileRunAndTellTheOutcome) {
  make_database(1);
  ASSERT_TRUE(model_.add_entry(ListKind::lines, "pending"));
  prompt_.files = {folder_.work("out.CMX").u8string(), folder_.work("commdb.dat").u8string(), std::nullopt};
  for (int i = 0; i < 3; ++i) export_command(model_);
  EXPECT_EQ(prompt_.file_requests[0].title, "Commentary Export");
  EXPECT_TRUE(prompt_.file_requests[0].confirm_overwrite);
  ASSERT_EQ(prompt_.messages.size(), 2u);  // the cancelled request tells nothing
  EXPECT_EQ(prompt_.messages[0].text, "1 commentary entries were exported to " + folder_.work("out.CMX").u8string() + ".");
  EXPECT_EQ(prompt_.messages[0].icon, Icon::none);
  EXPECT_EQ(prompt_.messages[1].icon, Icon::error);
  // The stored record is exported; the pending addition stays pending.
  EXPECT_EQ(read_bytes(folder_.work("out.CMX")), exchange_of({stored(1)}));
  EXPECT_EQ(model_.pending(), 1);
  // A declined import leaves the pending edit; a completed one shows record 1.
  write_bytes(folder_.work("in.CMX"), exchange_of({make_record({"t1"}, {}, {"more"})}));
  prompt_.files = {folder_.work("in.CMX").u8string(), folder_.work("in.CMX").u8string()};
  prompt_.answers = {false, true};
  EXPECT_FALSE(import_command(model_));
  EXPECT_EQ(model_.pending(), 1);
  EXPECT_TRUE(import_command(model_));
  EXPECT_EQ(prompt_.file_requests.back().title, "Cross-Reference Output File");
  EXPECT_EQ(model_.pending(), 0);
  EXPECT_EQ(model_.working_record(), make_record({"t1"}, {}, {"line 1", "more"}));
}

}  // namespace
}  // namespace zenfaro
