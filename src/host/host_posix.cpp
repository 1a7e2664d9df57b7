// The POSIX stand-in for the Windows services, so that readyscan builds and runs on Linux.
// Paths are used as they stand: "C:\Progra~1\ARM\ADSv1_2\Bin\tcc.exe" is a file of that literal
// name in the current directory, and "/usr/bin\sh.exe" is the file "bin\sh.exe" in /usr.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "host/host.h"
#include "host/host_shared.h"

#if defined(__GLIBCXX__)
// Releases what the C++ runtime holds for itself (libstdc++ exports it for memory checkers).
namespace __gnu_cxx {
void __freeres() noexcept;  // NOLINT(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
}
#endif

namespace {

// The environment as the process was started with, as one block of NUL-ended entries.
std::string g_environment;

bool IsRegularFile(const char* path) {
  struct stat info {};
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// The first file named exactly CMD.EXE in the current directory, then in each directory of PATH
// (split at ':', the POSIX separator). An empty entry means the current directory, already looked at.
bool FindCmdExe(std::string& interpreter) {
  static constexpr char kName[] = "CMD.EXE";
  if (IsRegularFile(kName)) {
    interpreter = kName;
    return true;
  }
  const char* path = FindEnvValue(g_environment.c_str(), "PATH");
  for (const char* entry = path; entry != nullptr && *entry != '\0';) {
    const char* end = std::strchr(entry, ':');
    if (end == nullptr) end = entry + std::strlen(entry);
    if (end != entry) {
      interpreter.assign(entry, end);
      if (interpreter.back() != '/') interpreter.push_back('/');
      interpreter += kName;
      if (IsRegularFile(interpreter.c_str())) return true;
    }
    entry = (*end == ':') ? end + 1 : end;
  }
  return false;
}

}  // namespace

void InitHost() {
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    // An empty entry would end the block early; it can never match a name anyway.
    if (**entry == '\0') continue;
    g_environment += *entry;
    g_environment.push_back('\0');
  }
  SetStdoutMode(isatty(STDOUT_FILENO) == 1, false);
  // A reader that goes away must not kill the run: failed writes are ignored and the exit status
  // still tells the answer. The interpreter gets the default action back (see RunCommand).
  (void)signal(SIGPIPE, SIG_IGN);
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

  std::string switch_c = "/c";
  std::string command = command_line;
  char* argv[] = {interpreter.data(), switch_c.data(), command.data(), nullptr};

  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return -1;
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, interpreter.c_str(), nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) return -1;

  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

HostFile ProbeFile(const char* path) {
  // Non-blocking, so that a FIFO where a file is looked for can't hold the run up.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return kNoFile;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return kNoFile;
  }
  return fd;
}

void CloseFile(HostFile file) { close(static_cast<int>(file)); }

std::optional<DosDate> GetFileWriteDate(HostFile file) {
  struct stat info {};
  if (fstat(static_cast<int>(file), &info) != 0) return std::nullopt;
  struct tm local {};
  if (localtime_r(&info.st_mtime, &local) == nullptr) return std::nullopt;
  const int year = local.tm_year + 1900;
  if (year < 1980 || year > 2107) return std::nullopt;
  return static_cast<DosDate>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
}

void WriteStdout(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(STDOUT_FILENO, data, size);
    if (written < 0 && errno == EINTR) continue;
    // Closed, full and non-blocking, or broken: the text is lost, the run goes on.
    if (written <= 0) return;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

void ExitHost(int status) {
  FlushStdout();
#if defined(__GLIBCXX__)
  // The runtime's emergency pool for exceptions, which this program never throws: freed, so that a
  // memory checker finds every block released at exit.
  __gnu_cxx::__freeres();
#endif
  std::exit(status);
}
