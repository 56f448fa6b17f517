#include "exchange/fingerprint.h"

namespace zenfaro {

namespace {

// A right rotation by n (0 to 31), without a branch for n = 0: the compiler
// makes it one instruction.
std::uint32_t rotate_right(std::uint32_t h, unsigned n) { return (h >> n) | (h << ((32u - n) & 31u)); }

}  // namespace

std::uint32_t fingerprint_step(std::uint32_t h, std::string_view text) {
  for (const char byte : text) {
    h ^= static_cast<unsigned char>(byte);
    h = rotate_right(h, h & 31u);
  }
  return h;
}

void Fingerprints::feed(ListKind kind, std::string_view entry) {
  if (kind == ListKind::lines) {
    full = fingerprint_step(full, entry);
    return;
  }
  // Both fingerprints of a trigger in one pass.
  for (const char byte : entry) {
    full ^= static_cast<unsigned char>(byte);
    full = rotate_right(full, full & 31u);
    trigger ^= static_cast<unsigned char>(byte);
    trigger = rotate_right(trigger, trigger & 31u);
  }
}

}  // namespace zenfaro
