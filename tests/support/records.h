#pragma once
// Records for tests: built from three lists, and in their stored form.
#include <string>

#include "core/record.h"

namespace zenfaro::testing {

Record make_record(EntryList triggers, EntryList exclusions, EntryList lines);

// A record as commdb.dat and exchange files hold it: per list a count line
// in canonical form and its entry lines.
std::string stored(const Record& record);

}  // namespace zenfaro::testing
