#include "app/recorder_app.h"

#include <commctrl.h>

#include "controls/gif_view.h"
#include "editor/add_text_dlg.h"
#include "recorder/editor_runner.h"
#include "recorder/recorder_dlg.h"

BEGIN_MESSAGE_MAP(CRecorderApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CRecorderApp::CRecorderApp() = default;

CRecorderApp::~CRecorderApp() = default;

BOOL CRecorderApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();

    // DPI awareness only where the system offers it.
    if (HMODULE user32 = LoadLibraryW(L"user32.dll")) {
        typedef BOOL(WINAPI * SetProcessDPIAwareFn)();
        auto setAware = (SetProcessDPIAwareFn)(void*)GetProcAddress(user32, "SetProcessDPIAware");
        if (setAware)
            setAware();
        FreeLibrary(user32);
    }
    AfxEnableControlContainer();
    // The GIF view stands where the preview's web-browser control would be.
    RegisterGifViewClass();
    // The main window opens the Edit dialog through this runner.
    SetEditorRunner(&RunEditDialog);
    RunMainDialog();
    return FALSE;
}

void CRecorderApp::RunMainDialog()
{
    CRecorderDlg dlg(*this);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
}

int CRecorderApp::ExitInstance()
{
    if (languageLibrary) {
        AfxSetResourceHandle(nullptr);
        FreeLibrary(languageLibrary);
        languageLibrary = nullptr;
    }
    return CWinApp::ExitInstance();
}

void CRecorderApp::ReadLanguageSetting()
{
    wchar_t appData[256] = L"";
    DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, 256);
    if (length < 1 || length > 255)
        return;
    CString path;
    path.Format(L"%s", appData);
    path += L"\\vemmet.ini";
    // Read as text: the value is signed in the file and the platforms disagree on negatives.
    wchar_t value[16] = L"";
    GetPrivateProfileStringW(L"Param", L"Language", L"0", value, 16, path);
    Language = _wtoi(value);
    LoadLanguageDll();
}

void CRecorderApp::LoadLanguageDll()
{
    if (languageLibrary) {
        AfxSetResourceHandle(nullptr);
        FreeLibrary(languageLibrary);
        languageLibrary = nullptr;
    }
    const wchar_t* name;
    switch (Language) {
    case 1: name = L"JPNres.dll"; break;
    case 2: name = L"FRres.dll"; break;
    case 3: name = L"GRres.dll"; break;
    case 4: name = L"DUTres.dll"; break;
    case 5: name = L"TWres.dll"; break;
    default: name = L"ENGres.dll"; break;
    }
    // Only from our own folder, by full path: never a library planted on the search path.
    wchar_t exe[MAX_PATH] = L"";
    DWORD length = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    CString path(exe, (int)length);
    path = path.Left(path.ReverseFind(L'\\') + 1) + name;
    languageLibrary = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!languageLibrary)
        languageLibrary = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (languageLibrary)
        AfxSetResourceHandle(languageLibrary);
}
