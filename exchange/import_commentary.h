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

namespace zenfaro {

enum class ImportResult {
  completed,  // the database files were replaced and `db` reloaded
  rejected,   // "Not a commentary file."
  declined,   // the user answered No to the confirmation
  refused,    // beyond a capacity; nothing of the database changed
  failed,     // a file error; the database is as it was
};

// What the classification found and what the new database will hold.
struct ImportSummary {
  std::int32_t announced = 0;    // M: the record count the exchange file announces
  std::int32_t stored = 0;       // N: the records of the database before the import
  std::int32_t new_records = 0;  // incoming records added at the end
  std::int32_t identical = 0;    // incoming records that bring nothing
  std::int32_t extending = 0;    // incoming records whose commentary lines extend a stored record
  std::int32_t merged = 0;       // the records of the new database
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
