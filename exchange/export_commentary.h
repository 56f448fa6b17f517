#pragma once
// Export Commentary: every record of the database, in database order, into
// one .CMX exchange file.
#include <cstdint>
#include <string>

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
Status export_commentary(Database& db, const std::filesystem::path& target, std::int32_t* records,
                         const ExchangeProgress& progress = {});

// The closing message: "R commentary entries were exported to PATH."
std::string export_message(std::int32_t records, const std::string& path);

}  // namespace zenfaro
