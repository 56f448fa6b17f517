// Start-up: the layout decision, the move of kestrane.pbc, the help prompt,
// the window loop on end code 123 and the transfer into the game.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/startup.h"
#include "tests/support/faulty_env.h"
#include "tests/support/scripted_prompt.h"
#include "tests/support/temp_folder.h"
#include "ui/model/editor_model.h"

namespace zenfaro {
namespace {

using namespace testing;

const char* const kHelpCaption = "See help file ?";
const char* const kTransferCaption = "Transfer files ?";

class Startup : public ::testing::Test {
 protected:
  void make_host() { write_bytes(folder_ / "program" / "vask.exe", "game"); }
  // The host layout with a database in the plug-in and an older data file
  // in the game.
  void make_host_with_database() {
    make_host();
    write_bytes(plugin("data/commdb.dat"), "data");
    write_bytes(plugin("data/commdb.idx"), "index");
    write_bytes(game_data("commdb.dat"), "old data");
  }
  fs::path plugin(const char* name) const { return folder_.path() / "plugins" / "zenfaro" / name; }
  fs::path program(const char* name) const { return folder_.path() / "program" / name; }
  fs::path game_data(const char* name) const { return folder_.path() / "data" / name; }

  // Runs start-up; the window returns the queued end codes (then 1).
  int run() {
    StartupHooks hooks;
    hooks.run_window = [this](const Layout& layout) {
      events_.push_back(std::string("window ") + (layout.host ? "host" : "standalone"));
      layouts_.push_back(layout);
      if (end_codes_.empty()) return static_cast<int>(kEndQuit);
      const int code = end_codes_.front();
      end_codes_.pop_front();
      return code;
    };
    hooks.show_help = [this](const Layout& layout) { events_.push_back("help " + help_file(layout).u8string()); };
    return run_startup(env_, folder_.path(), prompt_, hooks);
  }

  std::vector<std::string> captions() const {
    std::vector<std::string> result;
    for (const Question& question : prompt_.questions) result.push_back(question.caption);
    return result;
  }

