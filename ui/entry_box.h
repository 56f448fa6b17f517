#pragma once
// The item box and the Modify Entry dialog's box hold at most as many
// characters as an entry can (one per byte). An edit that would make the
// text longer (typing, pasting, dropping) is refused whole, so that nothing
// is cut silently, and the user is told why with the message that a too long
// entry gets; a longer text that was put into the box by the program (a
// stored entry cut by no save yet) can still be shortened.
#include <QString>

#include "core/prompt.h"

class QLineEdit;

namespace zenfaro {

// Applies the rule to `box` for as long as it lives. The message goes to
// `prompt` once the refused edit has been undone.
void refuse_overlong_edits(QLineEdit* box, Prompt& prompt);

}  // namespace zenfaro
