// The two exchange buttons driven from the editing model: the file request,
// the closing message or the reason for a failure, and what the record on
// screen keeps.
#include "ui/model/exchange_commands.h"

#include "tests/exchange/exchange_fixture.h"

namespace zenfaro {
namespace {

using namespace testing;

const Record kGoal = make_record({"goal"}, {}, {"line"});

class ExchangeCommands : public ExchangeFolder {
 protected:
  // Opens the editor on one stored record; with `pending`, an added
  // commentary line waits unsaved on screen.
  EditorModel& open_model(bool pending = false) {
    store({kGoal});
    model_ = std::make_unique<EditorModel>(env_, db_.layout, prompt_);
    model_->open();
    if (pending) {
      EXPECT_TRUE(model_->add_entry(ListKind::lines, "pending"));
    }
    return *model_;
  }
  std::unique_ptr<EditorModel> model_;
};

TEST_F(ExchangeCommands, ExportShowsTheClosingMessageWithTheChosenPath) {
  EditorModel& model = open_model();
  prompt_.files = {path_of("out.CMX")};
  export_command(model);
  ASSERT_EQ(prompt_.file_requests.size(), 1u);
  EXPECT_EQ(prompt_.file_requests[0].title, "Commentary Export");
  EXPECT_TRUE(prompt_.file_requests[0].confirm_overwrite);
  ASSERT_EQ(prompt_.messages.size(), 1u);
  EXPECT_EQ(prompt_.messages[0].text, "1 commentary entries were exported to " + path_of("out.CMX") + ".");
  EXPECT_EQ(prompt_.messages[0].caption, kDefaultCaption);
  EXPECT_EQ(prompt_.messages[0].icon, Icon::none);
}

TEST_F(ExchangeCommands, AFailedExportShowsAnErrorInsteadOfTheClosingMessage) {
  EditorModel& model = open_model();
  prompt_.files = {path_of("commdb.dat")};
  export_command(model);
  ASSERT_EQ(prompt_.messages.size(), 1u);
  EXPECT_EQ(prompt_.messages[0].icon, Icon::error);
  EXPECT_EQ(prompt_.messages[0].text.find("commentary entries were exported"), std::string::npos);
}

TEST_F(ExchangeCommands, PendingAdditionsAreNotExportedAndStayPending) {
  EditorModel& model = open_model(true);
  prompt_.files = {path_of("out.CMX")};
  export_command(model);
  EXPECT_EQ(file("out.CMX"), exchange_of({kGoal}));
  EXPECT_EQ(model.pending(), 1);
  EXPECT_EQ(model.list(ListKind::lines).size(), 2u);
}

TEST_F(ExchangeCommands, ACompletedImportShowsRecordOneAndEndsTheWindow) {
  EditorModel& model = open_model(true);
  write_bytes(folder_ / "in.CMX", exchange_of({make_record({"goal"}, {}, {"more"})}));
  prompt_.files = {path_of("in.CMX")};
  prompt_.answers = {true};
  EXPECT_TRUE(import_command(model));
  EXPECT_EQ(prompt_.file_requests[0].title, "Cross-Reference Output File");
  EXPECT_EQ(model.pending(), 0);
  EXPECT_EQ(model.record_count(), 1);
  EXPECT_EQ(model.working_record(), make_record({"goal"}, {}, {"line", "more"}));
}

TEST_F(ExchangeCommands, ADeclinedImportLeavesTheRecordOnScreenPending) {
  EditorModel& model = open_model(true);
  write_bytes(folder_ / "in.CMX", exchange_of({}));
  prompt_.files = {path_of("in.CMX")};
  EXPECT_FALSE(import_command(model));
  EXPECT_EQ(model.pending(), 1);
  EXPECT_EQ(model.list(ListKind::lines).size(), 2u);
}

}  // namespace
}  // namespace zenfaro
