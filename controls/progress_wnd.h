// The progress window: a small popup with a line of text, a progress bar and a Cancel button,
// shown while the user-interface thread runs a long job. Used modally, it disables every other
// top-level window of the thread, and the job pumps the thread's messages through it between its
// steps. Its last position is kept in the application's profile.
//
// A job: construct (parent, title, smooth); BeginModal; SetRange and SetText once; per unit of
// work StepIt, PumpMessages, and stop when IsCancelled; delete the window at the end.
#pragma once

#include <vector>

#include "framework/controls.h"
#include "framework/cstring.h"
#include "framework/gdi_objects.h"
#include "framework/wnd.h"

class CProgressWnd : public CWnd {
public:
    // Control ids of the children.
    enum : UINT { IDC_PROGRESS_CANCEL = 10, IDC_PROGRESS_TEXT = 11, IDC_PROGRESS_BAR = 12 };
    // The formatted text is cut to this many characters.
    static constexpr int kMaxTextLength = 511;

    CProgressWnd();
    // Creates the window at once; it is visible afterwards.
    CProgressWnd(CWnd* pParent, LPCTSTR pszTitle, BOOL bSmooth = FALSE);
    ~CProgressWnd() override;

    // Builds the window, owned by pParent (the application's main window when null).
    BOOL Create(CWnd* pParent, LPCTSTR pszTitle, BOOL bSmooth = FALSE);
    // Creates the window when needed, then disables every other enabled top-level window of
    // this thread until EndModal or the window's end.
    BOOL BeginModal(LPCTSTR pszTitle = L"Progress", BOOL bSmooth = FALSE);
    // Enables again the windows that BeginModal disabled (those still there).
    void EndModal();
    BOOL DestroyWindow() override;

    // Without a window these store nothing but the step and return the stored position.
    void SetRange(int nLower, int nUpper, int nStep = 1);
    int SetPos(int nPos);
    int OffsetPos(int nPos);
    int SetStep(int nStep);
    int StepIt();
    // printf-style, wide conventions (see CString::Format); at most kMaxTextLength characters.
    void SetText(LPCTSTR fmt, ...);
    void Clear();
    void Show();
    void Hide();

    // Handles the messages waiting in the thread's queue, for a bounded time, and returns.
    void PumpMessages();
    bool IsCancelled() const { return cancelled; }
    bool IsModal() const { return modal; }

    // Lays out the text (room for nLines lines), the bar and the button for a width in pixels.
    void SetWindowSize(int nLines, int nWindowWidth = 390);
    void RestorePosition();
    void SavePosition();

    CStatic text;
    CProgressCtrl bar;
    CButton cancelButton;

protected:
    void OnCancel();
    void OnClose();
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    static BOOL CALLBACK DisableThreadWindow(HWND hWnd, LPARAM lParam);
    // Position saved and the disabled windows enabled again: the window is about to go.
    void Finish();

    HWND owner = nullptr;  // handle, not object: the owner may be gone before this window
    std::vector<HWND> disabledWindows;
    bool finished = false;  // Finish done for the current window
    bool cancelled = false;
    bool modal = false;
    bool savePosition = true;
    int position = 0;
    int percent = 0;
    int step = 1;
    int upper = 100;
    int lower = 0;
    int textLines = 4;
    CString title = L"Progress";
    CString cancelLabel = L" Cancel ";
    CFont font;
};
