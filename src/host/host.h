// The only door between readyscan and the platform it runs on.
//
// The checks touch the host through the operations declared here and nothing else. Each platform
// (host_win32.cpp on Windows, host_posix.cpp as the POSIX stand-in, and the fake host of the tests)
// implements this header; the one to use is chosen at link time.
#pragma once

#include <cstdint>
#include <optional>

// An open file from ProbeFile. It belongs to the caller, who closes it with CloseFile.
using HostFile = std::intptr_t;
constexpr HostFile kNoFile = -1;

// The MS-DOS date word of a file time in local time: day of month in bits 0-4 (1-31), month in
// bits 5-8 (1-12), years since 1980 in bits 9-15 (1980-2107).
using DosDate = std::uint16_t;

// Copies the process environment, as the process was started with and in its order, and looks at
// what standard output is. Called once, first thing.
void InitHost();

// Returns the value of the environment variable NAME from the copy made at start, or nullptr when
// it is not set. An entry matches when its first bytes equal NAME, ASCII letters compared without
// regard to case, and the next byte is '='; the first matching entry wins and its value is
// everything after that '=', unaltered. An empty NAME is never set. The value lives until exit.
const char* LookupEnvVar(const char* name);

// Runs COMMAND_LINE through the command interpreter and waits for it without a time-out.
// The interpreter is the value of COMSPEC whenever that variable is set (empty or not runnable:
// -1, no fallback); otherwise the first CMD.EXE in the current directory, then along PATH. It is
// started as "<interpreter> /c <command line>", inheriting standard input, output and error, the
// environment and the current directory. Everything pending on standard output is written out
// first, so the command's own output follows what was printed before.
// Returns the interpreter's exit status unchanged, or -1 when no interpreter was found or it could
// not be started. A POSIX interpreter ended by a signal returns 128 plus the signal number, as
// POSIX shells report it; that is never 1, so such a run does not count as "perl is missing".
int RunCommand(const char* command_line);

// Opens the existing regular file PATH for reading, sharing read and write with other processes,
// never creating or truncating anything; PATH is used as it stands (no search, no expansion, no
// change of case; relative to the current directory). Returns kNoFile for anything that can't be
// opened so: a missing file or directory, a directory itself, an unreadable file, a device.
HostFile ProbeFile(const char* path);

// Closes a file from ProbeFile.
void CloseFile(HostFile file);

// Returns the local date of FILE's last write, or nothing when the host can't tell it or the year
// lies outside 1980-2107. The local date uses the workstation's current time-zone offset.
std::optional<DosDate> GetFileWriteDate(HostFile file);

// Writes FORMAT to standard output with printf-style conversions; only "%s" (a text) and "%u" (an
// unsigned decimal number, no leading zeros) are understood. Standard output is in the platform's
// text mode ("\n" goes out as "\r\n" on Windows). On a console each text is written at once;
// redirected, texts collect in a 512-byte buffer that is written out when the next text would not
// fit, before RunCommand starts a command, and at exit. Failures to write are ignored.
void PrintText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Writes out what standard output still holds and ends the process with STATUS.
[[noreturn]] void ExitHost(int status);
