// Test-only: an executable that imports functions Windows 2000 lacks, which the import check must
// reject.
#include <windows.h>

#include <ctime>

int main() {
  __time64_t now = 0;
  _time64(&now);
  return static_cast<int>(GetTickCount64() + static_cast<ULONGLONG>(now));
}
