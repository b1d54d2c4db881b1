// The main window's settings menu, and the import of an existing animated GIF as the
// recording's frames: from a file dialog, from a file on the clipboard, or dropped on the window.
#include "capture/caption_list.h"
#include "capture/gif_frame_reader.h"
#include "controls/progress_wnd.h"
#include "recorder/logo_setting_dlg.h"
#include "recorder/recorder_dlg.h"
#include "res/image_ids.h"
#include "res/menu_ids.h"
#include "res/resource.h"

#include <shellapi.h>

namespace {

struct SettingChoice {
    UINT id;
    int value;
};

const SettingChoice kRates[] = {{ID_RATE_30, 30}, {ID_RATE_25, 25}, {ID_RATE_20, 20}, {ID_RATE_15, 15},
                                {ID_RATE_10, 10}, {ID_RATE_5, 5},   {ID_RATE_1, 1}};
const SettingChoice kSizes[] = {{ID_SIZE_100, 100}, {ID_SIZE_90, 90}, {ID_SIZE_80, 80}, {ID_SIZE_70, 70},
                                {ID_SIZE_60, 60},   {ID_SIZE_50, 50}, {ID_SIZE_40, 40}, {ID_SIZE_30, 30},
                                {ID_SIZE_20, 20},   {ID_SIZE_10, 10}};
const SettingChoice kMice[] = {{ID_MOUSE_NONE, 0}, {ID_MOUSE_CURSOR, 1}, {ID_MOUSE_RED, 2}, {ID_MOUSE_GREEN, 3},
                               {ID_MOUSE_YELLOW, 4}};

// The item of a range that holds the value, or the range's fallback item.
template <size_t N>
UINT ItemFor(const SettingChoice (&choices)[N], int value, UINT fallback)
{
    for (const SettingChoice& c : choices)
        if (c.value == value)
            return c.id;
    return fallback;
}

template <size_t N>
bool ValueFor(const SettingChoice (&choices)[N], UINT id, int& value)
{
    for (const SettingChoice& c : choices) {
        if (c.id == id) {
            value = c.value;
            return true;
        }
    }
    return false;
}

}  // namespace

