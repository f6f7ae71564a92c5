#include "wic.h"

#include "gif_blocks.h"

#include <initguid.h>
#include <wincodec.h>

#include <string>
#include <vector>

namespace codecs {
namespace {

// Owns one COM interface pointer.
template <typename T>
class Com {
public:
    Com() = default;
    ~Com() { if (p_) p_->Release(); }
    Com(const Com &) = delete;
    Com &operator=(const Com &) = delete;
    T **out() { return &p_; }
    T *operator->() const { return p_; }
    T *get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
private:
    T *p_ = nullptr;
};

// COM for the duration of one codec call.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() { if (SUCCEEDED(hr_)) CoUninitialize(); }
private:
    HRESULT hr_;
};

bool MakeFactory(Com<IWICImagingFactory> &factory) {
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void **>(factory.out())));
}

const GUID &ContainerGuid(WicContainer c) {
    switch (c) {
    case WicContainer::kJpeg: return GUID_ContainerFormatJpeg;
    case WicContainer::kPng: return GUID_ContainerFormatPng;
    case WicContainer::kTiff: break;
    }
    return GUID_ContainerFormatTiff;
}

// An encoder writing to the file, with one frame to fill.
struct EncoderFrame {
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    Com<IPropertyBag2> options;
};

bool OpenEncoder(IWICImagingFactory *factory, const std::wstring &path, const GUID &container, EncoderFrame &e) {
    return SUCCEEDED(factory->CreateStream(e.stream.out())) &&
           SUCCEEDED(e.stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(container, nullptr, e.encoder.out())) &&
           SUCCEEDED(e.encoder->Initialize(e.stream.get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(e.encoder->CreateNewFrame(e.frame.out(), e.options.out()));
}

bool SetQuality(IPropertyBag2 *options, float quality) {
    PROPBAG2 name{};
    name.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = quality;
    return SUCCEEDED(options->Write(1, &name, &value));
}

// Finishes the frame and the file.
bool Finish(EncoderFrame &e, bool ok) {
    return ok && SUCCEEDED(e.frame->Commit()) && SUCCEEDED(e.encoder->Commit());
}

// The graphic control extension of the frame: transparency flag and index.
// Marks `index` transparent (none when negative) in a GIF file the
// encoder has written.  The encoder's metadata writer for the control
// extension is not available everywhere, and some encoders write the
// flag on their own, so the file's blocks are edited afterwards.
bool MarkTransparent(const std::wstring &path, int index) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = false;
    LARGE_INTEGER size{};
    DWORD done = 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (1ll << 30)) {
        std::vector<uint8_t> gif(static_cast<size_t>(size.QuadPart));
        ok = ReadFile(file, gif.data(), static_cast<DWORD>(gif.size()), &done, nullptr) && done == gif.size() &&
             SetGifTransparentIndex(gif, index) &&
             SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
             WriteFile(file, gif.data(), static_cast<DWORD>(gif.size()), &done, nullptr) && done == gif.size();
    }
    CloseHandle(file);
    return ok;
}

void RemoveIfFailed(bool ok, const std::wstring &path) {
    if (!ok) DeleteFileW(path.c_str());
}

}  // namespace

std::optional<DecodedImage> WicDecode(LPCSTR path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return std::nullopt;
    ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICBitmapSource> converted;
    // 32-bit BGRA is the target every source format converts to (indexed
    // GIF frames included); transparent parts are then laid on white.
    if (!MakeFactory(factory) ||
        FAILED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), converted.out()))) {
        return std::nullopt;
    }
    UINT width = 0, height = 0;
    if (FAILED(converted->GetSize(&width, &height))) return std::nullopt;
    auto image = AllocateDecoded(width, height);
    if (!image) return std::nullopt;
    std::vector<BYTE> bgra(static_cast<size_t>(width) * height * 4);
    if (FAILED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(bgra.size()), bgra.data()))) {
        return std::nullopt;
    }
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
        const BYTE *p = &bgra[i * 4];
        const unsigned alpha = p[3];
        for (int c = 0; c < 3; ++c) {
            image->bgr[i * 3 + c] = static_cast<uint8_t>((p[c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
    return image;
}

bool WicEncode24(LPCSTR path, WicContainer container, const DecodedImage &image, float quality) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return false;
    ComScope com;
    Com<IWICImagingFactory> factory;
    bool ok = false;
    {
        EncoderFrame e;
        if (MakeFactory(factory) && OpenEncoder(factory.get(), wide, ContainerGuid(container), e)) {
            bool ready = container != WicContainer::kJpeg || SetQuality(e.options.get(), quality);
            WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
            ready = ready && SUCCEEDED(e.frame->Initialize(e.options.get())) &&
                    SUCCEEDED(e.frame->SetSize(image.width, image.height)) &&
                    SUCCEEDED(e.frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR);
            const UINT stride = static_cast<UINT>(image.width) * 3;
            ready = ready && SUCCEEDED(e.frame->WritePixels(image.height, stride, static_cast<UINT>(image.bgr.size()),
                                                            const_cast<BYTE *>(image.bgr.data())));
            ok = Finish(e, ready);
        }
    }  // the stream closes the file here
    RemoveIfFailed(ok, wide);
    return ok;
}

bool WicEncodeGif(LPCSTR path, const IndexedPixels &image, int transparentIndex) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return false;
    ComScope com;
    Com<IWICImagingFactory> factory;
    bool ok = false;
    {
        EncoderFrame e;
        Com<IWICPalette> palette;
        if (MakeFactory(factory) && OpenEncoder(factory.get(), wide, GUID_ContainerFormatGif, e) &&
            SUCCEEDED(factory->CreatePalette(palette.out()))) {
            std::vector<WICColor> colours;
            for (const RGBQUAD &q : image.palette) {
                colours.push_back(0xFF000000u | (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue);
            }
            WICPixelFormatGUID format = GUID_WICPixelFormat8bppIndexed;
            bool ready = SUCCEEDED(palette->InitializeCustom(colours.data(), static_cast<UINT>(colours.size()))) &&
                         SUCCEEDED(e.frame->Initialize(e.options.get())) &&
                         SUCCEEDED(e.frame->SetSize(image.width, image.height)) &&
                         SUCCEEDED(e.frame->SetPixelFormat(&format)) &&
                         IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed) &&
                         SUCCEEDED(e.frame->SetPalette(palette.get()));
            ready = ready && SUCCEEDED(e.frame->WritePixels(image.height, static_cast<UINT>(image.width),
                                                            static_cast<UINT>(image.indexes.size()),
                                                            const_cast<BYTE *>(image.indexes.data())));
            ok = Finish(e, ready);
        }
    }  // the stream closes the file here
    if (ok) ok = MarkTransparent(wide, transparentIndex);
    RemoveIfFailed(ok, wide);
    return ok;
}

}  // namespace codecs
