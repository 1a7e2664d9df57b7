// Fuzzes the search-path scan against the fake host and checks every run against a small model of
// the candidate rule written here, independently of the scan's own code.
//
// Input: one byte choosing where sh.exe lies, one byte of flags, then the PATH value (NULs dropped,
// at most 40,000 bytes).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "checks/checks.h"
#include "fake_host.h"

namespace {

struct Model {
  std::vector<std::string> candidates;  // in probe order, the current directory's "sh.exe" last
  std::vector<bool> final_entry;        // whether each candidate comes from the final entry
};

Model ModelScan(const std::string& path) {
  Model model;
  if (path.size() >= 2) {
    std::size_t start = 0;
    for (;;) {
      const std::size_t separator = path.find(';', start);
      std::string candidate =
          path.substr(start, separator == std::string::npos ? std::string::npos : separator - start);
      if (candidate.empty() || candidate[candidate.size() - 1] != '\\') candidate += '\\';
      candidate += "sh.exe";
      model.candidates.push_back(candidate);
      model.final_entry.push_back(separator == std::string::npos);
      if (separator == std::string::npos) break;
      start = separator + 1;
    }
  }
  model.candidates.push_back("sh.exe");
  model.final_entry.push_back(false);
  return model;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned where = data[0];
  const unsigned flags = data[1];
  std::string path;
  for (std::size_t i = 2; i < size && path.size() < 40000; ++i) {
    if (data[i] != 0) path.push_back(static_cast<char>(data[i]));
  }

  const Model model = ModelScan(path);
  ResetFakeHost({"PATH=" + path});
  // WHERE picks the candidate that exists (none when past the end); flag 1 makes it a directory,
  // which is no hit; flag 2 puts an sh.exe in the current directory. The map mirrors what the fake
  // host holds, since several entries may give the same candidate.
  std::map<std::string, bool> is_file;
  const std::size_t hit = where % (model.candidates.size() + 1);
  if (hit < model.candidates.size()) {
    const bool directory = (flags & 1) != 0;
    is_file[model.candidates[hit]] = !directory;
    if (directory) {
      AddFakeDirectory(model.candidates[hit]);
    } else {
      AddFakeFile(model.candidates[hit]);
    }
  }
  if ((flags & 2) != 0) {
    is_file["sh.exe"] = true;
    AddFakeFile("sh.exe");
  }
  CaptureEnvironment();
  ClearFakeLog();

  const CheckResult result = CheckNoShInPath();

  // The first candidate that is a file ends the scan; every earlier one is probed, in order.
  std::size_t first = model.candidates.size();
  for (std::size_t i = 0; i < model.candidates.size() && first == model.candidates.size(); ++i) {
    const auto found = is_file.find(model.candidates[i]);
    if (found != is_file.end() && found->second) first = i;
  }
  const std::size_t probed = first < model.candidates.size() ? first + 1 : model.candidates.size();
  const std::vector<std::string> expected(model.candidates.begin(),
                                          model.candidates.begin() + static_cast<long>(probed));
  Check(FakeLogOf("probe") == expected);
  Check(FakeOpenFileCount() == 0);

  const std::string output = FakeStdout();
  const std::string fail = "sh.exe shall not exist in path. => [FAIL]\n";
  const std::string ok = "sh.exe shall not exist in path. => [OK]\n";
  if (first == model.candidates.size()) {
    Check(result == CheckResult::kPass && output == ok);
  } else {
    const std::string& name = model.candidates[first];
    std::string text;
    if (first == model.candidates.size() - 1) {
      text = "\nsh.exe exist! \n";
    } else if (model.final_entry[first]) {
      text = "\n" + name + " exist! \n ";
    } else {
      text = "\n" + name + " exist!\n";
    }
    // The output is compared whole, so it also ends with exactly one result line.
    Check(result == CheckResult::kFail && output == text + fail);
  }
  return 0;
}
