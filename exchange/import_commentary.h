#pragma once
// Import Commentary: brings the records of an exchange file into the
// database, recognising stored records by their fingerprints, appending new
// commentary lines to the records they extend, adding new records at the end
// and removing duplicate entries, then replacing the database files.
#include <ctime>
#include <functional>
#include <string>

#include "core/database.h"
#include "core/prompt.h"
#include "exchange/exchange_progress.h"
#include "exchange/import_summary.h"

namespace zenfaro {

enum class ImportResult {
  completed,  // the database files were replaced and `db` reloaded
  rejected,   // "Not a commentary file."
  declined,   // the user answered No to the confirmation
  refused,    // beyond a capacity, or the database cannot be changed now
  failed,     // a file error; the database is as it was
};

// What an import did, for the window and the command line to show.
struct ImportOutcome {
  ImportResult result = ImportResult::failed;
  ImportSummary summary;  // what the classification found (when it ran)
  // Why the import did not complete, for a message box (empty after a
  // completed or a declined import).
  std::string message;
  Icon icon = Icon::none;
};

// The date of the log block; the local date of today by default.
using Today = std::function<std::tm()>;

// Runs the whole import of the exchange file at `path` (UTF-8, as the user
// chose it; it is also what the import log names). The confirmation is
// asked through `prompt`, with the summary as its details; nothing else is
// told there. The database's lock is held from the first read of the stored
// records to the end of the replacement. `progress` is told the stages.
ImportOutcome import_commentary(Database& db, const std::string& path, Prompt& prompt, const Today& today = {},
                                const ExchangeProgress& progress = {});

}  // namespace zenfaro
