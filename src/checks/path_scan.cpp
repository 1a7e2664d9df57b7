// The search-path scan: no sh.exe may be reachable along PATH or in the current directory.
#include <cstring>
#include <string>

#include "checks/checks.h"
#include "host/host.h"

namespace {

constexpr char kShName[] = "sh.exe";
constexpr char kScanStatement[] = "sh.exe shall not exist in path.";

// Builds the candidate for the entry [BEGIN, END) into CANDIDATE and probes it. Only a backslash
// counts as a directory end: an entry ending in "/" still gets one, and an empty entry gives
// "\sh.exe" in the root of the current drive.
bool ProbeCandidate(const char* begin, const char* end, std::string& candidate) {
  candidate.assign(begin, end);
  if (candidate.empty() || candidate.back() != '\\') candidate.push_back('\\');
  candidate += kShName;
  const HostFile file = ProbeFile(candidate.c_str());
  if (file == kNoFile) return false;
  CloseFile(file);
  return true;
}

}  // namespace

CheckResult CheckNoShInPath() {
  // An unset PATH is scanned as an empty one: only the current directory is looked at.
  const char* path = (g_captured_path != nullptr) ? g_captured_path : "";
  const std::size_t size = std::strlen(path);

  // Values shorter than two bytes hold no entry worth a probe ("", "C", ";"). The value is read in
  // place, whatever its length; the bytes ';' and '\' are recognised by value alone, as the ANSI
  // code page gives them.
  if (size >= 2) {
    std::string candidate;
    candidate.reserve(size + sizeof kShName + 1);
    const char* const path_end = path + size;
    for (const char* entry = path;;) {
      const char* separator = std::strchr(entry, ';');
      const bool final_entry = separator == nullptr;
      const char* entry_end = final_entry ? path_end : separator;
      if (ProbeCandidate(entry, entry_end, candidate)) {
        // A hit on the final entry is reported with a blank on each side of its line break, so
        // the result line after it starts one blank in.
        PrintText(final_entry ? "\n%s exist! \n " : "\n%s exist!\n", candidate.c_str());
        return ReportResult(kScanStatement, CheckResult::kFail);
      }
      if (final_entry) break;
      entry = separator + 1;
    }
  }

  const HostFile file = ProbeFile(kShName);
  if (file != kNoFile) {
    CloseFile(file);
    PrintText("\nsh.exe exist! \n");
    return ReportResult(kScanStatement, CheckResult::kFail);
  }
  return ReportResult(kScanStatement, CheckResult::kPass);
}
