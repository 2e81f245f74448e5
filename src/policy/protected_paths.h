#pragma once

#include <filesystem>

namespace tarn {

// Whether writing a file at `target` could overwrite Tarnview's own files: the per-user and
// machine hives with SQLite's files beside them, the activity log wherever the settings or the
// defaults put it and the cleanup's backup beside it, or anything in the settings folder or in
// `programFolder`. Paths compare after "..", "." and links are resolved, so no other name for
// one of these places gets through. Fails closed: when the log's location can not be read the
// default places are still protected, and a target that can not be resolved is protected.
bool isProtectedPath(const std::filesystem::path& target,
                     const std::filesystem::path& programFolder);

}  // namespace tarn
