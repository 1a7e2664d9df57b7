// The Perl check: perl must be reachable from the command interpreter.
#include "checks/checks.h"
#include "host/host.h"

namespace {

// The trailing blank is part of the command line the interpreter is given.
constexpr char kPerlCommand[] = "perl -v ";
// The interpreter's status when it can't find the command. Any other status, -1 for "no
// interpreter" included, passes: only a certain "perl is missing" fails the check.
constexpr int kPerlMissingStatus = 1;
constexpr char kPerlStatement[] = "Perl installed.";

}  // namespace

CheckResult CheckPerl() {
  // Perl's banner, or the interpreter's complaint, goes straight to the inherited standard output.
  if (RunCommand(kPerlCommand) != kPerlMissingStatus) {
    return ReportResult(kPerlStatement, CheckResult::kPass);
  }
  PrintText("We can't find perl.  Please install perl.");
  return ReportResult(kPerlStatement, CheckResult::kFail);
}
