#pragma once
// What the window asks when the record it showed is no longer where it was
// and not anywhere else either: another program changed it, deleted it, or
// stored a record at the new-record position. The question says what stands
// at the number now (its first trigger, or that there is no such record any
// more); its details show the other program's version of the record.
#include <cstdint>
#include <optional>
#include <string>

#include "core/prompt.h"
#include "core/record.h"

namespace zenfaro {

// The question before saving the lists on screen as record n. Its answers:
// save them as a new record, replace record n with them, cancel. `now` is what
// stands at n (nothing when the database holds fewer than n records, of
// which it holds `count`); `was_new` tells that the window stood at the
// new-record position. Without a record n there is nothing to replace, and
// the answers are only "save as new" and "cancel".
Question save_changed_question(std::int32_t n, const std::optional<Record>& now, std::int32_t count, bool was_new);

// The question before deleting record n, which stands as `now` (Yes deletes
// it as it stands).
Question delete_changed_question(std::int32_t n, const Record& now);

// What is told when the record to be deleted is gone: nothing is deleted.
std::string deleted_gone_text(std::int32_t n, std::int32_t count);

}  // namespace zenfaro
