#pragma once
// The two exchange buttons of the main window, and the same commands for
// the command-line tool. Both run the export and the import on the model's
// database and return what happened; the window tells it in a message box,
// the command line prints it.
#include <cstdint>
#include <string>
#include <vector>

#include "editor/editor_model.h"
#include "exchange/import_commentary.h"

namespace zenfaro {

struct ExportOutcome {
  bool done = false;
  std::int32_t records = 0;
  // The closing message, or why the export failed (empty when a pending
  // edit was not saved: that was told or asked already).
  Message message;
};

// Both first save a pending edit as a step to another record does (the same
// check and question), so that what is on screen goes with them; when it is
// not saved, they do nothing more.
//
// Exports the stored records to `path` (UTF-8, as chosen): all of them, or
// those of `selection` in its order.
ExportOutcome export_records(EditorModel& model, const std::string& path,
                             const std::vector<std::int32_t>* selection = nullptr);
// Imports the exchange file `path`; the confirmation is asked through the
// model's prompt. After a completed import the model shows record 1. A
// pending edit that was not saved gives `refused` with no message.
ImportOutcome import_records(EditorModel& model, const std::string& path, const Today& today = {});

// "E&xport Commentary": the save request "Commentary Export", then the
// export and its closing message (or the reason it failed).
void export_command(EditorModel& model);

// "&Import Commentary": the open request "Cross-Reference Output File", then
// the import and, when it did not complete, why. True when the import
// completed: the window must then end with kEndImported so that start-up
// opens it again on the new database.
bool import_command(EditorModel& model);

// The two file requests.
FileRequest export_request();
FileRequest import_request();

}  // namespace zenfaro
