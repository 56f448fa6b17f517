#include "exchange/fingerprint.h"

namespace zenfaro {

std::uint32_t fingerprint_step(std::uint32_t h, std::string_view text) {
  for (const char byte : text) {
    h ^= static_cast<unsigned char>(byte);
    const unsigned n = h & 31u;
    if (n != 0) h = (h >> n) | (h << (32u - n));
  }
  return h;
}

void Fingerprints::feed(ListKind kind, std::string_view entry) {
  full = fingerprint_step(full, entry);
  if (kind != ListKind::lines) trigger = fingerprint_step(trigger, entry);
}

Fingerprints fingerprints_of(const Record& record) {
  Fingerprints result;
  for (const ListKind kind : kAllLists) {
    for (const Entry& entry : record.list(kind)) result.feed(kind, entry);
  }
  return result;
}

}  // namespace zenfaro
