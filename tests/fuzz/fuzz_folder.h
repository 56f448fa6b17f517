#pragma once
// A working folder for one fuzzing process, emptied between inputs.
#include <filesystem>

namespace zenfaro::fuzz {

// The process's folder (created on first use, removed at exit).
const std::filesystem::path& folder();
// Removes every file in the folder.
void clear_folder();

}  // namespace zenfaro::fuzz
