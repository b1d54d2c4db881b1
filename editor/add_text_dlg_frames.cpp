// The Edit dialog's frame operations: the current frame, delete and restore, reverse, speed,
// picture insertion, the slow replay and the colour levels. Each works at once on the engine's
// frame list and the strip that shows it.
#include <utility>

#include "editor/add_text_dlg.h"

#include "editor/editor_messages.h"
#include "editor/frame_strip_view.h"
#include "recorder/recorder_dlg.h"
#include "res/editor_ids.h"
#include "res/resource.h"

namespace {

// The controls that the slow replay disables; its own button and the strip stay usable.
const int kLockedControls[] = {
    IDC_EDIT_SPEED,     IDC_EDIT_REVERSE,      IDC_EDIT_PREVIEW,   IDC_EDIT_DELETE_RESTORE,
    IDC_EDIT_INSERT_IMAGE, IDC_EDIT_COLOR_LEVELS, IDC_EDIT_ADD_TEXT, IDC_EDIT_DELETE_TEXT,
    IDC_EDIT_FONT,      IDC_EDIT_FONT_SIZE,    IDC_EDIT_BACK_STYLE, IDC_EDIT_BOLD,
    IDC_EDIT_ITALIC,    IDC_EDIT_TEXT_COLOR,   IDC_EDIT_BACK_COLOR, IDC_EDIT_CAPTION_LIST,
};

const struct {
    UINT command;
    int colours;
    const wchar_t* text;
} kColorLevels[] = {
    {ID_EDIT_COLORS_256, 256, L"色阶(256色)"}, {ID_EDIT_COLORS_128, 128, L"色阶(128色)"},
    {ID_EDIT_COLORS_64, 64, L"色阶(64色)"},    {ID_EDIT_COLORS_32, 32, L"色阶(32色)"},
    {ID_EDIT_COLORS_16, 16, L"色阶(16色)"},
};

bool IsDeleted(const CxImage* picture) { return picture && picture->GetFlags() == 0; }

}  // namespace

UINT CAddTextDlg::TrackButtonMenu(UINT menuId, CWnd& button, const std::function<void(CMenu&)>& prepare)
{
    CMenu menu;
    if (!menu.LoadMenu(menuId))
        return 0;
    UINT command = 0;
    if (CMenu* popup = menu.GetSubMenu(0)) {
        if (prepare)
            prepare(*popup);
        CRect rc;
        button.GetWindowRect(&rc);
        command = static_cast<UINT>(
            popup->TrackPopupMenu(TPM_VERTICAL | TPM_NONOTIFY | TPM_RETURNCMD, rc.left, rc.bottom, this));
    }
    menu.DestroyMenu();
    return command;
}

LRESULT CAddTextDlg::OnFramePicked(WPARAM, LPARAM lParam)
{
    if (replaying) {
        StopReplay();
        slowReplayButton.SetCheck(BST_UNCHECKED, TRUE);
    }
    currentFrame = static_cast<int>(lParam);
    InvalidateRect(previewRect, TRUE);
    return 0;
}

void CAddTextDlg::OnDeleteRestore()
{
    if (strip) {
        strip->ToggleDeleted();
        strip->Invalidate(TRUE);
        strip->SetFocus();
    }
    InvalidatePicture();
}

void CAddTextDlg::OnReverse()
{
    FrameRecordArray& frames = recorder.engine.frames;
    const int n = FrameCount();
    if (n < 2)
        return;
    for (int i = 1; i <= n / 2; ++i)
        std::swap(frames[i - 1], frames[n - i]);
    if (strip)
        strip->FollowReversedFrames();
    // The same picture stays current; captions keep their frame numbers.
    currentFrame = n - currentFrame + 1;
}

void CAddTextDlg::OnSpeed()
{
    const UINT command = TrackButtonMenu(IDR_EDIT_SPEED_MENU, speedButton);
    if (!strip)
        return;
    if (command == ID_EDIT_SPEED_UP)
        strip->SpeedUp();
    else if (command == ID_EDIT_SLOW_DOWN)
        strip->SlowDown();
}

