#pragma once
// Export Commentary: every record of the database, in database order, into
// one .CMX exchange file; or the records chosen, in the order chosen.
#include <cstdint>
#include <string>
#include <vector>

#include "core/database.h"
#include "exchange/exchange_progress.h"

namespace zenfaro {

// Writes the exchange file `target` from the stored records of `db` (not
// from any unsaved lists on screen). The file is written beside the target
// and put in its place only when it is whole, so a failed or killed export
// leaves an existing target as it was. On success `*records` is the number
// of records written. A target that is one of the program's own files (the
// database's, the work and report files, the log) is refused. The records
// are those of one state of the files as they stand (read_one_state).
// `progress` is told the records as they are written (from the first again
// when the read has to begin anew).
//
// With `selection`, only those records are written, in its order (each
// number from 1 to N): a well-formed exchange file of as many records. A
// number outside 1 to N is refused before any file is made.
Status export_commentary(Database& db, const std::filesystem::path& target, std::int32_t* records,
                         const ExchangeProgress& progress = {}, const std::vector<std::int32_t>* selection = nullptr);

// The closing message: "R commentary entries were exported to PATH."
std::string export_message(std::int32_t records, const std::string& path);

}  // namespace zenfaro
