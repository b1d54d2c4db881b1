// CDialog: a dialog from a template resource, modal (our own loop) or modeless, with data exchange.
#pragma once

#include "framework/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
    BOOL m_bFailed = FALSE;
    void Fail() { m_bFailed = TRUE; }
};

// Binds a member control to the template's control with this id (subclasses it once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog modally: the owner is disabled, messages go through PreTranslateMessage
    // (from the target window up through its parents) and then IsDialogMessage. Returns the value
    // given to EndDialog, or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; it is visible when its template says WS_VISIBLE.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    BOOL IsModal() const { return m_bInModalLoop; }
    // The template that a non-default constructor named, for the dialog's layout helpers.
    LPCTSTR m_lpszTemplateName = nullptr;
    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

private:
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    HWND CreateFromTemplate(LPCDLGTEMPLATE tmpl, HWND hWndParent);
    LPCDLGTEMPLATE LoadTemplate(LPCTSTR name) const;
    int RunModalLoop();

    bool m_bInModalLoop = false;
    bool m_bEndModal = false;
    INT_PTR m_nModalResult = -1;
};

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Pumps one message the way the modal loops do: FALSE when WM_QUIT was taken from the queue
// (it is posted again so outer loops end too).
BOOL AfxPumpMessage();
// Drops the temporary objects that FromHandle handed out; the message loops call it when idle.
void AfxDeleteTempObjects();
