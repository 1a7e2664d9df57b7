// The search-path scan: no sh.exe may be reachable along PATH or in the current directory.
#include <cstdlib>
#include <cstring>

#include "checks/checks.h"
#include "host/host.h"

namespace {

constexpr char kShName[] = "sh.exe";
constexpr char kScanStatement[] = "sh.exe shall not exist in path.";

// Builds the candidate for the entry [BEGIN, END) into CANDIDATE, which has room for it, and
// probes it. Only a backslash counts as a directory end: an entry ending in "/" still gets one, and
// an empty entry gives "\sh.exe" in the root of the current drive.
bool ProbeCandidate(const char* begin, const char* end, char* candidate) {
  const auto size = static_cast<std::size_t>(end - begin);
  std::memcpy(candidate, begin, size);
  std::size_t at = size;
  if (at == 0 || candidate[at - 1] != '\\') candidate[at++] = '\\';
  std::memcpy(candidate + at, kShName, sizeof kShName);
  const HostFile file = ProbeFile(candidate);
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
    // One buffer, allocated once, holds every candidate: no entry is longer than the whole value.
    char* candidate = static_cast<char*>(std::malloc(size + sizeof kShName + 1));
    // Without memory no entry can be looked at, and the search path can't be called clean.
    if (candidate == nullptr) return ReportResult(kScanStatement, CheckResult::kFail);
    const char* const path_end = path + size;
    for (const char* entry = path;;) {
      const char* separator = std::strchr(entry, ';');
      const bool final_entry = separator == nullptr;
      const char* entry_end = final_entry ? path_end : separator;
      if (ProbeCandidate(entry, entry_end, candidate)) {
        // A hit on the final entry is reported with a blank on each side of its line break, so
        // the result line after it starts one blank in.
        PrintText(final_entry ? "\n%s exist! \n " : "\n%s exist!\n", candidate);
        std::free(candidate);
        return ReportResult(kScanStatement, CheckResult::kFail);
      }
      if (final_entry) break;
      entry = separator + 1;
    }
    std::free(candidate);
  }

  const HostFile file = ProbeFile(kShName);
  if (file != kNoFile) {
    CloseFile(file);
    PrintText("\nsh.exe exist! \n");
    return ReportResult(kScanStatement, CheckResult::kFail);
  }
  return ReportResult(kScanStatement, CheckResult::kPass);
}
