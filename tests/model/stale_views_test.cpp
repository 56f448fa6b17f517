// Two views of one database folder, the window's model beside zenfaro-cli and other programs: each way a view taken
// earlier once destroyed data, a reader beside saves and imports, a reader without a lock file.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "core/database_state.h"
#include "editor/editor_model.h"
#include "editor/exchange_commands.h"
#include "editor/find.h"
#include "exchange/export_commentary.h"
#include "tests/support/cli_run.h"
#include "tests/support/stored_records.h"

namespace zenfaro {
namespace {

using namespace testing;
constexpr ListKind kLines = ListKind::lines;

// The window's model over a database of `count` numbered records, opened on record `shown`; the command line and
// other models beside it.
struct Scene {
  explicit Scene(int count, std::int32_t shown = 1) {
    folder.store(numbered(count));
    window.open();
    window.set_record_text(std::to_string(shown));
  }
  CliRun cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"-C", folder.temp.path().u8string()});
    return run_cli(args);
  }
  Records records() const { return stored_records(folder); }
  const Question& asked() const { return folder.prompt.questions.back(); }

  DatabaseFolder folder;
  EditorModel window{folder.env, folder.layout(), folder.prompt};
};

Records with_line(Records records, std::int32_t n, const std::string& text) {
  records.at(static_cast<std::size_t>(n - 1)).list(kLines).push_back(text);
  return records;
}

