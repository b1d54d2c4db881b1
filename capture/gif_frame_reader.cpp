#include "capture/gif_frame_reader.h"

#include <olectl.h>

#include <algorithm>
#include <functional>
#include <new>

#include "controls/progress_wnd.h"
#include "framework/app.h"
#include "framework/file.h"
#include "gif/gif_frames.h"
#include "image/handles.h"

namespace {

using gifimport::GifFrameGeometry;
using gifimport::GifRect;

// Decodes `size` bytes of a stream over the block; the stream frees the block when
// freeWithStream is set (also when the stream cannot be made).
IPicture* LoadPicture(HGLOBAL block, DWORD size, bool freeWithStream) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, freeWithStream ? TRUE : FALSE, &stream)) || !stream) {
        if (freeWithStream) GlobalFree(block);
        return nullptr;
    }
    IPicture* picture = nullptr;
    const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                      reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(hr)) {
        if (picture) picture->Release();
        return nullptr;
    }
    return picture;
}

// A global block of the given bytes; null when memory is short.
GlobalBlock CopyToGlobal(const void* bytes, size_t size) {
    GlobalBlock block(size);
    {
        const LockedGlobal lock(block.Get());
        if (!lock.Data()) return GlobalBlock();
        memcpy(lock.Data(), bytes, size);
    }
    return block;
}

}  // namespace

// ---- Surface -------------------------------------------------------------------------------

bool CGifFrameReader::Surface::Create(HDC compatible, int w, int h) {
    Destroy();
    HDC screen = nullptr;
    if (!compatible) {
        screen = GetDC(nullptr);
        if (!screen) return false;
        compatible = screen;
    }
    dc = CreateCompatibleDC(compatible);
    if (dc) bitmap = CreateCompatibleBitmap(compatible, w, h);
    if (screen) ReleaseDC(nullptr, screen);
    if (!dc || !bitmap) {
        Destroy();
        return false;
    }
    previous = SelectObject(dc, bitmap);
    if (!previous || previous == HGDI_ERROR) {
        previous = nullptr;
        Destroy();
        return false;
    }
    selected = true;
    return true;
}

void CGifFrameReader::Surface::Destroy() {
    if (dc && selected) SelectObject(dc, previous);
    selected = false;
    previous = nullptr;
    if (bitmap) DeleteObject(bitmap);
    bitmap = nullptr;
    if (dc) DeleteDC(dc);
    dc = nullptr;
}

bool CGifFrameReader::Surface::Deselect() {
    if (!selected) return false;
    SelectObject(dc, previous);
    selected = false;
    return true;
}

void CGifFrameReader::Surface::Reselect() {
    if (selected || !dc || !bitmap) return;
    selected = SelectObject(dc, bitmap) != nullptr;
}

void CGifFrameReader::PictureRelease::operator()(IPicture* picture) const {
    if (picture) picture->Release();
}

// ---- Composition ---------------------------------------------------------------------------

// One run of the shared composition over the reader's frames, painting with GDI and OLE.
class CGifFrameReader::Composition : public gifimport::GifCanvasOps {
public:
    // Receives each snapshot (owned by the sink from then on); false stops the run.
    typedef std::function<bool(const GifFrameGeometry&, std::unique_ptr<CxImage>)> Sink;

    Composition(CGifFrameReader& reader, CProgressWnd* progress, Sink sink)
        : reader_(reader), progress_(progress), sink_(std::move(sink)) {}

    size_t FrameCount() const override { return reader_.frames.size(); }
    GifFrameGeometry FrameAt(size_t index) const override { return reader_.frames[index].geometry; }

    bool SaveArea(const GifRect& area) override {
        // Only the part on the canvas can be painted over.
        if (!Clip(area, &saved_)) return false;
        if (!save_.Create(reader_.canvas.Dc(), saved_.width, saved_.height)) return false;
        return BitBlt(save_.Dc(), 0, 0, saved_.width, saved_.height, reader_.canvas.Dc(), saved_.left,
                      saved_.top, SRCCOPY) != FALSE;
    }

