#include "framework/dialog.h"

#include "framework/app.h"
#include "framework/gdi.h"
#include "framework/menu.h"
#include "framework/msgmap.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;  // bound once, on the first exchange
    if (!rControl.SubclassDlgItem((UINT)nIDC, pDX->m_pDlgWnd)) {
        OutputDebugStringW(L"kelvo: DDX_Control found no control to bind\n");
        pDX->Fail();
    }
}

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd)
{
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDTemplate = (UINT)(UINT_PTR)lpszTemplateName;
}

CDialog::~CDialog()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        CWnd::DestroyWindow();
}

LPCDLGTEMPLATE CDialog::LoadTemplate(LPCTSTR name) const
{
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC res = FindResourceW(module, name, (LPCWSTR)RT_DIALOG);
    if (!res) {
        module = AfxGetInstanceHandle();
        res = FindResourceW(module, name, (LPCWSTR)RT_DIALOG);
    }
    if (!res)
        return nullptr;
    HGLOBAL data = LoadResource(module, res);
    return data ? (LPCDLGTEMPLATE)LockResource(data) : nullptr;
}

HWND CDialog::CreateFromTemplate(LPCDLGTEMPLATE tmpl, HWND hWndParent)
{
    if (!tmpl || m_hWnd)
        return nullptr;
    m_bEndModal = false;
    // The creation hook subclasses the dialog as soon as it exists, so the message map sees it
    // from the first message on; AfxDlgProc only answers WM_INITDIALOG.
    struct Args {
        LPCDLGTEMPLATE tmpl;
        HWND parent;
        CDialog* self;
    } args = {tmpl, hWndParent, this};
    return HookedCreate(
        [](void* context) -> HWND {
            auto* a = static_cast<Args*>(context);
            return CreateDialogIndirectParamW(AfxGetResourceHandle(), a->tmpl, a->parent, &AfxDlgProc, (LPARAM)a->self);
        },
        &args);
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (!dlg)
        return TRUE;
    try {
        return dlg->OnInitDialog();
    } catch (...) {
        OutputDebugStringW(L"kelvo: exception in OnInitDialog\n");
        return TRUE;
    }
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDTemplate = (UINT)(UINT_PTR)lpszTemplateName;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    // Without a parent, a modeless dialog is owned by the main window, as in the class library.
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!parent) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this)
            parent = main->m_hWnd;
    }
    return CreateFromTemplate(LoadTemplate(lpszTemplateName), parent) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATE tmpl = LoadTemplate(m_lpszTemplateName);
    if (!tmpl)
        return -1;

    // The owner is the top-level window of the parent, or the application's main window.
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this)
            owner = main->m_hWnd;
    }
    if (owner)
        owner = ::GetAncestor(owner, GA_ROOT);
    const bool disableOwner = owner && ::IsWindowEnabled(owner);

    m_nModalResult = -1;
    m_bInModalLoop = true;
    if (disableOwner)
        ::EnableWindow(owner, FALSE);
    if (CreateFromTemplate(tmpl, owner)) {
        if (!m_bEndModal) {
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
            RunModalLoop();
        }
    }
    m_bInModalLoop = false;
    // Enable the owner before the dialog goes, so activation returns to it.
    if (disableOwner)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(owner);
        DestroyWindow();
    }
    return m_nModalResult;
}

int CDialog::RunModalLoop()
{
    MSG msg;
    while (!m_bEndModal && m_hWnd) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            AfxDeleteTempObjects();
        }
        if (!AfxPumpMessage()) {
            m_nModalResult = -1;
            break;
        }
    }
    return (int)m_nModalResult;
}

void AfxDeleteTempObjects()
{
    CWnd::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CDC::DeleteTempMap();
    CMenu::DeleteTempMap();
}

BOOL AfxPumpMessage()
{
    MSG msg;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        ::PostQuitMessage(got == 0 ? (int)msg.wParam : 0);
        return FALSE;
    }
    HWND stop = nullptr;
    if (!CWnd::WalkPreTranslateTree(stop, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bInModalLoop) {
        m_bEndModal = true;
        // Wake the loop in case the call came from outside the dialog's own messages.
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard navigation (Tab, arrows, Enter to the default button, Esc to IDCANCEL) for
    // messages within this dialog, modal or modeless.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        return ::IsDialogMessageW(m_hWnd, pMsg);
    return FALSE;
}
