#include "recorder/gif_optimizer.h"

#include <cwchar>
#include <vector>

#include "gif/gd.h"
#include "gif/gif_frames.h"
#include "image/handles.h"
#include "recorder/host_process.h"

namespace {

// An optimised GIF larger than this is not read back to be checked.
constexpr LONGLONG kMaxOutputBytes = 512LL * 1024 * 1024;

std::wstring FullPath(const wchar_t* path)
{
    DWORD needed = ::GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    DWORD length = ::GetFullPathNameW(path, needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    full.resize(length);
    return full;
}

std::wstring FolderOf(const std::wstring& fullPath)
{
    size_t slash = fullPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : fullPath.substr(0, slash + 1);
}

bool IsFile(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string result(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &result[0], bytes, nullptr, nullptr);
    return result;
}

// gifsicle.exe reads its arguments in the ANSI code page: a name with other characters is
// passed by its short (8.3) form when the volume has one.
std::wstring WindowsArgumentPath(const std::wstring& path)
{
    bool ascii = true;
    for (wchar_t ch : path)
        ascii = ascii && ch < 0x80;
    if (ascii)
        return path;
    wchar_t shortPath[MAX_PATH];
    DWORD length = ::GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(shortPath, length) : path;
}

// The temporary file that gifsicle writes; deleted unless it has been moved into place.
class PartialOutput {
public:
    explicit PartialOutput(const std::wstring& folder)
    {
        wchar_t name[MAX_PATH + 16];
        if (folder.size() < MAX_PATH - 14 && ::GetTempFileNameW(folder.c_str(), L"gso", 0, name))
            path_ = name;
    }
    ~PartialOutput()
    {
        if (!path_.empty())
            ::DeleteFileW(path_.c_str());
    }
    PartialOutput(const PartialOutput&) = delete;
    PartialOutput& operator=(const PartialOutput&) = delete;

    const std::wstring& Path() const { return path_; }
    bool MoveTo(const std::wstring& target)
    {
        if (!::MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
            return false;
        path_.clear();
        return true;
    }

private:
    std::wstring path_;
};

// A GIF whose first image decodes and that holds at least one image.
bool IsLoadableGif(const std::wstring& path)
{
    WinHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxOutputBytes)
        return false;
    std::vector<unsigned char> data(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!::ReadFile(file.Get(), data.data(), (DWORD)data.size(), &got, nullptr) || got != data.size())
        return false;
    if (gifcodec::CountGifFrames(data.data(), data.size()) < 1)
        return false;
    gdImageOwner first(gdImageCreateFromGifPtr((int)data.size(), data.data()));
    return first != nullptr;
}

int ResultOf(const ProgramRunResult& run)
{
    switch (run.status) {
    case ProgramRunStatus::Exited:
        return run.exitCode == 0 ? GifOptimizeOk : GifOptimizeFailed;
    case ProgramRunStatus::NotFound:
        return GifOptimizeNoProgram;
    case ProgramRunStatus::TimedOut:
        return GifOptimizeTimedOut;
    case ProgramRunStatus::Cancelled:
        return GifOptimizeCancelled;
    case ProgramRunStatus::Failed:
        break;
    }
    return GifOptimizeFailed;
}

int RunOnHost(const GifsicleSetup& setup, const std::vector<std::string>& options, const std::wstring& input,
              const std::wstring& output, const ProgramWaitCallback& keepWaiting)
{
    std::string hostInput = HostPathFromWindowsPath(input.c_str());
    std::string hostOutput = HostPathFromWindowsPath(output.c_str());
    if (hostInput.empty() || hostOutput.empty())
        return GifOptimizeFailed;
    std::vector<std::string> argv = {Utf8(setup.program)};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(), {hostInput, "-o", hostOutput});
    return ResultOf(RunHostProgram(argv, setup.timeoutMs, keepWaiting));
}

int RunOnWindows(const GifsicleSetup& setup, const std::vector<std::string>& options, const std::wstring& input,
                 const std::wstring& output, const ProgramWaitCallback& keepWaiting)
{
    if (!IsFile(setup.program))
        return GifOptimizeNoProgram;
    std::vector<std::wstring> args;
    for (const std::string& option : options)
        args.emplace_back(option.begin(), option.end());  // options are ASCII
    args.insert(args.end(), {WindowsArgumentPath(input), L"-o", WindowsArgumentPath(output)});
    return ResultOf(RunWindowsProgram(setup.program, args, setup.timeoutMs, keepWaiting));
}

}  // namespace

GifsicleSetup DefaultGifsicleSetup()
{
    GifsicleSetup setup;
    wchar_t value[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableW(L"KELVO_GIFSICLE", value, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        setup.program.assign(value, length);
    } else if (HostProgramsAvailable()) {
        setup.program = L"gifsicle";
    } else {
        wchar_t exe[MAX_PATH];
        DWORD exeLength = ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
        if (exeLength > 0 && exeLength < MAX_PATH)
            setup.program = FolderOf(std::wstring(exe, exeLength)) + L"gifsicle.exe";
    }
    return setup;
}

int OptimizeGif(int colors, bool gray, const wchar_t* inputPath, const wchar_t* outputPath,
                const GifsicleSetup& setup, const ProgramWaitCallback& keepWaiting)
{
    if (colors < 2 || colors > 256 || !inputPath || !*inputPath || !outputPath || !*outputPath)
        return GifOptimizeBadArguments;
    const std::wstring input = FullPath(inputPath);
    const std::wstring output = FullPath(outputPath);
    // gifsicle would overwrite the GIF it is reading.
    if (input.empty() || output.empty() || _wcsicmp(input.c_str(), output.c_str()) == 0)
        return GifOptimizeBadArguments;
    if (setup.program.empty())
        return GifOptimizeNoProgram;
    if (!IsFile(input))
        return GifOptimizeFailed;

    PartialOutput partial(FolderOf(output));
    if (partial.Path().empty())
        return GifOptimizeFailed;

    std::vector<std::string> options = {"-O3", "--colors", std::to_string(colors)};
    if (gray)
        options.insert(options.end(), {"--use-colormap", "gray"});
    const int result = HostProgramsAvailable() ? RunOnHost(setup, options, input, partial.Path(), keepWaiting)
                                               : RunOnWindows(setup, options, input, partial.Path(), keepWaiting);
    if (result != GifOptimizeOk)
        return result;
    // A zero exit status alone proves nothing: an input without images gives no output at all.
    if (!IsLoadableGif(partial.Path()) || !partial.MoveTo(output))
        return GifOptimizeFailed;
    return GifOptimizeOk;
}

int OptimizeGifColors(int colors, const wchar_t* inputPath, const wchar_t* outputPath,
                      const ProgramWaitCallback& keepWaiting)
{
    return OptimizeGif(colors, false, inputPath, outputPath, DefaultGifsicleSetup(), keepWaiting);
}

int OptimizeGifGray(int colors, const wchar_t* inputPath, const wchar_t* outputPath,
                    const ProgramWaitCallback& keepWaiting)
{
    return OptimizeGif(colors, true, inputPath, outputPath, DefaultGifsicleSetup(), keepWaiting);
}