    void RestoreArea(const GifRect&) override {
        if (!save_.Dc()) return;
        BitBlt(reader_.canvas.Dc(), saved_.left, saved_.top, saved_.width, saved_.height, save_.Dc(), 0, 0,
               SRCCOPY);
        save_.Destroy();
    }

    void FillBackground(const GifRect& area) override {
        GifRect r;
        if (!Clip(area, &r)) return;
        const RECT rect = {r.left, r.top, r.left + r.width, r.top + r.height};
        HBRUSH brush = CreateSolidBrush(reader_.backgroundColour);
        if (!brush) return;
        FillRect(reader_.canvas.Dc(), &rect, brush);
        DeleteObject(brush);
    }

    bool PaintFrame(size_t index, const GifRect& area) override {
        IPicture* picture = reader_.frames[index].picture.get();
        OLE_XSIZE_HIMETRIC width = 0;
        OLE_YSIZE_HIMETRIC height = 0;
        if (!picture || FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height))) {
            return false;
        }
        // Source rectangle from the top: HIMETRIC runs upward.
        return SUCCEEDED(picture->Render(reader_.canvas.Dc(), area.left, area.top, area.width, area.height,
                                         0, height, width, -height, nullptr));
    }

    bool Snapshot(size_t index) override {
        std::unique_ptr<CxImage> picture(reader_.SnapshotCanvas());
        if (!picture) return false;
        if (!sink_(reader_.frames[index].geometry, std::move(picture))) return false;
        ++handedOut;
        return true;
    }

    void FrameDone() override { StepProgress(progress_); }

    // Runs from the reader's current frame to the end; returns the pictures handed out.
    int Run() {
        if (!reader_.canvasReady) return 0;
        bool stopped = false;
        reader_.currentFrame = gifimport::ComposeGifFrames(*this, reader_.currentFrame, &stopped);
        if (stopped) reader_.framesLeftOut = true;
        return handedOut;
    }

private:
    bool Clip(const GifRect& area, GifRect* clipped) const {
        const long long left = std::max<long long>(area.left, 0);
        const long long top = std::max<long long>(area.top, 0);
        const long long right = std::min<long long>(static_cast<long long>(area.left) + area.width,
                                                    reader_.screenWidth);
        const long long bottom = std::min<long long>(static_cast<long long>(area.top) + area.height,
                                                     reader_.screenHeight);
        if (left >= right || top >= bottom) return false;
        *clipped = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                    static_cast<int>(bottom - top)};
        return true;
    }

    CGifFrameReader& reader_;
    CProgressWnd* progress_;
    Sink sink_;
    Surface save_;
    GifRect saved_;
    int handedOut = 0;
};

// ---- CGifFrameReader -----------------------------------------------------------------------

namespace {

// The bounds a test put in place of the import's; empty otherwise.
std::unique_ptr<gifimport::GifReadLimits>& OverriddenLimits() {
    static std::unique_ptr<gifimport::GifReadLimits> limits;
    return limits;
}

constexpr uint64_t kMinImportBudget = 64ull << 20;

}  // namespace

gifimport::GifReadLimits CGifFrameReader::ImportLimits() {
    gifimport::GifReadLimits limits;
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status)) {
        const uint64_t available = std::min<uint64_t>(status.ullAvailPhys, status.ullAvailVirtual);
        limits.memoryBudget = std::max<uint64_t>(available / 2, kMinImportBudget);
    }
    return limits;
}

void CGifFrameReader::OverrideImportLimits(const gifimport::GifReadLimits* limits) {
    OverriddenLimits().reset(limits ? new gifimport::GifReadLimits(*limits) : nullptr);
}

CGifFrameReader::CGifFrameReader()
    : limits(OverriddenLimits() ? *OverriddenLimits() : ImportLimits()) {}

CGifFrameReader::~CGifFrameReader() { Release(); }

void CGifFrameReader::Release() {
    frames.clear();
    singlePicture.reset();
    canvas.Destroy();
    screenWidth = screenHeight = 0;
    backgroundColour = RGB(255, 255, 255);
    currentFrame = 0;
    loaded = FALSE;
    canvasReady = FALSE;
    framesLeftOut = false;
    framesInFile = 0;
}

