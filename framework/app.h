// CWinApp and the application-wide helpers: the one application object, its main window, its
// resources, message boxes, window classes and the profile file.
#pragma once

#include <functional>

#include "framework/cmdtarget.h"
#include "framework/cstring.h"

class CWnd;

// The framework's help command.
constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CCmdTarget {
public:
    // The application name defaults to the executable's file title.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop for applications whose InitInstance returns TRUE; ends with ExitInstance.
    virtual int Run();

    // Profile: the file named after the executable ("<exe title>.INI", in the Windows folder).
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);

    HICON LoadIcon(UINT nIDResource) const;

    void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    LPCTSTR m_pszAppName = nullptr;
    LPCTSTR m_pszProfileName = nullptr;
    CWnd* m_pMainWnd = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

private:
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPTSTR, int);
    void InitNames();
    CString m_appName;
    CString m_profileName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
LPCTSTR AfxGetAppName();
void AfxEnableControlContainer();

int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
// Answers message boxes without showing them (tests and scripted runs); an empty function
// restores the real boxes.
void AfxSetMessageBoxResponder(std::function<int(LPCTSTR text, UINT type)> responder);

// Registers (once) and names a window class with the default window procedure.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);

// The framework's entry: runs InitInstance and, when it returns TRUE, the message loop.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
