#include "tests/editor/strip_test_util.h"

#include "editor/editor_messages.h"
#include "tests/test_pump.h"

LRESULT StripHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_FRAME_PICKED)
        picked.push_back(lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

void StripTest::Open(int count, int w, int h, int clientHeight, int layoutWidth)
{
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1), nullptr);
    ASSERT_TRUE(host.CreateEx(0, cls, L"strip host", WS_POPUP | WS_VISIBLE, 40, 40, 400, clientHeight + 40, nullptr,
                              nullptr));
    AddFrames(count, w, h);
    strip = static_cast<XListView*>(RUNTIME_CLASS(XListView)->CreateObject());
    ASSERT_NE(nullptr, strip);
    ASSERT_TRUE(strip->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), &host, 0));
    strip->MoveWindow(0, 0, layoutWidth + ::GetSystemMetrics(SM_CXVSCROLL) + 2, clientHeight + 2);
    strip->SetFrames(&frames);
    for (INT_PTR i = 0; i < frames.GetSize(); ++i)
        strip->AddFrame(frames[i]);
    strip->Reinitialize();
    host.SetForegroundWindow();
    strip->SetFocus();
    Pump(100);
}

void StripTest::TearDown()
{
    CFileDialog::SetTestResponder(nullptr);
    CMenu::SetTestResponder(nullptr);
    if (host.m_hWnd)
        host.DestroyWindow();
    for (INT_PTR i = 0; i < frames.GetSize(); ++i) {
        delete frames[i]->image;
        delete frames[i];
    }
    frames.RemoveAll();
    Pump(20);
}

CxImage* StripTest::MakePicture(int w, int h, COLORREF colour)
{
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT all = {0, 0, w, h};
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(memory, &all, brush);
    ::DeleteObject(brush);
    ::SelectObject(memory, old);
    auto* picture = new CxImage();
    picture->CreateFromHBITMAP(bitmap);
    picture->SetFlags(1, false);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return picture;
}

void StripTest::AddFrames(int count, int w, int h)
{
    for (int i = 0; i < count; ++i)
        frames.Add(new FrameRecord{MakePicture(w, h, RGB(i * 8 % 256, 100, 200)), 10});
}

std::vector<int> StripTest::Selected() const
{
    std::vector<int> numbers;
    for (size_t i = 0; i < strip->items.size(); ++i)
        if (strip->items[i]->selected)
            numbers.push_back(static_cast<int>(i + 1));
    return numbers;
}

void StripTest::Repaint()
{
    strip->Invalidate(FALSE);
    strip->UpdateWindow();
}

void StripTest::ModifiedClick(int n, UINT keys)
{
    const CPoint centre = CRect(strip->GetItem(n)->thumbRect).CenterPoint();
    const LPARAM at = MAKELPARAM(centre.x, centre.y);
    strip->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    strip->SendMessage(WM_LBUTTONUP, keys, at);
    Pump(30);
}
