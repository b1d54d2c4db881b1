// The Edit dialog's preview of the current frame: centred in the preview area over a hatched
// background, shrunk to fit (never enlarged), reduced to the chosen colour count. Painted off
// screen, so it does not flicker. The preview area may be empty or negative (a minimised or
// very small window, a size set by a program): then nothing is painted and nothing divides by it.
#include <algorithm>
#include <memory>
#include <new>

#include "editor/add_text_dlg.h"
#include "image/octree_quantizer.h"
#include "recorder/recorder_dlg.h"

namespace {

// A copy of the picture reduced to at most `colours` colours, with a palette that the octree
// quantizer builds from the picture itself; null when it could not be made.
std::unique_ptr<CxImage> ReducedCopy(const CxImage& picture, int colours)
{
    std::unique_ptr<CxImage> copy;
    try {
        copy = std::make_unique<CxImage>(picture);
    } catch (const std::bad_alloc&) {
        return nullptr;  // shown unreduced
    }
    if (!copy->IsValid())
        return nullptr;
    COctreeQuantizer quantizer(static_cast<unsigned>(colours), 7);
    quantizer.AddImage(picture.GetDIB());
    RGBQUAD table[256] = {};
    quantizer.FillPalette(table);
    // A failed reduction shows the copy as it stands.
    copy->DecreaseBpp(8, false, table, static_cast<DWORD>(colours));
    return copy;
}

}  // namespace

void CAddTextDlg::OnPaint()
{
    CPaintDC dc(this);
    const int width = previewRect.Width(), height = previewRect.Height();
    if (width <= 0 || height <= 0)
        return;
    CDC canvas;
    if (!canvas.CreateCompatibleDC(&dc))
        return;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(&dc, width, height))
        return;
    CBitmap* oldBitmap = canvas.SelectObject(&bitmap);

    // The hatch continues across the area whatever its origin.
    hatchBrush.UnrealizeObject();
    const CPoint origin = canvas.GetViewportOrg();
    canvas.SetBrushOrg(origin.x % 8, origin.y % 8);
    canvas.FillRect(CRect(0, 0, width, height), &hatchBrush);

    DrawCurrentFrame(canvas, width, height);
    dc.BitBlt(previewRect.left, previewRect.top, width, height, &canvas, 0, 0, SRCCOPY);
    canvas.SelectObject(oldBitmap);
}

void CAddTextDlg::InvalidatePicture()
{
    InvalidateRect(pictureRect.IsRectEmpty() ? previewRect : pictureRect, FALSE);
}

void CAddTextDlg::DrawCurrentFrame(CDC& canvas, int areaWidth, int areaHeight)
{
    const CxImage* picture = FrameImage(currentFrame);
    if (!picture || !picture->IsValid() || picture->GetFlags() == 0)
        return;  // no such frame, or deleted: the hatch alone
    std::unique_ptr<CxImage> reduced;
    if (colorCount < 256)
        reduced = ReducedCopy(*picture, colorCount);
    const CxImage& shown = reduced ? *reduced : *picture;
    const int w = static_cast<int>(shown.GetWidth()), h = static_cast<int>(shown.GetHeight());
    if (w <= 0 || h <= 0)
        return;

    // Pictures are only ever shrunk.
    previewScale = std::max(static_cast<float>(w) / static_cast<float>(areaWidth),
                            static_cast<float>(h) / static_cast<float>(areaHeight));
    if (previewScale < 1.0f)
        previewScale = 1.0f;
    const int shownWidth = std::max(1, static_cast<int>(static_cast<float>(w) / previewScale));
    const int shownHeight = std::max(1, static_cast<int>(static_cast<float>(h) / previewScale));
    const CPoint centre = previewRect.CenterPoint();
    const int x0 = (centre.x - previewRect.left) - shownWidth / 2;
    const int y0 = (centre.y - previewRect.top) - shownHeight / 2;

    // The picture at its own size first (the captions are drawn on it in picture pixels), then
    // stretched into place. A picture too large for a bitmap of its own is drawn straight into
    // place instead, without its captions.
    CDC full;
    CBitmap fullBitmap;
    if (full.CreateCompatibleDC(&canvas) && fullBitmap.CreateCompatibleBitmap(&canvas, w, h)) {
        CBitmap* old = full.SelectObject(&fullBitmap);
        shown.Draw(full.GetSafeHdc(), CRect(0, 0, w, h), nullptr, true);
        DrawCaptions(full);
        canvas.SetStretchBltMode(HALFTONE);
        canvas.SetBrushOrg(x0, y0);
        canvas.StretchBlt(x0, y0, shownWidth, shownHeight, &full, 0, 0, w, h, SRCCOPY);
        full.SelectObject(old);
    } else {
        shown.Draw(canvas.GetSafeHdc(), CRect(x0, y0, x0 + shownWidth, y0 + shownHeight), nullptr, true);
    }
    pictureRect = CRect(previewRect.left + x0, previewRect.top + y0, previewRect.left + x0 + shownWidth,
                        previewRect.top + y0 + shownHeight);
}
