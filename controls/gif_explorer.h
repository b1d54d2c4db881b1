// CGifexplorer: the dialogs' handle on the GIF view (gif_view.h). A dialog names the view's
// window class in its template and binds this wrapper to the control by id; the wrapper
// shows files in it and copies the shown picture.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "framework/wnd.h"

class CGifexplorer : public CWnd {
    DECLARE_DYNCREATE(CGifexplorer)
public:
    CGifexplorer();
    ~CGifexplorer() override;

    // Creates the view as a child window; the class name is ignored (the view's own is used).
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, void* pContext = nullptr) override;

    // Shows the GIF file at this full path (read whole, so it may be deleted afterwards). A web
    // address or a file that is not a usable GIF gives an empty view. The other arguments are
    // kept for the callers and ignored.
    void Navigate(LPCTSTR URL, VARIANT* Flags = nullptr, VARIANT* TargetFrameName = nullptr,
                  VARIANT* PostData = nullptr, VARIANT* Headers = nullptr);
    // The view holds no document: always null.
    LPDISPATCH GetDocument();
    // The shown picture as CF_DIB and the shown file as CF_HDROP (while it exists). FALSE, and
    // the clipboard untouched, when nothing is shown or the clipboard cannot be had.
    BOOL CopyToClipboard();

    // What is shown: frames (0 for an empty view), the frame on the screen (-1 for none) and
    // the picture's size.
    int GetFrameCount() const;
    int GetCurrentFrame() const;
    CSize GetPictureSize() const;
    // Full path of the shown file; empty for an empty view.
    CString GetLocationURL() const;
};
