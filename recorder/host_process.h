// Running a helper program to its end within a time limit: a program of the host system when the
// recorder runs under Wine (reached through ntdll's host spawn call), or a Windows program.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

enum class ProgramRunStatus {
    Exited,    // the program ran and ended; exitCode holds its status
    NotFound,  // the program does not exist or cannot be executed
    TimedOut,  // it did not end within the time limit (it is stopped, see below)
    Failed,    // it could not be started for another reason
    Cancelled, // the waiting side gave up: the program has been stopped
};

struct ProgramRunResult {
    ProgramRunStatus status = ProgramRunStatus::Failed;
    int exitCode = -1;
};

// Called on the waiting thread while a program runs, about every 50 ms and whenever messages
// arrive, so that it can handle the thread's messages; false stops the program (Cancelled).
typedef std::function<bool()> ProgramWaitCallback;

// True when the host's programs can be run (the process runs under Wine).
bool HostProgramsAvailable();

// The host (UTF-8) name of a Windows path, which need not exist yet; empty when not under Wine
// or when the path has no host name.
std::string HostPathFromWindowsPath(const wchar_t* windowsPath);

// Runs argv[0] of the host (looked up on the host's PATH when it has no slash) with the other
// arguments exactly as given, and waits for it. The host's `timeout` stops it after timeoutMs;
// should even that fail, the wait on this side ends a little later and reports TimedOut.
// Exit statuses 124 to 127 and 137 belong to `timeout` and the shell (time out, failure, cannot
// execute, not found, killed) and are reported as such, not as the program's own.
// With keepWaiting, a cancelled program is sent SIGTERM (SIGKILL 5 s later if it stays), and
// the call returns once it has ended, or after a bounded wait.
ProgramRunResult RunHostProgram(const std::vector<std::string>& argv, DWORD timeoutMs,
                                const ProgramWaitCallback& keepWaiting = nullptr);

// Runs a Windows program with these arguments (quoted as the C runtime parses them), without a
// console window, and waits for it; on timeout or cancel the program is terminated.
ProgramRunResult RunWindowsProgram(const std::wstring& program, const std::vector<std::wstring>& args,
                                   DWORD timeoutMs, const ProgramWaitCallback& keepWaiting = nullptr);

// One argument quoted for a Windows command line so that CommandLineToArgvW gives it back as is.
std::wstring QuoteWindowsArgument(const std::wstring& argument);
