#pragma once
// The merge work file tempfile.tmp: records one after another, each as three
// list groups (triggers, exclusion triggers, commentary lines); a list group
// is the list's entry lines followed by the terminator line "*!**!*". There
// are no counts.
//
// An entry whose whole text is "*!**!*" would read back as a terminator. So
// such an entry, and only entries of the form "*!**!*" followed by one or
// more NUL bytes, are written with one NUL byte more than they hold, and a
// line of that form loses one NUL when it is read back. The escape is
// reversible, and every entry a record can hold (entries hold no NUL) other
// than "*!**!*" itself is written unchanged.
#include <string>
#include <string_view>

namespace zenfaro {

inline constexpr std::string_view kListTerminator = "*!**!*";

// The line that carries `entry` in the merge work file.
std::string_view escape_merge_entry(std::string_view entry, std::string& scratch);

// The entry carried by `line`, which is not the terminator: `line` itself,
// or `line` without its last byte.
std::string_view unescape_merge_entry(std::string_view line);

}  // namespace zenfaro
