// CxImage: construction, file reading and writing, and the pixel operations.
#include "image/ximage.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <vector>

#include "image/handles.h"
#include "image/pixel_ops.h"
#include "image/ximage_codecs.h"

namespace {

bool ReadWholeFile(const TCHAR* filename, std::vector<BYTE>& data) {
    if (filename == nullptr) return false;
    WinHandle file(CreateFileW(filename, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > ximage_codecs::kMaxDataBytes)
        return false;
    data.resize(static_cast<size_t>(size.QuadPart));
    DWORD done = 0;
    size_t at = 0;
    while (at < data.size()) {
        if (!ReadFile(file.Get(), data.data() + at, static_cast<DWORD>(data.size() - at), &done, nullptr) ||
            done == 0)
            return false;
        at += done;
    }
    return true;
}

bool WriteWholeFile(const TCHAR* filename, const std::vector<BYTE>& data) {
    if (filename == nullptr) return false;
    bool ok;
    {
        WinHandle file(CreateFileW(filename, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD done = 0;
        ok = WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &done, nullptr) &&
             done == data.size();
    }
    if (!ok) DeleteFileW(filename);  // no half-written picture left behind
    return ok;
}

bool KnownType(DWORD type) {
    return type == CXIMAGE_FORMAT_BMP || type == CXIMAGE_FORMAT_GIF || type == CXIMAGE_FORMAT_JPG ||
           type == CXIMAGE_FORMAT_PNG;
}

}  // namespace

DWORD ximage_codecs::DetectFormat(const BYTE* data, DWORD size) {
    if (data == nullptr) return CXIMAGE_FORMAT_UNKNOWN;
    static const BYTE kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 8 && std::memcmp(data, kPng, 8) == 0) return CXIMAGE_FORMAT_PNG;
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return CXIMAGE_FORMAT_GIF;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return CXIMAGE_FORMAT_JPG;
    if (size >= 14 && data[0] == 'B' && data[1] == 'M') return CXIMAGE_FORMAT_BMP;
    return CXIMAGE_FORMAT_UNKNOWN;
}

CxImage::CxImage(DWORD imagetype) : type_(imagetype) {}

CxImage::CxImage(const CxImage& src, bool copypixels, bool /*copyselection*/, bool /*copyalpha*/)
    : dib_(src.dib_),
      type_(src.type_),
      flags_(src.flags_),
      transIndex_(src.transIndex_),
      numFrames_(src.numFrames_) {
    if (!copypixels && dib_.IsValid())
        std::memset(dib_.Bits(), 0, dib_.Stride() * static_cast<size_t>(dib_.Height()));
}

CxImage::CxImage(const TCHAR* filename, DWORD imagetype) : type_(imagetype) {
    Load(filename, imagetype);
}

CxImage::CxImage(const BYTE* buffer, DWORD size, DWORD imagetype) : type_(imagetype) {
    Decode(buffer, size, imagetype);
}

bool CxImage::Load(const TCHAR* filename, DWORD imagetype) {
    std::vector<BYTE> data;
    if (!ReadWholeFile(filename, data)) {
        dib_.Clear();
        numFrames_ = 0;
        return false;
    }
    return Decode(data.data(), static_cast<DWORD>(data.size()), imagetype);
}

bool CxImage::Decode(const BYTE* buffer, DWORD size, DWORD imagetype) {
    dib_.Clear();
    numFrames_ = 0;
    transIndex_ = -1;
    if (buffer == nullptr || size == 0 || size > ximage_codecs::kMaxDataBytes) return false;
    if (KnownType(imagetype) && DecodeAs(buffer, size, imagetype)) return true;
    const DWORD found = ximage_codecs::DetectFormat(buffer, size);
    if (found != CXIMAGE_FORMAT_UNKNOWN && found != imagetype) return DecodeAs(buffer, size, found);
    return false;
}

bool CxImage::DecodeAs(const BYTE* buffer, DWORD size, DWORD imagetype) {
    pixels::PackedDib result;
    long trans = -1;
    long frames = 1;
    bool ok;
    if (imagetype == CXIMAGE_FORMAT_GIF)
        ok = ximage_codecs::GifDecode(buffer, size, result, trans, frames);
    else
        ok = ximage_codecs::WicDecode(buffer, size, imagetype, result);
    if (!ok || !result.IsValid()) return false;
    dib_ = std::move(result);
    type_ = imagetype;
    transIndex_ = trans;
    numFrames_ = frames < 1 ? 1 : frames;
    return true;
}

bool CxImage::Encode(BYTE*& buffer, long& size, DWORD imagetype) const {
    if (buffer != nullptr || !IsValid()) return false;
    std::vector<BYTE> out;
    bool ok = false;
    if (imagetype == CXIMAGE_FORMAT_GIF) {
        if (dib_.BitsPerPixel() == 8) {
            ok = ximage_codecs::GifEncode(dib_, transIndex_, out);
        } else {
            RGBQUAD table[256];
            bool exact = false;
            pixels::BuildPaletteFor(dib_, table, exact);
            pixels::PackedDib reduced;
            ok = pixels::ReduceToPalette(dib_, table, 0, !exact, reduced) &&
                 ximage_codecs::GifEncode(reduced, -1, out);
        }
    } else if (KnownType(imagetype)) {
        ok = ximage_codecs::WicEncode(dib_, imagetype, out);
    }
    if (!ok || out.empty() || out.size() > 0x7FFFFFFF) return false;
    buffer = static_cast<BYTE*>(std::malloc(out.size()));
    if (buffer == nullptr) return false;
    std::memcpy(buffer, out.data(), out.size());
    size = static_cast<long>(out.size());
    return true;
}

void CxImage::FreeMemory(void* memblock) { std::free(memblock); }

bool CxImage::Save(const TCHAR* filename, DWORD imagetype) const {
    BYTE* buffer = nullptr;
    long size = 0;
    if (!Encode(buffer, size, imagetype)) return false;
    std::vector<BYTE> data(buffer, buffer + size);
    FreeMemory(buffer);
    return WriteWholeFile(filename, data);
}

DWORD CxImage::GetTypeIdFromName(const TCHAR* ext) {
    if (ext == nullptr) return CXIMAGE_FORMAT_UNKNOWN;
    WCHAR lower[8] = {};
    size_t n = 0;
    for (; ext[n] != 0; ++n) {
        if (n + 1 >= sizeof(lower) / sizeof(lower[0])) return CXIMAGE_FORMAT_UNKNOWN;
        lower[n] = static_cast<WCHAR>(std::towlower(ext[n]));
    }
    if (wcscmp(lower, L"bmp") == 0) return CXIMAGE_FORMAT_BMP;
    if (wcscmp(lower, L"jpg") == 0 || wcscmp(lower, L"jpeg") == 0) return CXIMAGE_FORMAT_JPG;
    if (wcscmp(lower, L"png") == 0) return CXIMAGE_FORMAT_PNG;
    if (wcscmp(lower, L"gif") == 0) return CXIMAGE_FORMAT_GIF;
    return CXIMAGE_FORMAT_UNKNOWN;
}

void CxImage::SetFlags(DWORD flags, bool bLockReservedFlags) {
    if (bLockReservedFlags)
        flags_ = (flags_ & 0xFFFF0000u) | (flags & 0x0000FFFFu);
    else
        flags_ = flags;
}

void* CxImage::GetDIB() const { return const_cast<BYTE*>(dib_.Data()); }

RGBQUAD CxImage::RGBtoRGBQUAD(COLORREF cr) {
    RGBQUAD q;
    q.rgbRed = GetRValue(cr);
    q.rgbGreen = GetGValue(cr);
    q.rgbBlue = GetBValue(cr);
    q.rgbReserved = 0;
    return q;
}

bool CxImage::Resample2(long newx, long newy, InterpolationMethod /*mode*/,
                        OverflowMethod /*ofMethod*/, CxImage* const iDst, bool const disableAveraging) {
    pixels::PackedDib result;
    if (!pixels::ResampleBicubic(dib_, newx, newy, !disableAveraging, result)) return false;
    CxImage* target = iDst != nullptr ? iDst : this;
    if (target != this) {
        target->type_ = type_;
        target->flags_ = flags_;
        target->numFrames_ = numFrames_;
    }
    target->dib_ = std::move(result);
    target->transIndex_ = -1;  // the result is 24-bit: no index to be transparent
    return true;
}

bool CxImage::MakeTrueColour() {
    if (!IsValid()) return false;
    if (dib_.BitsPerPixel() == 24) return true;
    pixels::PackedDib result;
    if (!pixels::ConvertTo24(dib_, result)) return false;
    dib_ = std::move(result);
    transIndex_ = -1;
    return true;
}

bool CxImage::Mix(const CxImage& imgsrc2, ImageOpType op, long lXOffset, long lYOffset,
                  bool /*bMixAlpha*/) {
    if (op != OpDstCopy || !imgsrc2.IsValid() || !MakeTrueColour()) return false;
    return pixels::MixCopy(dib_, imgsrc2.dib_, lXOffset, lYOffset);
}

bool CxImage::DecreaseBpp(DWORD nbit, bool errordiffusion, RGBQUAD* ppal, DWORD clrimportant) {
    if (nbit != 8 || ppal == nullptr || !IsValid()) return false;
    pixels::PackedDib result;
    if (!pixels::ReduceToPalette(dib_, ppal, clrimportant, errordiffusion, result)) return false;
    dib_ = std::move(result);
    transIndex_ = -1;  // the old index means nothing in the new table
    return true;
}
