// A third host for the checks: a scripted environment, files and command status in memory, and a
// log of every probe, command, close and write in the order they happened.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

DosDate MakeDosDate(unsigned day, unsigned month, unsigned year);

// Forgets all files, entries and log lines; the command status becomes 0 and standard output a
// console. Then copies ENTRIES as the process environment, as InitHost would.
void ResetFakeHost(const std::vector<std::string>& entries = {});

// Standard output redirected (buffered) instead of a console; line ends stay "\n".
void RedirectFakeStdout();

// A file that ProbeFile opens; DATE is what GetFileWriteDate gives for it (nothing: no date).
void AddFakeFile(const std::string& path, std::optional<DosDate> date = MakeDosDate(3, 9, 2002));
// A directory: it exists, but ProbeFile never opens it.
void AddFakeDirectory(const std::string& path);

// What RunCommand returns from now on, and what the command writes to standard output meanwhile.
void SetFakeCommand(int status, const std::string& output = "");

// Everything in order: "env <name>", "probe <path>", "close <path>", "date <path>", "run <command>",
// "write <bytes>" (one per write to standard output).
const std::vector<std::string>& FakeLog();
// Stops (or resumes) keeping the log and standard output, for benchmarks that repeat a check
// millions of times; files, environment and command status still answer as before.
void SetFakeRecording(bool recording);
// Forgets the log so far.
void ClearFakeLog();
// The log lines that start with KIND and a blank, without that prefix.
std::vector<std::string> FakeLogOf(const std::string& kind);
// All bytes written to standard output, by the program and by the command.
std::string FakeStdout();
// Files opened by ProbeFile and not closed yet.
int FakeOpenFileCount();
