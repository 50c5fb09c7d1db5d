// PNG files through the platform's imaging component: no PNG library exists
// for this build, and the component is on every Windows (and in Wine).
#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <cstring>

#include "cli/platform.h"
#include "cli/png_io.h"

namespace tessaro::cli {

namespace {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** operator&() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

 private:
  HRESULT hr_;
};

std::string HresultText(HRESULT hr) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
  return buffer;
}

bool MakeFactory(ComPtr<IWICImagingFactory>& factory, std::string* error) {
  const HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) *error = "the imaging component is not available (" + HresultText(hr) + ")";
  return SUCCEEDED(hr);
}

std::string OpenError(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                     FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::string reason = text ? Narrow(text) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ' ||
                             reason.back() == '.'))
    reason.pop_back();
  return "cannot open (" + reason + ")";
}

// The same first test as the other build, so that both name the same files
// "not a PNG file".
bool CheckSignature(const std::wstring& path, std::string* error) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = OpenError(GetLastError());
    return false;
  }
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  uint8_t head[8] = {};
  DWORD got = 0;
  const BOOL read = ReadFile(file, head, 8, &got, nullptr);
  CloseHandle(file);
  if (!read || got != 8 || std::memcmp(head, kSignature, 8) != 0) {
    *error = "not a PNG file";
    return false;
  }
  return true;
}

// Formats with 16-bit samples are copied as they are and reduced here: the
// component's own conversion to 8 bits truncates.
int SixteenBitChannels(const WICPixelFormatGUID& format) {
  if (IsEqualGUID(format, GUID_WICPixelFormat16bppGray)) return 1;
  if (IsEqualGUID(format, GUID_WICPixelFormat48bppRGB)) return 3;
  if (IsEqualGUID(format, GUID_WICPixelFormat64bppRGBA)) return 4;
  return 0;
}

// Rows in bands, so that no single call moves more than the interfaces'
// 32-bit byte counts allow.
template <typename Fn>
bool ForEachBand(uint32_t height, size_t rowBytes, Fn fn) {
  const size_t maxRows = rowBytes ? (size_t(1) << 30) / rowBytes : height;
  const uint32_t band = uint32_t(maxRows == 0 ? 1 : maxRows < height ? maxRows : height);
  for (uint32_t y = 0; y < height; y += band) {
    const uint32_t rows = band < height - y ? band : height - y;
    if (!fn(y, rows)) return false;
  }
  return true;
}

}  // namespace

