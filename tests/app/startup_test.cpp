// Start-up: the layout, the move of kestrane.pbc, the help prompt, the window loop on 123, the transfer to the game.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <thread>

#include "app/editor_options.h"
#include "app/startup.h"
#include "core/replace_files.h"
#include "core/write_record_set.h"
#include "editor/end_code.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

class Startup : public ::testing::Test {
 protected:
  void make_host() { write_bytes(folder_ / "program" / "vask.exe", "game"); }
  fs::path plugin(const char* name) const { return folder_.path() / "plugins" / "zenfaro" / name; }
  fs::path program(const char* name) const { return folder_.path() / "program" / name; }
  fs::path game_data(const char* name) const { return folder_.path() / "data" / name; }
  static std::string pair_of(const std::vector<Record>& records) { return stored(records) + "|" + index_of(records); }
  std::string game_pair() const {
    return read_bytes(game_data("commdb.dat")) + "|" + read_bytes(game_data("commdb.idx"));
  }
  void write_databases() {  // the plug-in's and the game's, the game's data folder holding nothing else
    fs::remove_all(folder_.path() / "data");
    write_bytes(plugin("data/commdb.dat"), stored(kPlugin));
    write_bytes(plugin("data/commdb.idx"), index_of(kPlugin));
    write_bytes(game_data("commdb.dat"), stored(kGame));
    write_bytes(game_data("commdb.idx"), index_of(kGame));
  }
  // What the transfer may leave in the game's data folder besides the pair: nothing, once the next start is done.
  std::vector<fs::path> transfer_leftovers() const {
    return {game_data("commdb.dat.zenfaro-new"), game_data("commdb.idx.zenfaro-new"),
            game_data("commdb.dat.zenfaro-old"), game_data("zenfaro.jrn"), game_data("zenfaro.jrn.tmp")};
  }
  // The next start: what it tells about the game's pair.
  std::vector<Message> next_start() {
    ScriptedPrompt prompt;
    check_game_database(default_env(), Layout{folder_.path(), true}, prompt);
    return prompt.messages;
  }

  const std::vector<Record> kPlugin = {kGoal, make_record({"b"}, {}, {"line"})};
  const std::vector<Record> kGame = {make_record({"old"}, {}, {})};

  // Runs start-up with `answers`, logging the help and each window, which returns the next queued end code (or 1).
  void run(std::deque<bool> answers = {}) {
    prompt_ = ScriptedPrompt();
    prompt_.answers = std::move(answers);
    StartupHooks hooks;
    hooks.run_window = [this](const Layout& layout) {
      events_.push_back((layout.host ? "window host " : "window standalone ") + layout.data_file().u8string());
      const int code = end_codes_.empty() ? kEndQuit : end_codes_.front();
      if (!end_codes_.empty()) end_codes_.pop_front();
      return code;
    };
    hooks.show_help = [this](const Layout& layout) { events_.push_back("help " + help_file(layout).u8string()); };
    EXPECT_EQ(run_startup(env_, folder_.path(), prompt_, hooks), 0);
    for (const Question& question : prompt_.questions) events_.push_back(question.caption);
  }

  TempFolder folder_;
  FaultyEnv env_;
  ScriptedPrompt prompt_;
  std::deque<int> end_codes_;
  std::vector<std::string> events_;
};

TEST_F(Startup, TheLayoutDecidesTheDatabaseTheHelpFileAndTheTransfer) {
  const std::string standalone = "window standalone " + (folder_ / "commdb.dat").u8string();
  const std::string host = "window host " + plugin("data/commdb.dat").make_preferred().u8string();
  run({true});
  EXPECT_EQ(events_,
            (std::vector<std::string>{"help " + (folder_ / "cmthelp.txt").u8string(), standalone, "See help file ?"}));
  const Question& help = prompt_.questions.front();
  EXPECT_EQ(help.text,
            "This is a beta version of the Pelmar 7 Ostrin Commentary Engine. Do you wish to be shown a "
            "help text on what to do ?");
  EXPECT_EQ(std::make_pair(help.default_yes, help.icon), std::make_pair(true, Icon::none));
  // The host layout: windows reopen while they end with 123; the transfer question comes once, after the last.
  make_host();
  for (const int last : {kEndQuit, kEndClosed}) {
    events_.clear();
    end_codes_ = {kEndImported, kEndImported, last};
    run();
    EXPECT_EQ(events_, (std::vector<std::string>{host, host, host, "See help file ?", "Transfer files ?"}));
    EXPECT_EQ(prompt_.questions.back().text,
              "Do you want to transfer the latest commentary database into your Pelmar ?");
    EXPECT_TRUE(prompt_.questions.back().default_yes);
  }
  EXPECT_EQ(help_command_line(Layout{folder_.path(), true}), "notepad.exe plugins\\zenfaro\\cmthelp.txt");
  EXPECT_EQ(help_command_line(Layout{folder_.path(), false}), "notepad.exe cmthelp.txt");
  // No to the transfer leaves the game's files untouched; Yes copies both.
  write_databases();
  run({false, false});
  EXPECT_EQ(game_pair(), pair_of(kGame));
  run({false, true});
  EXPECT_EQ(game_pair(), pair_of(kPlugin));
  EXPECT_TRUE(prompt_.messages.empty());
}

