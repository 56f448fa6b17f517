// The editing model on a real database: the list logic, the working lists, pending edits, navigation, the record
// and exchange commands, the icon, and a database that other programs change meanwhile.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/check_database.h"
#include "editor/alternatives.h"
#include "editor/collation.h"
#include "editor/editor_model.h"
#include "editor/exchange_commands.h"
#include "editor/find.h"
#include "editor/icon_choice.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;
constexpr ListKind kTriggers = ListKind::triggers, kExclusions = ListKind::exclusions, kLines = ListKind::lines;

TEST(Lists, AlternativesExpandOuterGroupsFirstAndSortedListsSortIgnoringCase) {
  const struct {
    bool sorted;
    EntryList before, after;
  } rows[] = {{false, {"The (quick,slow) fox"}, {"The quick fox", "The slow fox"}},
              {false, {"a (b,(c,d)) e"}, {"a b e", "a c e", "a d e"}},
              {false, {"a (,very) big goal"}, {"a big goal", "a very big goal"}},
              {false, {"shot()", "a (b", ")(", "a)b", "((a,b)"}, {"a (b", ")(", "a)b", "((a,b)", "shot"}},
              {false, {"(a,b) and (c,d)"}, {"a and c", "a and d", "b and c", "b and d"}},
              {false, {"(a,b)", "plain"}, {"plain", "a", "b"}},          // older entries are expanded too
              {false, {"  (x ,  ) \t", "(,)"}, {"x \t", "\t", "", ""}},  // spaces collapse, tabs stay
              {true, {"m", "(z,a) x"}, {"a x", "m", "z x"}},
              {true,
               {"Gamma", "alpha", "beta", "\xC9t\xE9", "\xE9T\xC9"},
               {"alpha", "beta", "Gamma", "\xC9t\xE9", "\xE9T\xC9"}},
              {true,
               {"Goal", "goal", "GOAL", "ab", "abc", "\x8Ax", "\x9A"},
               {"ab", "abc", "Goal", "goal", "GOAL", "\x9A", "\x8Ax"}}};
  for (const auto& row : rows) {
    WorkingList list(row.sorted);
    for (const Entry& entry : row.before) list.insert(entry);
    EXPECT_TRUE(expand_alternatives(list, 32000));
    EXPECT_EQ(list.entries(), row.after) << row.before[0];
  }
  std::string bomb;
  for (int i = 0; i < 40; ++i) bomb += "(a,b)";
  // Never beyond the capacity; exactly to it, and one short of it.
  const struct {
    std::string text;
    std::size_t room;
    bool fits;
  } capacities[] = {{bomb, 32000, false}, {"(a,b,c)", 3, true}, {"(a,b,c)", 2, false}};
  for (const auto& row : capacities) {
    WorkingList list(false);
    list.insert(row.text);
    EXPECT_EQ(expand_alternatives(list, row.room), row.fits) << row.room;
    EXPECT_LE(list.size(), row.room);
  }
  // The capitals of Windows-1252 fold to their small letters; × is no capital of ÷, nor ß of ÿ.
  for (const char* pair : {"Aa", "\xC0\xE0", "\xDE\xFE", "\x8A\x9A", "\x8C\x9C", "\x8E\x9E", "\x9F\xFF"})
    EXPECT_EQ(compare_ignoring_case({pair, 1}, {pair + 1, 1}), 0) << pair;
  for (const char* pair : {"\xD7\xF7", "\xDF\xFF"}) EXPECT_NE(compare_ignoring_case({pair, 1}, {pair + 1, 1}), 0);
  // A whole list put on screen at once is in the order of inserting each entry in turn.
  EntryList stored;
  for (int i = 3000; i-- > 0;) stored.push_back((i % 2 ? "B" : "b") + std::to_string(i % 7));
  WorkingList one_by_one(true), at_once(true);
  for (const Entry& entry : stored) one_by_one.insert(entry);
  at_once.assign(stored);
  EXPECT_EQ(at_once.entries(), one_by_one.entries());
}