bool ReadPng(const std::string& path, const PngLimits& limits, Picture* picture,
             std::string* error) {
  const std::wstring wide = Widen(path);
  if (!CheckSignature(wide, error)) return false;
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (!MakeFactory(factory, error)) return false;

  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  HRESULT hr = factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder);
  if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, &frame);
  UINT width = 0, height = 0;
  WICPixelFormatGUID format{};
  if (SUCCEEDED(hr)) hr = frame->GetSize(&width, &height);
  if (SUCCEEDED(hr)) hr = frame->GetPixelFormat(&format);
  if (FAILED(hr)) {
    *error = "not a readable PNG file (" + HresultText(hr) + ")";
    return false;
  }
  if (width > limits.maxWidth || height > limits.maxHeight) {
    *error = "too large (" + std::to_string(width) + " x " + std::to_string(height) + " pixels)";
    return false;
  }

  try {
    picture->width = width;
    picture->height = height;
    picture->rgba.assign(size_t(width) * height * 4, 0);
    const int channels = SixteenBitChannels(format);
    if (channels) {
      const size_t rowBytes = size_t(width) * size_t(channels) * 2;
      std::vector<uint16_t> band;
      const bool ok = ForEachBand(height, rowBytes, [&](uint32_t y, uint32_t rows) {
        band.resize(rowBytes / 2 * rows);
        const WICRect rect{0, INT(y), INT(width), INT(rows)};
        hr = frame->CopyPixels(&rect, UINT(rowBytes), UINT(rowBytes * rows),
                               reinterpret_cast<BYTE*>(band.data()));
        if (FAILED(hr)) return false;
        uint8_t* out = &picture->rgba[size_t(y) * width * 4];
        for (size_t i = 0; i < size_t(width) * rows; ++i, out += 4) {
          const uint16_t* s = &band[i * size_t(channels)];
          out[0] = Reduce16To8(s[0]);
          out[1] = Reduce16To8(channels >= 3 ? s[1] : s[0]);
          out[2] = Reduce16To8(channels >= 3 ? s[2] : s[0]);
          out[3] = channels == 4 ? Reduce16To8(s[3]) : 255;
        }
        return true;
      });
      if (!ok) {
        *error = "not a readable PNG file (" + HresultText(hr) + ")";
        return false;
      }
      return true;
    }

    // Straight (not premultiplied) alpha, blue first.
    ComPtr<IWICFormatConverter> converter;
    hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
      hr = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                 WICBitmapDitherTypeNone, nullptr, 0.0,
                                 WICBitmapPaletteTypeCustom);
    const size_t rowBytes = size_t(width) * 4;
    const bool ok = SUCCEEDED(hr) && ForEachBand(height, rowBytes, [&](uint32_t y, uint32_t rows) {
      const WICRect rect{0, INT(y), INT(width), INT(rows)};
      hr = converter->CopyPixels(&rect, UINT(rowBytes), UINT(rowBytes * rows),
                                 &picture->rgba[size_t(y) * rowBytes]);
      return SUCCEEDED(hr);
    });
    if (!ok) {
      *error = "not a readable PNG file (" + HresultText(hr) + ")";
      return false;
    }
    for (size_t i = 0; i < picture->rgba.size(); i += 4) std::swap(picture->rgba[i], picture->rgba[i + 2]);
    return true;
  } catch (const std::bad_alloc&) {
    *error = "too large for the memory available";
    return false;
  }
}

bool WritePng(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
              int channels, std::string* error) {
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (!MakeFactory(factory, error)) return false;

  ComPtr<IWICStream> stream;
  HRESULT hr = factory->CreateStream(&stream);
  if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(Widen(path).c_str(), GENERIC_WRITE);
  if (FAILED(hr)) {
    *error = "cannot open for writing (" + HresultText(hr) + ")";
    return false;
  }
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> properties;
  hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
  if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
  if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, &properties);
  if (SUCCEEDED(hr)) hr = frame->Initialize(properties.get());
  if (SUCCEEDED(hr)) hr = frame->SetSize(width, height);
  const WICPixelFormatGUID wanted =
      channels == 4 ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
  WICPixelFormatGUID format = wanted;
  if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
  if (SUCCEEDED(hr) && !IsEqualGUID(format, wanted)) hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;

  try {
    const size_t rowBytes = size_t(width) * size_t(channels);
    std::vector<uint8_t> band;
    const bool ok = SUCCEEDED(hr) && ForEachBand(height, rowBytes, [&](uint32_t y, uint32_t rows) {
      const uint8_t* from = pixels + size_t(y) * rowBytes;
      band.assign(from, from + rowBytes * rows);
      for (size_t i = 0; i < band.size(); i += size_t(channels)) std::swap(band[i], band[i + 2]);
      hr = frame->WritePixels(rows, UINT(rowBytes), UINT(band.size()), band.data());
      return SUCCEEDED(hr);
    });
    if (ok) hr = frame->Commit();
    if (ok && SUCCEEDED(hr)) hr = encoder->Commit();
    if (!ok || FAILED(hr)) {
      *error = "cannot write PNG (" + HresultText(hr) + ")";
      return false;
    }
  } catch (const std::bad_alloc&) {
    *error = "out of memory";
    return false;
  }
  return true;
}

}  // namespace tessaro::cli
