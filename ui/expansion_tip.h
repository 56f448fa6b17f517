#pragma once
// The item box's tooltip while it holds a group of alternatives: how many
// entries "Add To" would make of it and the first of them, and which lists
// cannot take them. Shown as the text is typed, over the item box, so that
// no control of the window moves.
#include <QString>

#include "editor/expansion_preview.h"

class QLineEdit;

namespace zenfaro {

// The tip's text, or an empty text when the box holds no group.
QString expansion_tip(const ExpansionPreview& preview);

// Sets `tip` as the box's tooltip and, while the box has the focus, shows it
// at once below the box (or hides it when `tip` is empty).
void show_tip(QLineEdit* box, const QString& tip);

}  // namespace zenfaro