void CAddTextDlg::OnInsertImage()
{
    // Only over a frame that exists: a position past the end would leave a gap in the list.
    if (currentFrame < 1 || currentFrame > FrameCount())
        return;
    // Both items name the current frame.
    const UINT command = TrackButtonMenu(IDR_EDIT_INSERT_MENU, insertImageButton, [this](CMenu& popup) {
        auto label = [&](UINT item, UINT format) {
            CString pattern, text;
            pattern.LoadString(format);
            text.Format(pattern, currentFrame);
            popup.ModifyMenu(item, MF_BYCOMMAND | MF_STRING, item, text);
        };
        label(ID_EDIT_INSERT_BEFORE, IDS_INSERT_BEFORE_FRAME);
        label(ID_EDIT_INSERT_AFTER, IDS_INSERT_AFTER_FRAME);
    });
    if (command == ID_EDIT_INSERT_BEFORE)
        InsertImageAt(currentFrame - 1);
    else if (command == ID_EDIT_INSERT_AFTER)
        InsertImageAt(currentFrame);
}

void CAddTextDlg::InsertImageAt(int index)
{
    const int count = FrameCount();
    if (!strip || currentFrame < 1 || currentFrame > count || index < 0 || index > count)
        return;
    strip->InsertImageFrames(index);
}

// ---------------------------------------------------------------------------------------------
// Slow replay

void CAddTextDlg::EnableLockedControls(BOOL enable)
{
    for (int id : kLockedControls) {
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(enable);
    }
}

void CAddTextDlg::OnSlowReplay()
{
    if (replaying)
        StopReplay();
    else
        StartReplay();
}

void CAddTextDlg::StartReplay()
{
    // From the top row shown, when it is a kept frame.
    currentFrame = strip ? static_cast<int>(strip->GetFirstVisibleRow()) + 1 : 1;
    const CxImage* picture = FrameImage(currentFrame);
    const bool kept = picture && !IsDeleted(picture);
    if (strip)
        strip->ShowFrame(kept ? static_cast<UINT>(currentFrame) : 0);
    if (kept)
        InvalidatePicture();
    replaying = true;
    EnableLockedControls(FALSE);
    SetTimer(kReplayTimer, kReplayMs);
}

void CAddTextDlg::StopReplay()
{
    KillTimer(kReplayTimer);
    replaying = false;
    EnableLockedControls(TRUE);
}

void CAddTextDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kReplayTimer || !replaying) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    const int n = FrameCount();
    int frame = currentFrame + 1;
    if (frame > n)
        frame = 1;
    // Skip deleted frames; when every frame is deleted (or none is left), the replay ends.
    int misses = 0;
    for (;;) {
        const CxImage* picture = FrameImage(frame);
        if (picture && !IsDeleted(picture))
            break;
        if (++misses > n) {
            StopReplay();
            slowReplayButton.SetCheck(BST_UNCHECKED, TRUE);
            return;
        }
        if (++frame > n)
            frame = 1;
    }
    currentFrame = frame;
    if (strip)
        strip->ShowFrame(static_cast<UINT>(currentFrame));
    InvalidatePicture();
    CDialog::OnTimer(nIDEvent);
}

// ---------------------------------------------------------------------------------------------
// Colour levels

void CAddTextDlg::OnColorLevels()
{
    ApplyColorLevels(TrackButtonMenu(IDR_EDIT_COLORS_MENU, colorLevelsButton));
}

void CAddTextDlg::ApplyColorLevels(UINT command)
{
    colorCount = kColorLevels[0].colours;
    const wchar_t* text = kColorLevels[0].text;
    for (const auto& level : kColorLevels) {
        if (level.command == command) {
            colorCount = level.colours;
            text = level.text;
        }
    }
    colorLevelsButton.SetWindowText(text);
    InvalidatePicture();
    if (strip) {
        strip->SetColorCount(colorCount);
        strip->Invalidate(TRUE);
    }
}