// Each way a view of the database taken earlier once destroyed data, through the model and the command line.
TEST(TwoViews, AViewTakenEarlierNeverDestroysWhatAnotherProgramStored) {
  const struct {
    const char* tried;
    void (*run)(Scene&);
  } rows[] = {
      {"the window open, a line added by the command line, then Import in the window",
       [](Scene& s) {
         ASSERT_EQ(s.cli({"add", "3", "lines", "x"}).status, 0);
         write_bytes(s.folder.work("in.CMX"), exchange_of({make_record({"new"}, {}, {"n"})}));
         s.folder.prompt.answers = {true};
         ASSERT_EQ(import_records(s.window, s.folder.work("in.CMX").u8string()).result, ImportResult::completed);
         Records expected = with_line(numbered(20), 3, "x");
         expected.push_back(make_record({"new"}, {}, {"n"}));
         EXPECT_EQ(s.records(), expected);
         EXPECT_EQ(s.cli({"check"}).status, 0);
       }},
      {"the window's export after another program saved; find",
       [](Scene& s) {
         ASSERT_EQ(s.cli({"delete", "1"}).status, 0);
         ASSERT_TRUE(export_records(s.window, s.folder.work("out.CMX").u8string()).done);
         EXPECT_EQ(read_bytes(s.folder.work("out.CMX")), exchange_of(s.records()));
         EXPECT_EQ(find_in_editor(s.window, FindQuery{"line 20", std::nullopt, false}, FindDirection::next, {}),
                   (FindHit{19, kLines, 0}));
         EXPECT_EQ(s.cli({"find", "line 20"}).out, "19\tlines\t0\tline 20\n");
       }},
      {"the window on record 7, changed by the command line; the window's save cancelled, then saved again",
       [](Scene& s) {
         s.window.set_record_text("7");
         ASSERT_EQ(s.cli({"modify", "7", "lines", "0", "theirs"}).status, 0);
         ASSERT_TRUE(s.window.add_entry(kLines, "mine"));
         // Every later save, step, find and quit asks again until the user decides.
         EXPECT_FALSE(s.window.save_record());
         EXPECT_FALSE(s.window.save_record());
         s.window.step(+1);
         s.window.set_record_text("3");
         EXPECT_FALSE(s.window.quit());
         EXPECT_EQ(s.folder.prompt.questions.size(), 5u);
         EXPECT_NE(s.asked().text.find("it now begins with the trigger \"t7\""), std::string::npos);
         EXPECT_NE(s.asked().details.find("  theirs\n"), std::string::npos);
         EXPECT_EQ(s.window.record_text(), "7");
         EXPECT_EQ(s.records().at(6).list(kLines), EntryList{"theirs"});
         s.folder.prompt.choices = {0};  // as a new record: both are kept
         EXPECT_TRUE(s.window.save_record());
         EXPECT_EQ(std::make_pair(s.records().back().list(kLines), s.window.record_text()),
                   std::make_pair(EntryList{"line 7", "mine"}, std::string("21")));
       }},
      {"two windows: one that never edited quits after the other saved its record",
       [](Scene& s) {
         ScriptedPrompt prompt;
         EditorModel other(default_env(), s.folder.layout(), prompt);
         other.open();
         ASSERT_TRUE(other.add_entry(kLines, "saved by the other"));
         ASSERT_TRUE(other.save_record());
         EXPECT_FALSE(s.window.quit());
         EXPECT_FALSE(s.window.quit());  // asked twice, cancelled twice
         EXPECT_EQ(s.records().at(0).list(kLines), (EntryList{"line 1", "saved by the other"}));
         // Kept up to date, it shows the other's line and quits writing nothing.
         EXPECT_TRUE(s.window.follow_outside_change());
         const FileInfo before = default_env().file_info(s.folder.layout().data_file());
         EXPECT_TRUE(s.window.quit());
         EXPECT_EQ(default_env().file_info(s.folder.layout().data_file()), before);
       }},
      {"the window on record 10, deleted by the command line; the line added there saved",
       [](Scene& s) {
         s.window.set_record_text("10");
         ASSERT_TRUE(s.window.add_entry(kLines, "mine"));
         ASSERT_EQ(s.cli({"delete", "10"}).status, 0);
         const Records before = s.records();
         EXPECT_FALSE(s.window.save_record());  // cancelled: record 10 is now what was record 11
         EXPECT_NE(s.asked().text.find("it now begins with the trigger \"t11\""), std::string::npos);
         EXPECT_EQ(s.asked().answers.size(), 3u);
         EXPECT_EQ(s.records(), before);
         s.folder.prompt.choices = {0};
         EXPECT_TRUE(s.window.save_record());
         Records expected = before;
         expected.push_back(make_record({"t10"}, {}, {"line 10", "mine"}));
         EXPECT_EQ(s.records(), expected);
       }},
      {"an earlier record deleted: the window follows its record",
       [](Scene& s) {
         s.window.set_record_text("10");
         ASSERT_TRUE(s.window.add_entry(kLines, "mine"));
         ASSERT_EQ(s.cli({"delete", "2"}).status, 0);
         EXPECT_TRUE(s.window.save_record());
         EXPECT_EQ(s.window.record_text(), "9");
         EXPECT_EQ(s.records().at(8), make_record({"t10"}, {}, {"line 10", "mine"}));
         EXPECT_TRUE(s.folder.prompt.questions.empty());
       }},
      {"another program's save killed once its journal was in place; the window saves the same record",
       [](Scene& s) {
         FaultyEnv dry, killed;
         Database db;
         open_database(dry, s.folder.layout(), &db).ignore_error();  // a dry run, to find the moment
         dry.log.clear();
         const Record theirs = make_record({"t1"}, {}, {"theirs"});
         ASSERT_TRUE(write_record_set(db, 1, WriteMode::save, theirs).is_ok());
         // Killed at the first move of a new file: its journal is in place and decides the change.
         const auto linked = std::find_if(dry.log.begin(), dry.log.end(),
                                          [](const std::string& op) { return op.rfind("rename temp.tmp", 0) == 0; });
         ASSERT_NE(linked, dry.log.end());
         s.folder.store(numbered(20));
         s.window.open();
         ASSERT_TRUE(s.window.add_entry(kLines, "mine"));
         killed.kill_at = static_cast<int>(linked - dry.log.begin());
         open_database(killed, s.folder.layout(), &db).ignore_error();
         killed.log.clear();
         EXPECT_THROW(write_record_set(db, 1, WriteMode::save, theirs).ignore_error(), Killed);
         // Finishing the other program's replacement does not skip the comparison.
         EXPECT_FALSE(s.window.save_record());
         EXPECT_EQ(std::make_pair(s.folder.prompt.questions.size(), s.records().at(0)),
                   std::make_pair(std::size_t{1}, theirs));
       }},
      {"lines added on screen, then Export and Import",
       [](Scene& s) {
         ASSERT_TRUE(s.window.add_entry(kLines, "on screen"));
         ASSERT_TRUE(export_records(s.window, s.folder.work("out.CMX").u8string()).done);
         EXPECT_NE(read_bytes(s.folder.work("out.CMX")).find("on screen"), std::string::npos);
         ASSERT_TRUE(s.window.add_entry(kLines, "also on screen"));
         write_bytes(s.folder.work("in.CMX"), exchange_of({}));
         import_records(s.window, s.folder.work("in.CMX").u8string());  // declined: saved all the same
         EXPECT_EQ(s.records().at(0).list(kLines), (EntryList{"line 1", "on screen", "also on screen"}));
       }},
      {"Quit after an import, nothing edited",
       [](Scene& s) {
         write_bytes(s.folder.work("in.CMX"), exchange_of({make_record({"new"}, {}, {"n"})}));
         ASSERT_EQ(s.cli({"import", "in.CMX", "--yes"}).status, 0);
         write_bytes(s.folder.base("commdb.old"), "the state before");
         const std::string data = s.folder.data();
         EditorModel reopened(s.folder.env, s.folder.layout(), s.folder.prompt);
         reopened.open();
         s.folder.env.log.clear();
         EXPECT_TRUE(reopened.quit());
         EXPECT_EQ(std::make_tuple(s.folder.data(), read_bytes(s.folder.base("commdb.old")),
                                   s.folder.prompt.questions.size()),
                   std::make_tuple(data, std::string("the state before"), std::size_t{0}));
         EXPECT_EQ(std::count(s.folder.env.log.begin(), s.folder.env.log.end(), "rename temp.tmp -> commdb.dat"), 0);
       }},
      {"commdb.idx there but unreadable",
       [](Scene& s) {
         struct Unreadable final : EnvWrapper {  // a sharing violation, no permission, an I/O error
           using EnvWrapper::EnvWrapper;
           Status open_readable(const fs::path& path, std::unique_ptr<ReadableFile>* file) override {
             if (path.filename() != "commdb.idx") return target().open_readable(path, file);
             return Status::io_error("Could not open " + quoted(path) + ": Permission denied.", "Permission denied");
           }
         } env(s.folder.env);
         const std::string data = s.folder.data();
         EditorModel window(env, s.folder.layout(), s.folder.prompt);
         window.open();
         ASSERT_TRUE(window.add_entry(kLines, "mine"));
         EXPECT_FALSE(window.save_record());
         EXPECT_EQ(s.folder.prompt.messages.size(), 2u);  // at the opening, and the save's refusal
         EXPECT_NE(s.folder.prompt.messages.back().text.find("Permission denied. The database cannot be used"),
                   std::string::npos);
         EXPECT_EQ(s.folder.data(), data);
         // The command line, on a commdb.idx that is a link to itself (where the system has links; links need
         // rights on Windows, and wine reads a link to itself as no file at all).
#ifndef _WIN32
         std::error_code error;
         fs::remove(s.folder.layout().index_file());
         fs::create_symlink("commdb.idx", s.folder.layout().index_file(), error);
         std::unique_ptr<ReadableFile> file;
         if (error || default_env().open_readable(s.folder.layout().index_file(), &file).is_not_found()) return;
         for (const std::vector<std::string>& args :
              std::vector<std::vector<std::string>>{{"info"},
                                                    {"list"},
                                                    {"show", "1"},
                                                    {"find", "line"},
                                                    {"export", "out.CMX"},
                                                    {"check"},
                                                    {"add", "1", "lines", "x"},
                                                    {"import", "in.CMX", "--yes"}}) {
           const CliRun run = s.cli(args);
           EXPECT_TRUE(run.status == 1 && run.out.empty() && run.err.find("commdb.idx\": ") != std::string::npos)
               << args[0] << run.out << run.err;
         }
#endif
         EXPECT_EQ(s.folder.data(), data);
       }},
      {"commdb.dat missing while commdb.idx lists records",
       [](Scene& s) {
         write_bytes(s.folder.base("commdb.old"), "the state before");
         fs::remove(s.folder.layout().data_file());
         write_bytes(s.folder.work("in.CMX"), exchange_of({make_record({"new"}, {}, {"n"})}));
         for (const std::vector<std::string>& args :
              std::vector<std::vector<std::string>>{{"add", "2", "lines", "x"}, {"import", "in.CMX", "--yes"}}) {
           const CliRun run = s.cli(args);
           EXPECT_TRUE(run.status == 1 && run.err.find("is missing, but") != std::string::npos) << run.err;
         }
         EXPECT_EQ(std::make_pair(is_file(s.folder.layout().data_file()), read_bytes(s.folder.base("commdb.old"))),
                   std::make_pair(false, std::string("the state before")));
       }},
      {"the command line's add 1 racing another add 1",
       [](Scene& s) {
         DatabaseLock lock;  // the other add holds the lock; this one waits, then adds to record 1 as it stands
         ASSERT_TRUE(lock_database(default_env(), s.folder.layout(), &lock).is_ok());
         std::thread other([&] {
           Database db = s.folder.fresh();
           EXPECT_TRUE(write_record_set(db, lock, 1, WriteMode::save, with_line(numbered(1), 1, "theirs")[0]).is_ok());
           std::this_thread::sleep_for(std::chrono::milliseconds(100));
           lock = DatabaseLock();
         });
         const CliRun run = s.cli({"add", "1", "lines", "mine"});
         other.join();
         EXPECT_EQ(std::make_tuple(run.status, run.out, run.err),
                   std::make_tuple(0, std::string("Record 1 saved; its lines list holds 3 entries.\n"), std::string()));
         EXPECT_EQ(s.records().at(0).list(kLines), (EntryList{"line 1", "theirs", "mine"}));
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tried);
    Scene scene(20);
    row.run(scene);
  }
}

// Whether record n, read whole, is one of the records below: its own trigger, its own first line, then lines added.
bool whole(std::int32_t n, const Record& record) {
  const EntryList& lines = record.list(kLines);
  return record.list(ListKind::triggers) == EntryList{"t" + std::to_string(n)} && !lines.empty() &&
         lines[0] == "line " + std::to_string(n) &&
         std::all_of(lines.begin() + 1, lines.end(), [](const Entry& e) { return e[0] == 'a' || e[0] == 'i'; });
}

// A reader walking the records and exporting them beside saves and imports: it reads every record whole, and every
// save and import reported done is stored.
TEST(TwoViews, AReaderBesideSavesAndImportsNeverSeesATornRecord) {
  DatabaseFolder folder;
  folder.store(numbered(8));
  std::vector<std::string> stored_lines[2];  // reported stored by the adder, by the importer
  const auto writer = [&](int id) {
    FaultyEnv env;
    ScriptedPrompt prompt;
    EditorModel model(env, folder.layout(), prompt);
    model.open(false);
    for (int i = 0; i < (id == 0 ? 60 : 15); ++i) {
      const std::string text = (id == 0 ? "a" : "imp") + std::to_string(i);
      bool done = false;
      if (id == 0) {
        done = model.change_stored(1 + i % 8, WriteMode::save, [&] { return model.add_entry(kLines, text); });
      } else {
        write_bytes(folder.work("in.CMX"), exchange_of({make_record({"t1"}, {}, {text})}));
        prompt.answers = {true};
        done = import_records(model, folder.work("in.CMX").u8string()).result == ImportResult::completed;
      }
      if (done) stored_lines[id].push_back(text);
    }
  };
  std::atomic<bool> writing{true};
  int reads = 0;
  std::thread reader([&] {
    Database db;
    open_database(default_env(), folder.layout(), &db).ignore_error();
    while (writing) {
      Records walked;
      EXPECT_TRUE(read_one_state(db, [&] { return read_all(db, &walked); }).is_ok());
      ASSERT_TRUE(export_commentary(db, folder.work("reader.CMX"), nullptr).is_ok());
      std::unique_ptr<ReadableFile> file;
      ASSERT_TRUE(default_env().open_readable(folder.work("reader.CMX"), &file).is_ok());
      LineReader exported(file.get());
      for (int line = 0; line < 5; ++line) exported.read_entry_view(*std::make_unique<std::string>());
      ASSERT_EQ(exported.read_count(), 8);
      for (std::int32_t n = 1; n <= 8; ++n) {
        Record record;
        read_record_into(exported, &record);
        EXPECT_TRUE(whole(n, record) && whole(n, walked.at(static_cast<std::size_t>(n - 1)))) << n;
      }
      ++reads;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));  // no reader reads without a pause
    }
  });
  std::thread adder(writer, 0), importer(writer, 1);
  adder.join();
  importer.join();
  writing = false;
  reader.join();
  EXPECT_GT(reads, 0);
  const Records records = stored_records(folder);
  ASSERT_EQ(records.size(), 8u);
  for (const auto& lines : stored_lines) {
    for (const std::string& text : lines) {
      const std::int32_t n = text[0] == 'a' ? 1 + std::stoi(text.substr(1)) % 8 : 1;
      const EntryList& in = records.at(static_cast<std::size_t>(n - 1)).list(kLines);
      EXPECT_EQ(std::count(in.begin(), in.end(), text), 1) << text;
    }
  }
  EXPECT_EQ(stored_lines[0].size() + stored_lines[1].size(), 75u);
}

