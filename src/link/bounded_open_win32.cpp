#include "link/bounded_open_win32.h"

#include <atomic>

namespace kv {

// Shared by the caller and the open's thread; whichever lets go last frees it, closing a handle
// that nobody took.
struct BoundedOpen::Attempt {
  std::string name;
  HANDLE handle = INVALID_HANDLE_VALUE;
  DWORD error = 0;
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> holders{2};

  bool Finished() const { return WaitForSingleObject(done, 0) == WAIT_OBJECT_0; }
  // Hands the opened handle over; the attempt closes nothing afterwards.
  HANDLE Take() {
    const HANDLE h = handle;
    handle = INVALID_HANDLE_VALUE;
    return h;
  }
  static void Release(Attempt* a) {
    if (a->holders.fetch_sub(1) != 1) return;
    if (a->handle != INVALID_HANDLE_VALUE) CloseHandle(a->handle);
    CloseHandle(a->done);
    delete a;
  }
  static DWORD WINAPI Run(void* context) {
    auto* a = static_cast<Attempt*>(context);
    a->handle = CreateFileA(a->name.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* exclusive */,
                            nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    a->error = a->handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    SetEvent(a->done);
    Release(a);
    return 0;
  }
};

BoundedOpen::~BoundedOpen() {
  if (pending_) Attempt::Release(pending_);  // its thread closes what it opens
}

HANDLE BoundedOpen::Open(const std::string& name, DWORD waitMs, DWORD& error) {
  if (pending_) {
    Attempt* earlier = pending_;
    if (!earlier->Finished() && earlier->name == name) {
      error = ERROR_TIMEOUT;  // the port's driver is still busy with the last open
      return INVALID_HANDLE_VALUE;
    }
    pending_ = nullptr;
    const HANDLE late = earlier->Finished() && earlier->name == name ? earlier->Take()
                                                                     : INVALID_HANDLE_VALUE;
    Attempt::Release(earlier);
    if (late != INVALID_HANDLE_VALUE) return late;
  }
  auto* attempt = new Attempt{name};
  HANDLE thread = attempt->done ? CreateThread(nullptr, 64 * 1024, &Attempt::Run, attempt,
                                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)
                                : nullptr;
  if (!thread) {
    error = GetLastError();
    attempt->holders = 1;
    Attempt::Release(attempt);
    return INVALID_HANDLE_VALUE;
  }
  CloseHandle(thread);
  if (WaitForSingleObject(attempt->done, waitMs) != WAIT_OBJECT_0) {
    pending_ = attempt;
    error = ERROR_TIMEOUT;
    return INVALID_HANDLE_VALUE;
  }
  const HANDLE opened = attempt->Take();
  error = attempt->error;
  Attempt::Release(attempt);
  return opened;
}

}  // namespace kv
