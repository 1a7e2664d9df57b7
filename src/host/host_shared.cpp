#include "host/host_shared.h"

#include <cstdarg>
#include <cstring>

#include "host/host.h"

namespace {

// Redirected output waits here until the next text would not fit.
constexpr std::size_t kStdoutBufferSize = 512;

char g_stdout_buffer[kStdoutBufferSize];
std::size_t g_stdout_used = 0;
bool g_stdout_console = false;
bool g_stdout_crlf = false;

char ToAsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the first SIZE bytes of ENTRY equal NAME, ASCII letters compared without regard to
// case. ENTRY may be shorter: its terminator never equals a byte of NAME.
bool StartsWithName(const char* entry, const char* name, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    if (ToAsciiLower(entry[i]) != ToAsciiLower(name[i])) return false;
  }
  return true;
}

// Appends one byte to the buffer, writing the buffer out first when it is full.
void PutByte(char c) {
  if (g_stdout_used == kStdoutBufferSize) FlushStdout();
  g_stdout_buffer[g_stdout_used++] = c;
}

// Formats FORMAT with ARGS and returns the number of bytes of the text, line ends as they go out.
// With EMIT the bytes also go into the buffer; without, they are only counted. Nothing is
// allocated: a text is counted once, then emitted, whatever its length.
std::size_t FormatText(bool emit, const char* format, va_list args) {
  std::size_t size = 0;
  const auto put = [&](char c) {
    if (c == '\n' && g_stdout_crlf) {
      if (emit) PutByte('\r');
      ++size;
    }
    if (emit) PutByte(c);
    ++size;
  };
  for (const char* p = format; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      const char* value = va_arg(args, const char*);
      for (const char* v = (value != nullptr) ? value : "(null)"; *v != '\0'; ++v) put(*v);
      ++p;
    } else if (p[0] == '%' && p[1] == 'u') {
      char digits[16];
      std::size_t count = 0;
      unsigned value = va_arg(args, unsigned);
      do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
      } while (value != 0);
      while (count > 0) put(digits[--count]);
      ++p;
    } else if (p[0] == '%' && p[1] == '%') {
      put('%');
      ++p;
    } else {
      put(*p);
    }
  }
  return size;
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

const char* FindInterpreter(const char* environment, char separator, char directory_end,
                            bool (*is_file)(const char*), char* found, std::size_t capacity) {
  if (const char* comspec = FindEnvValue(environment, "COMSPEC"))
    return (*comspec != '\0') ? comspec : nullptr;
  static constexpr char kName[] = "CMD.EXE";
  if (is_file(kName)) return kName;
  const char* path = FindEnvValue(environment, "PATH");
  for (const char* entry = path; entry != nullptr && *entry != '\0';) {
    const char* end = std::strchr(entry, separator);
    if (end == nullptr) end = entry + std::strlen(entry);
    const auto size = static_cast<std::size_t>(end - entry);
    // An empty entry is the current directory, already looked at; one too long for a path can
    // hold no file.
    if (size > 0 && size + 1 + sizeof kName <= capacity) {
      std::memcpy(found, entry, size);
      std::size_t at = size;
      if (found[at - 1] != directory_end && found[at - 1] != '/') found[at++] = directory_end;
      std::memcpy(found + at, kName, sizeof kName);
      if (is_file(found)) return found;
    }
    entry = (*end == separator) ? end + 1 : end;
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
  va_list args;
  va_start(args, format);
  if (!g_stdout_console) {
    // Redirected: what waits goes out first when this text would not fit beside it. A text larger
    // than the whole buffer then passes through it in full buffers.
    va_list count_args;
    va_copy(count_args, args);
    const std::size_t size = FormatText(false, format, count_args);
    va_end(count_args);
    if (g_stdout_used + size > kStdoutBufferSize) FlushStdout();
  }
  FormatText(true, format, args);
  va_end(args);
  // On a console each text goes out at once.
  if (g_stdout_console) FlushStdout();
}
