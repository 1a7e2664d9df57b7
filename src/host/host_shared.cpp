#include "host/host_shared.h"

#include <cstdarg>
#include <cstring>
#include <string>

#include "host/host.h"

namespace {

// Redirected output waits here until the next text would not fit.
constexpr std::size_t kStdoutBufferSize = 512;

char g_stdout_buffer[kStdoutBufferSize];
std::size_t g_stdout_used = 0;
bool g_stdout_console = false;
bool g_stdout_crlf = false;

// Reused by every PrintText, so a run allocates for it at most a few times.
std::string g_text;

char ToAsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the first SIZE bytes of ENTRY equal NAME, ASCII letters compared without regard to
// case. ENTRY may be shorter: its terminator never equals a byte of NAME.
bool StartsWithName(const char* entry, const char* name, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    if (ToAsciiLower(entry[i]) != ToAsciiLower(name[i])) return false;
  }
  return true;
}

void AppendByte(std::string& text, char c) {
  if (c == '\n' && g_stdout_crlf) text.push_back('\r');
  text.push_back(c);
}

void AppendFormatted(std::string& text, const char* format, va_list args) {
  for (const char* p = format; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      const char* value = va_arg(args, const char*);
      for (const char* v = (value != nullptr) ? value : "(null)"; *v != '\0'; ++v) AppendByte(text, *v);
      ++p;
    } else if (p[0] == '%' && p[1] == 'u') {
      char digits[16];
      std::size_t count = 0;
      unsigned value = va_arg(args, unsigned);
      do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
      } while (value != 0);
      while (count > 0) text.push_back(digits[--count]);
      ++p;
    } else if (p[0] == '%' && p[1] == '%') {
      text.push_back('%');
      ++p;
    } else {
      AppendByte(text, *p);
    }
  }
}

void EmitText(const char* data, std::size_t size) {
  if (g_stdout_console) {
    WriteStdout(data, size);
    return;
  }
  if (g_stdout_used + size > kStdoutBufferSize) FlushStdout();
  if (size > kStdoutBufferSize) {
    WriteStdout(data, size);
    return;
  }
  std::memcpy(g_stdout_buffer + g_stdout_used, data, size);
  g_stdout_used += size;
}

}  // namespace

const char* FindEnvValue(const char* block, const char* name) {
  if (block == nullptr || name == nullptr || *name == '\0') return nullptr;
  const std::size_t size = std::strlen(name);
  for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1) {
    if (StartsWithName(entry, name, size) && entry[size] == '=') return entry + size + 1;
  }
  return nullptr;
}

void SetStdoutMode(bool console, bool crlf) {
  g_stdout_console = console;
  g_stdout_crlf = crlf;
}

void FlushStdout() {
  if (g_stdout_used == 0) return;
  WriteStdout(g_stdout_buffer, g_stdout_used);
  g_stdout_used = 0;
}

void PrintText(const char* format, ...) {
  g_text.clear();
  va_list args;
  va_start(args, format);
  AppendFormatted(g_text, format, args);
  va_end(args);
  EmitText(g_text.data(), g_text.size());
}
