#pragma once
// How the main window ends, as start-up reads it: 123 after a completed
// import makes start-up open the window again on the new database; the other
// two end the editing.
namespace zenfaro {

enum EndCode : int { kEndClosed = 0, kEndQuit = 1, kEndImported = 123 };

}  // namespace zenfaro
