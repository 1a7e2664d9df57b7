// The six readiness checks, run in this order by RunReadinessChecks. Each takes what it needs from
// the environment captured at start or from its own constants, prints its own texts through
// PrintText, and returns its result.
#pragma once

enum class CheckResult { kPass, kFail };

// PATH, OS and _CMDPROC as captured at start by CaptureEnvironment; nullptr when unset.
extern const char* g_captured_path;
extern const char* g_captured_os;
extern const char* g_captured_cmdproc;

// Reads PATH, OS and _CMDPROC, in that order, once for the whole run.
void CaptureEnvironment();

// Runs the six checks in order, stopping at the first failure. Returns the exit status: 0 when the
// workstation is ready, 1 when it is not.
int RunReadinessChecks();

// Prints STATEMENT followed by " => [OK]\n" or " => [FAIL]\n" and returns RESULT.
CheckResult ReportResult(const char* statement, CheckResult result);

CheckResult CheckOperatingSystem();  // OS is exactly "Windows_NT"
CheckResult CheckShell();            // _CMDPROC is not set
CheckResult CheckPerl();             // "perl -v " through the interpreter does not end with status 1
CheckResult CheckNoShInPath();       // no sh.exe along PATH nor in the current directory
CheckResult CheckTccPresent();       // the toolchain's tcc.exe opens
CheckResult CheckTcppDate();         // the toolchain's tcpp.dll opens and dates from 3/9/2002 or later
