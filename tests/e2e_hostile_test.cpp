// The built readyscan against what a workstation may throw at it: huge and odd PATH values, crowded
// environments, unreadable files, and standard output closed, broken or full.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "process.h"

namespace {

using Strings = std::vector<std::string>;

constexpr char kTccName[] = "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe";
constexpr char kTcppName[] = "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll";
const std::string kUpToScan =
    "OS is Windows 2000 or XP. => [OK]\nShell is cmd.exe. => [OK]\nPerl installed. => [OK]\n";
const std::string kScanFail = "sh.exe shall not exist in path. => [FAIL]\n";
const std::string kReadyTail =
    "sh.exe shall not exist in path. => [OK]\n"
    "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [OK]\n"
    "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 3/9/2002. => [OK]\n"
    "Build environment is ready!\n";

class Hostile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDir();
    chmod(dir_.c_str(), 0755);
    WriteFile(Path(kTccName), "");
    WriteFile(Path(kTcppName), "");
    SetWriteTime(Path(kTcppName), UtcSeconds(2002, 9, 3));
  }
  void TearDown() override { RemoveTree(dir_); }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  ProcessResult Run(const Strings& environment, StdoutKind kind = StdoutKind::kPipe,
                    Strings prefix = {}) const {
    prefix.push_back(READYSCAN_BINARY);
    return RunProcess(prefix, environment, dir_, kind, 60);
  }
  std::string dir_;
};

TEST_F(Hostile, HugePathValuesAreScannedWhole) {
  mkdir(Path("hit").c_str(), 0755);
  WriteFile(Path("hit\\sh.exe"), "");
  // 8,000 absent directories, short enough for the 128 KiB that Linux allows one variable.
  std::string entries;
  for (int i = 0; i < 8000; ++i) entries += "C:\\d" + std::to_string(i) + ";";
  std::string bytes;  // just under 32,767 bytes with the hit
  while (bytes.size() < 32767 - Path("hit").size()) bytes += "C:\\x;";
  const struct {
    const char* name;
    std::string path;
    std::string report;
  } cases[] = {
      {"8,000 entries, none", entries + Path("absent"), kReadyTail},
      {"8,000 entries, hit last", entries + Path("hit"),
       "\n" + Path("hit") + "\\sh.exe exist! \n " + kScanFail},
      {"8,000 entries, hit inside", entries + Path("hit") + ";x",
       "\n" + Path("hit") + "\\sh.exe exist!\n" + kScanFail},
      {"32,767 bytes", bytes + Path("hit"), "\n" + Path("hit") + "\\sh.exe exist! \n " + kScanFail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ProcessResult result = Run({"OS=Windows_NT", "COMSPEC=", "TZ=UTC", "PATH=" + c.path});
    EXPECT_EQ(result.out, kUpToScan + c.report);
    EXPECT_EQ(result.status, c.report == kReadyTail ? 0 : 1);
  }
}

TEST_F(Hostile, OddEntriesAreTakenAsTheyStand) {
  // A name far past the platform's path limit, device names, quotation marks, references, blanks,
  // "..", and bytes above 0x7F; none of them is a hit, and the scan goes on to the last entry.
  const std::string long_entry(5000, 'L');
  const std::string odd = " ;\"C:\\x\";%PATH%;..;NUL;CON;/dev/null;/dev/zero;" + long_entry + ";\xE9t\xE9;";
  WriteFile(Path("\x83\x5Csh.exe"), "");
  const ProcessResult result =
      Run({"OS=Windows_NT", "COMSPEC=", "TZ=UTC", "PATH=" + odd + dir_ + "/\x83\x5C"});
  // The trailing 0x5C counts as a backslash, whatever character it belongs to.
  EXPECT_EQ(result.out, kUpToScan + "\n" + dir_ + "/\x83\x5Csh.exe exist! \n " + kScanFail);
  EXPECT_EQ(result.status, 1);
}

TEST_F(Hostile, TenThousandVariables) {
  Strings environment;
  for (int i = 0; i < 10000; ++i)
    environment.push_back("VARIABLE" + std::to_string(i) + "=" + std::string(20, 'v'));
  environment.push_back("OS=Windows_NT");
  environment.push_back("COMSPEC=");
  environment.push_back("TZ=UTC");
  environment.push_back("Path=" + dir_);
  const ProcessResult result = Run(environment);
  EXPECT_EQ(result.out, kUpToScan + kReadyTail);
  EXPECT_EQ(result.status, 0);
}

TEST_F(Hostile, AnUnreadableLibraryCountsAsMissing) {
  chmod(Path(kTcppName).c_str(), 0);
  // Root reads everything, so the check runs as an ordinary user then.
  const Strings as_user =
      geteuid() == 0 ? Strings{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}
                     : Strings{};
  const ProcessResult result = Run({"OS=Windows_NT", "COMSPEC=", "TZ=UTC"}, StdoutKind::kPipe, as_user);
  EXPECT_EQ(result.out, kUpToScan +
                            "sh.exe shall not exist in path. => [OK]\n"
                            "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [OK]\n"
                            "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcpp.dll shall exist. => [FAIL]\n")
      << result.err;
  EXPECT_EQ(result.status, 1);
}

TEST_F(Hostile, StandardOutputClosedBrokenOrFullStillGivesTheAnswer) {
  WriteFile(Path("cmd"), "#!/bin/sh\nprintf 'banner\\n'\nexit 0\n", 0755);
  for (const StdoutKind kind : {StdoutKind::kClosed, StdoutKind::kBrokenPipe, StdoutKind::kFullPipe}) {
    SCOPED_TRACE(static_cast<int>(kind));
    EXPECT_EQ(Run({"OS=Windows_NT", "COMSPEC=" + Path("cmd"), "TZ=UTC"}, kind).status, 0);
    EXPECT_EQ(Run({"OS=Windows_NT", "COMSPEC=" + Path("cmd"), "PATH=" + dir_ + "/x", "TZ=UTC"}, kind).status,
              0);
    EXPECT_EQ(Run({"OS=Windows_95"}, kind).status, 1);
  }
}

TEST_F(Hostile, TheInterpreterGetsTheDefaultActionForSigpipe) {
  // readyscan itself ignores SIGPIPE; the command it runs must not inherit that.
  WriteFile(Path("cmd"),
            "#!/bin/sh\nwhile read -r key value; do [ \"$key\" = SigIgn: ] && echo \"$value\"; done < "
            "/proc/$$/status\n",
            0755);
  const ProcessResult result = Run({"OS=Windows_95"});
  ASSERT_EQ(result.status, 1);
  const ProcessResult run = Run({"OS=Windows_NT", "COMSPEC=" + Path("cmd"), "TZ=UTC"});
  const std::size_t start = run.out.find("cmd.exe. => [OK]\n") + 17;
  const std::string mask = run.out.substr(start, run.out.find('\n', start) - start);
  ASSERT_FALSE(mask.empty()) << run.out;
  const unsigned long long ignored = std::stoull(mask, nullptr, 16);
  EXPECT_EQ(ignored & (1ull << (13 - 1)), 0u) << "SigIgn " << mask;
}

}  // namespace
