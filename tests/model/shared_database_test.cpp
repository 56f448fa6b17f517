// A database that other programs change meanwhile: a second editor or
// zenfaro-cli (here another EditorModel on the same folder), the game
// reading the files, and imports.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/check_database.h"
#include "exchange/import_commentary.h"
#include "ui/model/editor_model.h"
#include "tests/support/records.h"
#include "tests/support/scripted_prompt.h"
#include "tests/support/temp_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

class SharedDatabase : public ::testing::Test {
 protected:
  void SetUp() override { make_database(); }
  // Six records; record k holds the commentary line "line k".
  void make_database() {
    EditorModel writer(default_env(), layout(), prompt_);
    writer.open();
    for (int k = 1; k <= 6; ++k) {
      writer.set_record_text(std::to_string(k));
      ASSERT_TRUE(writer.add_entry(ListKind::lines, "line " + std::to_string(k)));
      ASSERT_TRUE(writer.save_record());
    }
  }
  Layout layout() const { return Layout{folder_.path(), false}; }
  Record stored(std::int32_t n) const {
    Database db;
    open_database(default_env(), layout(), &db).ignore_error();
    return read_record(db, n);
  }

  TempFolder folder_;
  ScriptedPrompt prompt_;
};

// What another program does between the window's load and its save of
// record 5, and whether the window then has to ask.
struct OutsideChange {
  const char* what;
  void (*change)(const Layout&);
  bool asks;
};

void add_to(const Layout& layout, const char* record, const char* text) {
  ScriptedPrompt prompt;
  EditorModel other(default_env(), layout, prompt);
  other.open(false);
  other.set_record_text(record);
  other.add_entry(ListKind::lines, text);
  other.save_record();
}

const OutsideChange kOutsideChanges[] = {
    {"another record saved", [](const Layout& l) { add_to(l, "2", "theirs"); }, false},
    {"the same record saved", [](const Layout& l) { add_to(l, "5", "theirs"); }, true},
    {"an earlier record deleted",
     [](const Layout& l) {
       ScriptedPrompt prompt;
       prompt.answers = {true};
       EditorModel other(default_env(), l, prompt);
       other.open(false);
       other.set_record_text("3");
       other.delete_record();
     },
     true},
    {"records appended by an import",
     [](const Layout& l) {
       write_bytes(l.work_file("in.CMX"), "[Version]\r\nHandler=ZENFARO.EXE\r\n[Exported Commentary]\r\n 1 \r\n" +
                                              stored(make_record({"new"}, {}, {"n"})));
       ScriptedPrompt prompt;
       prompt.answers = {true};
       Database db;
       open_database(default_env(), l, &db).ignore_error();
       ASSERT_EQ(import_commentary(db, l.work_file("in.CMX").u8string(), prompt).result, ImportResult::completed);
     },
     false},
};

TEST_F(SharedDatabase, TheWindowSavesOverAnOutsideChangeOfItsRecordOnlyWhenTheUserSaysSo) {
  for (const OutsideChange& outside : kOutsideChanges) {
    for (const bool yes : {false, true}) {
      SCOPED_TRACE(std::string(outside.what) + (yes ? ", Yes" : ", No"));
      std::filesystem::remove_all(folder_.path());
      std::filesystem::create_directories(folder_.path());
      make_database();
      ScriptedPrompt prompt;
      prompt.answers = {yes};
      EditorModel window(default_env(), layout(), prompt);
      window.open();
      window.set_record_text("5");
      ASSERT_TRUE(window.add_entry(ListKind::lines, "mine"));
      outside.change(layout());
      const Record before = stored(5);

      const bool saved = window.save_record();
      EXPECT_EQ(prompt.questions.size(), outside.asks ? 1u : 0u);
      EXPECT_EQ(saved, !outside.asks || yes);
      if (saved) {
        EXPECT_EQ(stored(5), window.working_record());
        EXPECT_EQ(window.pending(), 0);
      } else {
        EXPECT_EQ(stored(5), before);
        EXPECT_EQ(window.pending(), 5);  // the lists stay unsaved on screen
      }
      Database db;
      open_database(default_env(), layout(), &db).ignore_error();
      EXPECT_TRUE(check_database(db).matches);
    }
  }
}

TEST_F(SharedDatabase, NavigationSeesTheRecordCountAnotherProgramLeft) {
  EditorModel window(default_env(), layout(), prompt_);
  window.open();
  add_to(layout(), "9", "appended");
  window.step(-1);  // from 1 down to the new-record position, which moved
  EXPECT_EQ(window.record_count(), 7);
  EXPECT_EQ(window.record_text(), "8");
}

TEST_F(SharedDatabase, TwoWritersLoseNothingThatWasSavedAndKeepNothingThatFailed) {
  std::atomic<bool> ok{true};
  std::vector<std::string> saved[2];
  std::vector<std::string> failed[2];
  auto writer = [&](int id) {
    ScriptedPrompt prompt;
    EditorModel model(default_env(), layout(), prompt);
    model.open(false);
    for (int i = 0; i < 40; ++i) {
      const std::string text = "w" + std::to_string(id) + "-" + std::to_string(i);
      model.set_record_text(id == 0 ? "1" : "2");
      if (!model.add_entry(ListKind::lines, text)) ok = false;
      (model.save_record() ? saved : failed)[id].push_back(text);
      // A failed save stays pending; the next round starts afresh.
      model.show_record(id == 0 ? 1 : 2);
    }
  };
  std::thread first(writer, 0);
  std::thread second(writer, 1);
  first.join();
  second.join();
  ASSERT_TRUE(ok);
  for (int id = 0; id < 2; ++id) {
    const EntryList lines = stored(id + 1).list(ListKind::lines);
    for (const std::string& text : saved[id]) EXPECT_NE(std::find(lines.begin(), lines.end(), text), lines.end()) << text;
    for (const std::string& text : failed[id]) EXPECT_EQ(std::find(lines.begin(), lines.end(), text), lines.end()) << text;
  }
  EXPECT_EQ(stored(6).list(ListKind::lines), (EntryList{"line 6"}));
}

TEST_F(SharedDatabase, AReaderNeverFindsADatabaseFileMissingDuringSaves) {
  std::atomic<bool> done{false};
  std::atomic<int> missing{0};
  std::atomic<int> looks{0};
  std::thread reader([&] {
    while (!done) {
      for (const std::filesystem::path& file : {layout().index_file(), layout().data_file()}) {
        if (!default_env().file_info(file).exists) ++missing;
      }
      ++looks;
    }
  });
  EditorModel model(default_env(), layout(), prompt_);
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
