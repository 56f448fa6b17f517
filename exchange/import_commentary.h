#pragma once
// Import Commentary: brings the records of an exchange file into the
// database, recognising stored records by their fingerprints, appending new
// commentary lines to the records they extend, adding new records at the end
// and removing duplicate entries, then replacing the database files.
#include <cstdint>
#include <functional>
#include <string>

#include "core/database.h"
#include "core/prompt.h"
#include "exchange/import_summary.h"

namespace zenfaro {

enum class ImportResult {
  completed,  // the database files were replaced and `db` reloaded
  rejected,   // "Not a commentary file."
  declined,   // the user answered No to the confirmation
  refused,    // beyond a capacity; nothing of the database changed
  failed,     // a file error; the database is as it was
};

// Called with the summary once the new database files are built, just
// before the confirmation is asked.
using ImportObserver = std::function<void(const ImportSummary&)>;

// Runs the whole import of the exchange file at `path` (UTF-8, as the user
// chose it; it is also what the import log names). Every question and
// message goes through `prompt`.
ImportResult import_commentary(Database& db, const std::string& path, Prompt& prompt);
ImportResult import_commentary(Database& db, const std::string& path, Prompt& prompt,
                               const ImportObserver& before_confirmation);

}  // namespace zenfaro
