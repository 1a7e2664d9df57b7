// The built readyscan run as a process: exact environment, fixture files in a temporary working
// directory, and a stand-in command interpreter.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "process.h"

namespace {

using Strings = std::vector<std::string>;

// The toolchain files, by their literal names in the working directory.
constexpr char kTccName[] = "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe";
constexpr char kTcppName[] = "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll";

const std::string kBanner = "This is perl, v5.6.1 stand-in\n";
const std::string kReadyReport =
    "OS is Windows 2000 or XP. => [OK]\n"
    "Shell is cmd.exe. => [OK]\n" +
    kBanner +
    "Perl installed. => [OK]\n"
    "sh.exe shall not exist in path. => [OK]\n"
    "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [OK]\n"
    "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 3/9/2002. => [OK]\n"
    "Build environment is ready!\n";
const std::string kUpToScan =
    "OS is Windows 2000 or XP. => [OK]\n"
    "Shell is cmd.exe. => [OK]\n"
    "Perl installed. => [OK]\n";
const std::string kScanFail = "sh.exe shall not exist in path. => [FAIL]\n";

// An interpreter that insists on being called as "<itself> /c perl -v ", prints a banner and ends
// with STATUS.
std::string InterpreterScript(int status, const std::string& banner = kBanner) {
  return "#!/bin/sh\n"
         "if [ \"$#\" -ne 2 ] || [ \"$1\" != /c ] || [ \"$2\" != 'perl -v ' ]; then\n"
         "  printf 'bad arguments:'; printf ' [%s]' \"$@\"; printf '\\n'; exit 97\n"
         "fi\n"
         "printf '%s' '" +
         banner +
         "'\n"
         "exit " +
         std::to_string(status) + "\n";
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = MakeTempDir(); }
  void TearDown() override { RemoveTree(dir_); }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // A workstation that is ready: interpreter, toolchain files of a good date, nothing on PATH.
  void MakeReady(int perl_status = 0) {
    WriteFile(Path("cmd"), InterpreterScript(perl_status), 0755);
    WriteFile(Path(kTccName), "tcc");
    WriteFile(Path(kTcppName), "tcpp");
    SetWriteTime(Path(kTcppName), UtcSeconds(2002, 9, 3));
  }
  Strings ReadyEnvironment() const {
    return {"OS=Windows_NT", "PATH=" + dir_ + "/a;" + dir_ + "/b", "COMSPEC=" + Path("cmd"), "TZ=UTC"};
  }

  ProcessResult Run(const Strings& environment, StdoutKind kind = StdoutKind::kPipe,
                    const Strings& args = {}) {
    Strings argv = {READYSCAN_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, environment, dir_, kind);
  }

  std::string dir_;
};

