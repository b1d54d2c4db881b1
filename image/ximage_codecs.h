// File codecs behind CxImage (internal to the image library).
#pragma once

#include <windows.h>

#include <vector>

#include "image/packed_dib.h"

namespace ximage_codecs {

// Largest file or encoded buffer that is read at all.
constexpr DWORD kMaxDataBytes = 256u * 1024u * 1024u;

// The format that the data's signature names (CXIMAGE_FORMAT_*), 0 when none.
DWORD DetectFormat(const BYTE* data, DWORD size);

// BMP, JPEG and PNG through the Windows Imaging Component; the result is 24-bit.
bool WicDecode(const BYTE* data, DWORD size, DWORD type, pixels::PackedDib& out);
// Writes an 8- or 24-bit picture as BMP, JPEG or PNG.
bool WicEncode(const pixels::PackedDib& dib, DWORD type, std::vector<BYTE>& out);

// First frame of a GIF as an 8-bit picture with its colour table, its transparent index
// (-1 when none) and the number of frames in the file.
bool GifDecode(const BYTE* data, DWORD size, pixels::PackedDib& out, long& transIndex,
               long& frames);
// A one-frame GIF of an 8-bit picture: its 256 colours in order, its pixel indexes unchanged.
bool GifEncode(const pixels::PackedDib& dib, long transIndex, std::vector<BYTE>& out);

}  // namespace ximage_codecs
