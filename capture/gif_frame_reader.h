// Turns an animated GIF into full-size still frames for import. The file is cut into one
// single-frame GIF per frame (gif_compose.h), each decoded by the OLE picture loader, and the
// frames are painted in order onto a canvas of the GIF's logical screen with their disposal
// methods; the canvas is taken as a picture after each frame.
//
// Files come from anywhere: over 128 MB, logical screens of 0 or above 8192 per side, and
// files without a frame are refused; frames beyond a memory budget (sized from the memory
// available) or the frame limit are left out, and the caller learns how many.
//
// Use (user-interface thread only): LoadFile; on TRUE one of AppendFramesTo,
// ExtractResizedFrames or AppendImagesTo into a list of the caller's; Release. The hand-outs
// only ever append to that list, so a caller can decode into an empty list and take it over
// only when it received frames, leaving what it had untouched on failure.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "capture/screen_recorder.h"
#include "framework/collections.h"
#include "gif/gif_compose.h"
#include "image/ximage.h"

class CProgressWnd;
struct IPicture;

typedef CTypedPtrArray<CPtrArray, CxImage*> CxImageArray;

class CGifFrameReader {
public:
    CGifFrameReader();
    virtual ~CGifFrameReader();
    CGifFrameReader(const CGifFrameReader&) = delete;
    CGifFrameReader& operator=(const CGifFrameReader&) = delete;

    // Reads the whole file (shared for reading only) and loads it from memory.
    BOOL LoadFile(LPCTSTR path);
    // Parses and decodes the first `size` bytes of the block (never more than the block holds).
    // TRUE when the frames (or, for a still GIF, the one picture) and the canvas are ready.
    BOOL LoadFromMemory(HGLOBAL data, DWORD size);
    // The same for a resource of the application's resource module.
    BOOL LoadResourceGif(LPCTSTR name, LPCTSTR type);
    // Releases every picture and the canvas; the reader can be loaded again.
    void Release();

    // Each composes the frames not yet composed and appends one new item per painted frame to
    // the given list, which owns the items from then on. They return the number appended: 0 for
    // a still GIF, after Release, on a second call, or when nothing could be made. Progress
    // steps once per frame; a cancelled progress window does not shorten the run.
    //
    // Records with the whole canvas (kept, delay from the file; none or 0 gives 5).
    int AppendFramesTo(FrameRecordArray& frames, CProgressWnd* progress);
    // Records with the canvas fitted into width x height on black, centred, never enlarged.
    int ExtractResizedFrames(int width, int height, FrameRecordArray& frames, CProgressWnd* progress);
    // Bare pictures of the whole canvas (kept).
    int AppendImagesTo(CxImageArray& images, CProgressWnd* progress);

    SIZE GetScreenSize() const { return SIZE{screenWidth, screenHeight}; }
    BOOL IsLoaded() const { return loaded; }
    BOOL IsAnimated() const { return loaded && frames.size() >= 2; }
    int GetFrameTotal() const { return IsAnimated() ? static_cast<int>(frames.size()) : 0; }
    COLORREF GetBackgroundColor() const { return backgroundColour; }
    // Only with a canvas: the colour becomes the background colour and fills the whole canvas.
    void FillCanvas(COLORREF colour);
    // Frames of the file were left out for the memory budget or the frame limit, or a
    // composition stopped because a picture could not be made.
    bool FramesLeftOut() const { return framesLeftOut; }
    // The images the file holds (before its trailer or first fault), also those left out; 0
    // before a load.
    int GetFramesInFile() const { return framesInFile; }

    // The bounds applied to every load; tests narrow them. A new reader starts with
    // ImportLimits().
    gifimport::GifReadLimits limits;

    // The import's bounds: the memory budget is half of what the machine can still give (the
    // smaller of the free physical memory and the free address space), since making a GIF of
    // the imported frames later needs about as much again; never below 64 MB.
    static gifimport::GifReadLimits ImportLimits();
    // Makes every new reader start with these bounds instead (a test's seam); null restores.
    static void OverrideImportLimits(const gifimport::GifReadLimits* limits);

private:
    struct PictureRelease {
        void operator()(IPicture* picture) const;
    };
    typedef std::unique_ptr<IPicture, PictureRelease> PictureOwner;

    struct GifFrameInfo {
        PictureOwner picture;
        gifimport::GifFrameGeometry geometry;
    };

    // A memory DC holding a bitmap; both deleted with the owner.
    class Surface {
    public:
        Surface() = default;
        ~Surface() { Destroy(); }
        Surface(const Surface&) = delete;
        Surface& operator=(const Surface&) = delete;
        // A DC compatible with `compatible` (the screen when null) holding a bitmap of w x h.
        bool Create(HDC compatible, int w, int h);
        void Destroy();
        HDC Dc() const { return dc; }
        HBITMAP Bitmap() const { return bitmap; }
        // Takes the bitmap out of the DC for a moment (GetDIBits wants it unselected).
        bool Deselect();
        void Reselect();

    private:
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ previous = nullptr;
        bool selected = false;
    };

    class Composition;
    friend class Composition;

    BOOL LoadFrames(const BYTE* data, size_t size, HGLOBAL whole);
    BOOL CreateCanvas(int width, int height);
    // The canvas as a new 24-bit picture; null when it cannot be made.
    CxImage* SnapshotCanvas();
    static void StepProgress(CProgressWnd* progress);

    int screenWidth = 0;
    int screenHeight = 0;
    COLORREF backgroundColour = RGB(255, 255, 255);
    size_t currentFrame = 0;
    BOOL loaded = FALSE;
    BOOL canvasReady = FALSE;
    bool framesLeftOut = false;
    int framesInFile = 0;
    Surface canvas;
    PictureOwner singlePicture;
    std::vector<GifFrameInfo> frames;
};
