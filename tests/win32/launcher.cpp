// Test-only: starts a program with an exact environment block and working directory, which a
// process started by wine itself never gets (Wine sets OS and merges PATH on its own).
//
// launcher.exe LAUNCH, where LAUNCH is a file of NUL-ended fields:
//   mode ("" or "nostdout": the child gets no standard output), application, command line,
//   working directory, then the environment entries, ended by an empty entry.
// The exit status is the child's, or 200 + a step number when the launcher itself fails.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

int Fail(int step) {
  ExitProcess(200 + step);
  return 200 + step;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Fail(1);
  HANDLE launch = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (launch == INVALID_HANDLE_VALUE) return Fail(2);
  std::string text;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(launch, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(launch);

  const char* fields[4];
  std::size_t at = 0;
  for (const char*& field : fields) {
    if (at >= text.size()) return Fail(3);
    field = text.c_str() + at;
    at += std::strlen(field) + 1;
  }
  // What is left is the environment block itself; one more NUL ends it when it has no entries.
  std::string environment = text.substr(at);
  if (environment.empty()) environment.push_back('\0');
  environment.push_back('\0');
  std::string command_line = fields[2];

  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  if (std::strcmp(fields[0], "nostdout") == 0) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = INVALID_HANDLE_VALUE;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION process;
  if (!CreateProcessA(fields[1], &command_line[0], nullptr, nullptr, TRUE, 0, &environment[0], fields[3],
                      &startup, &process)) {
    return Fail(4);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  ExitProcess(status);
  return 0;
}
