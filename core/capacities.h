#pragma once
// The capacities of the database and of the editor, in one place. Messages
// that refuse something beyond a capacity are built from these numbers.
#include <cstddef>
#include <cstdint>
#include <limits>

namespace zenfaro {

// Records are numbered 1 to N; the record index has slots 0 to kMaxRecords.
constexpr std::int32_t kMaxRecords = 10000;
// The work buffer through which every saved entry passes holds this many
// bytes of text (and a terminating NUL).
constexpr std::size_t kMaxEntryBytes = 4999;
// The entries one list can hold: a list on screen, the duplicate buffer of
// the import's rebuild, and the bound on a list read past the end of its
// file (a damaged count must not make a reader produce millions of empty
// entries).
constexpr std::int64_t kMaxListEntries = 32000;
// The records an exchange file may announce, and the entries an incoming
// list may hold.
constexpr std::int32_t kMaxIncomingRecords = 32000;
constexpr std::int64_t kMaxIncomingListEntries = 5000;
// Index fields are signed 32-bit offsets, so no record may start beyond
// this byte of the data file.
constexpr std::uint64_t kMaxRecordStart = std::numeric_limits<std::int32_t>::max();

}  // namespace zenfaro
