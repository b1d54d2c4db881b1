// The preview window's tests: a real main window with the preview beside it, test GIFs in a
// folder whose name has a blank and Chinese characters, answered message boxes, and the logs
// of the stub sibling programs that lie beside the test executable.
#pragma once

#include "tests/test_pump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "recorder/preview_dlg.h"
#include "recorder/recorder_dlg.h"

namespace preview_test {

using ::Pump;
using ::PumpUntil;

// The test folder (created once, emptied by the fixture), ending with a backslash.
std::wstring Folder();
// A GIF of random pixels (the given colour count) with this many frames; returns its path.
std::wstring WriteGif(const std::wstring& name, int width, int height, int frames = 2, int colours = 200);
// A small valid GIF padded after its trailer to exactly this many bytes.
std::wstring WritePaddedGif(const std::wstring& name, int width, int height, size_t bytes);
std::wstring WriteBytes(const std::wstring& name, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
std::wstring FullPath(const std::wstring& path);
CString LoadText(UINT id);
// GIF files in the user's temporary folder (not below it).
int TempGifCount();

// What a stub sibling program logged: its arguments; empty when it did not run within the time.
struct Launch {
    bool ran = false;
    std::vector<std::wstring> args;
};
// The log of a stub beside the test executable ("Vantoweb.exe", "Vantoup.exe").
std::wstring StubLog(const wchar_t* program);
Launch WaitForLaunch(const wchar_t* program, DWORD timeoutMs = 8000);

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows the GIF as the main window does after a plain preview.
    void ShowPlain(const std::wstring& path);
    CRect WindowRect(const CWnd& wnd) const;
    CRect WorkArea() const;
    CString InfoText() const;

    std::unique_ptr<CRecorderDlg> main;
    std::unique_ptr<CPreviewDlg> preview;
    std::wstring mainGif;                 // the main window's temporary GIF
    std::vector<CString> messages;        // texts of the message boxes, in order
};

}  // namespace preview_test
