// The parts of the host layer that are the same on every platform: matching a name in an
// environment block, formatting a text, and the standard-output buffer. Each platform supplies
// WriteStdout and calls SetStdoutMode once at start.
#pragma once

#include <cstddef>

// Finds NAME in BLOCK, a run of "NAME=value" entries each ended by NUL, the run ended by an empty
// entry. Returns the value of the first entry that matches (see LookupEnvVar), or nullptr.
const char* FindEnvValue(const char* block, const char* name);

// CONSOLE: every text is written at once. CRLF: every "\n" goes out as "\r\n".
void SetStdoutMode(bool console, bool crlf);

// Writes out whatever the standard-output buffer holds.
void FlushStdout();

// Supplied by each platform: writes SIZE bytes to standard output, ignoring failures.
void WriteStdout(const char* data, std::size_t size);
