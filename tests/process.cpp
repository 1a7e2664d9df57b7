#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         const std::string& directory, StdoutKind stdout_kind, int timeout_seconds) {
  std::vector<std::string> args = argv, env = environment;
  std::vector<char*> arg_pointers = Pointers(args), env_pointers = Pointers(env);

  char out_name[] = "/tmp/readyscan-out-XXXXXX";
  char err_name[] = "/tmp/readyscan-err-XXXXXX";
  const int out_file = mkstemp(out_name);
  const int err_file = mkstemp(err_name);
  int pipe_fds[2] = {-1, -1};
  const bool piped = stdout_kind == StdoutKind::kPipe || stdout_kind == StdoutKind::kBrokenPipe ||
                     stdout_kind == StdoutKind::kFullPipe;
  if (piped && pipe2(pipe_fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  if (stdout_kind == StdoutKind::kBrokenPipe) {
    close(pipe_fds[0]);
    pipe_fds[0] = -1;
  }
  if (stdout_kind == StdoutKind::kFullPipe) {
    fcntl(pipe_fds[1], F_SETFL, O_NONBLOCK);
    const std::string filler(4096, 'f');
    while (write(pipe_fds[1], filler.data(), filler.size()) > 0) {
    }
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (piped) posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
  if (stdout_kind == StdoutKind::kFile) posix_spawn_file_actions_adddup2(&actions, out_file, 1);
  if (stdout_kind == StdoutKind::kClosed) posix_spawn_file_actions_addclose(&actions, 1);
  posix_spawn_file_actions_adddup2(&actions, err_file, 2);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

  pid_t child = 0;
  const int spawned =
      posix_spawn(&child, args[0].c_str(), &actions, nullptr, arg_pointers.data(), env_pointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + args[0]);

  ProcessResult result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  bool killed = false;
  if (stdout_kind == StdoutKind::kPipe) {
    close(pipe_fds[1]);
    char buffer[65536];
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd reader{pipe_fds[0], POLLIN, 0};
      if (left.count() <= 0 || poll(&reader, 1, static_cast<int>(left.count())) == 0) {
        kill(child, SIGKILL);
        killed = true;
        break;
      }
      const ssize_t got = read(pipe_fds[0], buffer, sizeof buffer);
      if (got <= 0) break;
      result.out.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipe_fds[0]);
  } else if (piped) {
    close(pipe_fds[1]);
  }
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (std::chrono::steady_clock::now() > deadline && !killed) {
      kill(child, SIGKILL);
      killed = true;
    }
    usleep(1000);
  }
  if (stdout_kind == StdoutKind::kFullPipe) close(pipe_fds[0]);
  close(out_file);
  close(err_file);
  if (stdout_kind == StdoutKind::kFile) result.out = ReadFile(out_name);
  result.err = ReadFile(err_name);
  unlink(out_name);
  unlink(err_name);
  if (killed) {
    result.status = -2;
  } else if (WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.status = 128 + WTERMSIG(status);
  }
  return result;
}

std::string MakeTempDir() {
  char name[] = "/tmp/readyscan-test-XXXXXX";
  if (mkdtemp(name) == nullptr) throw std::runtime_error("mkdtemp");
  return name;
}

void RemoveTree(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void WriteFile(const std::string& path, const std::string& content, unsigned mode) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  chmod(path.c_str(), mode);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void SetWriteTime(const std::string& path, long long seconds) {
  const timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
  if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
    throw std::runtime_error("utimensat " + path);
}

long long UtcSeconds(int year, int month, int day, int hour, int minute) {
  tm date{};
  date.tm_year = year - 1900;
  date.tm_mon = month - 1;
  date.tm_mday = day;
  date.tm_hour = hour;
  date.tm_min = minute;
  return static_cast<long long>(timegm(&date));
}
