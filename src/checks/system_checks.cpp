// The operating-system and shell checks: both decide from the captured environment alone.
#include <cstring>

#include "checks/checks.h"
#include "host/host.h"

namespace {

constexpr char kOsStatement[] = "OS is Windows 2000 or XP.";
constexpr char kShellStatement[] = "Shell is cmd.exe.";

bool IsExactly(const char* value, const char* expected) {
  return value != nullptr && std::strcmp(value, expected) == 0;
}

}  // namespace

CheckResult ReportResult(const char* statement, CheckResult result) {
  PrintText(result == CheckResult::kPass ? "%s => [OK]\n" : "%s => [FAIL]\n", statement);
  return result;
}

CheckResult CheckOperatingSystem() {
  // Only the family counts, not the version: every NT-based system sets OS to this exact text.
  if (IsExactly(g_captured_os, "Windows_NT")) return ReportResult(kOsStatement, CheckResult::kPass);
  // The explanations of the first three checks carry no line break: on the console each runs
  // straight into its result line.
  PrintText("Our build environment support Windows 2000/XP only.");
  return ReportResult(kOsStatement, CheckResult::kFail);
}

CheckResult CheckShell() {
  // 4NT and 4DOS set _CMDPROC; the system's own interpreter never does.
  if (g_captured_cmdproc == nullptr) return ReportResult(kShellStatement, CheckResult::kPass);
  if (IsExactly(g_captured_cmdproc, "4NT")) PrintText("Our build environment don't support 4NT.");
  if (IsExactly(g_captured_cmdproc, "4DOS")) PrintText("Our build environment don't support 4DOS.");
  return ReportResult(kShellStatement, CheckResult::kFail);
}
