#include "recorder/preview_dlg.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "capture/engine_messages.h"
#include "capture/file_util.h"
#include "capture/temp_gif_name.h"
#include "controls/gif_view.h"
#include "controls/open_address.h"
#include "controls/progress_wnd.h"
#include "image/ximage.h"
#include "recorder/gif_optimizer.h"
#include "recorder/recorder_dlg.h"
#include "res/image_ids.h"
#include "res/preview_ids.h"
#include "res/resource.h"

namespace {

const COLORREF kButtonFace = RGB(76, 164, 127);
const COLORREF kButtonText = RGB(255, 255, 255);

// The popups open above their buttons and return the chosen command.
constexpr UINT kPopupFlags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL | TPM_BOTTOMALIGN;

// Limits of the sharing targets.
constexpr float kPosterMaxKB = 5000.0f;
constexpr DWORD kPosterMaxSide = 400;
constexpr float kUploaderMaxKB = 2048.0f;

constexpr int kBottomBand = 60;  // the info line and the buttons below the view

bool FileExists(const CString& path)
{
    if (path.IsEmpty())
        return false;
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Keeps the rectangle's size where it fits and moves it inside the work area of its monitor.
void FitIntoWorkArea(CRect* place)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(::MonitorFromRect(place, MONITOR_DEFAULTTONEAREST), &info))
        return;
    const CRect work(info.rcWork);
    const int width = std::min(place->Width(), work.Width());
    const int height = std::min(place->Height(), work.Height());
    int left = std::max<int>(work.left, std::min<int>(place->left, work.right - width));
    int top = std::max<int>(work.top, std::min<int>(place->top, work.bottom - height));
    *place = CRect(left, top, left + width, top + height);
}

void Launch(const CString& program, const CString& parameters)
{
    ::ShellExecuteW(nullptr, L"open", program, parameters.IsEmpty() ? nullptr : (LPCTSTR)parameters, nullptr,
                    SW_SHOWNORMAL);
}

}  // namespace

IMPLEMENT_DYNAMIC(CPreviewDlg, CDialog)

BEGIN_MESSAGE_MAP(CPreviewDlg, CDialog)
    ON_COMMAND(IDOK, OnEnterKey)
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_PREVIEW_SAVE, OnSaveMenu)
    ON_WM_GETMINMAXINFO()
    ON_BN_CLICKED(IDC_PREVIEW_MICROBLOG, OnMakeMicroBlogGif)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_PREVIEW_EDIT, OnEditFrames)
    ON_BN_CLICKED(IDC_PREVIEW_SHARE, OnShare)
    ON_BN_CLICKED(IDC_PREVIEW_IMPORT, OnOpenProductPage)
END_MESSAGE_MAP()

CPreviewDlg::CPreviewDlg(CWnd* pParent) : CDialog(IDD_PREVIEW_DIALOG, pParent)
{
    // The template names the view's window class.
    RegisterGifViewClass();
}

CPreviewDlg::~CPreviewDlg() { DeleteCompressedCopy(); }

void CPreviewDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PREVIEW_VIEW, browser);
    DDX_Control(pDX, IDC_PREVIEW_INFO, infoLine);
    DDX_Control(pDX, IDC_PREVIEW_SAVE, btnSave);
    DDX_Control(pDX, IDC_PREVIEW_MICROBLOG, btnMicroBlog);
    DDX_Control(pDX, IDC_PREVIEW_EDIT, btnEdit);
    DDX_Control(pDX, IDC_PREVIEW_SHARE, btnShare);
    DDX_Control(pDX, IDC_PREVIEW_IMPORT, btnImport);
}

BOOL CPreviewDlg::OnInitDialog()
{
    fontHelper.ApplyTemplateFont(AfxGetResourceHandle(), m_hWnd, IDD_PREVIEW_DIALOG, 96.0);
    CDialog::OnInitDialog();

    btnEdit.SetIconPair(IDI_PREVIEW_EDIT, 0);
    btnMicroBlog.SetIconPair(IDI_PREVIEW_MICROBLOG, 0);
    btnSave.SetIconPair(IDI_PREVIEW_SAVE, 0);
    btnShare.SetIconPair(IDI_SHARE_BUTTON, 0);
    btnImport.SetIconPair(IDI_PREVIEW_IMPORT, 0);
    // The same green face in every state.
    CIconButton* buttons[] = {&btnEdit, &btnMicroBlog, &btnSave, &btnShare, &btnImport};
    for (CIconButton* button : buttons) {
        for (BYTE index : {2, 3, 0, 1, 4, 5})
            button->SetColor(index, (index % 2 == 0) ? kButtonFace : kButtonText, TRUE);
    }

    if (CRecorderDlg* recorder = Recorder())
        gifPath = recorder->gifPath;
    return TRUE;
}