TEST(Lists, FindFoldsCaseAsTheListsDoAndSearchesTheRecordOnScreenAsShown) {
  const struct {
    const char* entry;
    const char* text;
    bool match_case, matches;
  } rows[] = {{"What a GOAL!", "goal", false, true},
              {"What a GOAL!", "goal", true, false},
              {"What a GOAL!", "GOAL!", true, true},
              {"caf\xC9", "CAF\xE9", false, true},
              {"\x8Akoda", "\x9AKODA", false, true},
              {"\xD7", "\xF7", false, false},
              {"goa", "goal", false, false},
              {"ggoal", "goal", false, true},
              {"abcabd", "abd", false, true},
              {"a", "", false, false},
              {"", "x", false, false}};
  for (const auto& row : rows)
    EXPECT_EQ(TextMatcher(FindQuery{row.text, std::nullopt, row.match_case}).matches(row.entry), row.matches)
        << row.entry << " / " << row.text;
  // Where the first match begins, for the window to scroll to it.
  const struct {
    std::string entry, text;
    std::size_t at;
  } offsets[] = {{"What a GOAL!", "goal", 7}, {"ggoal", "goal", 1},
                 {"abcabd", "abd", 3},        {std::string(4990, 'x') + "needle", "NEEDLE", 4990},
                 {"goal goal", "goal", 0},    {"x", "y", std::string::npos}};
  for (const auto& row : offsets)
    EXPECT_EQ(TextMatcher(FindQuery{row.text, std::nullopt, false}).find(row.entry), row.at);
  // Find goes round the ends over the record on screen as shown (unsaved additions, not deleted entries).
  DatabaseFolder folder;
  folder.store({make_record({"first"}, {}, {"line"}), make_record({}, {"no goal"}, {})});
  EditorModel model(folder.env, folder.layout(), folder.prompt);
  model.open();
  bool went_round = false;
  const auto find = [&](const char* text, FindDirection direction, std::optional<FindHit> after = std::nullopt) {
    return find_in_editor(model, FindQuery{text, std::nullopt, false}, direction, after, &went_round);
  };
  ASSERT_TRUE(model.add_entry(kLines, "a late GOAL"));
  EXPECT_EQ(find("goal", FindDirection::next), (FindHit{2, kExclusions, 0}));
  EXPECT_FALSE(went_round);
  EXPECT_EQ(find("late", FindDirection::next), (FindHit{1, kLines, 1}));
  EXPECT_TRUE(went_round);  // only the record on screen holds it: found again round the end
  EXPECT_EQ(find("goal", FindDirection::previous), (FindHit{2, kExclusions, 0}));
  EXPECT_TRUE(went_round);  // back from record 1: round the start
  model.set_record_text("2");
  model.delete_entries(kExclusions, {0});
  EXPECT_EQ(find("no goal", FindDirection::previous), std::nullopt);
  model.set_record_text("3");
  ASSERT_TRUE(model.add_entry(kTriggers, "(new,old) goal"));
  EXPECT_EQ(find("goal", FindDirection::previous), (FindHit{2, kExclusions, 0}));
  EXPECT_EQ(find("old", FindDirection::previous), (FindHit{3, kTriggers, 1}));
  EXPECT_EQ(find("goal", FindDirection::next, FindHit{3, kTriggers, 0}), (FindHit{3, kTriggers, 1}));  // same record
}

TEST(Lists, TheIconIsOneOrTwoWithEqualChanceFromTheSeed) {
  IconChooser chooser(12345), same(12345);
  int ones = 0;
  for (int i = 0; i < 1000; ++i) {
    const int icon = chooser.next();
    ASSERT_TRUE(icon == 1 || icon == 2) << icon;
    ones += icon == 1 ? 1 : 0;
    EXPECT_EQ(same.next(), icon);
  }
  EXPECT_TRUE(ones > 400 && ones < 600) << ones;
}

