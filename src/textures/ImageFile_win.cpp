#include "textures/ImageFile_win.h"

#include <windows.h>
#include <wincodec.h>

#include <limits>

#include "base/Win32Handles.h"

namespace textures {

bool decodeImageFile(const std::wstring& path, Image32& image) noexcept {
    image = Image32{};
    const win::ComScope com;
    if (!com.usable()) return false;
    win::ComPtr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.put())))) {
        return false;
    }
    win::ComPtr<IWICBitmapDecoder> decoder;
    win::ComPtr<IWICBitmapFrameDecode> frame;
    win::ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return false;
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || !allocate(image, width, height, ChannelOrder::Bgra)) {
        image = Image32{};
        return false;
    }
    const std::size_t bytes = image.pixels.size();
    if (bytes > std::numeric_limits<UINT>::max() ||
        FAILED(converter->CopyPixels(nullptr, static_cast<UINT>(image.stride()), static_cast<UINT>(bytes),
                                     image.pixels.data()))) {
        image = Image32{};
        return false;
    }
    return true;
}

}  // namespace textures
