// CToolTipCtrl: the common tooltip control. It is a popup owned by the window it serves; the
// owner relays its mouse messages to it (RelayEvent) so that the tip knows when to show.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/cstring.h"
#include "framework/wnd.h"

class CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl() override;

    // Creates the tooltip window (TTS_* bits in dwStyle) owned by pParentWnd; the common controls'
    // tooltip class is registered on first use.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

    // A tool is a rectangle of pWnd's client area with an id; a null rectangle means the whole
    // client area as it is now.
    BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    // The tool's text; empty when there is no such tool.
    void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    int GetToolCount() const;

    void Activate(BOOL bActivate);
    void RelayEvent(LPMSG lpMsg);
    // One of TTDT_AUTOMATIC, TTDT_AUTOPOP, TTDT_INITIAL, TTDT_RESHOW, in milliseconds.
    void SetDelayTime(DWORD dwDuration, int iTime);
    // Returns the previous width; -1 means no limit.
    int SetMaxTipWidth(int iWidth);
    int GetMaxTipWidth() const;

private:
    // The tool description that both the old and the new common controls accept.
    static void FillToolInfo(TOOLINFOW& info, CWnd* pWnd, UINT_PTR nIDTool);
};