CRecorderDlg* CPreviewDlg::Recorder() { return dynamic_cast<CRecorderDlg*>(AfxGetMainWnd()); }

// ---------------------------------------------------------------------------------------------
// Showing a GIF

void CPreviewDlg::ShowGifInfo(int frames, int width, int height, float sizeKB)
{
    CString text;
    text.Format(L"%dF, %.1fK, %d*%d", frames, sizeKB, width, height);
    infoLine.SetWindowText(text);
    CIconButton* buttons[] = {&btnEdit, &btnMicroBlog, &btnSave, &btnShare, &btnImport};
    for (CIconButton* button : buttons) {
        if (button->m_hWnd)
            button->Invalidate(TRUE);
    }
    if (IsWindowVisible())
        return;  // a visible window keeps its size and place

    int cx = std::max(width + 60, 300);
    int cy = std::max(height + ::GetSystemMetrics(SM_CYCAPTION) + 60, 150);
    int x = 100;
    int y = 100;
    CRecorderDlg* recorder = Recorder();
    if (recorder && recorder->m_hWnd) {
        CRect main;
        recorder->GetWindowRect(&main);
        cy = std::max(cy, main.Height() + recorder->captureRect.Height() + 40);
        if (main.right >= 0 && main.top >= 0) {
            x = main.right;
            y = main.top;
        }
    }
    CRect place(x, y, x + cx, y + cy);
    FitIntoWorkArea(&place);
    MoveWindow(&place, TRUE);
    LayoutPreview();
    ShowUnlessMainMinimized();
}

bool CPreviewDlg::ShowPlainGif(const CString& path)
{
    gifPath = path;
    browser.Navigate(path);
    // The view has read the file: the info comes from it.
    const int frames = browser.GetFrameCount();
    if (frames < 1)
        return false;
    const CSize size = browser.GetPictureSize();
    ShowGifInfo(frames, size.cx, size.cy, FileSizeKB(path));
    return true;
}

void CPreviewDlg::ShowAgain()
{
    if (browser.GetFrameCount() > 0 && !IsWindowVisible())
        ShowUnlessMainMinimized();
}

void CPreviewDlg::ShowUnlessMainMinimized()
{
    CRecorderDlg* recorder = Recorder();
    if (recorder && recorder->m_hWnd && recorder->IsIconic())
        return;  // sized and placed, shown when the main window comes back
    ShowWindow(SW_SHOWNORMAL);
}

void CPreviewDlg::LayoutPreview()
{
    if (!btnSave.m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    const int width = client.Width();
    const int height = client.Height();
    browser.MoveWindow(0, 0, width, std::max(0, height - kBottomBand));
    infoLine.MoveWindow(3, height - 50, width, 40);

    // Edit, micro-blog, save, share, import from the left, 4, 4, 4 and 2 pixels apart.
    CIconButton* row[] = {&btnEdit, &btnMicroBlog, &btnSave, &btnShare, &btnImport};
    const int gaps[] = {4, 4, 4, 2};
    int left = 1;
    for (size_t i = 0; i < std::size(row); ++i) {
        CRect own;
        row[i]->GetClientRect(&own);
        row[i]->MoveWindow(left, height - 27, own.Width(), own.Height());
        if (i < std::size(gaps))
            left += own.Width() + gaps[i];
    }
    Invalidate(TRUE);
}

void CPreviewDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    LayoutPreview();
}

void CPreviewDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    lpMMI->ptMinTrackSize.x = 200;
    lpMMI->ptMinTrackSize.y = 150;
    CDialog::OnGetMinMaxInfo(lpMMI);
}

// Enter never closes the window.
void CPreviewDlg::OnEnterKey() {}

// ---------------------------------------------------------------------------------------------
// Save, copy, upload, share

