#pragma once
// Import Commentary: brings the records of an exchange file into the
// database, recognising stored records by their fingerprints, appending new
// commentary lines to the records they extend, adding new records at the end
// and removing duplicate entries, then replacing the database files.
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

// Runs the whole import of the exchange file at `path` (the path as the
// user chose it; it is also what the import log names). Every question and
// message goes through `prompt`.
ImportResult import_commentary(Database& db, const std::string& path, Prompt& prompt);

}  // namespace zenfaro
