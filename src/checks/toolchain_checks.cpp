// The toolchain checks: tcc.exe and a recent enough tcpp.dll in the toolchain's default place.
#include <optional>

#include "checks/checks.h"
#include "host/host.h"

namespace {

// tcc.exe is named with the short form of the program-files directory, tcpp.dll with the long one;
// the failure text for a missing tcpp.dll names it with the short form all the same.
constexpr char kTccPath[] = "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe";
constexpr char kTccStatement[] = "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist.";
constexpr char kTcppPath[] = "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll";
constexpr char kTcppMissingStatement[] = "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcpp.dll shall exist.";
// The passing and failing statements name different days; both are printed as they stand.
constexpr char kTcppDateStatement[] =
    "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 3/9/2002.";
constexpr char kTcppOldStatement[] =
    "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 2/9/2002.";

// The oldest tcpp.dll that will do: 3 September 2002.
constexpr unsigned kTcppThresholdYear = 2002;
constexpr unsigned kTcppThresholdMonth = 9;
constexpr unsigned kTcppThresholdDay = 3;

}  // namespace

CheckResult CheckTccPresent() {
  const HostFile file = ProbeFile(kTccPath);
  if (file != kNoFile) {
    CloseFile(file);
    return ReportResult(kTccStatement, CheckResult::kPass);
  }
  PrintText("%s shall doesn't exist!\n", kTccPath);
  return ReportResult(kTccStatement, CheckResult::kFail);
}

CheckResult CheckTcppDate() {
  const HostFile file = ProbeFile(kTcppPath);
  // Presence alone prints nothing when it passes.
  if (file == kNoFile) return ReportResult(kTcppMissingStatement, CheckResult::kFail);
  const std::optional<DosDate> date = GetFileWriteDate(file);
  CloseFile(file);
  // With no date to show (a host error, or a year the date word can't hold) the library can't be
  // shown to be recent enough.
  if (!date) return ReportResult(kTcppOldStatement, CheckResult::kFail);

  const unsigned day = *date & 0x1Fu;
  const unsigned month = (*date >> 5) & 0x0Fu;
  const unsigned year = ((*date >> 9) & 0x7Fu) + 1980;
  const bool recent_enough = year != kTcppThresholdYear     ? year > kTcppThresholdYear
                             : month != kTcppThresholdMonth ? month > kTcppThresholdMonth
                                                            : day >= kTcppThresholdDay;
  if (recent_enough) return ReportResult(kTcppDateStatement, CheckResult::kPass);
  PrintText("%s modified time is %u/%u/%u \n", kTcppPath, day, month, year);
  return ReportResult(kTcppOldStatement, CheckResult::kFail);
}