// The layout's help file first (the plug-in folder's in the host layout), then the copy installed with the program.
TEST_F(Startup, TheHelpFileIsTheLayoutsOwnElseTheInstalledOne) {
  const fs::path program = folder_ / "usr" / "bin", installed = folder_ / "usr" / "share" / "zenfaro" / "cmthelp.txt";
  const fs::path beside = program / "cmthelp.txt", own = folder_ / "cmthelp.txt", plugin_own = plugin("cmthelp.txt");
  const struct {
    bool host;
    std::vector<fs::path> present;
    fs::path shown;
  } rows[] = {{false, {own, beside, installed}, own},
              {false, {beside, installed}, beside},  // the Windows folder: beside the program
              {false, {installed}, installed},       // a Linux installation
              {false, {}, own},                      // none: the viewer says the layout's cannot be read
              {true, {own, installed, plugin_own}, plugin_own},
              {true, {own, installed}, installed}};
  for (const auto& row : rows) {
    for (const fs::path& file : {own, beside, installed, plugin_own}) fs::remove(file);
    for (const fs::path& file : row.present) write_bytes(file, "help");
    EXPECT_EQ(find_help_file(env_, Layout{folder_.path(), row.host}, program), row.shown) << row.shown;
  }
  EXPECT_EQ(find_help_file(env_, Layout{folder_.path(), false}, {}), own);
}

