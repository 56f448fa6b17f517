#pragma once
// A run of the editor that needs no person, for checking a built folder on a
// machine without a desktop (the Windows zip under wine, headless). With the
// environment variable ZENFARO_SMOKE_RUN naming a report file, every modal
// window the editor opens is written to that file and answered as a user who
// looks and leaves would answer it: a question with No, a message with OK, the
// main window with Quit, anything else by closing it. Without the variable the
// editor runs exactly as it always does.
#include <QString>

class QObject;

namespace zenfaro {

// The environment variable that turns the smoke run on.
inline constexpr char kSmokeRunVariable[] = "ZENFARO_SMOKE_RUN";

// Starts answering the editor's modal windows (until `owner` goes) when the
// variable is set; returns whether it is. Each line of the report is written
// whole as the window is answered.
bool start_smoke_run_if_asked(QObject& owner);

}  // namespace zenfaro
