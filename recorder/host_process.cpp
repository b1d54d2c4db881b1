#include "recorder/host_process.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "image/handles.h"

namespace {

// ntdll's host spawn call under Wine: runs a host program; with wait = 1 it returns the exit
// status (0..255), else an error status of the platform.
typedef LONG(CDECL* HostSpawnFn)(char* const argv[], int wait);
// kernel32's path conversion under Wine: a UTF-8 host path on the process heap.
typedef char*(CDECL* HostPathFn)(const wchar_t* windowsPath);

// GetProcAddress's generic function type, converted through the type that stands for any function.
template <class Fn>
Fn ExportOf(const wchar_t* module, const char* name)
{
    HMODULE handle = ::GetModuleHandleW(module);
    FARPROC proc = handle ? ::GetProcAddress(handle, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

HostSpawnFn HostSpawn()
{
    return ExportOf<HostSpawnFn>(L"ntdll.dll", "__wine_unix_spawnvp");
}

HostPathFn HostPathConverter()
{
    return ExportOf<HostPathFn>(L"kernel32.dll", "wine_get_unix_file_name");
}

// Exit statuses of the host's `timeout` and of the shell line below.
constexpr int kTimedOutStatus = 124;         // the time limit ran out
constexpr int kTimeoutFailedStatus = 125;    // `timeout` itself is missing or failed
constexpr int kCannotExecuteStatus = 126;
constexpr int kNotFoundStatus = 127;
constexpr int kKilledStatus = 128 + 9;       // still running after the grace time: killed

// What the waiting thread on this side allows beyond the host's limit (grace time and start-up).
constexpr DWORD kHostWaitMarginMs = 15000;

// One host run, shared by the caller and the thread that blocks in the spawn call. The caller
// may stop waiting; the thread then finishes alone and the last owner frees it.
struct HostSpawnJob {
    HostSpawnFn spawn = nullptr;
    std::vector<std::string> args;
    LONG result = -1;
};

DWORD WINAPI HostSpawnThread(void* param)
{
    std::unique_ptr<std::shared_ptr<HostSpawnJob>> owner(static_cast<std::shared_ptr<HostSpawnJob>*>(param));
    HostSpawnJob& job = **owner;
    std::vector<char*> argv;
    for (std::string& arg : job.args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    job.result = job.spawn(argv.data(), 1);
    return 0;
}

std::string SecondsText(DWORD milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lu.%03lu", static_cast<unsigned long>(milliseconds / 1000),
                  static_cast<unsigned long>(milliseconds % 1000));
    return text;
}


// How a wait for a running program ended.
enum class RunWait { Ended, TimedOut, Cancelled };

// Waits up to limitMs for the object. With keepWaiting, the wait wakes for the thread's
// messages and every kWaitSliceMs to ask it whether to go on.
constexpr DWORD kWaitSliceMs = 50;

RunWait WaitForRun(HANDLE object, DWORD limitMs, const ProgramWaitCallback& keepWaiting)
{
    if (!keepWaiting)
        return ::WaitForSingleObject(object, limitMs) == WAIT_OBJECT_0 ? RunWait::Ended : RunWait::TimedOut;
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= limitMs)
            return RunWait::TimedOut;
        const DWORD slice = std::min(kWaitSliceMs, limitMs - elapsed);
        if (::MsgWaitForMultipleObjects(1, &object, FALSE, slice, QS_ALLINPUT) == WAIT_OBJECT_0)
            return RunWait::Ended;
        if (!keepWaiting())
            return RunWait::Cancelled;
    }
}

// After a cancel: how long the program may take to end (the host's `timeout` kills it 5 s after
// the polite signal) before the caller is let go regardless.
constexpr DWORD kStopWaitMs = 8000;

// The host file into which the shell writes the process id of `timeout`; removed at the end.
class TempPidFile {
public:
    explicit TempPidFile(bool wanted)
    {
        wchar_t folder[MAX_PATH];
        wchar_t name[MAX_PATH];
        const DWORD length = wanted ? ::GetTempPathW(MAX_PATH, folder) : 0;
        if (length > 0 && length < MAX_PATH - 14 && ::GetTempFileNameW(folder, L"kpi", 0, name))
            path_ = name;
    }
    ~TempPidFile()
    {
        if (!path_.empty())
            ::DeleteFileW(path_.c_str());
    }
    TempPidFile(const TempPidFile&) = delete;
    TempPidFile& operator=(const TempPidFile&) = delete;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// The process id written in the file; empty while there is none.
std::string ReadPid(const std::wstring& path)
{
    WinHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char text[32] = "";
    DWORD got = 0;
    if (!file || !::ReadFile(file.Get(), text, sizeof text - 1, &got, nullptr))
        return std::string();
    std::string pid;
    for (DWORD i = 0; i < got && text[i] >= '0' && text[i] <= '9'; ++i)
        pid.push_back(text[i]);
    return pid.size() >= 2 || (pid.size() == 1 && pid[0] != '0' && pid[0] != '1') ? pid : std::string();
}

// Sends SIGTERM to the host's `timeout`, which passes it on to the program and its process
// group and kills them 5 s later if they stay, then waits (still handling messages) for the
// spawning thread to see the end. The id may be written only after the cancel: looked for
// until the run ends.
void StopHostRun(HANDLE thread, const std::wstring& pidFile, const ProgramWaitCallback& keepWaiting)
{
    HostSpawnFn spawn = HostSpawn();
    bool signalled = false;
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kStopWaitMs) {
        if (!signalled) {
            std::string pid = ReadPid(pidFile);
            if (!pid.empty()) {
                std::string shell = "/bin/sh", option = "-c", line = "kill -TERM \"$1\" 2>/dev/null", name = "sh";
                char* const argv[] = {&shell[0], &option[0], &line[0], &name[0], &pid[0], nullptr};
                spawn(argv, 1);
                signalled = true;
            }
        }
        if (::MsgWaitForMultipleObjects(1, &thread, FALSE, kWaitSliceMs, QS_ALLINPUT) == WAIT_OBJECT_0)
            return;
        keepWaiting();
    }
}

}  // namespace

