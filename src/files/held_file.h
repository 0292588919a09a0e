// Another program often holds a file for a moment just after it was written or renamed: a virus
// scanner, the search indexer, OneDrive. Windows then refuses a rename or a delete of it (a
// sharing, lock or access-denied error) for as long as the hold lasts, usually well under a
// second. The file store tries such a step again for about a second before it gives up.
#pragma once

#include <functional>

namespace kv {

inline constexpr int kHeldFileWaitMs = 1000;
inline constexpr int kHeldFilePauseMs = 50;

enum class FileStep { Done, Held, Failed };

// Runs `step` until it is Done or Failed or has been Held for about kHeldFileWaitMs, with
// `pause(kHeldFilePauseMs)` between tries. True when it was Done.
inline bool RetryWhileHeld(const std::function<FileStep()>& step,
                           const std::function<void(int milliseconds)>& pause) {
  for (int waited = 0;; waited += kHeldFilePauseMs) {
    const FileStep result = step();
    if (result != FileStep::Held) return result == FileStep::Done;
    if (waited >= kHeldFileWaitMs) return false;
    pause(kHeldFilePauseMs);
  }
}

}  // namespace kv
