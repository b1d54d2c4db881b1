#include "tests/recorder/preview_test_util.h"

#include <cstdio>

#include "app/recorder_app.h"
#include "capture/temp_gif_name.h"
#include "res/preview_ids.h"
#include "res/resource.h"
#include "tests/gif/gif_file_builder.h"

namespace preview_test {

std::wstring Folder()
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"kelvo preview 测试 " + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring WriteBytes(const std::wstring& name, const std::vector<uint8_t>& bytes)
{
    const std::wstring path = name.find(L'\\') == std::wstring::npos ? Folder() + name : name;
    FILE* f = _wfopen(path.c_str(), L"wb");
    EXPECT_NE(nullptr, f) << "cannot write the test file";
    if (f) {
        if (!bytes.empty())
            fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

std::wstring WriteGif(const std::wstring& name, int width, int height, int frames, int colours)
{
    const std::vector<giftest::Rgb> palette = giftest::DistinctPalette(colours, 7);
    giftest::GifFileBuilder gif(width, height, palette);
    gif.Loop(0);
    for (int i = 0; i < frames; ++i)
        gif.Control(1, 10, -1).Image(0, 0, width, height, giftest::RandomPixels(width, height, colours, 100 + i));
    return WriteBytes(name, gif.Trailer().Data());
}

std::wstring WritePaddedGif(const std::wstring& name, int width, int height, size_t bytes)
{
    giftest::GifFileBuilder gif(width, height, giftest::DistinctPalette(4, 3));
    gif.Image(0, 0, width, height, giftest::RandomPixels(width, height, 4, 5));
    std::vector<uint8_t> data = gif.Trailer().Data();
    EXPECT_LE(data.size(), bytes);
    data.resize(bytes, 0);
    return WriteBytes(name, data);
}

std::vector<uint8_t> ReadBytes(const std::wstring& path)
{
    std::vector<uint8_t> bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f)
        return bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(f);
    return bytes;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH * 2];
    const DWORD n = ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return n ? std::wstring(full, n) : path;
}

CString LoadText(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

int TempGifCount()
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((std::wstring(temp) + L"*.gif").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        ++count;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return count;
}

std::wstring StubLog(const wchar_t* program) { return std::wstring(CPreviewDlg::SiblingProgramPath(program)) + L".log"; }

namespace {

std::vector<std::wstring> SplitLines(const std::string& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        const int n = ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
        std::wstring wide(static_cast<size_t>(n), L'\0');
        if (n > 0)
            ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &wide[0], n);
        lines.push_back(wide);
    }
    return lines;
}

// A log is whole when its first line counts the lines after it.
bool IsWholeLog(const std::vector<std::wstring>& lines)
{
    return !lines.empty() && lines[0] == std::to_wstring(lines.size() - 1);
}

}  // namespace

Launch WaitForLaunch(const wchar_t* program, DWORD timeoutMs)
{
    Launch launch;
    const std::wstring log = StubLog(program);
    if (!PumpUntil([&] { return Exists(log); }, timeoutMs))
        return launch;
    launch.ran = true;
    // The stub renames its finished log into place, but under Wine the name can show up a moment
    // before the file opens for reading; read until the log is whole.
    std::vector<std::wstring> lines;
    PumpUntil(
        [&] {
            const std::vector<uint8_t> bytes = ReadBytes(log);
            lines = SplitLines(std::string(bytes.begin(), bytes.end()));
            return IsWholeLog(lines);
        },
        5000);
    EXPECT_TRUE(IsWholeLog(lines)) << "the stub's log never became readable and whole";
    if (!lines.empty())
        launch.args.assign(lines.begin() + 1, lines.end());
    return launch;
}

void PreviewTest::SetUp()
{
    ::DeleteFileW(CRecorderApp::SettingsFilePath());
    for (const wchar_t* program : {L"Vantoweb.exe", L"Vantoup.exe"}) {
        ASSERT_TRUE(Exists(std::wstring(CPreviewDlg::SiblingProgramPath(program))))
            << "the stub sibling programs are built beside the test";
        ::DeleteFileW(StubLog(program).c_str());
    }
    AfxSetMessageBoxResponder([this](LPCTSTR text, UINT) {
        messages.push_back(text);
        return IDOK;
    });
    main = std::make_unique<CRecorderDlg>(theApp);
    theApp.m_pMainWnd = main.get();
    ASSERT_TRUE(main->Create(IDD_RECORDER_DIALOG));
    main->ShowWindow(SW_SHOW);
    main->MoveWindow(100, 100, 620, WindowRect(*main).Height());
    Pump(100);
    // A temporary GIF of the program's own, as the main window makes them.
    mainGif = WriteGif(std::wstring(MakeTempGifName()), 120, 80);
    main->gifPath = mainGif.c_str();
    main->state = RecorderReady;

    preview = std::make_unique<CPreviewDlg>();
    ASSERT_TRUE(preview->Create(IDD_PREVIEW_DIALOG, main.get()));
    Pump(50);
}

void PreviewTest::TearDown()
{
    CMenu::SetTestResponder(nullptr);
    CFileDialog::SetTestResponder(nullptr);
    if (preview) {
        preview->DestroyWindow();
        preview.reset();
    }
    if (main && main->m_hWnd) {
        main->state = RecorderIdle;  // never refused or asked
        main->SendMessage(WM_COMMAND, IDCANCEL);
        main->DestroyWindow();
    }
    main.reset();
    theApp.m_pMainWnd = nullptr;
    AfxSetMessageBoxResponder(nullptr);
    ::DeleteFileW(CRecorderApp::SettingsFilePath());
    // Empty the test folder.
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((Folder() + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((Folder() + found.cFileName).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(Folder().c_str());
    Pump(20);
}

void PreviewTest::ShowPlain(const std::wstring& path)
{
    ASSERT_TRUE(preview->ShowPlainGif(path.c_str()));
    Pump(50);
    ASSERT_TRUE(preview->IsWindowVisible());
}

CRect PreviewTest::WindowRect(const CWnd& wnd) const
{
    CRect r;
    wnd.GetWindowRect(&r);
    return r;
}

CRect PreviewTest::WorkArea() const
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(preview->m_hWnd, MONITOR_DEFAULTTONEAREST), &info);
    return CRect(info.rcWork);
}

CString PreviewTest::InfoText() const
{
    CString text;
    preview->infoLine.GetWindowText(text);
    return text;
}

}  // namespace preview_test