TEST_F(EndToEnd, AReadyWorkstationPrintsTheWholeReportAndExitsZero) {
  MakeReady();
  for (const StdoutKind kind : {StdoutKind::kPipe, StdoutKind::kFile}) {
    const ProcessResult result = Run(ReadyEnvironment(), kind);
    EXPECT_EQ(result.out, kReadyReport);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

TEST_F(EndToEnd, ArgumentsChangeNothing) {
  MakeReady();
  for (const Strings& args : {Strings{"--help"}, Strings{"/?"}, Strings{"-v", "x y", ""}}) {
    const ProcessResult result = Run(ReadyEnvironment(), StdoutKind::kPipe, args);
    EXPECT_EQ(result.out, kReadyReport);
    EXPECT_EQ(result.status, 0);
  }
}

TEST_F(EndToEnd, TheFirstFailureEndsTheRunWithStatusOne) {
  MakeReady(1);
  const struct {
    Strings environment;
    std::string output;
  } cases[] = {
      {{}, "Our build environment support Windows 2000/XP only.OS is Windows 2000 or XP. => [FAIL]\n"},
      {{"OS=Windows_NT", "_CMDPROC=4DOS"},
       "OS is Windows 2000 or XP. => [OK]\n"
       "Our build environment don't support 4DOS.Shell is cmd.exe. => [FAIL]\n"},
      {{"OS=Windows_NT", "COMSPEC=" + Path("cmd")},
       "OS is Windows 2000 or XP. => [OK]\n"
       "Shell is cmd.exe. => [OK]\n" +
           kBanner + "We can't find perl.  Please install perl.Perl installed. => [FAIL]\n"},
  };
  for (const auto& c : cases) {
    for (const StdoutKind kind : {StdoutKind::kPipe, StdoutKind::kFile}) {
      const ProcessResult result = Run(c.environment, kind);
      EXPECT_EQ(result.out, c.output);
      EXPECT_EQ(result.status, 1);
    }
  }
}

TEST_F(EndToEnd, EnvironmentNamesMatchWithoutRegardToCaseAndTheFirstWins) {
  MakeReady();
  WriteFile(Path("a\\sh.exe"), "");
  const struct {
    Strings environment;
    std::string output;
    int status;
  } cases[] = {
      {{"os=Windows_NT", "Path=" + Path("b"), "ComSpec=" + Path("cmd"), "TZ=UTC"}, kReadyReport, 0},
      {{"OS=Windows_NT", "OS=Windows_95", "COMSPEC=" + Path("cmd"), "TZ=UTC"}, kReadyReport, 0},
      {{"OS=Windows_95", "OS=Windows_NT"},
       "Our build environment support Windows 2000/XP only.OS is Windows 2000 or XP. => [FAIL]\n",
       1},
      {{"OS=Windows_NT", "PATHEXT=" + Path("a"), "COMSPEC=" + Path("cmd"), "TZ=UTC"}, kReadyReport, 0},
      {{"OS=Windows_NT", "Path=" + Path("a"), "COMSPEC="},
       kUpToScan + "\n" + Path("a") + "\\sh.exe exist! \n " + kScanFail,
       1},
  };
  for (const auto& c : cases) {
    const ProcessResult result = Run(c.environment);
    EXPECT_EQ(result.out, c.output);
    EXPECT_EQ(result.status, c.status);
  }
}

TEST_F(EndToEnd, InterpreterRules) {
  MakeReady();
  const std::string with_perl_missing = "OS is Windows 2000 or XP. => [OK]\nShell is cmd.exe. => [OK]\n";
  const std::string fail = "We can't find perl.  Please install perl.Perl installed. => [FAIL]\n";
  mkdir(Path("bin1").c_str(), 0755);
  mkdir(Path("bin2").c_str(), 0755);
  mkdir(Path("adir").c_str(), 0755);
  WriteFile(Path("bin2/CMD.EXE"), InterpreterScript(1, "from bin2\n"), 0755);
  WriteFile(Path("plain"), "not a program", 0644);
  WriteFile(Path("killed"), "#!/bin/sh\nkill -9 $$\n", 0755);
  WriteFile(Path("status2"), InterpreterScript(2, "two\n"), 0755);
  const struct {
    const char* name;
    Strings environment;
    std::string between;  // what the interpreter prints
    bool passes;
  } cases[] = {
      // COMSPEC is used whenever it is set, with no fallback when it can't be run.
      {"empty COMSPEC", {"OS=Windows_NT", "COMSPEC=", "PATH=" + Path("bin2")}, "", true},
      {"COMSPEC names nothing",
       {"OS=Windows_NT", "COMSPEC=" + Path("none"), "PATH=" + Path("bin2")},
       "",
       true},
      {"COMSPEC names a directory", {"OS=Windows_NT", "COMSPEC=" + Path("adir")}, "", true},
      {"COMSPEC not executable", {"OS=Windows_NT", "COMSPEC=" + Path("plain")}, "", true},
      {"interpreter killed", {"OS=Windows_NT", "COMSPEC=" + Path("killed")}, "", true},
      {"other status", {"OS=Windows_NT", "COMSPEC=" + Path("status2")}, "two\n", true},
      // No COMSPEC: the first CMD.EXE along PATH, split at ':' here.
      {"CMD.EXE on PATH",
       {"OS=Windows_NT", "PATH=" + Path("bin1") + ":" + Path("bin2")},
       "from bin2\n",
       false},
      {"no CMD.EXE anywhere", {"OS=Windows_NT", "PATH=" + Path("bin1")}, "", true},
      {"no PATH", {"OS=Windows_NT"}, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ProcessResult result = Run(c.environment);
    const std::string perl_line = c.passes ? "Perl installed. => [OK]\n" : fail;
    EXPECT_EQ(result.out.substr(0, with_perl_missing.size() + c.between.size() + perl_line.size()),
              with_perl_missing + c.between + perl_line);
    EXPECT_EQ(result.status, c.passes ? 0 : 1);
  }
}

TEST_F(EndToEnd, CmdExeInTheCurrentDirectoryComesFirst) {
  MakeReady();
  mkdir(Path("bin").c_str(), 0755);
  WriteFile(Path("bin/CMD.EXE"), InterpreterScript(0, "from PATH\n"), 0755);
  WriteFile(Path("CMD.EXE"), InterpreterScript(1, "from here\n"), 0755);
  const ProcessResult result = Run({"OS=Windows_NT", "PATH=" + Path("bin")});
  EXPECT_EQ(result.out,
            "OS is Windows 2000 or XP. => [OK]\nShell is cmd.exe. => [OK]\nfrom here\n"
            "We can't find perl.  Please install perl.Perl installed. => [FAIL]\n");
  EXPECT_EQ(result.status, 1);
}

TEST_F(EndToEnd, ShExeAlongThePathOrHereFails) {
  mkdir(Path("d").c_str(), 0755);
  const struct {
    const char* file;  // literal name in the working directory
    std::string path;
    std::string report;
  } cases[] = {
      {"a\\sh.exe", Path("a") + ";" + Path("b"), "\n" + Path("a") + "\\sh.exe exist!\n" + kScanFail},
      {"b\\sh.exe", Path("a") + ";" + Path("b"), "\n" + Path("b") + "\\sh.exe exist! \n " + kScanFail},
      {"sh.exe", Path("a") + ";" + Path("b"), "\nsh.exe exist! \n" + kScanFail},
      {"sh.exe", "", "\nsh.exe exist! \n" + kScanFail},
      {"d/\\sh.exe", Path("d/"), "\n" + Path("d/") + "\\sh.exe exist! \n " + kScanFail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    WriteFile(Path(c.file), "");
    const ProcessResult result = Run({"OS=Windows_NT", "COMSPEC=", "PATH=" + c.path});
    unlink(Path(c.file).c_str());
    EXPECT_EQ(result.out, kUpToScan + c.report);
    EXPECT_EQ(result.status, 1);
  }
}

TEST_F(EndToEnd, ThingsThatAreNotFilesAreNoHit) {
  MakeReady();
  mkdir(Path("a\\sh.exe").c_str(), 0755);   // a directory where a candidate is looked for
  mkfifo(Path("b\\sh.exe").c_str(), 0644);  // a FIFO must not hold the scan up
  symlink("loop", Path("loop").c_str());
  symlink(Path("loop").c_str(), Path("sh.exe").c_str());
  const ProcessResult result = Run(ReadyEnvironment());
  EXPECT_EQ(result.out, kReadyReport);
  EXPECT_EQ(result.status, 0);
}

TEST_F(EndToEnd, ToolchainFiles) {
  const std::string up_to_toolchain = kUpToScan + "sh.exe shall not exist in path. => [OK]\n";
  const std::string tcc_ok = "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [OK]\n";
  const std::string tcpp_old =
      "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 2/9/2002. => [FAIL]\n";
  const std::string tcpp_ok =
      "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 3/9/2002. => [OK]\n"
      "Build environment is ready!\n";
  const auto dated = [&](const char* date) {
    return std::string("C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time is ") + date + " \n" +
           tcpp_old;
  };
  const struct {
    const char* name;
    bool tcc_file;
    long long tcpp_time;  // 0: no tcpp.dll
    const char* tz;
    std::string report;
  } cases[] = {
      {"no tcc.exe", false, UtcSeconds(2002, 9, 3), "UTC",
       "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall doesn't exist!\n"
       "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [FAIL]\n"},
      {"no tcpp.dll", true, 0, "UTC",
       tcc_ok + "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcpp.dll shall exist. => [FAIL]\n"},
      {"3/9/2002", true, UtcSeconds(2002, 9, 3), "UTC", tcc_ok + tcpp_ok},
      {"2/9/2002", true, UtcSeconds(2002, 9, 2), "UTC", tcc_ok + dated("2/9/2002")},
      {"30/9/2002", true, UtcSeconds(2002, 9, 30), "UTC", tcc_ok + tcpp_ok},
      {"1/10/2002", true, UtcSeconds(2002, 10, 1), "UTC", tcc_ok + tcpp_ok},
      {"15/1/2003", true, UtcSeconds(2003, 1, 15), "UTC", tcc_ok + tcpp_ok},
      {"3/8/2002", true, UtcSeconds(2002, 8, 3), "UTC", tcc_ok + dated("3/8/2002")},
      {"31/12/2001", true, UtcSeconds(2001, 12, 31), "UTC", tcc_ok + dated("31/12/2001")},
      // The local date decides: 23:30 UTC is already the next day an hour east of Greenwich.
      {"23:30 UTC, at UTC", true, UtcSeconds(2002, 9, 2, 23, 30), "UTC", tcc_ok + dated("2/9/2002")},
      {"23:30 UTC, an hour east", true, UtcSeconds(2002, 9, 2, 23, 30), "<+01>-1", tcc_ok + tcpp_ok},
      {"00:30 UTC, an hour west", true, UtcSeconds(2002, 9, 3, 0, 30), "<-01>1", tcc_ok + dated("2/9/2002")},
      // Years the date word can't hold give no date at all.
      {"1979", true, UtcSeconds(1979, 12, 31), "UTC", tcc_ok + tcpp_old},
      {"2108", true, UtcSeconds(2108, 1, 1), "UTC", tcc_ok + tcpp_ok.substr(0, 0) + tcpp_old},
      {"2107", true, UtcSeconds(2107, 12, 31), "UTC", tcc_ok + tcpp_ok},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveTree(dir_);
    mkdir(dir_.c_str(), 0700);
    if (c.tcc_file) WriteFile(Path(kTccName), "");
    if (c.tcpp_time != 0) {
      WriteFile(Path(kTcppName), "");
      SetWriteTime(Path(kTcppName), c.tcpp_time);
    }
    const ProcessResult result = Run({"OS=Windows_NT", "COMSPEC=", std::string("TZ=") + c.tz});
    EXPECT_EQ(result.out, up_to_toolchain + c.report);
    EXPECT_EQ(result.status, c.report.find("ready!") != std::string::npos ? 0 : 1);
  }
}

TEST_F(EndToEnd, ADirectoryWhereTccExeShouldBeIsNoFile) {
  MakeReady();
  unlink(Path(kTccName).c_str());
  mkdir(Path(kTccName).c_str(), 0755);
  const ProcessResult result = Run(ReadyEnvironment());
  EXPECT_NE(result.out.find("tcc.exe shall doesn't exist!\n"), std::string::npos);
  EXPECT_EQ(result.status, 1);
}

}  // namespace
