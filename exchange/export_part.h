#pragma once
// The work file an export writes beside its target before it takes the
// target's place: "NAME.part", or "NAME.1.part" to "NAME.99.part" while
// those names are taken, NAME shortened where the system's limit on a name
// (255 bytes) would otherwise be passed. What a killed export of the same
// target left under these names (recognised by the exchange file's first
// lines) is removed first, so that leftovers never pile up.
#include <filesystem>
#include <memory>

#include "core/env.h"

namespace zenfaro {

// Work file `attempt` (0 to 99) of the exchange file `file`, in its folder.
std::filesystem::path part_file(const std::filesystem::path& file, int attempt);

// Removes the leftovers of killed exports of `file`, then creates the first
// free work file for it as a new file.
Status create_part_file(Env& env, const std::filesystem::path& file, std::filesystem::path* part,
                        std::unique_ptr<WritableFile>* out);

}  // namespace zenfaro
