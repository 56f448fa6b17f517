#pragma once
// What "Add To ..." would do with the text of the item box, told before it
// is pressed: how many entries the text's alternatives expand into, the
// first of them, and for each list whether it can take them (a list holds
// kMaxListEntries entries; an add that would go beyond adds nothing).
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "core/record.h"

namespace zenfaro {

class EditorModel;

struct ExpansionPreview {
  // The text holds a group of alternatives: there is something to tell.
  // Without one, nothing else is filled in.
  bool alternatives = false;
  // The entries the text expands into; kMaxListEntries + 1 stands for more
  // than a list can hold.
  std::size_t count = 0;
  // The first of them, in the order "Add To Commentary" appends them. Left
  // empty when making them all would take more than a megabyte.
  std::vector<Entry> first;
  // For each list (by ListKind), whether its "Add To" takes the text: the
  // list, its own groups expanded too, stays within its capacity.
  std::array<bool, 3> fits{};
};

// The preview of adding `text` (Windows-1252) to the record on screen, with
// at most `shown` of its entries.
ExpansionPreview preview_expansion(const EditorModel& model, std::string_view text, std::size_t shown = 5);

}  // namespace zenfaro
