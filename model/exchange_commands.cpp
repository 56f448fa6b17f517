#include "model/exchange_commands.h"

#include "exchange/export_commentary.h"
#include "exchange/import_commentary.h"

namespace zenfaro {

FileRequest export_request() {
  return {FileDialogKind::save, "Commentary Export", "Commentary Exports", "*.CMX", "CMX", true};
}

FileRequest import_request() {
  return {FileDialogKind::open, "Cross-Reference Output File", "Cross References", "*.CMX", "CMX", false};
}

void export_command(EditorModel& model) {
  const std::optional<std::string> path = model.prompt().choose_file(export_request());
  if (!path || path->empty()) return;
  std::int32_t records = 0;
  const Status status = export_commentary(model.database(), fs::u8path(*path), &records);
  if (status.is_ok()) {
    model.prompt().tell({export_message(records, *path)});
  } else {
    model.prompt().tell({status.message(), kDefaultCaption, Icon::error});
  }
}

bool import_command(EditorModel& model) {
  const std::optional<std::string> path = model.prompt().choose_file(import_request());
  if (!path || path->empty()) return false;
  const ImportResult result = import_commentary(model.mutable_database(), *path, model.prompt());
  if (result != ImportResult::completed) return false;
  if (model.record_count() >= 1) model.show_record(1);
  return true;
}

}  // namespace zenfaro
