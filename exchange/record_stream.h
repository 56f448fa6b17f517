#pragma once
// Reading stored records by their place in the record index, as the export
// and the import do: the data file is opened once and positioned at each
// record in turn.
#include <cstdint>

#include "core/database.h"
#include "core/line_reader.h"

namespace zenfaro {

// Where record n (1 to N) starts in the data file `file` (which may be null
// when the file could not be opened). A negative index slot lies before the
// file and reads as the end of the data, as read_record reads it.
std::uint64_t record_start(const Database& db, std::int32_t n, const ReadableFile* file);

// Opens the data file of `db` for reading. A missing file leaves `*file`
// null and reads as empty; any other failure is returned.
Status open_data_file(const Database& db, std::unique_ptr<ReadableFile>* file);

}  // namespace zenfaro