void CPreviewDlg::OnSaveMenu()
{
    CMenu menu;
    if (!menu.LoadMenu(IDR_PREVIEW_SAVE_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    CRect button;
    btnSave.GetWindowRect(&button);
    const UINT command = static_cast<UINT>(popup->TrackPopupMenu(kPopupFlags, button.left, button.top, this));
    menu.DestroyMenu();
    switch (command) {
    case ID_PREVIEW_UPLOAD:
        UploadToImageHost();
        break;
    case ID_PREVIEW_COPY:
        CopyGifToClipboard();
        break;
    case ID_PREVIEW_SAVE_TO_DISK:
        SaveGifAs();
        break;
    default:
        break;
    }
}

void CPreviewDlg::SaveGifAs()
{
    CFileDialog dialog(FALSE, L"gif", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       L"Animated Gif File(*.gif)|*.gif||");
    if (dialog.DoModal() != IDOK)
        return;
    const CString target = dialog.GetPathName();
    if (target.CompareNoCase(gifPath) == 0 && FileExists(gifPath))
        return;  // the file is already there
    if (gifPath.IsEmpty() || !::CopyFileW(gifPath, target, FALSE))
        AfxMessageBox(IDS_PREVIEW_SAVE_FAILED, MB_OK | MB_ICONWARNING);
}

void CPreviewDlg::CopyGifToClipboard() { browser.CopyToClipboard(); }

CString CPreviewDlg::SiblingProgramPath(LPCTSTR fileName)
{
    std::vector<wchar_t> module(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (n == 0)
            return CString(fileName);
        if (n < module.size())
            break;
        if (module.size() >= 32768)
            return CString(fileName);
        module.resize(module.size() * 2);
    }
    CString path(module.data());
    return path.Left(path.ReverseFind(L'\\')) + L"\\" + fileName;
}

void CPreviewDlg::UploadToImageHost()
{
    if (FileSizeKB(gifPath) > kUploaderMaxKB) {
        AfxMessageBox(IDS_UPLOAD_TOO_BIG, MB_OK);
        return;
    }
    Launch(SiblingProgramPath(L"Vantoup.exe"), gifPath);
}

void CPreviewDlg::ShareToMicroBlog()
{
    CString parameters = L"Kelvo cn";
    if (FileExists(gifPath)) {
        if (FileSizeKB(gifPath) > kPosterMaxKB) {
            AfxMessageBox(IDS_SHARE_TOO_BIG, MB_OK);
            return;
        }
        CxImage image;
        if (image.Load(gifPath, CXIMAGE_FORMAT_GIF) && image.IsValid() &&
            (image.GetWidth() > kPosterMaxSide || image.GetHeight() > kPosterMaxSide)) {
            AfxMessageBox(IDS_SHARE_TOO_WIDE, MB_OK);
            return;
        }
        // Quoted, so a path with blanks stays one argument.
        parameters += L" \"" + gifPath + L"\"";
    }
    Launch(SiblingProgramPath(L"Vantoweb.exe"), parameters);
}

void CPreviewDlg::OnShare() { ShareToMicroBlog(); }

void CPreviewDlg::OnOpenProductPage()
{
    CString page;
    page.LoadString(IDS_PRODUCT_URL);
    OpenAddress(page, SW_SHOWMAXIMIZED);
}

void CPreviewDlg::OnEditFrames()
{
    CRecorderDlg* recorder = Recorder();
    if (!recorder || recorder->state != RecorderReady)
        return;
    // OpenEditor hides this window and brings it back when the editor closes without Preview:
    // it has to see it shown.
    recorder->OpenEditor();
}

BOOL CPreviewDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    CRecorderDlg* recorder = Recorder();
    if (recorder && recorder->editing)
        return TRUE;
    return CDialog::OnCommand(wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// The micro-blog copy

int CPreviewDlg::QualityChoiceForColours(int colours)
{
    switch (colours) {
    case 256:
        return ID_QUALITY_256;
    case 128:
        return ID_QUALITY_128;
    case 64:
        return ID_QUALITY_64;
    case 32:
        return ID_QUALITY_32;
    case 16:
        return ID_QUALITY_16;
    default:
        return 0;
    }
}

void CPreviewDlg::CompressionFor(int choice, int* colours, bool* gray)
{
    static const struct {
        int choice;
        int colours;
        bool gray;
    } levels[] = {
        {ID_QUALITY_256, 256, false},      {ID_QUALITY_128, 128, false},      {ID_QUALITY_64, 64, false},
        {ID_QUALITY_32, 32, false},        {ID_QUALITY_16, 16, false},        {ID_QUALITY_GRAY_256, 256, true},
        {ID_QUALITY_GRAY_128, 128, true}, {ID_QUALITY_GRAY_64, 64, true}, {ID_QUALITY_GRAY_32, 32, true},
        {ID_QUALITY_GRAY_16, 16, true},
    };
    *colours = 256;
    *gray = false;
    for (const auto& level : levels) {
        if (level.choice == choice) {
            *colours = level.colours;
            *gray = level.gray;
        }
    }
}

void CPreviewDlg::OnMakeMicroBlogGif()
{
    // Only frames that are ready can be made again; while recording or making, the command
    // does nothing, as every command that does not apply to the main window's state.
    CRecorderDlg* recorder = Recorder();
    if (!recorder || recorder->state != RecorderReady)
        return;
    qualityChoice = 0;
    CMenu menu;
    if (!menu.LoadMenu(IDR_PREVIEW_QUALITY_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    CRect button;
    btnMicroBlog.GetWindowRect(&button);
    qualityChoice = static_cast<int>(popup->TrackPopupMenu(kPopupFlags, button.left, button.top, this));
    menu.DestroyMenu();
    if (qualityChoice <= 0)
        return;
    // The engine fits the frames into 400 x 400; CompressForMicroBlog shows the result. When
    // the request could not even be made, the window stays.
    recorder->MakeGif(static_cast<int>(GIF_MODE_FIT_400));
    if (recorder->state == RecorderMaking)
        ShowWindow(SW_HIDE);
}

BOOL CPreviewDlg::StepProgress(CProgressWnd* progress)
{
    if (!progress || !progress->IsWindow())
        return FALSE;
    progress->StepIt();
    progress->PumpMessages();
    return !progress->IsCancelled();
}

void CPreviewDlg::CompressForMicroBlog(bool editorColours)
{
    CRecorderDlg* recorder = Recorder();
    const CString input = recorder ? recorder->gifPath : gifPath;

    CString title;
    title.LoadString(IDS_PROGRESS_TITLE);
    CString message;
    message.LoadString(IDS_COMPRESSING);
    CProgressWnd progress(this, title, FALSE);
    progress.BeginModal(title, FALSE);
    progress.SetRange(0, 2, 1);
    progress.SetText(L"%s", (LPCTSTR)message);

    // A new name each time: the copy never replaces its input or the copy still shown.
    const CString output = ::MakeTempGifName();
    int colours = 256;
    bool gray = false;
    CompressionFor(qualityChoice, &colours, &gray);
    const bool goOn = StepProgress(&progress);
    // The windows keep repainting while gifsicle runs, and Cancel stops it.
    const ProgramWaitCallback keepWaiting = [&progress]() {
        if (!progress.IsWindow())
            return false;
        progress.PumpMessages();
        return !progress.IsCancelled();
    };
    int result = GifOptimizeFailed;
    if (!output.IsEmpty() && !input.IsEmpty()) {
        result = !goOn  ? GifOptimizeCancelled
                 : gray ? OptimizeGifGray(colours, input, output, keepWaiting)
                        : OptimizeGifColors(colours, input, output, keepWaiting);
    }
    StepProgress(&progress);

    CxImage image;
    const bool loaded = result == GifOptimizeOk && image.Load(output, CXIMAGE_FORMAT_GIF) && image.IsValid();
    progress.DestroyWindow();
    if (!loaded) {
        if (!output.IsEmpty())
            ::DeleteFileW(output);
        if (editorColours) {
            // The edited frames are written: shown with the writer's 256 colours rather than
            // not at all.
            ShowPlainGif(input);
            DeleteCompressedCopy();
            if (result != GifOptimizeCancelled) {
                const UINT text = result == GifOptimizeNoProgram  ? IDS_PREVIEW_COLOURS_NO_GIFSICLE
                                  : result == GifOptimizeTimedOut ? IDS_PREVIEW_COLOURS_TIMEOUT
                                                                  : IDS_PREVIEW_COLOURS_FAILED;
                AfxMessageBox(text, MB_OK | MB_ICONWARNING);
            }
            return;
        }
        // The GIF shown before stays, and so does the file the window acts on.
        const CString shown = browser.GetLocationURL();
        if (!shown.IsEmpty())
            gifPath = shown;
        if (result == GifOptimizeCancelled) {
            // The user asked for it: nothing to tell.
            ShowAgain();
            return;
        }
        const UINT text = result == GifOptimizeNoProgram  ? IDS_PREVIEW_NO_GIFSICLE
                          : result == GifOptimizeTimedOut ? IDS_PREVIEW_GIFSICLE_TIMEOUT
                                                          : IDS_PREVIEW_COMPRESS_FAILED;
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
        ShowAgain();
        return;
    }

    DeleteCompressedCopy();
    compressedCopy = output;
    gifPath = output;
    browser.Navigate(gifPath);
    ShowGifInfo(static_cast<int>(image.GetNumFrames()), static_cast<int>(image.GetWidth()),
                static_cast<int>(image.GetHeight()), FileSizeKB(gifPath));
}

void CPreviewDlg::DeleteCompressedCopy()
{
    if (compressedCopy.IsEmpty())
        return;
    DeleteTempGif(compressedCopy);
    compressedCopy.Empty();
}

// ---------------------------------------------------------------------------------------------
// Closing

void CPreviewDlg::OnClose()
{
    // Only a temporary GIF of this program's own is deleted.
    DeleteTempGif(gifPath);
    CDialog::OnClose();
}

void CPreviewDlg::OnDestroy()
{
    // A compressed copy is the window's own: it goes with the window.
    DeleteCompressedCopy();
    CDialog::OnDestroy();
}
