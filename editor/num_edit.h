// The in-place delay edit that the frame strip opens over a row's delay text. It takes the
// digits 0-9 and backspace only; Enter, Escape, a typed carriage return and the loss of the
// focus all close it, and every close commits the value (1..999) to the strip once.
#pragma once

#include "framework/controls.h"
#include "framework/gdi_objects.h"

class CNumEdit : public CEdit {
    DECLARE_DYNAMIC(CNumEdit)
public:
    static constexpr int kMinValue = 1;
    static constexpr int kMaxValue = 999;

    CNumEdit();
    ~CNumEdit() override;

    void SetItemNumber(UINT n) { itemNumber = n; }
    UINT GetItemNumber() const { return itemNumber; }
    // Once the window exists: the object deletes itself when its window is destroyed. Until
    // then (and when creation fails) it belongs to whoever made it.
    void FreeOnClose() { freeOnClose = true; }
    // The text as a delay: leading blanks and a sign allowed, digits up to the first other
    // character, saturating instead of overflowing; then held to kMinValue..kMaxValue.
    static int ParseDelay(const wchar_t* text);
    // Two black frames one and two pixels outside the client area.
    void DrawFrame();

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PostNcDestroy() override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKillFocus(CWnd* pNewWnd);
    void OnDestroy();
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    // The one way out: commits once and destroys the window (which may free the object).
    void Close();
    void Commit();

    UINT itemNumber = 1;
    CFont font;
    bool closing = false;
    bool freeOnClose = false;
};
