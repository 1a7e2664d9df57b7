// readyscan.exe under 32-bit Wine, started by the test launcher with an exact environment.
// One Wine prefix serves the whole run; every test lays out its own files on its drive C.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "process.h"

namespace {

using Strings = std::vector<std::string>;

std::string g_root;   // temporary directory holding the prefix and the launch files
std::string g_drive;  // the prefix's drive C
Strings g_wine_env;   // the Unix environment wine itself runs with

ProcessResult RunUnix(const Strings& argv, StdoutKind kind = StdoutKind::kFile, int timeout = 300) {
  return RunProcess(argv, g_wine_env, g_root, kind, timeout);
}

class WinePrefix : public ::testing::Environment {
 public:
  void SetUp() override {
    g_root = MakeTempDir();
    g_drive = g_root + "/prefix/drive_c";
    g_wine_env = {"WINEPREFIX=" + g_root + "/prefix",
                  "WINEARCH=win32",
                  "WINEDEBUG=-all",
                  "HOME=" + g_root,
                  "PATH=/usr/bin:/bin",
                  "TZ=UTC",
                  "LANG=C.UTF-8",
                  "WINEDLLOVERRIDES=mscoree,mshtml="};
    // Without a working Wine the suite fails outright; it never passes by skipping.
    const ProcessResult boot = RunUnix({"/usr/bin/wineboot", "-i"});
    const ProcessResult settled = RunUnix({"/usr/bin/wineserver", "-w"}, StdoutKind::kFile, 120);
    if (boot.status != 0 || settled.status != 0) {
      std::fprintf(stderr, "cannot set up a Wine prefix (wineboot %d, wineserver %d): %s\n", boot.status,
                   settled.status, boot.err.c_str());
      std::exit(1);
    }
    mkdir((g_drive + "/t").c_str(), 0755);
    for (const char* exe : {"readyscan.exe", "launcher.exe", "fakecmd.exe"}) {
      WriteFile(g_drive + "/t/" + exe, ReadFile(std::string(READYSCAN_WIN32_DIR) + "/" + exe), 0755);
    }
    // On Windows the short name of "C:\Program Files" is "C:\Progra~1"; Wine needs a link for it.
    ASSERT_EQ(symlink("Program Files", (g_drive + "/Progra~1").c_str()), 0);
  }
  void TearDown() override {
    RunUnix({"/usr/bin/wineserver", "-k"}, StdoutKind::kFile, 60);
    RemoveTree(g_root);
  }
};

const testing::Environment* const g_prefix = testing::AddGlobalTestEnvironment(new WinePrefix);

const std::string kBanner = "This is perl, v5.6.1 stand-in\r\n";
const std::string kUpToPerl = "OS is Windows 2000 or XP. => [OK]\r\nShell is cmd.exe. => [OK]\r\n";
const std::string kPerlOk = "Perl installed. => [OK]\r\n";
const std::string kPerlFail = "We can't find perl.  Please install perl.Perl installed. => [FAIL]\r\n";
const std::string kScanOk = "sh.exe shall not exist in path. => [OK]\r\n";
const std::string kScanFail = "sh.exe shall not exist in path. => [FAIL]\r\n";
const std::string kTccOk = "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [OK]\r\n";
const std::string kTcppOk =
    "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 3/9/2002. => [OK]\r\n"
    "Build environment is ready!\r\n";
const std::string kTcppOld =
    "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 2/9/2002. => [FAIL]\r\n";
const std::string kReady = kUpToPerl + kBanner + kPerlOk + kScanOk + kTccOk + kTcppOk;

class Wine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* dir : {"/work", "/bin", "/ARM", "/sh.exe"}) RemoveTree(g_drive + dir);
    RemoveTree(g_drive + "/Program Files/ARM");
    MakeDir("work");
    MakeDir("Program Files/ARM/ADSv1_2/Bin");
  }

  static void MakeDir(const std::string& path) {
    std::string built = g_drive;
    for (std::size_t at = 0; at != std::string::npos;) {
      const std::size_t slash = path.find('/', at);
      built += "/" + path.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
      mkdir(built.c_str(), 0755);
      at = slash == std::string::npos ? slash : slash + 1;
    }
  }
  // A file on drive C, by its Unix path below the drive.
  static void Put(const std::string& path, const std::string& content = "x") {
    WriteFile(g_drive + "/" + path, content);
  }

  static void MakeToolchain(long long tcpp_time = UtcSeconds(2002, 9, 3)) {
    Put("Program Files/ARM/ADSv1_2/Bin/tcc.exe");
    Put("Program Files/ARM/ADSv1_2/Bin/tcpp.dll");
    SetWriteTime(g_drive + "/Program Files/ARM/ADSv1_2/Bin/tcpp.dll", tcpp_time);
  }

  static Strings ReadyEnvironment(const std::string& status = "0") {
    return {"OS=Windows_NT", "PATH=C:\\windows\\system32;C:\\windows", "COMSPEC=C:\\t\\fakecmd.exe",
            "FAKECMD_STATUS=" + status, "TZ=UTC"};
  }

  // Starts readyscan.exe in C:\work with exactly ENVIRONMENT, through the launcher.
  static ProcessResult Run(const Strings& environment, StdoutKind kind = StdoutKind::kPipe,
                           const std::string& command_line = "readyscan.exe", const std::string& mode = "") {
    std::string launch;
    for (const std::string& field : Strings{mode, "C:\\t\\readyscan.exe", command_line, "C:\\work"})
      launch += field + '\0';
    for (const std::string& entry : environment) launch += entry + '\0';
    WriteFile(g_drive + "/t/launch", launch);
    return RunProcess({"/usr/bin/wine", g_drive + "/t/launcher.exe", "C:\\t\\launch"}, g_wine_env,
                      g_drive + "/work", kind, 120);
  }
};

