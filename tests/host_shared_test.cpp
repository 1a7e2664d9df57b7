// The platform-neutral part of the host: environment matching, formatting, output buffering.
#include "host/host_shared.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"

namespace {

using Strings = std::vector<std::string>;

std::string Block(const Strings& entries) {
  std::string block;
  for (const std::string& entry : entries) block += entry + '\0';
  return block;  // c_str() adds the empty entry that ends the block
}

TEST(EnvironmentLookup, MatchesTheNameWithoutRegardToAsciiCase) {
  const struct {
    Strings entries;
    const char* name;
    const char* value;  // nullptr: absent
  } cases[] = {
      {{"PATH=C:\\bin"}, "PATH", "C:\\bin"},
      {{"Path=C:\\bin"}, "PATH", "C:\\bin"},
      {{"pAtH=C:\\bin"}, "path", "C:\\bin"},
      {{"PATHEXT=.EXE"}, "PATH", nullptr},
      {{"PAT=x"}, "PATH", nullptr},
      {{"PATH"}, "PATH", nullptr},
      {{"PATH="}, "PATH", ""},
      {{"PATH==x=y"}, "PATH", "=x=y"},
      {{"Path=first", "PATH=second"}, "PATH", "first"},
      {{"PATHEXT=.EXE", "XPATH=1", "path=C:\\x"}, "PATH", "C:\\x"},
      {{"=C:=C:\\"}, "", nullptr},
      {{"=x"}, "", nullptr},
      {{"OS=Windows_NT"}, "OS ", nullptr},
      // Only ASCII letters fold: bytes above 0x7F are compared as they are.
      {{"\xC9T\xC9=1"}, "\xE9t\xE9", nullptr},
      {{"\xC9T\xC9=1"}, "\xC9t\xC9", "1"},
      {{"_CMDPROC=4NT"}, "_cmdproc", "4NT"},
      {{"[=1"}, "{", nullptr},
      {{}, "PATH", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " in " + (c.entries.empty() ? "(empty)" : c.entries[0]));
    const std::string block = Block(c.entries);
    const char* found = FindEnvValue(block.c_str(), c.name);
    if (c.value == nullptr) {
      EXPECT_EQ(found, nullptr);
    } else {
      ASSERT_NE(found, nullptr);
      EXPECT_STREQ(found, c.value);
    }
  }
}

// The files that exist for FindInterpreter, and every path it asked about.
Strings g_existing;
Strings g_asked;
bool IsExistingFile(const char* path) {
  g_asked.push_back(path);
  for (const std::string& file : g_existing) {
    if (file == path) return true;
  }
  return false;
}

TEST(FindInterpreter, ComspecWheneverSetElseTheFirstCmdExe) {
  const struct {
    Strings environment;
    Strings files;
    const char* interpreter;  // nullptr: none
    Strings asked;
  } cases[] = {
      {{"COMSPEC=C:\\cmd.exe", "PATH=C:\\bin"}, {"CMD.EXE"}, "C:\\cmd.exe", {}},
      {{"ComSpec=", "PATH=C:\\bin"}, {"CMD.EXE", "C:\\bin\\CMD.EXE"}, nullptr, {}},
      {{"PATH=C:\\bin"}, {"CMD.EXE", "C:\\bin\\CMD.EXE"}, "CMD.EXE", {"CMD.EXE"}},
      {{"Path=;C:\\a\\;C:/b/;C:\\c;"},
       {"C:\\c\\CMD.EXE"},
       "C:\\c\\CMD.EXE",
       {"CMD.EXE", "C:\\a\\CMD.EXE", "C:/b/CMD.EXE", "C:\\c\\CMD.EXE"}},
      {{"PATH=C:\\a;" + std::string(300, 'x') + ";C:\\b"},
       {},
       nullptr,
       {"CMD.EXE", "C:\\a\\CMD.EXE", "C:\\b\\CMD.EXE"}},
      {{}, {}, nullptr, {"CMD.EXE"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.environment.empty() ? "(empty)" : c.environment[0]);
    const std::string block = Block(c.environment);
    g_existing = c.files;
    g_asked.clear();
    char found[260];
    const char* interpreter = FindInterpreter(block.c_str(), ';', '\\', IsExistingFile, found, sizeof found);
    if (c.interpreter == nullptr) {
      EXPECT_EQ(interpreter, nullptr);
    } else {
      ASSERT_NE(interpreter, nullptr);
      EXPECT_STREQ(interpreter, c.interpreter);
    }
    EXPECT_EQ(g_asked, c.asked);
  }
}

TEST(PrintText, FormatsTextsAndUnsignedNumbers) {
  ResetFakeHost();
  PrintText("%u/%u/%u \n", 0u, 9u, 4294967295u);
  PrintText("[%s] 100%%\n", "a%sb");
  EXPECT_EQ(FakeStdout(), "0/9/4294967295 \n[a%sb] 100%\n");
}

TEST(PrintText, WritesEachTextAtOnceToAConsole) {
  ResetFakeHost();
  PrintText("one");
  PrintText("two\n");
  EXPECT_EQ(FakeLogOf("write"), (Strings{"one", "two\n"}));
}

TEST(PrintText, CollectsRedirectedOutputInA512ByteBuffer) {
  ResetFakeHost();
  RedirectFakeStdout();
  const std::string a(300, 'a'), b(212, 'b'), c(1, 'c'), big(600, 'd');
  PrintText("%s", a.c_str());
  PrintText("%s", b.c_str());  // exactly fills the buffer
  EXPECT_TRUE(FakeLogOf("write").empty());
  PrintText("%s", c.c_str());  // does not fit: the full buffer goes first
  EXPECT_EQ(FakeLogOf("write"), Strings{a + b});
  // Larger than the buffer: what waits goes first, then the text passes through in full buffers.
  PrintText("%s", big.c_str());
  EXPECT_EQ(FakeLogOf("write"), (Strings{a + b, c, big.substr(0, 512)}));
  PrintText("tail\n");  // fits beside the rest of the big text
  FlushStdout();
  FlushStdout();  // nothing left: no empty write
  EXPECT_EQ(FakeLogOf("write"), (Strings{a + b, c, big.substr(0, 512), big.substr(512) + "tail\n"}));
  EXPECT_EQ(FakeStdout(), a + b + c + big + "tail\n");
}

TEST(PrintText, ALongTextReachesAConsoleWhole) {
  ResetFakeHost();
  const std::string big(1300, 'x');
  PrintText("\n%s exist!\n", big.c_str());
  EXPECT_EQ(FakeStdout(), "\n" + big + " exist!\n");
  PrintText("next");
  EXPECT_EQ(FakeLogOf("write").back(), "next");
}

TEST(PrintText, WritesLineEndsAsCarriageReturnLineFeedInTextMode) {
  ResetFakeHost();
  SetStdoutMode(true, true);
  PrintText("\n%s exist! \n ", "C:\\a\nb");
  EXPECT_EQ(FakeStdout(), "\r\nC:\\a\r\nb exist! \r\n ");
  // The buffer holds the bytes as written: 256 line feeds are 512 bytes.
  ResetFakeHost();
  SetStdoutMode(false, true);
  PrintText("%s", std::string(256, '\n').c_str());
  PrintText("x");
  EXPECT_EQ(FakeLogOf("write").size(), 1u);
}

}  // namespace
