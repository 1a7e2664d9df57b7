// Runs a program as a child process with an exact environment, for the end-to-end suites.
#pragma once

#include <string>
#include <vector>

enum class StdoutKind {
  kPipe,        // a pipe read by the test
  kFile,        // a regular file
  kClosed,      // no standard output at all
  kBrokenPipe,  // a pipe whose reader has gone
  kFullPipe,    // a full, non-blocking pipe that nobody reads while the program runs
};

struct ProcessResult {
  int status = -1;  // exit status; 128 + signal when killed; -2 when it had to be stopped
  std::string out;
  std::string err;
};

// Runs ARGV[0] with ARGV, exactly ENVIRONMENT ("NAME=value" entries, nothing inherited) and working
// directory DIRECTORY. Standard input is /dev/null. A run that takes longer than TIMEOUT_SECONDS is
// killed and reported with status -2.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         const std::string& directory, StdoutKind stdout_kind = StdoutKind::kPipe,
                         int timeout_seconds = 60);

// A fresh directory under the system's temporary directory, removed by RemoveTree.
std::string MakeTempDir();
void RemoveTree(const std::string& path);

// Writes CONTENT to PATH (replacing it); MODE as for chmod.
void WriteFile(const std::string& path, const std::string& content, unsigned mode = 0644);
std::string ReadFile(const std::string& path);
// Sets PATH's last-write time to SECONDS since 1970 (UTC).
void SetWriteTime(const std::string& path, long long seconds);
// Seconds since 1970 of a UTC date and time.
long long UtcSeconds(int year, int month, int day, int hour = 12, int minute = 0);
