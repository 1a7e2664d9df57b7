// The checks one by one, against the fake host: their exact texts, what they probe and run.
#include "checks/checks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_host.h"
#include "host/host_shared.h"

namespace {

using Strings = std::vector<std::string>;

// Starts a check from a fresh host with these environment entries, captured as at start.
void StartWith(const Strings& entries) {
  ResetFakeHost(entries);
  CaptureEnvironment();
  ClearFakeLog();
}

TEST(OperatingSystemCheck, PassesOnlyOnExactlyWindowsNt) {
  const std::string fail =
      "Our build environment support Windows 2000/XP only.OS is Windows 2000 or XP. => [FAIL]\n";
  const struct {
    Strings environment;
    CheckResult result;
    std::string output;
  } cases[] = {
      {{"OS=Windows_NT"}, CheckResult::kPass, "OS is Windows 2000 or XP. => [OK]\n"},
      {{"os=Windows_NT"}, CheckResult::kPass, "OS is Windows 2000 or XP. => [OK]\n"},
      {{}, CheckResult::kFail, fail},
      {{"OS="}, CheckResult::kFail, fail},
      {{"OS=windows_nt"}, CheckResult::kFail, fail},
      {{"OS=Windows_NT "}, CheckResult::kFail, fail},
      {{"OS= Windows_NT"}, CheckResult::kFail, fail},
      {{"OS=Windows_95"}, CheckResult::kFail, fail},
      {{"OSX=Windows_NT"}, CheckResult::kFail, fail},
      // The first entry wins, even when a later one would pass.
      {{"OS=Windows_95", "OS=Windows_NT"}, CheckResult::kFail, fail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.environment.empty() ? "(no OS)" : c.environment[0]);
    StartWith(c.environment);
    EXPECT_EQ(CheckOperatingSystem(), c.result);
    EXPECT_EQ(FakeStdout(), c.output);
    EXPECT_TRUE(FakeLogOf("probe").empty());
    EXPECT_TRUE(FakeLogOf("run").empty());
  }
}

TEST(ShellCheck, FailsWheneverCmdprocIsSetAndNamesTheKnownProcessors) {
  const std::string fail = "Shell is cmd.exe. => [FAIL]\n";
  const struct {
    Strings environment;
    CheckResult result;
    std::string output;
  } cases[] = {
      {{}, CheckResult::kPass, "Shell is cmd.exe. => [OK]\n"},
      {{"CMDPROC=4NT"}, CheckResult::kPass, "Shell is cmd.exe. => [OK]\n"},
      {{"_CMDPROC=4NT"}, CheckResult::kFail, "Our build environment don't support 4NT." + fail},
      {{"_CMDPROC=4DOS"}, CheckResult::kFail, "Our build environment don't support 4DOS." + fail},
      {{"_cmdproc=4DOS"}, CheckResult::kFail, "Our build environment don't support 4DOS." + fail},
      {{"_CMDPROC=4nt"}, CheckResult::kFail, fail},
      {{"_CMDPROC="}, CheckResult::kFail, fail},
      {{"_CMDPROC=TCC"}, CheckResult::kFail, fail},
      {{"_CMDPROC=4NT "}, CheckResult::kFail, fail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.environment.empty() ? "(no _CMDPROC)" : c.environment[0]);
    StartWith(c.environment);
    EXPECT_EQ(CheckShell(), c.result);
    EXPECT_EQ(FakeStdout(), c.output);
    EXPECT_TRUE(FakeLogOf("probe").empty());
    EXPECT_TRUE(FakeLogOf("run").empty());
  }
}

TEST(PerlCheck, FailsOnlyOnStatusOne) {
  const struct {
    int status;
    CheckResult result;
    std::string output;
  } cases[] = {
      {0, CheckResult::kPass, "Perl installed. => [OK]\n"},
      {2, CheckResult::kPass, "Perl installed. => [OK]\n"},
      {-1, CheckResult::kPass, "Perl installed. => [OK]\n"},
      {9009, CheckResult::kPass, "Perl installed. => [OK]\n"},
      {257, CheckResult::kPass, "Perl installed. => [OK]\n"},
      {1, CheckResult::kFail, "We can't find perl.  Please install perl.Perl installed. => [FAIL]\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    StartWith({});
    SetFakeCommand(c.status);
    EXPECT_EQ(CheckPerl(), c.result);
    EXPECT_EQ(FakeLogOf("run"), Strings{"perl -v "});
    EXPECT_EQ(FakeStdout(), c.output);
  }
}

TEST(PerlCheck, CommandOutputStandsBeforeTheCheckTexts) {
  for (const bool redirected : {false, true}) {
    StartWith({});
    if (redirected) RedirectFakeStdout();
    PrintText("Shell is cmd.exe. => [OK]\n");
    SetFakeCommand(1, "'perl' is not recognized\n");
    EXPECT_EQ(CheckPerl(), CheckResult::kFail);
    FlushStdout();
    EXPECT_EQ(FakeStdout(),
              "Shell is cmd.exe. => [OK]\n'perl' is not recognized\n"
              "We can't find perl.  Please install perl.Perl installed. => [FAIL]\n");
  }
}

std::optional<std::string> Value(const char* value) { return std::string(value); }

TEST(PathScan, ProbesEachEntryLeftToRightThenTheCurrentDirectory) {
  const struct {
    std::optional<std::string> path;
    Strings probed;
  } cases[] = {
      {std::nullopt, {"sh.exe"}},
      {Value(""), {"sh.exe"}},
      {Value("C"), {"sh.exe"}},
      {Value(";"), {"sh.exe"}},
      {Value("C:"), {"C:\\sh.exe", "sh.exe"}},
      {Value("C:\\bin"), {"C:\\bin\\sh.exe", "sh.exe"}},
      {Value("C:\\bin\\"), {"C:\\bin\\sh.exe", "sh.exe"}},
      {Value("C:\\bin\\\\"), {"C:\\bin\\\\sh.exe", "sh.exe"}},
      {Value("C:/bin/"), {"C:/bin/\\sh.exe", "sh.exe"}},
      {Value("C:\\a;C:\\b"), {"C:\\a\\sh.exe", "C:\\b\\sh.exe", "sh.exe"}},
      {Value(";C:\\a"), {"\\sh.exe", "C:\\a\\sh.exe", "sh.exe"}},
      {Value("C:\\a;;C:\\b"), {"C:\\a\\sh.exe", "\\sh.exe", "C:\\b\\sh.exe", "sh.exe"}},
      {Value("C:\\a;"), {"C:\\a\\sh.exe", "\\sh.exe", "sh.exe"}},
      {Value(";;"), {"\\sh.exe", "\\sh.exe", "\\sh.exe", "sh.exe"}},
      {Value("X;C:\\bin;D:\\y"), {"X\\sh.exe", "C:\\bin\\sh.exe", "D:\\y\\sh.exe", "sh.exe"}},
      // Entries as they stand: blanks, quotation marks, references and bytes above 0x7F untouched;
      // a trailing 0x5C counts as a backslash even where it ends a double-byte character.
      {Value(" C:\\a ;\"C:\\b\";%SystemRoot%"),
       {" C:\\a \\sh.exe", "\"C:\\b\"\\sh.exe", "%SystemRoot%\\sh.exe", "sh.exe"}},
      {Value("C:\\\x83\x5C;C:\\\xE9t\xE9"), {"C:\\\x83\x5Csh.exe", "C:\\\xE9t\xE9\\sh.exe", "sh.exe"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path ? "PATH=" + *c.path : "(no PATH)");
    StartWith(c.path ? Strings{"PATH=" + *c.path} : Strings{});
    EXPECT_EQ(CheckNoShInPath(), CheckResult::kPass);
    EXPECT_EQ(FakeLogOf("probe"), c.probed);
    EXPECT_EQ(FakeStdout(), "sh.exe shall not exist in path. => [OK]\n");
  }
}

TEST(PathScan, StopsAtTheFirstHitAndNamesIt) {
  const std::string fail = "sh.exe shall not exist in path. => [FAIL]\n";
  const struct {
    const char* path;
    Strings files;
    Strings probed;
    std::string output;
  } cases[] = {
      {"C:\\a;C:\\b;C:\\c",
       {"C:\\b\\sh.exe", "C:\\c\\sh.exe", "sh.exe"},
       {"C:\\a\\sh.exe", "C:\\b\\sh.exe"},
       "\nC:\\b\\sh.exe exist!\n" + fail},
      {"C:\\a;C:\\b;C:\\c",
       {"C:\\c\\sh.exe", "sh.exe"},
       {"C:\\a\\sh.exe", "C:\\b\\sh.exe", "C:\\c\\sh.exe"},
       "\nC:\\c\\sh.exe exist! \n " + fail},
      {"C:\\a;C:\\b;C:\\c",
       {"sh.exe"},
       {"C:\\a\\sh.exe", "C:\\b\\sh.exe", "C:\\c\\sh.exe", "sh.exe"},
       "\nsh.exe exist! \n" + fail},
      // Skipped entries still leave the current directory to look at.
      {";", {"sh.exe"}, {"sh.exe"}, "\nsh.exe exist! \n" + fail},
      {"C:\\a;", {"\\sh.exe"}, {"C:\\a\\sh.exe", "\\sh.exe"}, "\n\\sh.exe exist! \n " + fail},
      // The candidate is printed as a text, never as a format.
      {"C:\\%s%u;x", {"C:\\%s%u\\sh.exe"}, {"C:\\%s%u\\sh.exe"}, "\nC:\\%s%u\\sh.exe exist!\n" + fail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " with " + c.files[0]);
    StartWith({std::string("PATH=") + c.path});
    for (const std::string& file : c.files) AddFakeFile(file);
    EXPECT_EQ(CheckNoShInPath(), CheckResult::kFail);
    EXPECT_EQ(FakeLogOf("probe"), c.probed);
    EXPECT_EQ(FakeStdout(), c.output);
    EXPECT_EQ(FakeLogOf("close"), Strings{c.probed.back()});
    EXPECT_EQ(FakeOpenFileCount(), 0);
  }
}

TEST(PathScan, ADirectoryNamedShExeIsNoHit) {
  StartWith({"PATH=C:\\a;C:\\b"});
  AddFakeDirectory("C:\\a\\sh.exe");
  AddFakeDirectory("sh.exe");
  EXPECT_EQ(CheckNoShInPath(), CheckResult::kPass);
  EXPECT_EQ(FakeLogOf("probe"), (Strings{"C:\\a\\sh.exe", "C:\\b\\sh.exe", "sh.exe"}));
}

TEST(PathScan, LongValuesAreScannedWhole) {
  // Far past any fixed working buffer: every entry is probed, a hit near the end is found, and the
  // long final entry is probed whole.
  std::string path;
  Strings probed;
  for (int i = 0; i < 3000; ++i) {
    const std::string entry = "C:\\dir" + std::to_string(i);
    path += entry + ";";
    probed.push_back(entry + "\\sh.exe");
  }
  const std::string last(40000, 'x');
  path += last;
  probed.push_back(last + "\\sh.exe");
  probed.push_back("sh.exe");
  ASSERT_GT(path.size(), 32767u);

  StartWith({"PATH=" + path});
  EXPECT_EQ(CheckNoShInPath(), CheckResult::kPass);
  EXPECT_EQ(FakeLogOf("probe"), probed);

  StartWith({"PATH=" + path});
  AddFakeFile("C:\\dir2999\\sh.exe");
  EXPECT_EQ(CheckNoShInPath(), CheckResult::kFail);
  EXPECT_EQ(FakeStdout(), "\nC:\\dir2999\\sh.exe exist!\nsh.exe shall not exist in path. => [FAIL]\n");
}

constexpr char kTccPath[] = "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe";
constexpr char kTcppPath[] = "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll";

TEST(TccCheck, WantsTheExecutableAtItsShortPath) {
  StartWith({});
  AddFakeFile(kTccPath);
  EXPECT_EQ(CheckTccPresent(), CheckResult::kPass);
  EXPECT_EQ(FakeStdout(), "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [OK]\n");
  EXPECT_EQ(FakeLogOf("close"), Strings{kTccPath});

  for (const bool directory : {false, true}) {
    StartWith({});
    // Only the short form counts; a directory of that name is no file.
    AddFakeFile("C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcc.exe");
    if (directory) AddFakeDirectory(kTccPath);
    EXPECT_EQ(CheckTccPresent(), CheckResult::kFail);
    EXPECT_EQ(FakeLogOf("probe"), Strings{kTccPath});
    EXPECT_EQ(FakeStdout(),
              "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall doesn't exist!\n"
              "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [FAIL]\n");
  }
}

TEST(TcppCheck, JudgesTheLastWriteDateAgainstThreeSeptember2002) {
  const std::string pass =
      "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 3/9/2002. => [OK]\n";
  const std::string fail =
      "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 2/9/2002. => [FAIL]\n";
  const auto old = [&](const char* date) {
    return std::string("C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time is ") + date + " \n" +
           fail;
  };
  const struct {
    std::optional<DosDate> date;
    std::string output;
  } cases[] = {
      {MakeDosDate(3, 9, 2002), pass},
      {MakeDosDate(2, 9, 2002), old("2/9/2002")},
      {MakeDosDate(30, 9, 2002), pass},
      {MakeDosDate(1, 10, 2002), pass},
      {MakeDosDate(15, 1, 2003), pass},
      {MakeDosDate(3, 8, 2002), old("3/8/2002")},
      {MakeDosDate(31, 12, 2001), old("31/12/2001")},
      {MakeDosDate(4, 9, 2001), old("4/9/2001")},
      {MakeDosDate(1, 1, 1980), old("1/1/1980")},
      {MakeDosDate(31, 12, 2107), pass},
      // No date to show: the failure line alone.
      {std::nullopt, fail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date ? std::to_string(*c.date) : "no date");
    StartWith({});
    AddFakeFile(kTcppPath, c.date);
    EXPECT_EQ(CheckTcppDate(), c.output == pass ? CheckResult::kPass : CheckResult::kFail);
    EXPECT_EQ(FakeStdout(), c.output);
    // Dated through its open handle, and closed as soon as the date is read, before anything is
    // printed.
    ASSERT_GE(FakeLog().size(), 4u);
    EXPECT_EQ(FakeLog()[0], "probe " + std::string(kTcppPath));
    EXPECT_EQ(FakeLog()[1], "date " + std::string(kTcppPath));
    EXPECT_EQ(FakeLog()[2], "close " + std::string(kTcppPath));
    EXPECT_EQ(FakeOpenFileCount(), 0);
  }
}

TEST(TcppCheck, AMissingLibraryIsNamedInShortFormWithNoDate) {
  StartWith({});
  AddFakeFile("C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcpp.dll");
  AddFakeDirectory(kTcppPath);
  EXPECT_EQ(CheckTcppDate(), CheckResult::kFail);
  EXPECT_EQ(FakeStdout(), "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcpp.dll shall exist. => [FAIL]\n");
  EXPECT_EQ(FakeLogOf("probe"), Strings{kTcppPath});
  EXPECT_TRUE(FakeLogOf("date").empty());
}

}  // namespace