TEST_F(Wine, AReadyWorkstationPrintsTheWholeReportWithCrLf) {
  MakeToolchain();
  for (const StdoutKind kind : {StdoutKind::kPipe, StdoutKind::kFile}) {
    const ProcessResult result = Run(ReadyEnvironment(), kind);
    EXPECT_EQ(result.out, kReady);
    EXPECT_EQ(result.status, 0);
  }
  const ProcessResult with_arguments =
      Run(ReadyEnvironment(), StdoutKind::kPipe, "readyscan.exe --help /? x");
  EXPECT_EQ(with_arguments.out, kReady);
  EXPECT_EQ(with_arguments.status, 0);
}

TEST_F(Wine, EarlyFailuresStopTheRun) {
  MakeToolchain();
  const struct {
    Strings environment;
    std::string output;
  } cases[] = {
      {{"PATH=C:\\windows", "COMSPEC=C:\\t\\fakecmd.exe"},
       "Our build environment support Windows 2000/XP only.OS is Windows 2000 or XP. => [FAIL]\r\n"},
      {{"OS=Windows_95", "OS=Windows_NT"},
       "Our build environment support Windows 2000/XP only.OS is Windows 2000 or XP. => [FAIL]\r\n"},
      {{"OS=windows_nt"},
       "Our build environment support Windows 2000/XP only.OS is Windows 2000 or XP. => [FAIL]\r\n"},
      {{"OS=Windows_NT", "_CMDPROC=4NT"},
       "OS is Windows 2000 or XP. => [OK]\r\nOur build environment don't support 4NT.Shell is cmd.exe. => "
       "[FAIL]\r\n"},
      {{"OS=Windows_NT", "_CMDPROC="},
       "OS is Windows 2000 or XP. => [OK]\r\nShell is cmd.exe. => [FAIL]\r\n"},
      {ReadyEnvironment("1"), kUpToPerl + kBanner + kPerlFail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.environment[0]);
    for (const StdoutKind kind : {StdoutKind::kPipe, StdoutKind::kFile}) {
      const ProcessResult result = Run(c.environment, kind);
      EXPECT_EQ(result.out, c.output);
      EXPECT_EQ(result.status, 1);
    }
  }
}

