#pragma once
// The fixed identifiers of the main window's controls. Each widget carries
// its identifier as the property "controlId".
#include "core/record.h"

namespace zenfaro {

enum class ControlId : int {
  triggers = 101,
  exclusions = 102,
  lines = 103,
  triggers_label = 104,
  exclusions_label = 105,
  lines_label = 106,
  item_label = 107,
  item = 108,
  add_to_triggers = 109,
  add_to_exclusions = 110,
  add_to_lines = 111,
  save_record = 112,
  record = 113,
  delete_triggers = 114,
  delete_exclusions = 115,
  delete_lines = 116,
  delete_record = 117,
  quit = 118,
  export_commentary = 119,
  import_commentary = 120,
  navigator = 199,
};

// The list control that shows the list `kind`.
constexpr ControlId list_control(ListKind kind) {
  return kind == ListKind::triggers     ? ControlId::triggers
         : kind == ListKind::exclusions ? ControlId::exclusions
                                        : ControlId::lines;
}

}  // namespace zenfaro
