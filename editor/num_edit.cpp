#include "editor/num_edit.h"

#include "editor/frame_strip_view.h"
#include "framework/gdi.h"
#include "framework/msgmap.h"

IMPLEMENT_DYNAMIC(CNumEdit, CEdit)

BEGIN_MESSAGE_MAP(CNumEdit, CEdit)
    ON_WM_CHAR()
    ON_WM_KILLFOCUS()
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CNumEdit::CNumEdit() = default;

CNumEdit::~CNumEdit() = default;

void CNumEdit::PostNcDestroy()
{
    if (freeOnClose)
        delete this;
}

int CNumEdit::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CEdit::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (font.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"Verdana"))
        SetFont(&font, FALSE);
    return 0;
}

void CNumEdit::OnDestroy()
{
    CEdit::OnDestroy();
    font.DeleteObject();
}

void CNumEdit::OnPaint()
{
    Default();
}

void CNumEdit::OnChar(UINT nChar, UINT, UINT)
{
    if (nChar == VK_BACK || (nChar >= L'0' && nChar <= L'9')) {
        Default();
    } else if (nChar == VK_RETURN) {
        Close();
    }
    // Anything else (letters, signs, blanks, IME text, control characters) is dropped.
}

BOOL CNumEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        Close();
        return TRUE;
    }
    return CEdit::PreTranslateMessage(pMsg);
}

void CNumEdit::OnKillFocus(CWnd* pNewWnd)
{
    CEdit::OnKillFocus(pNewWnd);
    Close();
}

void CNumEdit::Close()
{
    // Destroying the focused window takes its focus away: that second kill-focus, or a key
    // that arrives meanwhile, belongs to this same close.
    if (closing || !m_hWnd)
        return;
    closing = true;
    Commit();
    DestroyWindow();
}

void CNumEdit::Commit()
{
    CString text;
    GetWindowText(text);
    const int value = ParseDelay(text);
    auto* strip = dynamic_cast<XListView*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    if (strip)
        strip->SetDelay(itemNumber, static_cast<UINT>(value));
}

int CNumEdit::ParseDelay(const wchar_t* text)
{
    long long value = 0;
    if (text) {
        const wchar_t* p = text;
        while (*p == L' ' || (*p >= L'\t' && *p <= L'\r'))
            ++p;
        bool negative = false;
        if (*p == L'+' || *p == L'-')
            negative = (*p++ == L'-');
        for (; *p >= L'0' && *p <= L'9'; ++p) {
            value = value * 10 + (*p - L'0');
            if (value > kMaxValue)
                value = kMaxValue + 1;  // saturated: more digits change nothing
        }
        if (negative)
            value = -value;
    }
    if (value < kMinValue)
        return kMinValue;
    if (value > kMaxValue)
        return kMaxValue;
    return static_cast<int>(value);
}

void CNumEdit::DrawFrame()
{
    CClientDC dc(this);
    if (!dc.m_hDC)
        return;
    CRect rect;
    GetClientRect(&rect);
    rect.InflateRect(1, 1);
    dc.Draw3dRect(&rect, RGB(0, 0, 0), RGB(0, 0, 0));
    rect.InflateRect(1, 1);
    dc.Draw3dRect(&rect, RGB(0, 0, 0), RGB(0, 0, 0));
}
