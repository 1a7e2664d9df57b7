// The parts of the host layer that are the same on every platform: matching a name in an
// environment block, formatting a text, and the standard-output buffer. Each platform supplies
// WriteStdout and calls SetStdoutMode once at start.
#pragma once

#include <cstddef>

// Finds NAME in BLOCK, a run of "NAME=value" entries each ended by NUL, the run ended by an empty
// entry. Returns the value of the first entry that matches (see LookupEnvVar), or nullptr.
const char* FindEnvValue(const char* block, const char* name);

// The command interpreter for RunCommand: the value of COMSPEC in ENVIRONMENT whenever it is set,
// else the first CMD.EXE in the current directory, then in each directory of PATH (split at
// SEPARATOR) from left to right, joined with DIRECTORY_END unless the entry ends with it or '/'.
// IS_FILE tells whether a path names a file; a path found goes into FOUND (CAPACITY bytes). Returns
// nullptr when there is no interpreter to start, COMSPEC set but empty included.
const char* FindInterpreter(const char* environment, char separator, char directory_end,
                            bool (*is_file)(const char*), char* found, std::size_t capacity);

// CONSOLE: every text is written at once. CRLF: every "\n" goes out as "\r\n".
void SetStdoutMode(bool console, bool crlf);

// Writes out whatever the standard-output buffer holds.
void FlushStdout();

// Supplied by each platform: writes SIZE bytes to standard output, ignoring failures.
void WriteStdout(const char* data, std::size_t size);
