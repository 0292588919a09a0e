// A port that is slow to open is not opened again at once. A Bluetooth COM port whose device is
// out of reach takes seconds to fail, and offline the link tries a fresh open every 500 ms on the
// user-interface thread, so the window would hardly ever answer. After an open that took longer
// than kSlowOpenMs, the same port is refused without trying for kSlowOpenHoldOffMs; another
// port (the user picked one) is tried at once.
#pragma once

#include <cstdint>
#include <string>

namespace kv {

inline constexpr std::uint64_t kSlowOpenMs = 1000;
inline constexpr std::uint64_t kSlowOpenHoldOffMs = 10000;

class SlowOpenHoldOff {
 public:
  // Whether `name` may be opened at `now` (milliseconds on any steady clock).
  bool MayOpen(const std::string& name, std::uint64_t now) const {
    return !holding_ || name != name_ || now >= until_;
  }
  // Notes an open of `name` (whatever its outcome) that ran from `started` to `ended`.
  void Opened(const std::string& name, std::uint64_t started, std::uint64_t ended) {
    holding_ = ended - started > kSlowOpenMs;
    name_ = name;
    until_ = ended + kSlowOpenHoldOffMs;
  }

 private:
  bool holding_ = false;
  std::string name_;
  std::uint64_t until_ = 0;
};

}  // namespace kv
