#pragma once
// The two exchange buttons of the main window, without the window: each asks
// for a file through the prompt (the window shows a file dialog there), then
// runs the export or the import on the model's database.
#include "model/editor_model.h"

namespace zenfaro {

// "E&xport Commentary": the save request "Commentary Export", then the
// export and its closing message (or the reason it failed).
void export_command(EditorModel& model);

// "&Import Commentary": the open request "Cross-Reference Output File", then
// the import. True when the import completed: the window must then end with
// kEndImported so that start-up opens it again on the new database.
bool import_command(EditorModel& model);

// The two file requests.
FileRequest export_request();
FileRequest import_request();

}  // namespace zenfaro
