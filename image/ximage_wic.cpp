// BMP, JPEG and PNG through the Windows Imaging Component. Every call initialises COM for
// itself when the thread has not, and releases every interface before it returns: nothing
// of the imaging component outlives a call, so pictures move freely between threads.
#include <objbase.h>
#include <wincodec.h>

#include <cstring>

#include "image/handles.h"
#include "image/pixel_ops.h"
#include "image/ximage.h"
#include "image/ximage_codecs.h"

namespace {

// Owns one reference to a COM interface.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T** Out() { return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

// COM for the current thread for the length of one call; a thread that already has COM
// (in any apartment) keeps it as it is.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

const GUID* ContainerFor(DWORD type) {
    switch (type) {
        case CXIMAGE_FORMAT_BMP: return &GUID_ContainerFormatBmp;
        case CXIMAGE_FORMAT_JPG: return &GUID_ContainerFormatJpeg;
        case CXIMAGE_FORMAT_PNG: return &GUID_ContainerFormatPng;
        default: return nullptr;
    }
}

bool MakeFactory(ComRef<IWICImagingFactory>& factory) {
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, factory.OutVoid()));
}

// Sets the JPEG quality of a new frame (0.9, high enough that a picture survives a round
// trip with small differences).
void SetJpegQuality(IPropertyBag2* props) {
    if (props == nullptr) return;
    WCHAR name[] = L"ImageQuality";
    PROPBAG2 option{};
    option.pstrName = name;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = 0.9f;
    props->Write(1, &option, &value);
}

}  // namespace

namespace ximage_codecs {

bool WicDecode(const BYTE* data, DWORD size, DWORD type, pixels::PackedDib& out) {
    const GUID* container = ContainerFor(type);
    if (container == nullptr || data == nullptr || size == 0) return false;
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    if (!MakeFactory(factory)) return false;
    ComRef<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), size)))
        return false;
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoder(*container, nullptr, decoder.Out())) ||
        FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnLoad)))
        return false;
    ComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Out()))) return false;
    UINT w = 0, h = 0;
    if (FAILED(frame->GetSize(&w, &h)) || w > 0x7FFFFFFF || h > 0x7FFFFFFF ||
        !pixels::PackedDib::SizeAllowed(static_cast<long>(w), static_cast<long>(h)))
        return false;
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat24bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;

    pixels::PackedDib result;
    if (!result.Create(static_cast<long>(w), static_cast<long>(h), 24)) return false;
    const size_t stride = result.Stride();
    std::vector<BYTE> topDown(stride * h);
    if (FAILED(converter->CopyPixels(nullptr, static_cast<UINT>(stride),
                                     static_cast<UINT>(topDown.size()), topDown.data())))
        return false;
    for (UINT y = 0; y < h; ++y)
        std::memcpy(result.Row(static_cast<long>(h - 1 - y)), &topDown[stride * y], stride);
    out = std::move(result);
    return true;
}

bool WicEncode(const pixels::PackedDib& dib, DWORD type, std::vector<BYTE>& out) {
    const GUID* container = ContainerFor(type);
    if (container == nullptr || !dib.IsValid()) return false;
    pixels::PackedDib converted;
    const pixels::PackedDib* source = &dib;
    if (dib.BitsPerPixel() != 24) {
        if (!pixels::ConvertTo24(dib, converted)) return false;
        source = &converted;
    }
    const long w = source->Width();
    const long h = source->Height();

    ComScope com;
    ComRef<IWICImagingFactory> factory;
    if (!MakeFactory(factory)) return false;
    ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()))) return false;
    ComRef<IWICBitmapEncoder> encoder;
    if (FAILED(factory->CreateEncoder(*container, nullptr, encoder.Out())) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)))
        return false;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> props;
    if (FAILED(encoder->CreateNewFrame(frame.Out(), props.Out()))) return false;
    if (type == CXIMAGE_FORMAT_JPG) SetJpegQuality(props.Get());
    if (FAILED(frame->Initialize(props.Get())) ||
        FAILED(frame->SetSize(static_cast<UINT>(w), static_cast<UINT>(h))))
        return false;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) ||
        !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        return false;
    const UINT stride = static_cast<UINT>(source->Stride());
    for (long y = h - 1; y >= 0; --y) {  // the encoder takes rows top-down
        if (FAILED(frame->WritePixels(1, stride, stride, const_cast<BYTE*>(source->Row(y)))))
            return false;
    }
    if (FAILED(frame->Commit()) || FAILED(encoder->Commit())) return false;

    STATSTG stat{};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(stream.Get(), &memory)))
        return false;
    const ULONGLONG bytes = stat.cbSize.QuadPart;
    if (bytes == 0 || bytes > kMaxDataBytes) return false;
    const LockedGlobal locked(memory);
    if (locked.Data() == nullptr) return false;
    out.assign(locked.Data(), locked.Data() + bytes);
    return true;
}

}  // namespace ximage_codecs
