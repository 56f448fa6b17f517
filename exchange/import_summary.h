#pragma once
// What an import found in its exchange file and what it will do to the
// database, for the confirmation's details and the command-line report.
#include <cstdint>
#include <string>
#include <vector>

namespace zenfaro {

// A stored record that the import extends, and how many commentary lines
// it gains (after duplicate removal).
struct ExtendedRecord {
  std::int32_t record = 0;
  std::int32_t new_lines = 0;
};

// A record that the import adds at the end: its number in the new database
// and the start of its first trigger as the exchange file holds it
// (Windows-1252 bytes), which names it for the user.
struct AddedRecord {
  std::int32_t record = 0;
  bool has_trigger = false;
  std::string first_trigger;  // at most kShownTriggerBytes + 1 bytes: more are not shown
};
constexpr std::size_t kShownTriggerBytes = 60;

struct ImportSummary {
  std::int32_t announced = 0;            // M: the record count the exchange file announces
  std::int32_t found = 0;                // records that begin before the file's data ends
  std::int32_t stored = 0;               // N: the records of the database before the import
  std::int32_t new_records = 0;          // incoming records added at the end
  std::int32_t identical = 0;            // incoming records that bring nothing
  std::int32_t extending = 0;            // incoming records whose commentary lines extend a stored record
  std::int32_t merged = 0;               // the records of the new database
  std::vector<ExtendedRecord> extended;  // in ascending order of record
  std::vector<AddedRecord> added;        // in ascending order of record

  // True when the file ends before the records it announces: the missing
  // ones come in as empty records.
  bool cut_short() const { return found < announced; }
};

// The summary in lines of text (ending in a line end each):
//   The exchange file announces 40 records: 3 new, 30 identical to stored
//   records, 7 extending stored records.
//   The database would go from 120 to 123 records.
// then, for a file cut short, what that means, one line per new record:
//   New record 121: "Goal scored".
// (a trigger cut short ends in "...", its control characters are shown as
// "?"; a record without triggers is "New record 122, without triggers.")
// and one line per extended stored record:
//   Stored record 17 gets 2 new commentary lines.
std::string import_details(const ImportSummary& summary);

}  // namespace zenfaro