void CRecorderDlg::OnSettingsMenu()
{
    CRect button;
    settingsButton.GetWindowRect(&button);
    CMenu menu;
    if (!menu.LoadMenu(IDR_SETTINGS_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    CBitmap importMark;
    if (importMark.LoadBitmap(IDB_IMPORT_MARK))
        popup->SetMenuItemBitmaps(3, MF_BYPOSITION, &importMark, &importMark);
    popup->CheckMenuRadioItem(ID_RATE_30, ID_RATE_1, ItemFor(kRates, settings.Rate1, ID_RATE_20), MF_BYCOMMAND);
    popup->CheckMenuRadioItem(ID_SIZE_100, ID_SIZE_10, ItemFor(kSizes, settings.Ratio, ID_SIZE_50), MF_BYCOMMAND);
    popup->CheckMenuRadioItem(ID_MOUSE_NONE, ID_MOUSE_YELLOW, ItemFor(kMice, settings.Mouse, ID_MOUSE_NONE),
                              MF_BYCOMMAND);
    popup->CheckMenuItem(ID_TOPMOST, MF_BYCOMMAND | (settings.TopWnd ? MF_CHECKED : MF_UNCHECKED));
    const UINT chosen = popup->TrackPopupMenu(TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL, button.left,
                                              button.bottom, this);
    menu.DestroyMenu();
    OnSettingsCommand(chosen);
}

void CRecorderDlg::OnSettingsCommand(UINT id)
{
    int value = 0;
    if (ValueFor(kRates, id, value)) {
        settings.Rate1 = value;
    } else if (ValueFor(kSizes, id, value)) {
        settings.Ratio = value;
    } else if (ValueFor(kMice, id, value)) {
        settings.Mouse = value;
    } else if (id == ID_TOPMOST) {
        settings.TopWnd = !settings.TopWnd;
        // A running recording stays pinned; the setting applies when it stops.
        if (state != RecorderRecording && state != RecorderPaused)
            SetTopmost(settings.TopWnd);
    } else if (id == ID_WATERMARK) {
        // In every state: the engine takes its copy of the watermark only when a GIF is made.
        CLogoSettingDlg dialog(settings);
        dialog.DoModal();
    } else if (id == ID_IMPORT_FILE) {
        ImportFromFileDialog();
    } else if (id == ID_IMPORT_CLIPBOARD) {
        ImportFromClipboard();
    }
}

// Never while the Edit dialog shows the frames: an import would free them under it.
bool CRecorderDlg::CanImport() const { return state != RecorderRecording && state != RecorderMaking && !editing; }

void CRecorderDlg::ImportFromFileDialog()
{
    if (!CanImport())
        return;
    CFileDialog dialog(TRUE, L"*.*", nullptr, 0, L"Animated Gif File(*.gif)|*.gif||");
    if (dialog.DoModal() != IDOK)
        return;
    if (LoadGifFile(dialog.GetPathName()))
        OpenEditorAfterImport();
}

void CRecorderDlg::ImportFromClipboard()
{
    if (!CanImport())
        return;
    CString path;
    if (::IsClipboardFormatAvailable(CF_HDROP) && OpenClipboard()) {
        if (HDROP drop = (HDROP)::GetClipboardData(CF_HDROP)) {
            wchar_t name[MAX_PATH + 1] = L"";
            if (::DragQueryFileW(drop, 0, name, MAX_PATH + 1) > 0)
                path = name;
        }
        // Closed at once: the clipboard is not held while the file is read or edited.
        ::CloseClipboard();
    }
    if (!path.IsEmpty() && LoadGifFile(path)) {
        OpenEditorAfterImport();
        return;
    }
    AfxMessageBox(IDS_INVALID_GIF, MB_OK);
}

void CRecorderDlg::OnDropFiles(HDROP hDropInfo)
{
    if (::DragQueryFileW(hDropInfo, 0xFFFFFFFF, nullptr, 0) == 1 && CanImport()) {
        wchar_t name[401] = L"";
        if (::DragQueryFileW(hDropInfo, 0, name, 401) > 0 && LoadGifFile(name))
            OpenEditorAfterImport();
    }
    ::DragFinish(hDropInfo);
}

void CRecorderDlg::OpenEditorAfterImport() { OpenEditor(); }

bool CRecorderDlg::StepProgress(CProgressWnd* progress)
{
    if (!progress || !progress->m_hWnd)
        return false;
    progress->StepIt();
    progress->PumpMessages();
    return !progress->IsCancelled();
}

bool CRecorderDlg::LoadGifFile(LPCTSTR path)
{
    CString extension = FindExtension(path);
    extension.MakeLower();
    if (extension != L"gif")
        return false;
    CxImage image;
    if (!image.Load(path, CxImage::GetTypeIdFromName(extension)) || !image.IsValid())
        return false;
    if (image.GetNumFrames() < 2)
        return false;

    // Decoded into a list of its own; the recording is replaced only when frames came back.
    CProgressWnd progress(AfxGetMainWnd(), CString(MAKEINTRESOURCEW(IDS_PROGRESS_TITLE)), FALSE);
    progress.BeginModal(L"Progress", FALSE);
    progress.SetRange(0, (int)image.GetNumFrames() + 2, 1);
    progress.SetText(L"%s", (LPCTSTR)CString(MAKEINTRESOURCEW(IDS_LOADING)));
    StepProgress(&progress);

    CGifFrameReader reader;
    FrameRecordArray imported;
    int appended = 0;
    int framesInFile = 0;
    if (reader.LoadFile(path)) {
        framesInFile = reader.GetFramesInFile();
        // The bar runs over the frames that will come in, which may be fewer than the file has.
        progress.SetRange(0, reader.GetFrameTotal() + 2, 1);
        progress.SetPos(1);
        StepProgress(&progress);
        appended = reader.AppendFramesTo(imported, &progress);
    }
    reader.Release();
    progress.DestroyWindow();
    // The recording is replaced only once the capture thread has handed the frames over.
    if (appended < 1 || !engine.AcquireFramesForUi()) {
        for (INT_PTR i = 0; i < imported.GetSize(); ++i) {
            delete imported[i]->image;
            delete imported[i];
        }
        return false;
    }

    ClearCaptionList(engine.captions);
    engine.ClearFrames();
    engine.frames.Append(imported);
    engine.PostCommand(TM_STOP_CAPTURE, 0, 0);
    frameCount = appended;
    engine.SetCaptureRegion(0, 0, (int)image.GetWidth(), (int)image.GetHeight(), 0);
    state = RecorderReady;
    SetStartButton(IDS_START, IDI_START_BUTTON);
    RepaintRecordingViews();
    if (appended < framesInFile) {
        // Never a silent partial import: the user learns how much of the file came in.
        CString text;
        text.Format(CString(MAKEINTRESOURCEW(IDS_IMPORT_PARTIAL)), appended, framesInFile);
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
    }
    return true;
}
