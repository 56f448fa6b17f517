#include "editor/expansion_preview.h"

#include <algorithm>

#include "editor/alternatives.h"
#include "editor/editor_model.h"

namespace zenfaro {
namespace {

// No entry grows in an expansion, so entries times the text's length bound
// the bytes they take; beyond this the preview only counts them, so that
// each keystroke costs at most some 20 ms (bench/run).
constexpr std::size_t kMostPreviewBytes = 1 << 20;

// The entries a list comes to hold once its own groups are expanded.
std::size_t expanded_size(const WorkingList& list, std::size_t limit) {
  std::size_t size = 0;
  for (const Entry& entry : list.entries()) {
    size += holds_group(entry) ? count_expansion(entry, limit) : 1;
    if (size > limit) break;
  }
  return size;
}

}  // namespace

ExpansionPreview preview_expansion(const EditorModel& model, std::string_view text, std::size_t shown) {
  ExpansionPreview preview;
  const auto capacity = static_cast<std::size_t>(kMaxListEntries);
  preview.alternatives = holds_group(text);
  if (!preview.alternatives) return preview;
  preview.count = count_expansion(text, capacity);
  for (const ListKind kind : kAllLists) {
    preview.fits[static_cast<std::size_t>(kind)] =
        preview.count <= capacity && expanded_size(model.list(kind), capacity) + preview.count <= capacity;
  }
  if (preview.count <= capacity && preview.count * (text.size() + 1) <= kMostPreviewBytes) {
    std::vector<Entry> entries = expand_entry(text, capacity);
    entries.resize(std::min(entries.size(), shown));
    preview.first = std::move(entries);
  }
  return preview;
}

}  // namespace zenfaro
