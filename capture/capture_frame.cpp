// One frame: a copy of the capture rectangle from the screen, with the cursor drawn in.
#include <memory>
#include <new>

#include "capture/screen_recorder.h"
#include "image/gdi_objects.h"

#ifndef CAPTUREBLT
#define CAPTUREBLT 0x40000000
#endif

namespace {

using ximage_gdi::GdiObject;
using ximage_gdi::MemoryDc;
using ximage_gdi::ScreenDc;
using ximage_gdi::Selection;

constexpr int kSquareSide = 40;
constexpr BYTE kSquareAlpha = 100;  // of 255
constexpr int kCursorOffset = 10;   // the icon's top-left corner sits this far up-left of the point

// Colour of the square under the cursor for a marking mode; false for modes without one.
bool SquareColour(int mode, COLORREF& colour) {
    switch (mode) {
    case 2: colour = RGB(255, 0, 255); return true;  // magenta
    case 3: colour = RGB(0, 255, 255); return true;  // cyan
    case 4: colour = RGB(255, 255, 0); return true;  // yellow
    default: return false;
    }
}

// Blends the translucent square centred on (x, y) into the copy.
void DrawSquare(HDC copy, int x, int y, COLORREF colour) {
    MemoryDc squareDc(copy);
    GdiObject<HBITMAP> square(CreateCompatibleBitmap(copy, kSquareSide, kSquareSide));
    if (!squareDc.Get() || !square.Get()) return;
    Selection selected(squareDc.Get(), square.Get());
    if (!selected.Ok()) return;
    GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    if (!brush.Get()) return;
    const RECT all{0, 0, kSquareSide, kSquareSide};
    FillRect(squareDc.Get(), &all, brush.Get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, kSquareAlpha, 0};
    AlphaBlend(copy, x - kSquareSide / 2, y - kSquareSide / 2, kSquareSide, kSquareSide,
               squareDc.Get(), 0, 0, kSquareSide, kSquareSide, blend);
}

// Draws the cursor as the marking mode says; a hidden cursor is not drawn at all.
void DrawCursor(HDC copy, const RECT& region, int mode) {
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    if (!GetCursorInfo(&cursor) || !(cursor.flags & CURSOR_SHOWING)) return;
    const int x = cursor.ptScreenPos.x - region.left;
    const int y = cursor.ptScreenPos.y - region.top;
    COLORREF colour;
    if (SquareColour(mode, colour)) DrawSquare(copy, x, y, colour);
    if (cursor.hCursor)
        DrawIconEx(copy, x - kCursorOffset, y - kCursorOffset, cursor.hCursor, 0, 0, 0, nullptr,
                   DI_NORMAL);
}

// Whether a picture of w x h pixels could be allocated now: tells a frame lost for want of
// memory from one the screen did not give.
bool PictureFits(int w, int h) {
    const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 3 + 4096;
    std::unique_ptr<BYTE[]> probe(new (std::nothrow) BYTE[bytes]);
    return probe != nullptr;
}

}  // namespace

bool CScreenRecorder::CaptureFrame() {
    captureOutOfMemory = false;
    const RECT region = captureRect;
    const int w = region.right - region.left;
    const int h = region.bottom - region.top;
    if (w < 1 || h < 1) return false;

    ScreenDc screen;
    if (!screen.Get()) return false;
    MemoryDc copy(screen.Get());
    if (!copy.Get()) return false;
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), w, h));
    if (!bitmap.Get()) return false;
    {
        Selection selected(copy.Get(), bitmap.Get());
        if (!selected.Ok()) return false;
        // CAPTUREBLT: layered (translucent) windows are part of the copy.
        BitBlt(copy.Get(), 0, 0, w, h, screen.Get(), region.left, region.top,
               SRCCOPY | CAPTUREBLT);
        if (cursorMode != 0) DrawCursor(copy.Get(), region, cursorMode);
    }  // the bitmap is deselected before its pixels are read

    try {
        std::unique_ptr<CxImage> image(new CxImage(CXIMAGE_FORMAT_UNKNOWN));
        if (!image->CreateFromHBITMAP(bitmap.Get(), nullptr) || !image->IsValid()) {
            captureOutOfMemory = !PictureFits(w, h);
            return false;  // an unreadable copy is dropped, not stored
        }
        image->SetFlags(1, false);  // kept
        std::unique_ptr<FrameRecord> record(
            new FrameRecord{image.get(), static_cast<int>(100.0 / (fps > 0 ? fps : 1))});
        if (frames.Add(record.get()) < 0) throw std::bad_alloc();
        image.release();
        record.release();
        return true;
    } catch (const std::bad_alloc&) {
        captureOutOfMemory = true;
        return false;
    }
}
