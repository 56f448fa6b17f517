#include "editor/exchange_commands.h"

#include "exchange/export_commentary.h"

namespace zenfaro {

FileRequest export_request() {
  return {FileDialogKind::save, "Commentary Export", "Commentary Exports", "*.CMX", "CMX", true};
}

FileRequest import_request() {
  return {FileDialogKind::open, "Cross-Reference Output File", "Cross References", "*.CMX", "CMX", false};
}

ExportOutcome export_records(EditorModel& model, const std::string& path, const std::vector<std::int32_t>* selection) {
  ExportOutcome outcome;
  const EditorModel::Running running(model);
  // What is on screen goes with the export, as it goes with a step to
  // another record; kept on screen unsaved, it keeps the export from running.
  if (!model.save_pending()) return outcome;
  const Status status = export_commentary(model.mutable_database(), std::filesystem::u8path(path), &outcome.records,
                                          model.exchange_progress(), selection);
  outcome.done = status.is_ok();
  outcome.message = outcome.done ? Message{export_message(outcome.records, path)}
                                 : Message{status.message(), kDefaultCaption, Icon::error};
  return outcome;
}

ImportOutcome import_records(EditorModel& model, const std::string& path, const Today& today) {
  const EditorModel::Running running(model);
  if (!model.save_pending()) return {ImportResult::refused, {}, "", Icon::none};
  ImportOutcome outcome =
      import_commentary(model.mutable_database(), path, model.prompt(), today, model.exchange_progress());
  if (outcome.result == ImportResult::completed && model.record_count() >= 1) model.show_record(1);
  return outcome;
}

void export_command(EditorModel& model) {
  const std::optional<std::string> path = model.prompt().choose_file(export_request());
  if (!path || path->empty()) return;
  const ExportOutcome outcome = export_records(model, *path);
  if (!outcome.message.text.empty()) model.prompt().tell(outcome.message);
}

bool import_command(EditorModel& model) {
  const std::optional<std::string> path = model.prompt().choose_file(import_request());
  if (!path || path->empty()) return false;
  const ImportOutcome outcome = import_records(model, *path);
  if (!outcome.message.empty()) model.prompt().tell({outcome.message, kDefaultCaption, outcome.icon});
  return outcome.result == ImportResult::completed;
}

}  // namespace zenfaro
