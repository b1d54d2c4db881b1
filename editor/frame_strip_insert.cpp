// The frame strip's picture insertion: a still picture fitted on black into the recording's
// size, or every frame of an animated GIF, into the engine's frame list and the strip.
#include <algorithm>
#include <memory>
#include <new>

#include "capture/gif_frame_reader.h"
#include "controls/progress_wnd.h"
#include "editor/editor_messages.h"
#include "editor/frame_strip_view.h"
#include "framework/app.h"
#include "framework/file_dialog.h"
#include "recorder/recorder_dlg.h"
#include "res/resource.h"

namespace {

constexpr int kStillDelay = 100;  // one second

// A picture of w x h filled with black, made the way the screen makes bitmaps; null when a DC,
// the bitmap or the picture cannot be made.
std::unique_ptr<CxImage> BlackCanvas(int w, int h)
{
    CClientDC screen(nullptr);
    if (!screen.m_hDC)
        return nullptr;
    CDC memory;
    if (!memory.CreateCompatibleDC(&screen))
        return nullptr;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(&screen, w, h))
        return nullptr;
    CBitmap* old = memory.SelectObject(&bitmap);
    if (!old)
        return nullptr;
    memory.FillSolidRect(0, 0, w, h, RGB(0, 0, 0));
    memory.SelectObject(old);  // the bitmap is read unselected
    auto canvas = std::unique_ptr<CxImage>(new (std::nothrow) CxImage(CXIMAGE_FORMAT_UNKNOWN));
    if (!canvas || !canvas->CreateFromHBITMAP(static_cast<HBITMAP>(bitmap.m_hObject)) || !canvas->IsValid())
        return nullptr;
    return canvas;
}

// The picture fitted into W x H (never enlarged), centred on black.
std::unique_ptr<CxImage> FitOnCanvas(CxImage& picture, int W, int H)
{
    auto canvas = BlackCanvas(W, H);
    if (!canvas)
        return nullptr;
    const long w = static_cast<long>(picture.GetWidth());
    const long h = static_cast<long>(picture.GetHeight());
    const float fx = w / static_cast<float>(W);
    const float fy = h / static_cast<float>(H);
    long newW = w, newH = h, offsetX, offsetY;
    if (fx >= 1 || fy >= 1) {
        if (fx > fy) {
            newW = W;
            newH = static_cast<long>(h / fx);
            offsetX = 0;
            offsetY = -((H - newH) / 2);
        } else {
            newW = static_cast<long>(w / fy);
            newH = H;
            offsetX = -((W - newW) / 2);
            offsetY = 0;
        }
    } else {
        offsetX = -((W - w) / 2);
        offsetY = -((H - h) / 2);
    }
    if (newW != w || newH != h)
        picture.Resample2(newW, newH, IM_BICUBIC2, OM_REPEAT, nullptr, false);
    canvas->Mix(picture, OpDstCopy, offsetX, offsetY, false);
    return canvas;
}

}  // namespace

BOOL XListView::StepProgress(CProgressWnd* progress)
{
    if (!progress || !progress->IsWindow())
        return FALSE;
    return CRecorderDlg::StepProgress(progress) ? TRUE : FALSE;
}

bool XListView::InsertFrame(int index, FrameRecord* record)
{
    FrameRecordArray* list = Frames();
    if (!record || !list || index < 0 || index > list->GetSize() || static_cast<size_t>(index) > items.size())
        return false;
    std::unique_ptr<CStripItem> item(new (std::nothrow) CStripItem(record));
    if (!item)
        return false;
    item->selected = 1;
    const INT_PTR before = list->GetSize();
    list->InsertAt(index, record);
    if (list->GetSize() != before + 1)
        return false;
    try {
        items.insert(items.begin() + index, std::move(item));
    } catch (...) {
        // The row could not be stored: the engine must not keep a frame the strip lacks.
        list->RemoveAt(index);
        return false;
    }
    return true;
}

void XListView::InsertImageFrames(int index)
{
    FrameRecordArray* list = Frames();
    if (!list || items.empty() || static_cast<size_t>(list->GetSize()) != items.size())
        return;
    if (index < 0 || index > list->GetSize())
        return;
    const CxImage* first = items[0]->frame ? items[0]->frame->image : nullptr;
    if (!first || !first->IsValid())
        return;
    const int W = static_cast<int>(first->GetWidth());
    const int H = static_cast<int>(first->GetHeight());

    CFileDialog dialog(TRUE, L"*.*", nullptr, 0,
                       L"All Formats|*.JPG;*.JPEG;*.BMP;*.PNG;*.GIF|Bitmap Files (*.BMP)|*.BMP|"
                       L"JPEG (*.JPG;*.JPEG)|*.JPG;*.JPEG|GIF (*.GIF)|*.GIF|PNG (*.PNG)|*.PNG||",
                       this);
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    const DWORD type = CxImage::GetTypeIdFromName(FindExtension(path));
    auto picture = std::unique_ptr<CxImage>(new (std::nothrow) CxImage(path, type));
    if (!picture || !picture->IsValid())
        return;

    for (auto& item : items)
        item->selected = 0;

    if (type == CXIMAGE_FORMAT_GIF && picture->GetNumFrames() > 1) {
        CGifFrameReader reader;
        if (reader.LoadFile(path)) {
            CProgressWnd progress(AfxGetMainWnd(), CString(MAKEINTRESOURCEW(IDS_PROGRESS_TITLE)), FALSE);
            progress.BeginModal(L"Progress", FALSE);
            progress.SetRange(0, reader.GetFrameTotal() + 2, 1);
            progress.SetText(CString(MAKEINTRESOURCEW(IDS_LOADING)));
            StepProgress(&progress);

            FrameRecordArray decoded;
            reader.ExtractResizedFrames(W, H, decoded, &progress);
            reader.Release();
            // Last frame first, each at the same index: they end up in the GIF's order.
            for (INT_PTR i = decoded.GetSize() - 1; i >= 0; --i) {
                FrameRecord* record = decoded.GetAt(i);
                if (!record)
                    continue;
                if (record->image && (static_cast<int>(record->image->GetWidth()) != W ||
                                      static_cast<int>(record->image->GetHeight()) != H))
                    record->image->Resample2(W, H, IM_BICUBIC2, OM_REPEAT, nullptr, false);
                if (!InsertFrame(index, record)) {
                    delete record->image;
                    delete record;
                }
            }
            decoded.RemoveAll();
            progress.EndModal();
        }
    } else {
        auto canvas = FitOnCanvas(*picture, W, H);
        if (!canvas)
            return;
        canvas->SetFlags(1, false);
        auto record = std::unique_ptr<FrameRecord>(new (std::nothrow) FrameRecord{canvas.get(), kStillDelay});
        if (!record)
            return;
        if (!InsertFrame(index, record.get()))
            return;  // both owners still hold the picture and the record, and free them
        canvas.release();
        record.release();
    }

    UpdateScrollSizes();
    currentItem = static_cast<UINT>(std::min<size_t>(static_cast<size_t>(index) + 1, items.size()));
    ReportCurrent();
    Invalidate(TRUE);
}