  TempFolder folder_;
  FaultyEnv env_;
  ScriptedPrompt prompt_;
  std::deque<int> end_codes_;
  std::vector<std::string> events_;
  std::vector<Layout> layouts_;
};

TEST_F(Startup, StandaloneLayoutUsesTheWorkingFolderAndNeverOffersTheTransfer) {
  write_bytes(plugin("kestrane.pbc"), "K");
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(layouts_.size(), 1u);
  EXPECT_FALSE(layouts_[0].host);
  EXPECT_EQ(layouts_[0].data_file(), folder_ / "commdb.dat");
  EXPECT_EQ(captions(), (std::vector<std::string>{kHelpCaption}));
  EXPECT_TRUE(is_file(plugin("kestrane.pbc")));
  EXPECT_FALSE(is_file(program("kestrane.pbc")));
}

TEST_F(Startup, HelpPromptIsTheFirstQuestionWithYesAsDefaultAndNoIcon) {
  run();
  ASSERT_FALSE(prompt_.questions.empty());
  const Question& help = prompt_.questions.front();
  EXPECT_EQ(help.text,
            "This is a beta version of the Pelmar 7 Ostrin Commentary Engine. Do you wish to be shown a help text "
            "on what to do ?");
  EXPECT_EQ(help.caption, kHelpCaption);
  EXPECT_TRUE(help.default_yes);
  EXPECT_EQ(help.icon, Icon::none);
}

TEST_F(Startup, YesToHelpShowsTheHelpFileBeforeTheWindowOpens) {
  prompt_.answers = {true};
  run();
  const std::string help = "help " + (folder_ / "cmthelp.txt").u8string();
  EXPECT_EQ(events_, (std::vector<std::string>{help, "window standalone"}));
}

TEST_F(Startup, NoToHelpGoesStraightToTheWindow) {
  run();
  EXPECT_EQ(events_, (std::vector<std::string>{"window standalone"}));
}


TEST_F(Startup, HelpFileAndCommandLinesOfBothLayouts) {
  EXPECT_EQ(help_file(Layout{folder_.path(), true}), plugin("cmthelp.txt"));
  EXPECT_EQ(help_command_line(Layout{folder_.path(), true}), "notepad.exe plugins\\zenfaro\\cmthelp.txt");
  EXPECT_EQ(help_command_line(Layout{folder_.path(), false}), "notepad.exe cmthelp.txt");
}



TEST_F(Startup, KestraneMovesIntoTheProgramFolderReplacingAnOldCopy) {
  make_host();
  write_bytes(plugin("kestrane.pbc"), "new kestrane");
  write_bytes(program("kestrane.pbc"), "old");
  run();
  EXPECT_EQ(read_bytes(program("kestrane.pbc")), "new kestrane");
  EXPECT_FALSE(is_file(plugin("kestrane.pbc")));
}

TEST_F(Startup, ASecondStartCopiesNothing) {
  make_host();
  write_bytes(plugin("kestrane.pbc"), "K");
  run();
  env_.log.clear();
  run();
  for (const std::string& operation : env_.log) EXPECT_EQ(operation.find("kestrane"), std::string::npos) << operation;
  EXPECT_EQ(read_bytes(program("kestrane.pbc")), "K");
}

TEST_F(Startup, AFailingKestraneInstallationLeavesBothCopiesAsTheyWereAndSaysSo) {
  const auto install = [this](int fail_at) {
    fs::remove_all(folder_.path());
    make_host();
    write_bytes(plugin("kestrane.pbc"), "new");
    write_bytes(program("kestrane.pbc"), "old");
    env_.reset();
    env_.fail_at = fail_at;
    prompt_ = ScriptedPrompt();
    install_kestrane(env_, folder_.path(), prompt_);
  };
  install(-1);
  const std::vector<std::string> operations = env_.log;
  for (std::size_t i = 0; i < operations.size(); ++i) {
    SCOPED_TRACE("failing: " + operations[i]);
    install(static_cast<int>(i));
    const bool installed = read_bytes(program("kestrane.pbc")) == "new";
    EXPECT_TRUE(installed || read_bytes(program("kestrane.pbc")) == "old");
    EXPECT_EQ(is_file(plugin("kestrane.pbc")), !installed || operations[i].rfind("remove", 0) == 0);
    EXPECT_EQ(prompt_.messages.size(), installed ? 0u : 1u);
    EXPECT_FALSE(is_file(program("kestrane.pbc.zenfaro-new")));
  }
}

TEST_F(Startup, TheWindowReopensWhileItEndsWith123) {
  make_host();
  end_codes_ = {kEndImported, kEndImported, kEndClosed};
  prompt_.answers = {false, false};
  run();
  EXPECT_EQ(layouts_.size(), 3u);
  // The help prompt once at the start, the transfer prompt once at the end.
  EXPECT_EQ(captions(), (std::vector<std::string>{kHelpCaption, kTransferCaption}));
}

TEST_F(Startup, TheCloseBoxLeadsToTheTransferPromptAsQuitDoes) {
  make_host();
  end_codes_ = {kEndClosed};
  run();
  EXPECT_EQ(captions(), (std::vector<std::string>{kHelpCaption, kTransferCaption}));
  const Question& transfer = prompt_.questions.back();
  EXPECT_EQ(transfer.text, "Do you want to transfer the latest commentary database into your Pelmar ?");
  EXPECT_TRUE(transfer.default_yes);
  EXPECT_EQ(transfer.icon, Icon::none);
}

TEST_F(Startup, YesToTransferCopiesBothDatabaseFilesIntoTheGame) {
  make_host_with_database();
  prompt_.answers = {false, true};
  run();
  EXPECT_EQ(read_bytes(game_data("commdb.dat")), "data");
  EXPECT_EQ(read_bytes(game_data("commdb.idx")), "index");
  EXPECT_TRUE(prompt_.messages.empty());
  EXPECT_FALSE(is_file(game_data("commdb.dat.zenfaro-new")));
}

TEST_F(Startup, NoToTransferLeavesTheGameFilesUntouched) {
  make_host_with_database();
  run();
  EXPECT_EQ(read_bytes(game_data("commdb.dat")), "old data");
  EXPECT_FALSE(is_file(game_data("commdb.idx")));
}

TEST_F(Startup, AFailingTransferLeavesTheGamesPairAsItWasAndNamesOnlyItsFiles) {
  const auto transfer = [this](int fail_at) {
    fs::remove_all(folder_.path());
    make_host_with_database();
    write_bytes(game_data("commdb.idx"), "old index");
    env_.reset();
    env_.fail_at = fail_at;
    prompt_ = ScriptedPrompt();
    transfer_database(env_, Layout{folder_.path(), true}, prompt_);
  };
  transfer(-1);
  const std::vector<std::string> operations = env_.log;
  for (std::size_t i = 0; i < operations.size(); ++i) {
    SCOPED_TRACE("failing: " + operations[i]);
    transfer(static_cast<int>(i));
    const std::string pair = read_bytes(game_data("commdb.dat")) + "|" + read_bytes(game_data("commdb.idx"));
    if (pair == "old data|old index") {
      ASSERT_EQ(prompt_.errors(), 1);
      EXPECT_NE(prompt_.messages[0].text.find("The game's files were left as they were."), std::string::npos);
      EXPECT_EQ(prompt_.messages[0].text.find("zenfaro-"), std::string::npos) << prompt_.messages[0].text;
    } else {
      EXPECT_EQ(pair, "data|index");
      EXPECT_EQ(prompt_.errors(), 0);
    }
    for (const char* aside : {"commdb.dat.zenfaro-new", "commdb.idx.zenfaro-new", "commdb.dat.zenfaro-old"}) {
      // Only the failing removal of a file can leave it behind.
      EXPECT_TRUE(!is_file(game_data(aside)) || operations[i] == "remove " + std::string(aside)) << aside;
    }
  }
}

}  // namespace
}  // namespace zenfaro
