// readyscan: is this workstation ready for an ARM Developer Suite 1.2 build?
// Six checks in a fixed order, one result line each, stopping at the first failure.
// Exit status 0: ready; 1: not ready.
#include "checks/checks.h"
#include "host/host.h"

const char* g_captured_path = nullptr;
const char* g_captured_os = nullptr;
const char* g_captured_cmdproc = nullptr;

void CaptureEnvironment() {
  g_captured_path = LookupEnvVar("PATH");
  g_captured_os = LookupEnvVar("OS");
  g_captured_cmdproc = LookupEnvVar("_CMDPROC");
}

int RunReadinessChecks() {
  static constexpr CheckResult (*const kChecks[])() = {
      CheckOperatingSystem, CheckShell, CheckPerl, CheckNoShInPath, CheckTccPresent, CheckTcppDate,
  };
  CaptureEnvironment();
  for (const auto check : kChecks) {
    if (check() == CheckResult::kFail) return 1;
  }
  PrintText("Build environment is ready!\n");
  return 0;
}

// The tests link the sequence above against their fake host and bring their own entry point.
#if !defined(READYSCAN_NO_ENTRY_POINT)
int main() {
  // Arguments are ignored: there are no options.
  InitHost();
  ExitHost(RunReadinessChecks());
}
#endif
