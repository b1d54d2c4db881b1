// Helpers of the engine's Windows tests: a message-only window that keeps the engine's
// reports, pictures of known colours, and a wait that pumps messages.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "image/ximage.h"
#include "capture/screen_recorder.h"

namespace engine_test {

struct Report {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Receives the engine's reports in the order they were posted.
class ReportWindow {
public:
    ReportWindow();
    ~ReportWindow();
    ReportWindow(const ReportWindow&) = delete;
    ReportWindow& operator=(const ReportWindow&) = delete;

    HWND Handle() const { return wnd_; }
    // Pumps this thread's messages until the condition holds or timeoutMs passed.
    bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
    // Pumps for a while so that late reports would have arrived.
    void Settle(DWORD ms = 200);

    std::vector<Report> All(UINT message) const;
    size_t Count(UINT message) const { return All(message).size(); }
    std::vector<LPARAM> LParams(UINT message) const;
    void Clear() { reports_.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND wnd_ = nullptr;
    std::vector<Report> reports_;
};

// A 24-bit picture of w x h filled by colour(x, y), y counted from the top.
CxImage* MakePicture(int w, int h, const std::function<COLORREF(int, int)>& colour);
// Colour of pixel (x, y) of a 24-bit or 8-bit picture, y counted from the top.
COLORREF PixelAt(const CxImage& picture, int x, int y);
// A new record of a solid picture.
FrameRecord* MakeRecord(int w, int h, COLORREF colour, int delay, bool kept = true);

std::wstring TempFile(const wchar_t* name);
bool FileExists(const std::wstring& path);
std::vector<BYTE> ReadFileBytes(const std::wstring& path);

}  // namespace engine_test