BOOL CGifFrameReader::LoadFile(LPCTSTR path) {
    // A load always starts empty, also when it fails before parsing.
    Release();
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
    const ULONGLONG length = file.GetLength();
    if (length == 0 || length > limits.maxFileBytes) return FALSE;
    GlobalBlock block(static_cast<size_t>(length));
    if (!block.Get()) return FALSE;
    {
        LockedGlobal lock(block.Get());
        if (!lock.Data()) return FALSE;
        ULONGLONG done = 0;
        while (done < length) {
            const UINT chunk = static_cast<UINT>(std::min<ULONGLONG>(length - done, 1u << 24));
            const UINT got = file.Read(lock.Data() + done, chunk);
            if (got == 0) return FALSE;  // shorter than it said, or a read error
            done += got;
        }
    }
    file.Close();
    return LoadFromMemory(block.Get(), static_cast<DWORD>(length));
}

BOOL CGifFrameReader::LoadResourceGif(LPCTSTR name, LPCTSTR type) {
    Release();
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = FindResource(module, name, type);
    if (!resource) return FALSE;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0 || size > limits.maxFileBytes) return FALSE;
    const GlobalBlock block = CopyToGlobal(bytes, size);
    if (!block.Get()) return FALSE;
    return LoadFromMemory(block.Get(), size);
}

BOOL CGifFrameReader::LoadFromMemory(HGLOBAL data, DWORD size) {
    Release();
    if (!data) return FALSE;
    // Never trust the size beyond the block itself.
    const size_t usable = std::min<size_t>(size, GlobalSize(data));
    LockedGlobal lock(data);
    if (!lock.Data()) return FALSE;
    return LoadFrames(lock.Data(), usable, data);
}

