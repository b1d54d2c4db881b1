// Running helper programs to their end within a time limit: host programs under Wine (exit
// status, arguments passed untouched, missing programs, a hung program stopped) and Windows
// programs (this test program started again as a child), and the command-line quoting.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <cwchar>

#include "recorder/host_process.h"
#include "tests/recorder/host_test_util.h"

namespace {

// This program doubles as the Windows child of the tests below: these arguments make it exit
// with a status, or hang, before the tests start.
int RunAsChildWhenAsked()
{
    const wchar_t* commandLine = ::GetCommandLineW();
    if (std::wcsstr(commandLine, L"--child-hang"))
        ::Sleep(120000);
    const wchar_t* exitArgument = std::wcsstr(commandLine, L"--child-exit=");
    if (exitArgument)
        ::ExitProcess(static_cast<UINT>(_wtoi(exitArgument + std::wcslen(L"--child-exit="))));
    return 0;
}
[[maybe_unused]] const int g_childCheck = RunAsChildWhenAsked();

std::wstring ThisProgram()
{
    wchar_t path[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

class HostProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HostProgramsAvailable())
            GTEST_SKIP() << "not running under Wine";
        ASSERT_TRUE(folder.Valid());
    }
    ScratchFolder folder{L"kelvo host 进程"};
};

TEST_F(HostProgram, ExitStatusIsReported)
{
    ProgramRunResult run = RunHostProgram({"/bin/sh", "-c", "exit 3"}, 10000);
    EXPECT_EQ(run.status, ProgramRunStatus::Exited);
    EXPECT_EQ(run.exitCode, 3);
    run = RunHostProgram({"true"}, 10000);
    EXPECT_EQ(run.status, ProgramRunStatus::Exited);
    EXPECT_EQ(run.exitCode, 0);
}

TEST_F(HostProgram, ArgumentsArriveUntouchedByAnyShell)
{
    const std::wstring out = folder.File(L"参数 out.txt");
    const std::string hostOut = HostPathFromWindowsPath(out.c_str());
    ASSERT_FALSE(hostOut.empty());
    const std::string tricky = "it's \"$HOME\" & `id`; (1) *.gif \\n 中文";
    ProgramRunResult run = RunHostProgram({"/bin/sh", "-c", "printf '%s|%s' \"$1\" \"$2\" > \"$3\"", "sh", tricky,
                                           "", hostOut},
                                          10000);
    ASSERT_EQ(run.status, ProgramRunStatus::Exited);
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<unsigned char> written = ReadWholeFile(out);
    EXPECT_EQ(std::string(written.begin(), written.end()), tricky + "|");
}

TEST_F(HostProgram, HostPathOfANewFileKeepsItsUnicodeName)
{
    const std::wstring file = folder.File(L"新 文件.gif");
    const std::string host = HostPathFromWindowsPath(file.c_str());
    ASSERT_FALSE(host.empty());
    EXPECT_EQ(host.front(), '/');
    const std::string tail = Utf8Of(L"/新 文件.gif");
    ASSERT_GE(host.size(), tail.size());
    EXPECT_EQ(host.substr(host.size() - tail.size()), tail);
    EXPECT_TRUE(HostPathFromWindowsPath(L"").empty());
}

TEST_F(HostProgram, MissingProgramIsNotFound)
{
    EXPECT_EQ(RunHostProgram({"/nonexistent/kelvo-tool"}, 10000).status, ProgramRunStatus::NotFound);
    EXPECT_EQ(RunHostProgram({"kelvo-no-such-program"}, 10000).status, ProgramRunStatus::NotFound);
    EXPECT_EQ(RunHostProgram({}, 10000).status, ProgramRunStatus::Failed);
}

TEST_F(HostProgram, HungProgramIsStoppedAtTheTimeLimit)
{
    const DWORD start = ::GetTickCount();
    ProgramRunResult run = RunHostProgram({"/bin/sleep", "60"}, 1000);
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_EQ(run.status, ProgramRunStatus::TimedOut);
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 10000u);
    // Also a program that ignores the polite signal.
    run = RunHostProgram({"/bin/sh", "-c", "trap '' TERM; sleep 60 & wait; sleep 60"}, 500);
    EXPECT_EQ(run.status, ProgramRunStatus::TimedOut);
    EXPECT_LT(::GetTickCount() - start, 25000u);
}

