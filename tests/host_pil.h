// Reading the program's output with an independent decoder: a Python script run with the
// host's PIL through Wine's host-process call. Shared by the end-to-end tests.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace host_pil {

typedef LONG(CDECL* SpawnFn)(char* const argv[], int wait);

inline SpawnFn Spawner()
{
    return (SpawnFn)(void*)GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp");
}

// False on Windows itself: the host's Python is reached only through Wine.
inline bool Available() { return Spawner() != nullptr; }

// Runs a host program and waits for it; its exit status, -1 when not running under Wine.
inline int RunHost(const std::vector<std::string>& args)
{
    const SpawnFn spawn = Spawner();
    if (!spawn)
        return -1;
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return (int)spawn(argv.data(), 1);
}

// The host's name of a Windows path (which need not exist yet); empty when there is none.
inline std::string UnixPath(const wchar_t* path)
{
    typedef char*(CDECL * UnixNameFn)(LPCWSTR);
    auto toUnix = (UnixNameFn)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    char* name = toUnix ? toUnix(path) : nullptr;
    std::string result = name ? name : "";
    if (name)
        HeapFree(GetProcessHeap(), 0, name);
    return result;
}

inline std::string ReadFileText(const wchar_t* path)
{
    FILE* f = _wfopen(path, L"rb");
    if (!f)
        return std::string();
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
        text.append(buffer, n);
    fclose(f);
    return text;
}

// Runs the Python script with /usr/bin/python3 (which has PIL) as `script file... report`: the
// files by their host names, then the name of the report file it is to write. The report's
// text goes into output; false when the script failed.
inline bool RunScript(const char* script, const std::vector<std::wstring>& files, std::string& output)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring scriptPath = std::wstring(temp) + L"kelvo_pil_check.py";
    const std::wstring reportPath = std::wstring(temp) + L"kelvo_pil_report.txt";
    FILE* f = _wfopen(scriptPath.c_str(), L"wb");
    if (!f)
        return false;
    fputs(script, f);
    fclose(f);
    std::vector<std::string> args = {"/usr/bin/python3", UnixPath(scriptPath.c_str())};
    for (const std::wstring& file : files)
        args.push_back(UnixPath(file.c_str()));
    args.push_back(UnixPath(reportPath.c_str()));
    const int status = RunHost(args);
    output = ReadFileText(reportPath.c_str());
    DeleteFileW(reportPath.c_str());
    DeleteFileW(scriptPath.c_str());
    return status == 0;
}

}  // namespace host_pil