BOOL CGifFrameReader::LoadFrames(const BYTE* data, size_t size, HGLOBAL whole) {
    gifimport::GifLayout layout;
    const gifimport::GifLayoutStatus status = gifimport::ReadGifLayout(data, size, limits, &layout);
    if (status == gifimport::GifLayoutStatus::TooLarge || status == gifimport::GifLayoutStatus::NotGif) {
        return FALSE;
    }
    loaded = TRUE;
    if (status != gifimport::GifLayoutStatus::Ok || layout.frames.empty()) return FALSE;
    screenWidth = layout.screenWidth;
    screenHeight = layout.screenHeight;
    framesLeftOut = layout.cut;
    // The walk stops after the frame limit: only then are the rest counted on their own.
    framesInFile = layout.framesFound > limits.maxFrames ? gifcodec::CountGifFrames(data, size)
                                                         : static_cast<int>(layout.framesFound);

    if (layout.framesFound == 1) {
        // A still GIF: the whole data as one picture, which is never composed.
        singlePicture.reset(LoadPicture(whole, static_cast<DWORD>(size), false));
        if (!singlePicture) return FALSE;
    } else {
        try {
            frames.reserve(layout.frames.size());
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
        for (const gifimport::GifFrameSpan& span : layout.frames) {
            const size_t streamSize = gifimport::FrameStreamSize(layout, span);
            GlobalBlock stream(streamSize);
            {
                const LockedGlobal lock(stream.Get());
                if (!lock.Data()) {
                    framesLeftOut = true;
                    break;
                }
                gifimport::WriteFrameStream(data, layout, span, lock.Data());
            }
            GifFrameInfo frame;
            frame.picture.reset(LoadPicture(stream.Release(), static_cast<DWORD>(streamSize), true));
            if (!frame.picture) {
                framesLeftOut = true;  // the loader refused this frame: drop it
                continue;
            }
            frame.geometry = span.geometry;
            frames.push_back(std::move(frame));
        }
        if (frames.empty()) return FALSE;
    }
    return CreateCanvas(screenWidth, screenHeight);
}

BOOL CGifFrameReader::CreateCanvas(int width, int height) {
    if (!canvas.Create(nullptr, width, height)) return FALSE;
    backgroundColour = GetSysColor(COLOR_BTNFACE);
    const RECT all = {0, 0, width, height};
    FillRect(canvas.Dc(), &all, GetSysColorBrush(COLOR_MENU));
    canvasReady = TRUE;
    return TRUE;
}

void CGifFrameReader::FillCanvas(COLORREF colour) {
    if (!canvasReady) return;
    backgroundColour = colour;
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return;
    const RECT all = {0, 0, screenWidth, screenHeight};
    FillRect(canvas.Dc(), &all, brush);
    DeleteObject(brush);
}

CxImage* CGifFrameReader::SnapshotCanvas() {
    std::unique_ptr<CxImage> picture(new (std::nothrow) CxImage(CXIMAGE_FORMAT_UNKNOWN));
    if (!picture || !canvas.Deselect()) return nullptr;
    GdiFlush();
    const bool made = picture->CreateFromHBITMAP(canvas.Bitmap());
    canvas.Reselect();
    if (!made || !picture->IsValid()) return nullptr;
    return picture.release();
}

void CGifFrameReader::StepProgress(CProgressWnd* progress) {
    if (!progress || !::IsWindow(progress->GetSafeHwnd())) return;
    progress->StepIt();
    progress->PumpMessages();
}

int CGifFrameReader::AppendFramesTo(FrameRecordArray& list, CProgressWnd* progress) {
    Composition run(*this, progress, [&list](const GifFrameGeometry& frame, std::unique_ptr<CxImage> picture) {
        std::unique_ptr<FrameRecord> record(new (std::nothrow) FrameRecord{picture.get(), gifimport::ImportedDelay(frame.delay)});
        if (!record) return false;
        picture->SetFlags(1, false);
        if (list.Add(record.get()) < 0) return false;
        picture.release();
        record.release();
        return true;
    });
    return run.Run();
}

int CGifFrameReader::ExtractResizedFrames(int width, int height, FrameRecordArray& list, CProgressWnd* progress) {
    gifimport::GifFit fit;
    if (!canvasReady || !gifimport::FitIntoBox(screenWidth, screenHeight, width, height, &fit)) return 0;
    // Each record holds a width x height picture: as many as the budget allows.
    const unsigned long long outputBytes = 3ull * static_cast<unsigned long long>(width) * height;
    if (outputBytes > limits.memoryBudget) return 0;
    size_t room = static_cast<size_t>(limits.memoryBudget / outputBytes);

    // The black picture every frame is centred on.
    CxImage base(CXIMAGE_FORMAT_UNKNOWN);
    {
        Surface black;
        if (!black.Create(nullptr, width, height)) return 0;
        const RECT all = {0, 0, width, height};
        FillRect(black.Dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (!black.Deselect() || !base.CreateFromHBITMAP(black.Bitmap()) || !base.IsValid()) return 0;
    }

    Composition run(*this, progress,
                    [&](const GifFrameGeometry& frame, std::unique_ptr<CxImage> picture) {
                        if (room == 0) {
                            framesLeftOut = true;
                            return false;
                        }
                        if (fit.resample && !picture->Resample2(fit.width, fit.height, IM_BICUBIC2, OM_REPEAT, nullptr, false)) {
                            return false;
                        }
                        std::unique_ptr<CxImage> framed(new (std::nothrow) CxImage(base, true, true, true));
                        if (!framed || !framed->IsValid()) return false;
                        if (!framed->Mix(*picture, OpDstCopy, fit.offsetX, fit.offsetY, false)) return false;
                        framed->SetFlags(1, false);
                        std::unique_ptr<FrameRecord> record(
                            new (std::nothrow) FrameRecord{framed.get(), gifimport::ImportedDelay(frame.delay)});
                        if (!record || list.Add(record.get()) < 0) return false;
                        framed.release();
                        record.release();
                        --room;
                        return true;
                    });
    return run.Run();
}

int CGifFrameReader::AppendImagesTo(CxImageArray& images, CProgressWnd* progress) {
    Composition run(*this, progress, [&images](const GifFrameGeometry&, std::unique_ptr<CxImage> picture) {
        picture->SetFlags(1, false);
        if (images.Add(picture.get()) < 0) return false;
        picture.release();
        return true;
    });
    return run.Run();
}