bool HostProgramsAvailable() { return HostSpawn() != nullptr; }

std::string HostPathFromWindowsPath(const wchar_t* windowsPath)
{
    HostPathFn convert = HostPathConverter();
    if (!convert || !windowsPath || !*windowsPath)
        return std::string();
    char* hostPath = convert(windowsPath);
    if (!hostPath)
        return std::string();
    std::string result(hostPath);
    ::HeapFree(::GetProcessHeap(), 0, hostPath);
    return result;
}

ProgramRunResult RunHostProgram(const std::vector<std::string>& argv, DWORD timeoutMs,
                                const ProgramWaitCallback& keepWaiting)
{
    ProgramRunResult result;
    HostSpawnFn spawn = HostSpawn();
    if (!spawn || argv.empty() || argv[0].empty())
        return result;

    // Only a run that can be cancelled needs to know whom to stop.
    TempPidFile pidFile(keepWaiting != nullptr);
    const std::string hostPidFile = pidFile.Path().empty() ? std::string() : HostPathFromWindowsPath(pidFile.Path().c_str());
    if (keepWaiting && hostPidFile.empty())
        return result;

    // The program's arguments go to the shell as positional parameters, so nothing in them is
    // ever parsed by the shell. `timeout` bounds the run on the host, where the program can be
    // stopped; the spawn call itself cannot be interrupted.
    auto job = std::make_shared<HostSpawnJob>();
    job->spawn = spawn;
    // `timeout` runs in the background only so that its process id can be written down; the
    // shell waits for it and stays to report 137 when `timeout` had to kill the program and,
    // with its process group, itself. The id is wiped once `timeout` has been reaped, so a
    // late cancel never signals a process id used again.
    job->args = {"/bin/sh", "-c",
                 "pidfile=$1; shift; command -v timeout >/dev/null 2>&1 || exit 125; timeout -k 5 " +
                     SecondsText(timeoutMs) + " \"$@\" & echo $! > \"$pidfile\"; wait $!; status=$?; "
                     ": > \"$pidfile\"; exit $status",
                 "sh", hostPidFile.empty() ? std::string("/dev/null") : hostPidFile};
    job->args.insert(job->args.end(), argv.begin(), argv.end());

    auto* param = new std::shared_ptr<HostSpawnJob>(job);
    WinHandle thread(::CreateThread(nullptr, 0, HostSpawnThread, param, 0, nullptr));
    if (!thread) {
        delete param;
        return result;
    }
    const DWORD limit = timeoutMs > INFINITE - kHostWaitMarginMs ? INFINITE - 1 : timeoutMs + kHostWaitMarginMs;
    switch (WaitForRun(thread.Get(), limit, keepWaiting)) {
    case RunWait::Ended:
        break;
    case RunWait::TimedOut:
        result.status = ProgramRunStatus::TimedOut;
        return result;
    case RunWait::Cancelled:
        StopHostRun(thread.Get(), pidFile.Path(), keepWaiting);
        result.status = ProgramRunStatus::Cancelled;
        return result;
    }

    const LONG status = job->result;
    if (status < 0 || status > 255) {
        // The shell itself could not be started.
        return result;
    }
    result.exitCode = static_cast<int>(status);
    switch (status) {
    case kTimedOutStatus:
    case kKilledStatus:
        result.status = ProgramRunStatus::TimedOut;
        break;
    case kTimeoutFailedStatus:
        result.status = ProgramRunStatus::Failed;
        break;
    case kCannotExecuteStatus:
    case kNotFoundStatus:
        result.status = ProgramRunStatus::NotFound;
        break;
    default:
        result.status = ProgramRunStatus::Exited;
        break;
    }
    return result;
}

std::wstring QuoteWindowsArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    // Backslashes are literal except before a quote (and before the closing quote), where each
    // must be doubled.
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t ch : argument) {
        if (ch == L'\\') {
            ++backslashes;
            continue;
        }
        if (ch == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted.push_back(ch);
    }
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

ProgramRunResult RunWindowsProgram(const std::wstring& program, const std::vector<std::wstring>& args,
                                   DWORD timeoutMs, const ProgramWaitCallback& keepWaiting)
{
    ProgramRunResult result;
    if (program.empty())
        return result;
    std::wstring commandLine = QuoteWindowsArgument(program);
    for (const std::wstring& arg : args)
        commandLine += L" " + QuoteWindowsArgument(arg);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &info)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_EXE_FORMAT ||
            error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_NAME)
            result.status = ProgramRunStatus::NotFound;
        return result;
    }
    WinHandle process(info.hProcess);
    WinHandle mainThread(info.hThread);
    // A host binary started this way under Wine comes without a handle: nothing to wait for.
    if (!process)
        return result;

    const RunWait wait = WaitForRun(process.Get(), timeoutMs, keepWaiting);
    if (wait != RunWait::Ended) {
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), 5000);
        result.status = wait == RunWait::Cancelled ? ProgramRunStatus::Cancelled : ProgramRunStatus::TimedOut;
        return result;
    }
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process.Get(), &exitCode))
        return result;
    result.status = ProgramRunStatus::Exited;
    result.exitCode = static_cast<int>(exitCode);
    return result;
}
