#pragma once
// Export Commentary: every record of the database, in database order, into
// one .CMX exchange file.
#include <cstdint>
#include <string>

#include "core/database.h"

namespace zenfaro {

// Writes the exchange file `target` from the stored records of `db` (not
// from any unsaved lists on screen). On success `*records` is the number of
// records written. A target that is the database's own data or index file is
// refused; a target that cannot be created or written is reported.
Status export_commentary(const Database& db, const fs::path& target, std::int32_t* records);

// The closing message: "R commentary entries were exported to PATH."
std::string export_message(std::int32_t records, const std::string& path);

}  // namespace zenfaro
