#pragma once
// The import log zenfaro.log: every confirmed import appends one block
//
//   12-06-2026                 the local date, month-day-year
//   *** Log start
//   Logging: COMMDB.DAT
//   ...every line of the old data file...
//   Logging: PATH              the exchange file as the user chose it
//   ...every line of the exchange file...
//   *** Log end
//
// The copied lines are re-ended with CR LF; a copy stops at the end of the
// file or at a 0x1A byte. A data file that does not exist gives no lines.
#include <ctime>
#include <string>

namespace zenfaro {

// "12-06-2026" for 6 December 2026.
std::string log_date(const std::tm& local);

// The exchange file path as the log names it: in Windows-1252 when it can
// be held, otherwise as given.
std::string logged_path(const std::string& utf8_path);

}  // namespace zenfaro
