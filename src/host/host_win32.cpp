// The Windows services behind the host operations. Only functions that Windows 2000's KERNEL32
// has are used, and no C runtime call stands in for them.
#include <windows.h>

#include <cstring>

#include "host/host.h"
#include "host/host_shared.h"

namespace {

// The environment block as the process was started with, copied so that the system's copy can be
// released at once; nullptr (no variables at all) only when there was no memory for the copy.
char* g_environment = nullptr;
HANDLE g_stdout = INVALID_HANDLE_VALUE;

bool IsFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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
    const auto size = static_cast<std::size_t>(end - block) + 1;
    g_environment = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (g_environment != nullptr) std::memcpy(g_environment, block, size);
    FreeEnvironmentStringsA(block);
  }
  g_stdout = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdoutMode(GetFileType(g_stdout) == FILE_TYPE_CHAR, true);
}

const char* LookupEnvVar(const char* name) { return FindEnvValue(g_environment, name); }

int RunCommand(const char* command_line) {
  FlushStdout();
  char found[MAX_PATH];
  const char* interpreter = FindInterpreter(g_environment, ';', '\\', IsFile, found, sizeof found);
  if (interpreter == nullptr) return -1;

  // The interpreter is named in its short form where the file system has one, so that a path with
  // blanks stays one word; the command line follows unchanged and unquoted.
  char short_path[MAX_PATH];
  const DWORD short_size = GetShortPathNameA(interpreter, short_path, sizeof short_path);
  const char* name = (short_size > 0 && short_size < sizeof short_path) ? short_path : interpreter;
  const std::size_t name_size = std::strlen(name);
  const std::size_t command_size = std::strlen(command_line);
  static constexpr char kSwitch[] = " /c ";
  char* line = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, name_size + sizeof kSwitch + command_size));
  if (line == nullptr) return -1;
  std::memcpy(line, name, name_size);
  std::memcpy(line + name_size, kSwitch, sizeof kSwitch - 1);
  std::memcpy(line + name_size + sizeof kSwitch - 1, command_line, command_size + 1);

  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  const BOOL started =
      CreateProcessA(interpreter, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  HeapFree(GetProcessHeap(), 0, line);
  if (!started) return -1;
  CloseHandle(process.hThread);
  DWORD status = 0;
  const bool waited = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                      GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  return waited ? static_cast<int>(status) : -1;
}

HostFile ProbeFile(const char* path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
  const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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
