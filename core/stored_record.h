#pragma once
// A record known by its stored bytes rather than by its number: the window
// remembers the bytes of the record it showed, and before it writes it looks
// for them in the files as they stand (another program may have changed the
// record, or moved it by deleting an earlier one).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/database.h"

namespace zenfaro {

// The stored bytes of record n, as read_stored_bytes hands them; empty for a
// number outside 1 to N.
Status stored_record_bytes(const Database& db, std::int32_t n, std::string* bytes);

// The bytes a save writes for `record`: the canonical form, each entry cut
// as the save's work buffer cuts it.
std::string stored_form(const Record& record);

// The numbers of the records whose stored bytes are `bytes`, ascending, at
// most `limit` of them. Empty bytes are no record's.
Status records_holding(const Database& db, std::string_view bytes, std::vector<std::int32_t>* numbers,
                       std::size_t limit = 2);

}  // namespace zenfaro
