#include "controls/hover_button.h"

#include "framework/msgmap.h"

BEGIN_MESSAGE_MAP(CHoverButton, CImageButtonBase)
    ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

void CHoverButton::PostNotice(LPARAM lParam) const
{
    if (HWND parent = ::GetParent(m_hWnd))
        ::PostMessageW(parent, WM_HOVER_NOTICE, 0, lParam);
}

void CHoverButton::OnHoverBegins() { PostNotice(1); }

void CHoverButton::OnMouseLeave()
{
    LeaveHover();
    PostNotice(0);
}
