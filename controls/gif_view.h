// A window class that shows an animated GIF file: the frames are composed with their disposal
// methods and transparency and played on a timer with their stored delays, looping forever.
// Dialog templates name it by its class name ("KelvoGifView") and talk to it by the messages
// below; CGifexplorer (gif_explorer.h) wraps it for the dialogs' code.
//
// The file is read whole into memory and closed at once, so the caller may delete it while it
// is shown. A file that is not a usable GIF, or a web address, gives an empty view.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gif/gif_compose.h"

// The class name as dialog templates write it.
constexpr wchar_t kGifViewClassName[] = L"KelvoGifView";

// Registers the window class (once; later calls only report the first result). Call before the
// first dialog whose template holds the view is created.
bool RegisterGifViewClass();

// ---- Messages of the window class ---------------------------------------------------------

// Shows a file: lParam = full path (LPCWSTR). Returns TRUE when a picture is shown; FALSE gives
// an empty view (null or empty path, web address, unreadable or unusable file).
constexpr UINT GVM_SHOWFILE = WM_USER + 0x320;
// Frames of the shown GIF; 0 for an empty view.
constexpr UINT GVM_GETFRAMECOUNT = WM_USER + 0x321;
// Index of the frame on the screen (0-based); -1 for an empty view.
constexpr UINT GVM_GETCURRENTFRAME = WM_USER + 0x322;
// Size of the picture: MAKELRESULT(width, height); 0 for an empty view.
constexpr UINT GVM_GETPICTURESIZE = WM_USER + 0x323;
// Puts the shown picture on the clipboard as CF_DIB, and the shown file as CF_HDROP when it
// still exists. Returns TRUE when the picture was put there; an empty view leaves the
// clipboard alone.
constexpr UINT GVM_COPYTOCLIPBOARD = WM_USER + 0x324;
// The shown file's full path into lParam (wParam characters, NUL included). Returns the
// path's length; 0 (and an empty text) for an empty view.
constexpr UINT GVM_GETPATH = WM_USER + 0x325;

// ---- The frames of a GIF, composed one after the other ------------------------------------

// Win32-free: the window class plays one of these. The frames are found by the block walk of
// gif_compose.h and composed there, one at a time as they are shown, so a long file costs one
// decoded frame at a time.
class GifAnimation {
public:
    // Limits for hostile files: larger files or pictures give an empty view, frames past the
    // limit are not played.
    static constexpr size_t kMaxFileBytes = 128u * 1024 * 1024;
    static constexpr int kMaxSide = 8192;
    static constexpr long long kMaxArea = 16LL * 1024 * 1024;
    static constexpr size_t kMaxFrames = 100000;
    // Delay of a frame that stores none (or 0), in 1/100 s.
    static constexpr int kDefaultDelay = gifimport::kDefaultFrameDelay;

    // Takes the file's bytes. False (and an empty animation) unless the header is sound and
    // the first frame decodes; the first frame is then composed and current. The picture is
    // the logical screen, grown where the first frame reaches past it.
    bool Load(std::vector<uint8_t> bytes);
    void Clear();

    bool IsEmpty() const { return layout_.frames.empty(); }
    int Width() const { return canvas_.Width(); }
    int Height() const { return canvas_.Height(); }
    int FrameCount() const { return static_cast<int>(layout_.frames.size()); }
    int CurrentFrame() const { return current_; }
    // Delay of the current frame, in 1/100 s (never 0).
    int CurrentDelay() const;

    // Composes the next frame onto the canvas; after the last one the play starts again from
    // an empty canvas. A frame whose pixels cannot be decoded leaves the canvas as it was.
    void Advance();

    // The composed picture: Height() rows of Width() pixels, top row first, each 0xAARRGGBB
    // with alpha 0 (transparent, nothing drawn there yet) or 0xFF.
    const std::vector<uint32_t>& Canvas() const { return shown_; }

private:
    class Ops;

    bool Compose(size_t index);

    std::vector<uint8_t> file_;
    gifimport::GifLayout layout_;
    int current_ = -1;
    gifimport::GifArgbCanvas canvas_;  // where the frames are composed and disposed of
    std::vector<uint32_t> shown_;      // the canvas as the last frame shown left it, before its disposal
};
