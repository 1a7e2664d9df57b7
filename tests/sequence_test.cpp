// The whole run against the fake host: order, stop at the first failure, exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checks/checks.h"
#include "fake_host.h"
#include "host/host_shared.h"

namespace {

using Strings = std::vector<std::string>;

constexpr char kTccPath[] = "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe";
constexpr char kTcppPath[] = "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll";

const Strings kReadyEnvironment = {"PATH=C:\\WINNT\\system32;C:\\Perl\\bin", "OS=Windows_NT",
                                   "COMSPEC=C:\\WINNT\\system32\\cmd.exe"};

// A workstation on which every check passes.
void StartReady(const Strings& environment = kReadyEnvironment) {
  ResetFakeHost(environment);
  SetFakeCommand(0, "This is perl, v5.6.1 built for MSWin32-x86-multi-thread\n");
  AddFakeFile(kTccPath);
  AddFakeFile(kTcppPath, MakeDosDate(3, 9, 2002));
}

const std::string kReadyReport =
    "OS is Windows 2000 or XP. => [OK]\n"
    "Shell is cmd.exe. => [OK]\n"
    "This is perl, v5.6.1 built for MSWin32-x86-multi-thread\n"
    "Perl installed. => [OK]\n"
    "sh.exe shall not exist in path. => [OK]\n"
    "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [OK]\n"
    "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 3/9/2002. => [OK]\n"
    "Build environment is ready!\n";

TEST(Sequence, AReadyWorkstationGetsTheWholeReportAndStatusZero) {
  StartReady();
  EXPECT_EQ(RunReadinessChecks(), 0);
  EXPECT_EQ(FakeStdout(), kReadyReport);
  EXPECT_EQ(FakeLogOf("probe"),
            (Strings{"C:\\WINNT\\system32\\sh.exe", "C:\\Perl\\bin\\sh.exe", "sh.exe", kTccPath, kTcppPath}));
  EXPECT_EQ(FakeOpenFileCount(), 0);
}

TEST(Sequence, TheEnvironmentIsReadOnceBeforeAnythingElse) {
  StartReady();
  EXPECT_EQ(RunReadinessChecks(), 0);
  const Strings& log = FakeLog();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(Strings(log.begin(), log.begin() + 3), (Strings{"env PATH", "env OS", "env _CMDPROC"}));
  EXPECT_EQ(FakeLogOf("env"), (Strings{"PATH", "OS", "_CMDPROC"}));
}

TEST(Sequence, StopsAtTheFirstFailure) {
  const struct {
    const char* name;
    Strings environment;
    int command_status;
    bool tcc;
    DosDate tcpp_date;
    std::string output;
    Strings probed;
    Strings run;
  } cases[] = {
      {"os",
       {"PATH=C:\\bin", "COMSPEC=cmd"},
       0,
       true,
       MakeDosDate(3, 9, 2002),
       "Our build environment support Windows 2000/XP only.OS is Windows 2000 or XP. => [FAIL]\n",
       {},
       {}},
      {"shell",
       {"OS=Windows_NT", "_CMDPROC=4NT"},
       0,
       true,
       MakeDosDate(3, 9, 2002),
       "OS is Windows 2000 or XP. => [OK]\n"
       "Our build environment don't support 4NT.Shell is cmd.exe. => [FAIL]\n",
       {},
       {}},
      {"perl",
       {"OS=Windows_NT"},
       1,
       true,
       MakeDosDate(3, 9, 2002),
       "OS is Windows 2000 or XP. => [OK]\n"
       "Shell is cmd.exe. => [OK]\n"
       "banner\n"
       "We can't find perl.  Please install perl.Perl installed. => [FAIL]\n",
       {},
       {"perl -v "}},
      {"sh",
       {"OS=Windows_NT", "PATH=C:\\a"},
       0,
       true,
       MakeDosDate(3, 9, 2002),
       "OS is Windows 2000 or XP. => [OK]\n"
       "Shell is cmd.exe. => [OK]\n"
       "banner\n"
       "Perl installed. => [OK]\n"
       "\nC:\\a\\sh.exe exist! \n sh.exe shall not exist in path. => [FAIL]\n",
       {"C:\\a\\sh.exe"},
       {"perl -v "}},
      {"tcc",
       {"OS=Windows_NT"},
       0,
       false,
       MakeDosDate(3, 9, 2002),
       "OS is Windows 2000 or XP. => [OK]\n"
       "Shell is cmd.exe. => [OK]\n"
       "banner\n"
       "Perl installed. => [OK]\n"
       "sh.exe shall not exist in path. => [OK]\n"
       "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall doesn't exist!\n"
       "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [FAIL]\n",
       {"sh.exe", kTccPath},
       {"perl -v "}},
      {"tcpp",
       {"OS=Windows_NT"},
       0,
       true,
       MakeDosDate(2, 9, 2002),
       "OS is Windows 2000 or XP. => [OK]\n"
       "Shell is cmd.exe. => [OK]\n"
       "banner\n"
       "Perl installed. => [OK]\n"
       "sh.exe shall not exist in path. => [OK]\n"
       "C:\\Progra~1\\ARM\\ADSv1_2\\Bin\\tcc.exe shall exist. => [OK]\n"
       "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time is 2/9/2002 \n"
       "C:\\Program Files\\ARM\\ADSv1_2\\Bin\\tcpp.dll modified time shall later than 2/9/2002. => [FAIL]\n",
       {"sh.exe", kTccPath, kTcppPath},
       {"perl -v "}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakeHost(c.environment);
    SetFakeCommand(c.command_status, "banner\n");
    AddFakeFile("C:\\a\\sh.exe");
    if (c.tcc) AddFakeFile(kTccPath);
    AddFakeFile(kTcppPath, c.tcpp_date);
    EXPECT_EQ(RunReadinessChecks(), 1);
    EXPECT_EQ(FakeStdout(), c.output);
    EXPECT_EQ(FakeLogOf("probe"), c.probed);
    EXPECT_EQ(FakeLogOf("run"), c.run);
    EXPECT_EQ(FakeOpenFileCount(), 0);
  }
}

TEST(Sequence, RedirectedOutputKeepsTheCommandOutputInItsPlace) {
  StartReady();
  RedirectFakeStdout();
  EXPECT_EQ(RunReadinessChecks(), 0);
  FlushStdout();
  EXPECT_EQ(FakeStdout(), kReadyReport);
  // The program's own texts go out in two writes: before the command starts, and at the end.
  const Strings writes = FakeLogOf("write");
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_EQ(writes[0], "OS is Windows 2000 or XP. => [OK]\nShell is cmd.exe. => [OK]\n");
  EXPECT_EQ(writes[1], "This is perl, v5.6.1 built for MSWin32-x86-multi-thread\n");
}

}  // namespace
