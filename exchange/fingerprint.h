#pragma once
// The two 32-bit fingerprints by which the import recognises a record. The
// full fingerprint covers the entries of all three lists, the trigger
// fingerprint only those of the trigger and exclusion-trigger lists. Only
// the bytes of the entries are fed in: no separator between entries or lists
// and no count, so the triggers "ab", "c" and "a", "bc" fingerprint alike.
#include <cstdint>
#include <string_view>

#include "core/record.h"

namespace zenfaro {

constexpr std::uint32_t kFingerprintSeed = 12345678;

// For each byte c (0 to 255): h = h XOR c, then h is rotated right by the
// low five bits of the new h.
std::uint32_t fingerprint_step(std::uint32_t h, std::string_view text);

struct Fingerprints {
  std::uint32_t full = kFingerprintSeed;
  std::uint32_t trigger = kFingerprintSeed;

  // Feeds one entry of the list `kind`.
  void feed(ListKind kind, std::string_view entry);
};

}  // namespace zenfaro
