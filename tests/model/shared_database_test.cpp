// A database that other programs change meanwhile: a second editor or zenfaro-cli (here another EditorModel
// on the same folder), the game reading the files, and imports.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/check_database.h"
#include "exchange/import_commentary.h"
#include "tests/support/database_folder.h"
#include "ui/model/editor_model.h"

namespace zenfaro {
namespace {

using namespace testing;

std::vector<Record> six_records() {  // record k holds the commentary line "line k"
  std::vector<Record> records;
  for (int k = 1; k <= 6; ++k) records.push_back(make_record({}, {}, {"line " + std::to_string(k)}));
  return records;
}

// What another program does between the window's load and its save: adds `text` to a record and saves it,
// or, without a text, deletes the record.
void change(const Layout& layout, const char* record, const char* text = nullptr) {
  ScriptedPrompt prompt;
  prompt.answers = {true};
  EditorModel other(default_env(), layout, prompt);
  other.open(false);
  other.set_record_text(record);
  if (text == nullptr) return other.delete_record();
  ASSERT_TRUE(other.add_entry(ListKind::lines, text));
  ASSERT_TRUE(other.save_record());
}

void import_one(const Layout& layout) {
  write_bytes(layout.work_file("in.CMX"), exchange_of({make_record({"new"}, {}, {"n"})}));
  ScriptedPrompt prompt;
  prompt.answers = {true};
  Database db;
  open_database(default_env(), layout, &db).ignore_error();
  ASSERT_EQ(import_commentary(db, layout.work_file("in.CMX").u8string(), prompt).result, ImportResult::completed);
}

TEST(SharedDatabase, TheWindowSavesOverAnOutsideChangeOfItsRecordOnlyWhenTheUserSaysSo) {
  const struct { const char* what; void (*change)(const Layout&); bool asks /* record 5 changed */; } rows[] = {
      {"another record saved", [](const Layout& l) { change(l, "2", "theirs"); }, false},
      {"the same record saved", [](const Layout& l) { change(l, "5", "theirs"); }, true},
      {"an earlier record deleted", [](const Layout& l) { change(l, "3"); }, true},
      {"records appended by an import", import_one, false}};
  for (const auto& row : rows) {
    for (const bool yes : {false, true}) {
      SCOPED_TRACE(std::string(row.what) + (yes ? ", Yes" : ", No"));
      DatabaseFolder folder;
      folder.store(six_records());
      folder.prompt.answers = {yes};
      EditorModel window(default_env(), folder.layout(), folder.prompt);
      window.open();
      window.set_record_text("5");
      ASSERT_TRUE(window.add_entry(ListKind::lines, "mine"));
      row.change(folder.layout());
      const std::vector<Record> before = folder.records();
      const bool saved = window.save_record();
      EXPECT_EQ(folder.prompt.questions.size(), row.asks ? 1u : 0u);
      EXPECT_EQ(saved, !row.asks || yes);
      EXPECT_EQ(window.pending(), saved ? 0 : 5);  // No keeps the lists unsaved on screen
      std::vector<Record> after = before;
      if (saved) after.at(4) = window.working_record();
      EXPECT_EQ(folder.records(), after);  // every other change of the other program is kept
      Database db;
      open_database(default_env(), folder.layout(), &db).ignore_error();
      EXPECT_TRUE(check_database(db).matches);
    }
  }
}

TEST(SharedDatabase, NavigationSeesTheRecordCountAnotherProgramLeft) {
  DatabaseFolder folder;
  folder.store(six_records());
  EditorModel window(default_env(), folder.layout(), folder.prompt);
  window.open();
  change(folder.layout(), "9", "appended");
  window.step(-1);  // from 1 down to the new-record position, which moved
  EXPECT_EQ(window.record_count(), 7);
  EXPECT_EQ(window.record_text(), "8");
}

TEST(SharedDatabase, TwoWritersLoseNothingThatWasSavedAndKeepNothingThatFailed) {
  DatabaseFolder folder;
  folder.store(six_records());
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
  EXPECT_EQ(records.at(5), six_records().at(5));
}

TEST(SharedDatabase, AReaderNeverFindsADatabaseFileMissingDuringSaves) {
  DatabaseFolder folder;
  folder.store(six_records());
  std::atomic<bool> done{false};
  std::atomic<int> missing{0}, looks{0};
  std::thread reader([&] {
    while (!done) {
      for (const std::filesystem::path& file : {folder.layout().index_file(), folder.layout().data_file()}) {
        if (!default_env().file_info(file).exists) ++missing;
      }
      ++looks;
    }
  });
  EditorModel model(default_env(), folder.layout(), folder.prompt);
  model.open();
  for (int i = 0; i < 200; ++i) {
    model.add_entry(ListKind::triggers, "t" + std::to_string(i));
    model.save_record();
  }
  done = true;
  reader.join();
  EXPECT_EQ(missing, 0) << "in " << looks << " looks";
  EXPECT_GT(looks, 200);
}

}  // namespace
}  // namespace zenfaro