TEST_F(HostProgram, ACancelledProgramIsStoppedAndTheWaitHandledMessages)
{
    const std::wstring pidFile = folder.File(L"进程 id.txt");
    const std::wstring after = folder.File(L"after.txt");
    const std::string hostPid = HostPathFromWindowsPath(pidFile.c_str());
    const std::string hostAfter = HostPathFromWindowsPath(after.c_str());
    // A message posted before the run is handled by the callback's pump while it runs.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 7, 0, 0);
    bool messageSeen = false;
    int calls = 0;
    ProgramRunResult run = RunHostProgram({"/bin/sh", "-c", "echo $$ > \"$1\"; sleep 60; touch \"$2\"", "sh", hostPid,
                                           hostAfter},
                                          120000, [&] {
                                              MSG msg;
                                              while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                                                  messageSeen = messageSeen || msg.message == WM_APP + 7;
                                              ++calls;
                                              return ReadWholeFile(pidFile).empty();
                                          });
    EXPECT_EQ(run.status, ProgramRunStatus::Cancelled);
    EXPECT_TRUE(messageSeen);
    EXPECT_GT(calls, 0);
    const std::vector<unsigned char> pid = ReadWholeFile(pidFile);
    ASSERT_FALSE(pid.empty());
    ProgramRunResult alive = RunHostProgram({"/bin/sh", "-c", "kill -0 $1 2>/dev/null", "sh",
                                             std::string(pid.begin(), pid.end())},
                                            10000);
    EXPECT_NE(alive.exitCode, 0) << "the cancelled program still runs";
    EXPECT_FALSE(FileExists(after));
}

TEST(WindowsProgram, ACancelledProgramIsTerminated)
{
    int calls = 0;
    ProgramRunResult run = RunWindowsProgram(ThisProgram(), {L"--child-hang"}, 120000, [&calls] { return ++calls < 3; });
    EXPECT_EQ(run.status, ProgramRunStatus::Cancelled);
    EXPECT_EQ(calls, 3);
}

TEST(WindowsProgram, ExitCodeIsReported)
{
    ProgramRunResult run = RunWindowsProgram(ThisProgram(), {L"--child-exit=7"}, 30000);
    EXPECT_EQ(run.status, ProgramRunStatus::Exited);
    EXPECT_EQ(run.exitCode, 7);
}

TEST(WindowsProgram, HungProgramIsTerminatedAtTheTimeLimit)
{
    const DWORD start = ::GetTickCount();
    ProgramRunResult run = RunWindowsProgram(ThisProgram(), {L"--child-hang"}, 1500);
    EXPECT_EQ(run.status, ProgramRunStatus::TimedOut);
    EXPECT_LT(::GetTickCount() - start, 15000u);
}

TEST(WindowsProgram, MissingProgramIsNotFound)
{
    EXPECT_EQ(RunWindowsProgram(L"C:\\no such folder\\gifsicle.exe", {}, 5000).status, ProgramRunStatus::NotFound);
    EXPECT_EQ(RunWindowsProgram(L"", {}, 5000).status, ProgramRunStatus::Failed);
}

TEST(WindowsProgram, QuotedArgumentsParseBackUnchanged)
{
    const std::wstring cases[] = {L"plain",         L"",           L"two words",   L"say \"hi\"",
                                  L"C:\\dir\\",     L"C:\\my dir\\", L"a\\\\\"b",     L"\\\\server\\share\\x y",
                                  L"tab\there",     L"中文 路径.gif", L"trailing\\\\", L"\""};
    std::wstring commandLine = L"prog.exe";
    for (const std::wstring& argument : cases)
        commandLine += L" " + QuoteWindowsArgument(argument);
    int count = 0;
    LPWSTR* parsed = ::CommandLineToArgvW(commandLine.c_str(), &count);
    ASSERT_NE(parsed, nullptr);
    ASSERT_EQ(count, (int)(sizeof cases / sizeof cases[0]) + 1);
    for (int i = 1; i < count; ++i)
        EXPECT_EQ(std::wstring(parsed[i]), cases[i - 1]) << commandLine;
    ::LocalFree(parsed);
    EXPECT_EQ(QuoteWindowsArgument(L"plain"), L"plain");
}

}  // namespace
