// Test-only stand-in for the command interpreter: insists on a command line that ends with
// " /c perl -v ", prints a banner and ends with the status in FAKECMD_STATUS (default 0).
// With FAKECMD_ECHO set it prints its whole command line first.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Print(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Variable(const char* name) {
  char value[256];
  const DWORD size = GetEnvironmentVariableA(name, value, sizeof value);
  return (size > 0 && size < sizeof value) ? std::string(value, size) : std::string();
}

}  // namespace

int main() {
  const std::string line = GetCommandLineA();
  const std::string tail = " /c perl -v ";
  if (!Variable("FAKECMD_ECHO").empty()) Print("[" + line + "]\r\n");
  if (line.size() < tail.size() || line.compare(line.size() - tail.size(), tail.size(), tail) != 0) {
    Print("bad command line: [" + line + "]\r\n");
    ExitProcess(97);
  }
  Print("This is perl, v5.6.1 stand-in\r\n");
  ExitProcess(static_cast<UINT>(std::atoi(Variable("FAKECMD_STATUS").c_str())));
}