// Where the lock file cannot be created (a read-only folder), a reader reads without the lock and reads again when
// the files changed or a replacement was under way meanwhile; a change, which needs the lock, is refused.
TEST(TwoViews, WithoutALockFileAReaderChecksWhatItReadAndAChangeIsRefused) {
  struct NoLockFile final : EnvWrapper {
    using EnvWrapper::EnvWrapper;
    Status try_lock(const fs::path& path, LockKind, std::uint32_t, std::unique_ptr<FileLock>*) override {
      return Status::io_error("Could not create " + quoted(path) + ": Read-only file system.");
    }
  } env(default_env());
  DatabaseFolder folder;
  folder.store(numbered(3));
  Database db;
  open_database(env, folder.layout(), &db).ignore_error();
  const Records three = numbered(3), two(three.begin() + 1, three.end()), one(three.begin() + 2, three.end());
  const auto put = [&folder](const fs::path& file, const std::string& bytes) {  // as a change puts it: a rename
    write_bytes(folder.work("new"), bytes);
    fs::rename(folder.work("new"), file);
  };
  int reads = 0;
  Records walked;
  // Another program deletes record 1 during the first read.
  EXPECT_TRUE(read_one_state(db, [&] {
                if (++reads == 1) {
                  Database other = folder.fresh();
                  EXPECT_TRUE(write_record_set(other, 1, WriteMode::remove, numbered(1)[0]).is_ok());
                }
                return read_all(db, &walked);
              }).is_ok());
  EXPECT_EQ(std::make_pair(reads, walked), std::make_pair(2, two));
  // Another deletes the next during the first read, and is half done at the second (its journal there, the new
  // data file in place, the old index still): a read beside it waits until it is done.
  reads = 0;
  EXPECT_TRUE(read_one_state(db, [&] {
                if (++reads == 1) {
                  write_bytes(journal_file(folder.layout()), "a replacement under way");
                  put(folder.layout().data_file(), stored(one));
                } else if (reads == 3) {
                  put(folder.layout().index_file(), index_of(one));
                  fs::remove(journal_file(folder.layout()));
                }
                return read_all(db, &walked);
              }).is_ok());
  EXPECT_EQ(std::make_pair(reads, walked), std::make_pair(4, one));
  EXPECT_NE(write_record_set(db, 1, WriteMode::save, kGoal).message().find("Read-only file system"), std::string::npos);
}

}  // namespace
}  // namespace zenfaro
