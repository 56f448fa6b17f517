#pragma once
// How the main window ends, as start-up reads it: 123 after a completed
// import makes start-up open the window again on the new database; the other
// two end the editing. They are plain numbers, as the window's exec() gives
// them.
namespace zenfaro {

constexpr int kEndClosed = 0;
constexpr int kEndQuit = 1;
constexpr int kEndImported = 123;

}  // namespace zenfaro
