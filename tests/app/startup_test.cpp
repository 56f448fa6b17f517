// Start-up: the layout, the move of kestrane.pbc, the help prompt, the window loop on 123, the transfer to the game.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "app/editor_options.h"
#include "app/startup.h"
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
  void write_databases() {  // the plug-in's and the game's
    write_bytes(plugin("data/commdb.dat"), "data");
    write_bytes(plugin("data/commdb.idx"), "index");
    write_bytes(game_data("commdb.dat"), "old data");
    write_bytes(game_data("commdb.idx"), "old index");
  }

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
  EXPECT_EQ(read_bytes(game_data("commdb.dat")) + read_bytes(game_data("commdb.idx")), "old dataold index");
  run({false, true});
  EXPECT_EQ(read_bytes(game_data("commdb.dat")) + read_bytes(game_data("commdb.idx")), "dataindex");
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

// Each hand-off to the game is all or nothing, and a failure is told naming only the files the user knows.
TEST_F(Startup, AFailingKestraneInstallationOrTransferLeavesTheGamesFilesAsTheyWere) {
  make_host();
  const auto install = [this] {
    write_bytes(plugin("kestrane.pbc"), "new");
    write_bytes(program("kestrane.pbc"), "old");
    install_kestrane(env_, folder_.path(), prompt_);
    return read_bytes(program("kestrane.pbc"));
  };
  const auto transfer = [this] {
    write_databases();
    transfer_database(env_, Layout{folder_.path(), true}, prompt_);
    return read_bytes(game_data("commdb.dat")) + "|" + read_bytes(game_data("commdb.idx"));
  };
  const struct {
    std::function<std::string()> run;
    std::string before, after;
    std::vector<fs::path> asides;
  } rows[] = {{install, "old", "new", {program("kestrane.pbc.zenfaro-new")}},
              {transfer,
               "old data|old index",
               "data|index",
               {game_data("commdb.dat.zenfaro-new"), game_data("commdb.idx.zenfaro-new"),
                game_data("commdb.dat.zenfaro-old")}}};
  for (const auto& row : rows) {
    const auto hand_off = [&](int fail_at) {  // with the operation `fail_at` failing, or none
      env_.reset();
      env_.fail_at = fail_at;
      prompt_ = ScriptedPrompt();
      return row.run();
    };
    ASSERT_EQ(hand_off(-1), row.after);
    EXPECT_TRUE(prompt_.messages.empty());
    const std::vector<std::string> operations = env_.log;
    for (std::size_t i = 0; i < operations.size(); ++i) {
      SCOPED_TRACE("failing: " + operations[i]);
      const std::string result = hand_off(static_cast<int>(i));
      EXPECT_TRUE(result == row.before || result == row.after) << result;
      EXPECT_EQ(prompt_.messages.size(), result == row.before ? 1u : 0u);
      if (result == row.before) {
        EXPECT_EQ(prompt_.messages[0].text.find("zenfaro-"), std::string::npos);
      }
      // A source kept for the next start; nothing left beside the game's files but what a failed removal left.
      const bool source_kept = result == "old" || operations[i] == "remove kestrane.pbc";
      EXPECT_TRUE(row.before != "old" || is_file(plugin("kestrane.pbc")) == source_kept);
      for (const fs::path& aside : row.asides)
        EXPECT_TRUE(!is_file(aside) || operations[i] == "remove " + aside.filename().u8string()) << aside;
    }
  }
}

}  // namespace
}  // namespace zenfaro