// -h is --help; an unknown option is a usage error; the toolkit's options and plain arguments pass.
TEST(EditorOptions, HelpVersionChooseFolderAndUnknownOptions) {
  const struct {
    std::vector<const char*> arguments;
    bool help, version, choose_folder;
    std::string unknown;
  } rows[] = {{{}, false, false, false, ""},
              {{"-h"}, true, false, false, ""},
              {{"--help"}, true, false, false, ""},
              {{"--version"}, false, true, false, ""},
              {{"--choose-folder", "folder"}, false, false, true, ""},
              {{"--hlep"}, false, false, false, "--hlep"},
              {{"-x", "--y"}, false, false, false, "-x"},
              {{"-help"}, false, false, false, "-help"},
              {{"-platform", "offscreen", "--style=fusion", "-reverse", "-"}, false, false, false, ""},
              {{"-style", "-bogus"}, false, false, false, ""},  // the style's name, however it looks
              {{"-reverse=1"}, false, false, false, "-reverse=1"}};
  for (const auto& row : rows) {
    std::vector<const char*> argv{"zenfaro"};
    argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
    const EditorOptions options = parse_editor_options(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(std::make_tuple(options.help, options.version, options.choose_folder, options.unknown),
              std::make_tuple(row.help, row.version, row.choose_folder, row.unknown))
        << (row.arguments.empty() ? "" : row.arguments[0]);
  }
  EXPECT_EQ(editor_usage_error("--hlep"),
            "zenfaro: unknown option --hlep\nUsage: zenfaro [--choose-folder] | --help | --version\n");
  // The help names the plug-in's database folder as the system writes paths.
  const std::string folder = (fs::path("plugins") / "zenfaro" / "data" / "").make_preferred().u8string();
  EXPECT_NE(editor_help_text().find("database in " + folder + ";"), std::string::npos) << editor_help_text();
  EXPECT_NE(editor_help_text().find("-h, --help"), std::string::npos);
}

TEST_F(Startup, KestraneMovesIntoTheGameOnceAndOnlyInTheHostLayout) {
  write_bytes(plugin("kestrane.pbc"), "new kestrane");
  write_bytes(program("kestrane.pbc"), "old");
  run();  // standalone: nothing moves
  EXPECT_EQ(read_bytes(program("kestrane.pbc")), "old");
  make_host();
  run();
  EXPECT_TRUE(read_bytes(program("kestrane.pbc")) == "new kestrane" && !is_file(plugin("kestrane.pbc")));
  env_.log.clear();
  run();  // a second start copies nothing
  for (const std::string& operation : env_.log) EXPECT_EQ(operation.find("kestrane"), std::string::npos);
}

// Killed anywhere (losing what was not made durable), the game has the old kestrane.pbc or the new one, and the
// plug-in's copy stays until the game's is there for good.
TEST_F(Startup, AKilledKestraneInstallationLosesNeitherCopy) {
  make_host();
  const auto install = [this](int kill_at, FaultyEnv::Crash mode) {
    write_bytes(plugin("kestrane.pbc"), "new");
    write_bytes(program("kestrane.pbc"), "old");
    env_.reset();
    env_.kill_at = kill_at;
    env_.crash_mode = mode;
    try {
      install_kestrane(env_, folder_.path(), prompt_);
    } catch (const Killed&) {}
    env_.crash();
  };
  install(-1, FaultyEnv::Crash::drop_all);
  const std::vector<std::string> operations = env_.log;
  for (const FaultyEnv::Crash mode :
       {FaultyEnv::Crash::drop_all, FaultyEnv::Crash::keep_removals, FaultyEnv::Crash::keep_names}) {
    for (std::size_t i = 0; i <= operations.size(); ++i) {
      SCOPED_TRACE("killed before: " + (i < operations.size() ? operations[i] : "the end"));
      install(i < operations.size() ? static_cast<int>(i) : -1, mode);
      const std::string installed = read_bytes(program("kestrane.pbc"));
      EXPECT_TRUE(installed == "new" || (installed == "old" && read_bytes(plugin("kestrane.pbc")) == "new"));
    }
  }
}

// The installation is all or nothing, and a failure is told naming only the files the user knows.
TEST_F(Startup, AFailingKestraneInstallationLeavesTheGamesFileAsItWas) {
  make_host();
  const auto install = [this](int fail_at) {  // with the operation `fail_at` failing, or none
    env_.reset();
    env_.fail_at = fail_at;
    prompt_ = ScriptedPrompt();
    write_bytes(plugin("kestrane.pbc"), "new");
    write_bytes(program("kestrane.pbc"), "old");
    install_kestrane(env_, folder_.path(), prompt_);
    return read_bytes(program("kestrane.pbc"));
  };
  ASSERT_EQ(install(-1), "new");
  EXPECT_TRUE(prompt_.messages.empty());
  const std::vector<std::string> operations = env_.log;
  for (std::size_t i = 0; i < operations.size(); ++i) {
    SCOPED_TRACE("failing: " + operations[i]);
    const std::string result = install(static_cast<int>(i));
    EXPECT_TRUE(result == "old" || result == "new") << result;
    EXPECT_EQ(prompt_.messages.size(), result == "old" ? 1u : 0u);
    EXPECT_TRUE(result != "old" || prompt_.messages[0].text.find("zenfaro-") == std::string::npos);
    // The plug-in's copy is kept for the next start until the game's is there for good.
    const bool source_kept =
        result == "old" || operations[i] == "remove kestrane.pbc" || operations[i] == "syncdir program";
    EXPECT_EQ(is_file(plugin("kestrane.pbc")), source_kept);
    EXPECT_TRUE(!is_file(program("kestrane.pbc.zenfaro-new")) || operations[i] == "remove kestrane.pbc.zenfaro-new");
  }
}

// Whatever fails, the game's pair is the old one or the new one, whole, by the end of the next start; the message
// names only the files the user knows, and says whether the next start completes the transfer.
TEST_F(Startup, AFailingTransferLeavesTheGameTheOldPairOrTheNew) {
  make_host();
  const Layout layout{folder_.path(), true};
  const auto transfer = [&](int fail_at, int fail_too) {
    write_databases();
    env_.reset();
    env_.fail_at = fail_at;
    env_.fail_too = fail_too;
    prompt_ = ScriptedPrompt();
    transfer_database(env_, layout, prompt_);
    return game_pair();
  };
  ASSERT_EQ(transfer(-1, -1), pair_of(kPlugin));
  EXPECT_TRUE(prompt_.messages.empty());
  const std::vector<std::string> operations = env_.log;
  for (std::size_t i = 0; i < operations.size(); ++i) {
    transfer(static_cast<int>(i), -1);
    const std::size_t length = env_.log.size();
    for (std::size_t j = i; j < length; ++j) {  // one failure (j == i) or two
      const std::string result = transfer(static_cast<int>(i), j > i ? static_cast<int>(j) : -1);
      const std::vector<std::string> ran = env_.log;
      SCOPED_TRACE("failing: " + ran[i] + (j > i ? " and " + ran[j] : ""));
      const bool told = !prompt_.messages.empty();
      const bool later = told && prompt_.messages[0].text.find("the next time the editor starts") != std::string::npos;
      // Told "left as they were": the old pair; told nothing: the new one; told "next time": the next start decides.
      EXPECT_TRUE(later || result == (told ? pair_of(kGame) : pair_of(kPlugin)));
      EXPECT_TRUE(!told || prompt_.messages[0].text.find("zenfaro-") == std::string::npos) << prompt_.messages[0].text;
      EXPECT_TRUE(next_start().empty());
      EXPECT_TRUE(game_pair() == (later ? game_pair() : result) &&
                  (game_pair() == pair_of(kGame) || game_pair() == pair_of(kPlugin)));
      for (const fs::path& leftover : transfer_leftovers()) EXPECT_FALSE(is_file(leftover)) << leftover;
    }
  }
}

// Killed anywhere (losing what was not made durable, or all of it but the removals), the transfer is finished or
// undone by the next start: the game never keeps a data file and an index of two states.
TEST_F(Startup, AKilledTransferIsFinishedOrUndoneByTheNextStart) {
  make_host();
  const Layout layout{folder_.path(), true};
  write_databases();
  transfer_database(env_, layout, prompt_);
  const std::vector<std::string> operations = env_.log;
  const auto renamed = std::find(operations.begin(), operations.end(), "rename zenfaro.jrn.tmp -> zenfaro.jrn");
  ASSERT_NE(renamed, operations.end());
  for (const FaultyEnv::Crash mode :
       {FaultyEnv::Crash::drop_all, FaultyEnv::Crash::keep_removals, FaultyEnv::Crash::keep_names}) {
    // The change is decided by the journal's rename, made durable by its folder's sync (or at once, where names reach
    // the disk unsynced).
    const std::size_t decided =
        static_cast<std::size_t>(renamed - operations.begin()) + (mode == FaultyEnv::Crash::keep_names ? 0 : 1);
    for (std::size_t i = 0; i <= operations.size(); ++i) {
      SCOPED_TRACE("killed before: " + (i < operations.size() ? operations[i] : "the end"));
      write_databases();
      env_.reset();
      env_.crash_mode = mode;
      env_.kill_at = static_cast<int>(i);
      try {
        transfer_database(env_, layout, prompt_);
      } catch (const Killed&) {}
      env_.crash();
      EXPECT_TRUE(next_start().empty());
      EXPECT_EQ(game_pair(), i > decided ? pair_of(kPlugin) : pair_of(kGame));
      for (const fs::path& leftover : transfer_leftovers()) EXPECT_FALSE(is_file(leftover)) << leftover;
    }
  }
}

// The transfer copies one state of the plug-in's database while another program saves into it: record 1 grows and
// shrinks, so the index of one state never fits the data file of another.
TEST_F(Startup, TheTransferTakesOneStateOfTheDatabaseBesideASavingProgram) {
  make_host();
  const Layout layout{folder_.path(), true};
  write_databases();
  const std::vector<Record> many(3000, make_record({"trigger"}, {}, {std::string(80, 'x')}));
  write_bytes(plugin("data/commdb.dat"), stored(many));
  write_bytes(plugin("data/commdb.idx"), index_of(many));
  std::atomic<bool> done{false};
  std::thread saver([&] {
    FaultyEnv quick;  // which waits for no disk
    Database db;
    open_database(quick, layout, &db).ignore_error();
    for (int k = 0; !done; ++k) {
      write_record_set(db, 1, WriteMode::save, make_record({"t"}, {}, {std::string(1 + k % 7, 'y')})).ignore_error();
      std::this_thread::sleep_for(std::chrono::microseconds(500));  // as a script's loop lets others in
    }
  });
  int mismatched = 0;
  for (int transfer = 0; transfer < 40; ++transfer) {
    ScriptedPrompt prompt;
    env_.reset();
    transfer_database(env_, layout, prompt);
    Database game;
    load_index(game, game_data("commdb.idx"), game_data("commdb.dat"));
    mismatched += check_database(game).findings.empty() ? 0 : 1;
  }
  done = true;
  saver.join();
  EXPECT_EQ(mismatched, 0);
}

// At a start in the host layout, a game's pair whose index does not match its data file is reported.
TEST_F(Startup, TheGamesPairIsCheckedAtEveryStart) {
  make_host();
  write_databases();
  EXPECT_TRUE(next_start().empty());
  write_bytes(game_data("commdb.idx"), index_of({kGoal, kGoal}));
  const std::vector<Message> told = next_start();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].text.find("is damaged: the index lists 2 records, but the data file holds 1. Transfer the "
                              "database into your Pelmar again when you quit."),
            std::string::npos)
      << told[0].text;
}

}  // namespace
}  // namespace zenfaro
