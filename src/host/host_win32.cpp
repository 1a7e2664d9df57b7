// The Windows services behind the host operations. Only functions that Windows 2000's KERNEL32
// has are used, and no C runtime call stands in for them.
#include <windows.h>

#include <cstring>
#include <string>

#include "host/host.h"
#include "host/host_shared.h"

namespace {

// The environment block as the process was started with, copied so that the system's copy can be
// released at once.
std::string g_environment;
HANDLE g_stdout = INVALID_HANDLE_VALUE;

bool IsFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The first CMD.EXE in the current directory, then in each directory of PATH from left to right.
bool FindCmdExe(std::string& interpreter) {
  static constexpr char kName[] = "CMD.EXE";
  if (IsFile(kName)) {
    interpreter = kName;
    return true;
  }
  const char* path = FindEnvValue(g_environment.c_str(), "PATH");
  for (const char* entry = path; entry != nullptr && *entry != '\0';) {
    const char* end = std::strchr(entry, ';');
    if (end == nullptr) end = entry + std::strlen(entry);
    if (end != entry) {
      interpreter.assign(entry, end);
      if (interpreter.back() != '\\' && interpreter.back() != '/') interpreter.push_back('\\');
      interpreter += kName;
      if (IsFile(interpreter.c_str())) return true;
    }
    entry = (*end == ';') ? end + 1 : end;
  }
  return false;
}

// The 8.3 form of PATH where the file system has one, else PATH as it is.
std::string ShortPathOf(const std::string& path) {
  std::string short_path(MAX_PATH, '\0');
  DWORD size = GetShortPathNameA(path.c_str(), &short_path[0], static_cast<DWORD>(short_path.size()));
  if (size > short_path.size()) {
    short_path.resize(size);
    size = GetShortPathNameA(path.c_str(), &short_path[0], static_cast<DWORD>(short_path.size()));
  }
  if (size == 0 || size >= short_path.size()) return path;
  short_path.resize(size);
  return short_path;
}

// A HostFile holds the HANDLE itself; INVALID_HANDLE_VALUE is kNoFile.
HANDLE HandleOf(HostFile file) {
  return reinterpret_cast<HANDLE>(file);  // NOLINT(performance-no-int-to-ptr): it was a HANDLE
}

}  // namespace

void InitHost() {
  if (char* block = GetEnvironmentStringsA()) {
    const char* end = block;
    while (*end != '\0') end += std::strlen(end) + 1;
    g_environment.assign(block, static_cast<std::size_t>(end - block));
    FreeEnvironmentStringsA(block);
  }
  g_stdout = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdoutMode(GetFileType(g_stdout) == FILE_TYPE_CHAR, true);
}

const char* LookupEnvVar(const char* name) { return FindEnvValue(g_environment.c_str(), name); }

int RunCommand(const char* command_line) {
  FlushStdout();
  std::string interpreter;
  if (const char* comspec = FindEnvValue(g_environment.c_str(), "COMSPEC")) {
    if (*comspec == '\0') return -1;
    interpreter = comspec;
  } else if (!FindCmdExe(interpreter)) {
    return -1;
  }

  // The interpreter is named in its short form, so that a path with blanks stays one word; the
  // command line follows unchanged and unquoted.
  std::string line = ShortPathOf(interpreter) + " /c " + command_line;
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  if (!CreateProcessA(interpreter.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  CloseHandle(process.hThread);
  DWORD status = 0;
  const bool waited = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                      GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  return waited ? static_cast<int>(status) : -1;
}

HostFile ProbeFile(const char* path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
  const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return kNoFile;
  return reinterpret_cast<HostFile>(file);
}

void CloseFile(HostFile file) { CloseHandle(HandleOf(file)); }

std::optional<DosDate> GetFileWriteDate(HostFile file) {
  FILETIME written;
  FILETIME local;
  WORD date = 0;
  WORD time = 0;
  // FileTimeToDosDateTime fails for years outside 1980-2107.
  if (!GetFileTime(HandleOf(file), nullptr, nullptr, &written) ||
      !FileTimeToLocalFileTime(&written, &local) || !FileTimeToDosDateTime(&local, &date, &time)) {
    return std::nullopt;
  }
  return static_cast<DosDate>(date);
}

void WriteStdout(const char* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    const DWORD piece = size > 0x10000 ? 0x10000 : static_cast<DWORD>(size);
    // A closed or broken standard output loses the text; the run goes on.
    if (!WriteFile(g_stdout, data, piece, &written, nullptr) || written == 0) return;
    data += written;
    size -= written;
  }
}

void ExitHost(int status) {
  FlushStdout();
  ExitProcess(static_cast<UINT>(status));
}
