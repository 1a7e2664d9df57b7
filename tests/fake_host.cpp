#include "fake_host.h"

#include <cstdlib>
#include <map>
#include <string_view>

#include "host/host_shared.h"

namespace {

struct FakeFile {
  bool directory = false;
  std::optional<DosDate> date;
};

std::string g_environment;
// Transparent comparison: a probe looks a path up without building a string for it.
std::map<std::string, FakeFile, std::less<>> g_files;
std::map<HostFile, std::string> g_open;
HostFile g_next_handle = 100;
int g_command_status = 0;
std::string g_command_output;
std::vector<std::string> g_log;
std::string g_stdout;
bool g_recording = true;

void Log(const std::string& kind, const std::string& text) {
  if (g_recording) g_log.push_back(kind + " " + text);
}

}  // namespace

DosDate MakeDosDate(unsigned day, unsigned month, unsigned year) {
  return static_cast<DosDate>(((year - 1980) << 9) | (month << 5) | day);
}

void ResetFakeHost(const std::vector<std::string>& entries) {
  g_environment.clear();
  for (const std::string& entry : entries) {
    g_environment += entry;
    g_environment.push_back('\0');
  }
  g_files.clear();
  g_open.clear();
  g_command_status = 0;
  g_command_output.clear();
  g_log.clear();
  g_stdout.clear();
  g_recording = true;
  InitHost();
}

void RedirectFakeStdout() { SetStdoutMode(false, false); }

void AddFakeFile(const std::string& path, std::optional<DosDate> date) { g_files[path] = {false, date}; }

void AddFakeDirectory(const std::string& path) { g_files[path] = {true, std::nullopt}; }

void SetFakeCommand(int status, const std::string& output) {
  g_command_status = status;
  g_command_output = output;
}

const std::vector<std::string>& FakeLog() { return g_log; }

void ClearFakeLog() { g_log.clear(); }

void SetFakeRecording(bool recording) { g_recording = recording; }

std::vector<std::string> FakeLogOf(const std::string& kind) {
  std::vector<std::string> lines;
  for (const std::string& line : g_log) {
    if (line.compare(0, kind.size() + 1, kind + " ") == 0) lines.push_back(line.substr(kind.size() + 1));
  }
  return lines;
}

std::string FakeStdout() { return g_stdout; }

int FakeOpenFileCount() { return static_cast<int>(g_open.size()); }

void InitHost() { SetStdoutMode(true, false); }

const char* LookupEnvVar(const char* name) {
  Log("env", name);
  return FindEnvValue(g_environment.c_str(), name);
}

int RunCommand(const char* command_line) {
  FlushStdout();
  Log("run", command_line);
  if (!g_command_output.empty()) WriteStdout(g_command_output.data(), g_command_output.size());
  return g_command_status;
}

HostFile ProbeFile(const char* path) {
  if (g_recording) Log("probe", path);
  const auto found = g_files.find(std::string_view(path));
  if (found == g_files.end() || found->second.directory) return kNoFile;
  const HostFile handle = g_next_handle++;
  g_open[handle] = path;
  return handle;
}

void CloseFile(HostFile file) {
  const auto found = g_open.find(file);
  if (found == g_open.end()) std::abort();  // closing what was never opened, or twice
  Log("close", found->second);
  g_open.erase(found);
}

std::optional<DosDate> GetFileWriteDate(HostFile file) {
  const auto found = g_open.find(file);
  if (found == g_open.end()) std::abort();
  Log("date", found->second);
  return g_files[found->second].date;
}

void WriteStdout(const char* data, std::size_t size) {
  if (!g_recording) return;
  Log("write", std::string(data, size));
  g_stdout.append(data, size);
}

void ExitHost(int) { std::abort(); }
