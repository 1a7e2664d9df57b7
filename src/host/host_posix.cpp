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

#include <climits>
#include <cstdlib>
#include <cstring>

#include "host/host.h"
#include "host/host_shared.h"

namespace {

// The environment as the process was started with, as one block of NUL-ended entries ended by an
// empty one; nullptr (no variables at all) only when there was no memory for the copy.
char* g_environment = nullptr;

bool IsRegularFile(const char* path) {
  struct stat info {};
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void InitHost() {
  std::size_t size = 1;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    size += std::strlen(*entry) + 1;
  }
  g_environment = static_cast<char*>(std::malloc(size));
  if (g_environment != nullptr) {
    char* at = g_environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
      const std::size_t length = std::strlen(*entry);
      // An empty entry would end the block early; it can never match a name anyway.
      if (length == 0) continue;
      std::memcpy(at, *entry, length + 1);
      at += length + 1;
    }
    *at = '\0';
  }
  SetStdoutMode(isatty(STDOUT_FILENO) == 1, false);
  // A reader that goes away must not kill the run: failed writes are ignored and the exit status
  // still tells the answer. The interpreter gets the default action back (see RunCommand).
  (void)signal(SIGPIPE, SIG_IGN);
}

const char* LookupEnvVar(const char* name) { return FindEnvValue(g_environment, name); }

int RunCommand(const char* command_line) {
  FlushStdout();
  // PATH is split at ':' here, the POSIX separator.
  char found[PATH_MAX];
  const char* interpreter = FindInterpreter(g_environment, ':', '/', IsRegularFile, found, sizeof found);
  if (interpreter == nullptr) return -1;

  // posix_spawn does not change the strings; its prototype only lacks the const.
  char* argv[] = {const_cast<char*>(interpreter), const_cast<char*>("/c"), const_cast<char*>(command_line),
                  nullptr};
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return -1;
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, interpreter, nullptr, &attributes, argv, environ);
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
  std::free(g_environment);
  g_environment = nullptr;
  std::exit(status);
}
