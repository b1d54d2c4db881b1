// The Edit dialog's side of the frame strip: creating it on the engine's frames, placing it,
// and the operations that the dialog's buttons hand to it. The strip's items point at the
// engine's records and never own them.
// When the strip's window could not be made these functions do nothing (the frame list itself
// is still reversed, previewed and made into a GIF).
#include "editor/add_text_dlg.h"
#include "recorder/recorder_dlg.h"

#include "editor/frame_strip_view.h"

void CAddTextDlg::CreateStrip()
{
    // A view deletes itself when its window goes; one whose window was never made is ours.
    auto* view = static_cast<XListView*>(RUNTIME_CLASS(XListView)->CreateObject());
    if (!view)
        return;
    view->SetFrames(&recorder.engine.frames);
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, 0)) {
        if (!view->m_hWnd)
            delete view;
        return;
    }
    strip = view;
    CWnd* addText = GetDlgItem(5);
    CRect client, add;
    GetClientRect(&client);
    if (addText) {
        addText->GetWindowRect(&add);
        ScreenToClient(&add);
        strip->MoveWindow(client.left, client.top, add.left - client.left - 2, client.Height());
    }
    SetStripColorCount();
    const int count = FrameCount();
    for (int n = 1; n <= count; ++n)
        strip->AddFrame(recorder.engine.GetFrame(n));
    strip->Reinitialize();
}

void CAddTextDlg::ClearStrip()
{
    if (strip)
        strip->ClearItems();
}

void CAddTextDlg::MoveStrip(const CRect& place)
{
    if (!strip)
        return;
    strip->MoveWindow(place, TRUE);
    strip->UpdateScrollSizes();
}

void CAddTextDlg::RepaintStrip()
{
    if (strip)
        strip->Invalidate(TRUE);
}

void CAddTextDlg::SetStripColorCount()
{
    if (strip)
        strip->SetColorCount(colorCount);
}

void CAddTextDlg::StripToggleDeleted()
{
    if (strip)
        strip->ToggleDeleted();
}

void CAddTextDlg::StripSpeedUp()
{
    if (strip)
        strip->SpeedUp();
}

void CAddTextDlg::StripSlowDown()
{
    if (strip)
        strip->SlowDown();
}

void CAddTextDlg::StripInsertImageFrames(int index)
{
    if (strip)
        strip->InsertImageFrames(index);
}

void CAddTextDlg::StripFollowReverse()
{
    if (!strip)
        return;
    auto& items = strip->items;
    const size_t n = items.size();
    for (size_t j = 0; j < n; ++j) {
        items[j]->frame = recorder.engine.GetFrame(static_cast<int>(j) + 1);
        items[j]->selected = 0;
    }
    // The thumbnails follow their frames; none is made again (rows never painted have none yet).
    for (size_t i = 0; i < n / 2; ++i)
        items[i]->SwapThumbnails(*items[n - 1 - i]);
}

void CAddTextDlg::StripClearSelection()
{
    if (!strip)
        return;
    for (auto& item : strip->items)
        item->selected = 0;
}

void CAddTextDlg::StripSelect(int frame)
{
    if (strip && frame >= 1 && static_cast<size_t>(frame) <= strip->items.size())
        strip->items[static_cast<size_t>(frame) - 1]->selected = 1;
}

unsigned CAddTextDlg::StripItemHeight() const { return strip ? strip->GetItemHeight() : 0; }

int CAddTextDlg::StripScrollY() const { return strip ? strip->GetScrollPosition().y : 0; }

int CAddTextDlg::StripClientHeight() const
{
    if (!strip)
        return 0;
    CRect client;
    strip->GetClientRect(&client);
    return client.Height();
}

void CAddTextDlg::StripScrollTo(int y)
{
    if (strip)
        strip->ScrollToPosition(CPoint(0, y));
}

void CAddTextDlg::FocusStrip()
{
    if (strip)
        strip->SetFocus();
}