class Editing : public ::testing::Test {
 protected:
  void make_database(int records) {
    folder_.store(numbered(records));
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
  EXPECT_EQ(std::make_pair(model_.record_text(), model_.navigator_maximum()), std::make_pair(std::string("1"), 4));
  model_.set_record_text("2");
  ASSERT_TRUE(model_.add_entry(kLines, "new line"));
  EXPECT_EQ(model_.pending(), 2);
  model_.step(+1);
  EXPECT_EQ(std::make_pair(model_.record_text(), model_.pending()), std::make_pair(std::string("3"), 0));
  EXPECT_EQ(stored(2).list(kLines), (EntryList{"line 2", "new line"}));
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
  EXPECT_EQ(shown(kTriggers), (EntryList{"t3"}));
  // An addition on the new-record position is appended when moving away.
  model_.set_record_text("4");
  ASSERT_TRUE(model_.add_entry(kTriggers, "fresh"));
  model_.set_record_text("1");
  EXPECT_EQ(std::make_pair(stored(4), model_.navigator_maximum()), std::make_pair(make_record({"fresh"}, {}, {}), 5));
}

// The window selects what an "Add To" put in: the positions of the new entries in the list as it now stands.
TEST_F(Editing, AddToTellsWhereItsNewEntriesStand) {
  make_database(1);
  const struct {
    ListKind kind;
    const char* text;
    std::vector<std::size_t> at;
  } rows[] = {{kTriggers, "beta", {0}},                     // beta, t1
              {kTriggers, "The (quick,slow) fox", {2, 3}},  // beta, t1, The quick fox, The slow fox
              {kTriggers, "BETA", {1}},                     // an equal entry goes after its equals
              {kTriggers, "beta", {2}},
              {kLines, "one", {1}},  // line 1, one
              {kLines, "(a,b) (c,d)", {2, 3, 4, 5}},
              {kLines, "one", {6}}};
  for (const auto& row : rows) {
    ASSERT_TRUE(model_.add_entry(row.kind, row.text));
    EXPECT_EQ(model_.added_positions(), row.at) << row.text;
  }
  EXPECT_EQ(shown(kTriggers), (EntryList{"beta", "BETA", "beta", "t1", "The quick fox", "The slow fox"}));
  // An older entry with a group is expanded by the next add: its entries are new too.
  ASSERT_TRUE(model_.modify_entry(kLines, 0, "(p,q)"));
  ASSERT_TRUE(model_.add_entry(kLines, "z"));
  EXPECT_EQ(model_.added_positions(), (std::vector<std::size_t>{6, 7, 8}));
  EXPECT_EQ(shown(kLines), (EntryList{"one", "a c", "a d", "b c", "b d", "one", "z", "p", "q"}));
}

TEST_F(Editing, ListCommandsChangeOnlyTheWorkingLists) {
  make_database(2);
  for (const char* text : {"Gamma", "alpha", "beta", ""}) ASSERT_TRUE(model_.add_entry(kTriggers, text));
  EXPECT_EQ(shown(kTriggers), (EntryList{"alpha", "beta", "Gamma", "t1"}));
  for (const char* text : {"(x,y) z", "   ", "   "}) ASSERT_TRUE(model_.add_entry(kLines, text));  // never merged
  EXPECT_EQ(shown(kLines), (EntryList{"line 1", "x z", "y z", "   ", "   "}));
  model_.delete_entries(kLines, {4, 1, 2, 4, 99});
  EXPECT_EQ(shown(kLines), (EntryList{"line 1", "   "}));
  // Modifying replaces in place, without sorting or expanding, and marks the record even when nothing changed.
  ASSERT_TRUE(model_.save_record());
  ASSERT_TRUE(model_.modify_entry(kTriggers, 0, "alpha"));
  EXPECT_EQ(model_.pending(), 1);
  ASSERT_TRUE(model_.modify_entry(kTriggers, 0, "zz (a,b)"));
  EXPECT_EQ(shown(kTriggers).front(), "zz (a,b)");
  EXPECT_FALSE(model_.modify_entry(kTriggers, 9, "x"));
  // Deletions alone are not saved by navigation, only by Save Record.
  model_.show_record(1);
  model_.delete_entries(kTriggers, {0});
  EXPECT_EQ(model_.pending(), 0);
  model_.step(+1);
  model_.step(-1);
  EXPECT_EQ(shown(kTriggers).front(), "alpha");
  // What a list cannot hold is refused, and nothing changes.
  std::string bomb;
  for (int i = 0; i < 20; ++i) bomb += "(a,b)";
  prompt_.messages.clear();
  for (const std::string& text : {std::string(5000, 'x'), std::string("a\rb"), bomb})
    EXPECT_FALSE(model_.add_entry(kLines, text));
  EXPECT_FALSE(model_.modify_entry(kLines, 0, std::string(5000, 'x')));
  EXPECT_EQ(std::make_pair(prompt_.errors(), model_.pending()), std::make_pair(4, 0));
  EXPECT_EQ(shown(kLines), stored(1).list(kLines));
  EXPECT_TRUE(model_.add_entry(kLines, std::string(4999, 'x')));
}

TEST_F(Editing, DeleteRecordAsksAndShowsTheRecordThatTookItsNumber) {
  make_database(3);
  const struct {
    const char* from;
    bool yes;
    std::int32_t count;
    const char* shown;
    EntryList triggers;
  } rows[] = {{"2", false, 3, "2", {"t2"}},
              {"2", true, 2, "2", {"t3"}},
              {"3", true, 2, "2", {"t3"}},  // the new-record position: nothing deleted
              {"2", true, 1, "1", {"t1"}},
              {"1", true, 0, "1", {}}};
  for (const auto& row : rows) {
    model_.set_record_text(row.from);
    if (std::string(row.from) == "3") {
      ASSERT_TRUE(model_.add_entry(kTriggers, "unsaved"));
    }
    prompt_.answers = {row.yes};
    model_.delete_record();
    EXPECT_EQ(prompt_.questions.back().text + "|" + prompt_.questions.back().caption,
              "Are you sure you want to delete this record ?|Confirm Action");
    EXPECT_EQ(std::make_tuple(model_.record_count(), model_.record_text(), shown(kTriggers)),
              std::make_tuple(row.count, std::string(row.shown), row.triggers))
        << row.from;
  }
}

TEST_F(Editing, NumbersBelowOneAndEmptiedListsWriteNothing) {
  make_database(2);
  for (const char* text : {"", "0", "-3", "abc", "&H1"}) {
    model_.set_record_text(text);
    EXPECT_TRUE(model_.working_record().empty()) << text;
    EXPECT_FALSE(model_.add_entry(kTriggers, "x"));
    model_.delete_record();
    EXPECT_TRUE(prompt_.questions.empty());
    EXPECT_TRUE(model_.quit());
  }
  model_.set_record_text("1");
  model_.delete_entries(kTriggers, {0});
  model_.delete_entries(kLines, {0});
  EXPECT_TRUE(model_.save_record());
  EXPECT_EQ(std::make_pair(folder_.records().size(), is_file(folder_.base("commdb.old"))),
            std::make_pair(std::size_t{2}, false));
}

TEST_F(Editing, AFailedSaveIsReportedAndKeepsTheEditsPendingOnScreen) {
  make_database(2);
  ASSERT_TRUE(model_.add_entry(kLines, "keep me"));
  for (int attempt = 0; attempt < 3; ++attempt) {  // Save Record, a step (its save fails: stay on 1), Quit
    folder_.env.log.clear();
    folder_.env.fail_at = 0;  // every operation, the step's read without its lock
    folder_.env.fail_onwards = true;
    if (attempt == 1) model_.step(+1);
    else EXPECT_FALSE(attempt == 0 ? model_.save_record() : model_.quit());
    EXPECT_EQ(std::make_tuple(prompt_.errors(), model_.pending(), model_.record_text(), shown(kLines)),
              std::make_tuple(attempt + 1, 1, std::string("1"), EntryList{"line 1", "keep me"}));
  }
  folder_.env.reset();
  EXPECT_TRUE(model_.quit());
  EXPECT_EQ(stored(1).list(kLines), (EntryList{"line 1", "keep me"}));
}

TEST_F(Editing, ARecordThatCannotBeReadWholeIsShownEmptyAndNotWrittenOver) {
  std::string huge = count(kMaxListEntries + 1);
  for (std::int64_t i = 0; i <= kMaxListEntries; ++i) huge += line("x");
  folder_.store_files(huge + count(0) + count(0), index_bytes({0}));
  model_.open();
  EXPECT_TRUE(model_.damaged() && model_.working_record().empty());
  EXPECT_FALSE(model_.add_entry(kLines, "over it"));
  EXPECT_NE(prompt_.messages.back().text.find("could not be read whole"), std::string::npos);
  EXPECT_EQ(folder_.data(), huge + count(0) + count(0));
}

TEST_F(Editing, TheExchangeButtonsAskForAFileRunAndTellTheOutcome) {
  make_database(1);
  ASSERT_TRUE(model_.add_entry(kLines, "pending"));
  prompt_.files = {folder_.work("out.CMX").u8string(), folder_.work("commdb.dat").u8string(), std::nullopt};
  for (int i = 0; i < 3; ++i) export_command(model_);
  EXPECT_EQ(std::make_pair(prompt_.file_requests[0].title, prompt_.file_requests[0].confirm_overwrite),
            std::make_pair(std::string("Commentary Export"), true));
  ASSERT_EQ(prompt_.messages.size(), 2u);  // the cancelled request tells nothing
  EXPECT_EQ(std::make_tuple(prompt_.messages[0].text, prompt_.messages[0].icon, prompt_.messages[1].icon),
            std::make_tuple("1 commentary entries were exported to " + folder_.work("out.CMX").u8string() + ".",
                            Icon::none, Icon::error));
  // The pending addition is saved first, as a step saves it, and goes with the export.
  EXPECT_EQ(std::make_tuple(read_bytes(folder_.work("out.CMX")), model_.pending(), stored(1).list(kLines)),
            std::make_tuple(exchange_of({stored(1)}), 0, EntryList{"line 1", "pending"}));
  // The import saves it first too, declined or not; a completed one shows record 1.
  write_bytes(folder_.work("in.CMX"), exchange_of({make_record({"t1"}, {}, {"more"})}));
  ASSERT_TRUE(model_.add_entry(kLines, "second"));
  prompt_.files = {folder_.work("in.CMX").u8string(), folder_.work("in.CMX").u8string()};
  prompt_.answers = {false, true};
  EXPECT_TRUE(!import_command(model_) && model_.pending() == 0 && stored(1).list(kLines).size() == 3);
  EXPECT_TRUE(import_command(model_));
  EXPECT_EQ(std::make_tuple(prompt_.file_requests.back().title, model_.pending(), model_.working_record()),
            std::make_tuple(std::string("Cross-Reference Output File"), 0,
                            make_record({"t1"}, {}, {"line 1", "pending", "second", "more"})));
}

TEST_F(Editing, NavigationSeesTheRecordCountAnotherProgramLeft) {
  make_database(6);
  Database other = folder_.fresh();  // another program appends a record
  ASSERT_TRUE(write_record_set(other, 9, WriteMode::save, make_record({}, {}, {"appended"})).is_ok());
  model_.step(-1);  // from 1 down to the new-record position, which moved
  EXPECT_EQ(std::make_pair(model_.record_count(), model_.record_text()), std::make_pair(7, std::string("8")));
}

TEST(SharedDatabase, TwoWritersLoseNothingThatWasSavedAndKeepNothingThatFailed) {
  DatabaseFolder folder;
  folder.store(numbered(6));
  std::vector<std::string> saved[2], failed[2];
  auto writer = [&](int id) {
    ScriptedPrompt prompt;
    EditorModel model(default_env(), folder.layout(), prompt);
    model.open(false);
    for (int i = 0; i < 40; ++i) {
      const std::string text = "w" + std::to_string(id) + "-" + std::to_string(i);
      model.set_record_text(std::to_string(id + 1));
      model.add_entry(ListKind::lines, text);
      (model.save_record() ? saved : failed)[id].push_back(text);
      model.show_record(id + 1);  // a failed save stays pending; the next round starts afresh
    }
  };
  std::thread first(writer, 0), second(writer, 1);
  first.join();
  second.join();
  const std::vector<Record> records = folder.records();
  for (int id = 0; id < 2; ++id) {
    const EntryList& lines = records.at(static_cast<std::size_t>(id)).list(ListKind::lines);
    EXPECT_EQ(lines.size(), saved[id].size() + 1);
    for (const std::string& text : saved[id]) EXPECT_EQ(std::count(lines.begin(), lines.end(), text), 1) << text;
    for (const std::string& text : failed[id]) EXPECT_EQ(std::count(lines.begin(), lines.end(), text), 0) << text;
  }
  EXPECT_EQ(records.at(5), numbered(6).at(5));
}

TEST_F(Editing, AReaderNeverFindsADatabaseFileMissingDuringSaves) {
  make_database(6);
  std::atomic<bool> done{false};
  std::atomic<int> missing{0}, looks{0};
  std::thread reader([&] {
    while (!done) {
      for (const std::filesystem::path& file : {folder_.layout().index_file(), folder_.layout().data_file()})
        if (!default_env().file_info(file).exists) ++missing;
      ++looks;
    }
  });
  for (int i = 0; i < 200; ++i) {
    model_.add_entry(kTriggers, "t" + std::to_string(i));
    model_.save_record();
  }
  done = true;
  reader.join();
  EXPECT_EQ(missing, 0) << "in " << looks << " looks";
  EXPECT_GT(looks, 200);
}

}  // namespace
}  // namespace zenfaro
