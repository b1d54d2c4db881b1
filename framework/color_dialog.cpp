#include "framework/color_dialog.h"

#include <utility>

#include "framework/app.h"
#include "framework/wnd.h"

namespace {

CColorDialog::Responder& TestResponder()
{
    static CColorDialog::Responder responder;
    return responder;
}

}  // namespace

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : m_pParentWnd(pParentWnd)
{
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.rgbResult = clrInit;
    m_cc.Flags = dwFlags | CC_RGBINIT;
    // The dialog refuses to open without this array, and the user's mixed colours live in it.
    m_cc.lpCustColors = GetSavedCustomColors();
}

COLORREF* CColorDialog::GetSavedCustomColors()
{
    static COLORREF colors[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    };
    return colors;
}

void CColorDialog::SetTestResponder(Responder responder) { TestResponder() = std::move(responder); }

INT_PTR CColorDialog::DoModal()
{
    if (!m_cc.hwndOwner) {
        HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
        if (!owner) {
            if (CWnd* main = AfxGetMainWnd())
                owner = main->GetSafeHwnd();
            if (owner && !::IsWindowEnabled(owner))
                owner = ::GetLastActivePopup(owner);
        }
        m_cc.hwndOwner = owner;
    }
    if (TestResponder())
        return TestResponder()(*this);
    return ::ChooseColorW(&m_cc) ? IDOK : IDCANCEL;
}