TEST_F(Wine, InterpreterRules) {
  MakeToolchain();
  MakeDir("bin");
  MakeDir("work/sub");
  Put("work/notes.txt", "not a program\r\n");
  WriteFile(g_drive + "/bin/CMD.EXE", ReadFile(g_drive + "/t/fakecmd.exe"));
  MakeDir("long dir");
  WriteFile(g_drive + "/long dir/fake cmd.exe", ReadFile(g_drive + "/t/fakecmd.exe"));
  const struct {
    const char* name;
    Strings environment;
    std::string between;
    bool passes;
  } cases[] = {
      {"empty COMSPEC", {"OS=Windows_NT", "COMSPEC=", "PATH=C:\\bin"}, "", true},
      {"COMSPEC names nothing", {"OS=Windows_NT", "COMSPEC=C:\\none.exe", "PATH=C:\\bin"}, "", true},
      {"COMSPEC names a directory", {"OS=Windows_NT", "COMSPEC=C:\\work\\sub"}, "", true},
      {"COMSPEC names no program", {"OS=Windows_NT", "COMSPEC=C:\\work\\notes.txt"}, "", true},
      {"no COMSPEC, CMD.EXE on PATH",
       {"OS=Windows_NT", "PATH=C:\\none;C:\\bin", "FAKECMD_STATUS=1"},
       kBanner,
       false},
      {"no COMSPEC, Path spelled so", {"OS=Windows_NT", "Path=C:\\bin", "FAKECMD_STATUS=1"}, kBanner, false},
      {"no COMSPEC, no CMD.EXE", {"OS=Windows_NT", "PATH=C:\\none"}, "", true},
      {"no COMSPEC, no PATH", {"OS=Windows_NT"}, "", true},
      {"other status", {"OS=Windows_NT", "COMSPEC=C:\\t\\fakecmd.exe", "FAKECMD_STATUS=2"}, kBanner, true},
      // A path with blanks goes to the interpreter in its short form, then " /c perl -v ".
      {"short form",
       {"OS=Windows_NT", "COMSPEC=C:\\long dir\\fake cmd.exe", "FAKECMD_ECHO=1"},
       "[C:\\LONG~",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ProcessResult result = Run(c.environment);
    EXPECT_EQ(result.out.substr(0, kUpToPerl.size() + c.between.size()), kUpToPerl + c.between);
    const std::string perl_line = c.passes ? kPerlOk : kPerlFail;
    EXPECT_NE(result.out.find(perl_line), std::string::npos) << result.out;
    EXPECT_EQ(result.status, c.passes ? 0 : 1);
  }
  const ProcessResult echoed = Run({"OS=Windows_NT", "COMSPEC=C:\\long dir\\fake cmd.exe", "FAKECMD_ECHO=1"});
  const std::size_t close = echoed.out.find(" /c perl -v ]\r\n");
  ASSERT_NE(close, std::string::npos) << echoed.out;
  const std::size_t open = echoed.out.rfind('[', close);
  EXPECT_EQ(echoed.out.substr(open + 1, close - open - 1).find(' '), std::string::npos) << echoed.out;
}

TEST_F(Wine, CmdExeInTheCurrentDirectoryComesFirst) {
  MakeToolchain();
  MakeDir("bin");
  WriteFile(g_drive + "/bin/CMD.EXE", ReadFile(g_drive + "/t/fakecmd.exe"));
  WriteFile(g_drive + "/work/CMD.EXE", ReadFile(g_drive + "/t/fakecmd.exe"));
  const ProcessResult result = Run({"OS=Windows_NT", "PATH=C:\\bin", "FAKECMD_STATUS=1", "FAKECMD_ECHO=1"});
  EXPECT_EQ(result.out.substr(0, kUpToPerl.size() + 9), kUpToPerl + "[CMD.EXE ");
  EXPECT_EQ(result.status, 1);
}

TEST_F(Wine, TheSystemInterpreterRunsABatchPerl) {
  MakeToolchain();
  MakeDir("perl");
  const struct {
    const char* exit_status;
    std::string perl_line;
    int status;
  } cases[] = {{"0", kPerlOk, 0}, {"1", kPerlFail, 1}, {"3", kPerlOk, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exit_status);
    Put("perl/perl.bat",
        std::string("@echo This is perl, batch stand-in\r\n@exit /b ") + c.exit_status + "\r\n");
    for (const StdoutKind kind : {StdoutKind::kPipe, StdoutKind::kFile}) {
      const ProcessResult result = Run(
          {"OS=Windows_NT", "COMSPEC=C:\\windows\\system32\\cmd.exe", "PATH=C:\\perl;C:\\windows\\system32",
           "PATHEXT=.COM;.EXE;.BAT;.CMD", "SystemRoot=C:\\windows", "TZ=UTC"},
          kind);
      const std::string rest = c.status == 0 ? kScanOk + kTccOk + kTcppOk : "";
      EXPECT_EQ(result.out, kUpToPerl + "This is perl, batch stand-in\r\n" + c.perl_line + rest);
      EXPECT_EQ(result.status, c.status);
    }
  }
}

TEST_F(Wine, ShExeAlongThePathOrHere) {
  MakeToolchain();
  MakeDir("bin/a");
  MakeDir("bin/b");
  MakeDir("bin/c");
  MakeDir("bin/d/sh.exe");  // a directory is no hit
  const struct {
    const char* file;  // below drive C
    const char* path;
    std::string report;
  } cases[] = {
      {"bin/b/sh.exe", "C:\\bin\\a;C:\\bin\\b;C:\\bin\\c", "\r\nC:\\bin\\b\\sh.exe exist!\r\n" + kScanFail},
      {"bin/c/sh.exe", "C:\\bin\\a;C:\\bin\\b;C:\\bin\\c", "\r\nC:\\bin\\c\\sh.exe exist! \r\n " + kScanFail},
      {"bin/c/sh.exe", "C:\\bin\\a;C:\\bin\\b;c:/BIN/C/", "\r\nc:/BIN/C/\\sh.exe exist! \r\n " + kScanFail},
      {"work/sh.exe", "C:\\bin\\a;C:\\bin\\d", "\r\nsh.exe exist! \r\n" + kScanFail},
      {"work/sh.exe", ";", "\r\nsh.exe exist! \r\n" + kScanFail},
      // An empty entry names the root of the current drive.
      {"sh.exe", "C:\\bin\\a;", "\r\n\\sh.exe exist! \r\n " + kScanFail},
      {"bin/a/x", "C:\\bin\\d;\"C:\\bin\\a\";C:\\bin\\b\\..\\a", kScanOk + kTccOk + kTcppOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " with PATH " + c.path);
    Put(c.file);
    const ProcessResult result = Run({"OS=Windows_NT", "COMSPEC=", std::string("PATH=") + c.path, "TZ=UTC"});
    unlink((g_drive + "/" + c.file).c_str());
    EXPECT_EQ(result.out, kUpToPerl + kPerlOk + c.report);
    EXPECT_EQ(result.status, c.report == kScanOk + kTccOk + kTcppOk ? 0 : 1);
  }
}

TEST_F(Wine, ALongPathIsScannedWhole) {
  MakeToolchain();
  MakeDir("bin/hit");
  Put("bin/hit/sh.exe");
  std::string path;
  while (path.size() < 32767 - 40) path += "C:\\no\\dir" + std::to_string(path.size()) + ";";
  path += "C:\\bin\\hit";
  const ProcessResult result = Run({"OS=Windows_NT", "COMSPEC=", "PATH=" + path});
  EXPECT_EQ(result.out, kUpToPerl + kPerlOk + "\r\nC:\\bin\\hit\\sh.exe exist! \r\n " + kScanFail);
  EXPECT_EQ(result.status, 1);
}

TEST_F(Wine, OddEntriesAndACrowdedEnvironment) {
  MakeToolchain();
  MakeDir("bin/hit");
  Put("bin/hit/sh.exe");
  // Device names, a candidate past MAX_PATH, quotation marks, references, blanks, "..", and bytes
  // above 0x7F are no hit; the scan goes on to the entry that has one.
  const std::string odd = "NUL;CON;AUX;COM1;LPT1;\\\\.\\NUL;" + std::string(400, 'L') +
                          ";\"C:\\bin\\hit\"; C:\\bin\\hit;" +
                          "%SystemRoot%;C:\\bin\\..;\xE9t\xE9\x5C;C:\\bin\\hit";
  Strings environment;
  for (int i = 0; i < 10000; ++i)
    environment.push_back("VARIABLE" + std::to_string(i) + "=" + std::string(20, 'v'));
  environment.push_back("OS=Windows_NT");
  environment.push_back("COMSPEC=");
  environment.push_back("PATH=" + odd);
  const ProcessResult result = Run(environment);
  EXPECT_EQ(result.out, kUpToPerl + kPerlOk + "\r\nC:\\bin\\hit\\sh.exe exist! \r\n " + kScanFail);
  EXPECT_EQ(result.status, 1);
}

TEST_F(Wine, ToolchainFilesAndDates) {
  const auto dated = [](const char* date) {
    return std::string("C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time is ") + date + " \r\n" +
           kTcppOld;
  };
  const struct {
    const char* name;
    long long tcpp_time;
    std::string report;
  } cases[] = {
      {"3/9/2002", UtcSeconds(2002, 9, 3), kTccOk + kTcppOk},
      {"2/9/2002", UtcSeconds(2002, 9, 2), kTccOk + dated("2/9/2002")},
      {"1/10/2002", UtcSeconds(2002, 10, 1), kTccOk + kTcppOk},
      {"15/1/2003", UtcSeconds(2003, 1, 15), kTccOk + kTcppOk},
      {"3/8/2002", UtcSeconds(2002, 8, 3), kTccOk + dated("3/8/2002")},
      {"31/12/2001", UtcSeconds(2001, 12, 31), kTccOk + dated("31/12/2001")},
      {"1979: no date", UtcSeconds(1979, 6, 1), kTccOk + kTcppOld},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MakeToolchain(c.tcpp_time);
    const ProcessResult result = Run({"OS=Windows_NT", "COMSPEC=", "TZ=UTC"});
    EXPECT_EQ(result.out, kUpToPerl + kPerlOk + kScanOk + c.report);
    EXPECT_EQ(result.status, c.report == kTccOk + kTcppOk ? 0 : 1);
  }

  RemoveTree(g_drive + "/Program Files/ARM/ADSv1_2/Bin/tcpp.dll");
  ProcessResult result = Run({"OS=Windows_NT", "COMSPEC="});
  EXPECT_EQ(result.out, kUpToPerl + kPerlOk + kScanOk + kTccOk +
                            "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcpp.dll shall exist. => [FAIL]\r\n");
  EXPECT_EQ(result.status, 1);

  // A directory where tcc.exe should be is no file.
  RemoveTree(g_drive + "/Program Files/ARM/ADSv1_2/Bin/tcc.exe");
  MakeDir("Program Files/ARM/ADSv1_2/Bin/tcc.exe");
  result = Run({"OS=Windows_NT", "COMSPEC="});
  EXPECT_EQ(result.out, kUpToPerl + kPerlOk + kScanOk +
                            "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall doesn't exist!\r\n"
                            "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [FAIL]\r\n");
  EXPECT_EQ(result.status, 1);
}

TEST_F(Wine, NoStandardOutputStillGivesTheAnswer) {
  MakeToolchain();
  EXPECT_EQ(Run(ReadyEnvironment(), StdoutKind::kPipe, "readyscan.exe", "nostdout").status, 0);
  EXPECT_EQ(Run(ReadyEnvironment("1"), StdoutKind::kPipe, "readyscan.exe", "nostdout").status, 1);
}

}  // namespace
