// The Win32 file store against files held as a virus scanner or the search indexer holds them
// (opened without FILE_SHARE_DELETE), run under Wine by test_file_store.py. The store's pause
// between tries is where a hold is let go, so each check knows exactly how long it lasted.
// Prints one line per check; exits 1 when any fails.
#include <windows.h>

#include <cstdio>
#include <string>

#include "files/file_store.h"
#include "files/held_file.h"
#include "files/text_win32.h"

namespace {

std::string folder;
HANDLE hold = INVALID_HANDLE_VALUE;
int pauses = 0, releaseAt = 0;  // 0: the hold is never let go
int failures = 0;

void Hold(const std::string& path, int pausesHeld) {
  hold = CreateFileW(kv::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
  pauses = 0;
  releaseAt = pausesHeld;
}

void Release() {
  if (hold != INVALID_HANDLE_VALUE) CloseHandle(hold);
  hold = INVALID_HANDLE_VALUE;
}

void Check(bool ok, const char* what) {
  std::printf("%s %s (pauses %d)\n", ok ? "ok" : "FAIL", what, pauses);
  failures += ok ? 0 : 1;
}

std::string Content(const std::string& path) {
  std::string text;
  kv::SystemFileStore().Read(path, 1000, text);
  return text;
}

// The files in the folder, so that a temporary file left behind shows.
int Entries() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(kv::Widen(folder + "\\*").c_str(), &found);
  int count = 0;
  if (search == INVALID_HANDLE_VALUE) return -1;
  do {
    const std::wstring name = found.cFileName;
    count += name != L"." && name != L"..";
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  folder = kv::Narrow(argv[1]);
  kv::SystemFileStore store;
  store.pauseWhileHeld = [](int) {
    if (++pauses == releaseAt) Release();
  };
  const std::string file = folder + "\\car.bs2", ini = folder + "\\KV720.ini";
  const int longest = kv::kHeldFileWaitMs / kv::kHeldFilePauseMs;

  store.Replace(file, "before");
  Hold(file, 3);
  Check(store.Replace(file, "after") && Content(file) == "after" && pauses == 3 && Entries() == 1,
        "a replace waits out a hold of three pauses");
  Hold(file, 0);
  Check(!store.Replace(file, "third") && pauses == longest, "a replace gives up after a second");
  Release();
  Check(Content(file) == "after" && Entries() == 1, "a replace that gave up changed nothing");
  Hold(file, 2);
  Check(!store.CreateNew(file, "new") && pauses == 0 && Content(file) == "after" && Entries() == 1,
        "a create-only rename never replaces a file, held or not");
  Release();
  store.Replace(ini, "Port=2");
  Hold(ini, 1);
  Check(store.ReplaceOrRewrite(ini, "Port=1") && Content(ini) == "Port=1" && Entries() == 2,
        "KV720.ini is put in place once a hold of one pause is let go");
  Release();
  const std::string log = folder + "\\KV720.log";
  store.Append(log, "one\r\n");
  Hold(log, 0);
  Check(store.Append(log, kv::WithPlatformLineEnds("two\n")) && pauses == 0 &&
            Content(log) == "one\r\ntwo\r\n",
        "the fault log takes a line while another program reads it");
  Release();

  // A folder whose name leaves no room for GetTempFileNameW (it takes at most MAX_PATH - 14
  // characters) still holds a KV720.ini that can be written: in place, and only for it.
  if (folder.size() > 200) return 1;  // no room to build such a folder
  const std::string deep = folder + "\\" + std::string(MAX_PATH - 13 - folder.size(), 'd');
  const std::string deepIni = deep + "\\KV720.ini";
  CreateDirectoryW(kv::Widen(deep).c_str(), nullptr);
  HANDLE byHand = CreateFileW(kv::Widen(deepIni).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(byHand, "Port=1", 6, &written, nullptr);
  CloseHandle(byHand);
  Check(!store.Replace(deepIni, "Port=2") && store.ReplaceOrRewrite(deepIni, "Port=3") &&
            Content(deepIni) == "Port=3",
        "where no temporary file can be made, only KV720.ini is written over in place");
  DeleteFileW(kv::Widen(deepIni).c_str());
  RemoveDirectoryW(kv::Widen(deep).c_str());
  return failures ? 1 : 0;
}
