// PNG files through the platform's imaging component: no PNG library exists
// for this build, and the component is on every Windows (and in Wine).
#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "cli/platform.h"
#include "i18n/utf16.h"
#include "cli/png_chunks.h"
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

// The component's errors are not in the system's message table: the ones a
// damaged or unusual file gives have their words here.
std::string HresultText(HRESULT hr) {
  struct Known {
    HRESULT code;
    const char* text;
  };
  static const Known kKnown[] = {
      {WINCODEC_ERR_UNKNOWNIMAGEFORMAT, "unknown picture format"},
      {WINCODEC_ERR_COMPONENTNOTFOUND, "no decoder for this picture"},
      {WINCODEC_ERR_BADHEADER, "damaged header"},
      {WINCODEC_ERR_BADIMAGE, "damaged picture data"},
      {WINCODEC_ERR_BADSTREAMDATA, "damaged picture data"},
      {WINCODEC_ERR_STREAMREAD, "the file could not be read"},
      {WINCODEC_ERR_STREAMWRITE, "the file could not be written"},
      {WINCODEC_ERR_FRAMEMISSING, "the file holds no picture"},
      {WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT, "unsupported pixel format"},
      {WINCODEC_ERR_UNSUPPORTEDOPERATION, "unsupported operation"},
      {WINCODEC_ERR_VALUEOUTOFRANGE, "a value out of range"},
      {WINCODEC_ERR_WRONGSTATE, "the decoder was used out of order"},
      {WINCODEC_ERR_INSUFFICIENTBUFFER, "a buffer too small"},
      {E_OUTOFMEMORY, "out of memory"},
      {E_INVALIDARG, "an invalid argument"},
  };
  for (const Known& k : kKnown)
    if (k.code == hr) return k.text;
  // Errors of the file system come wrapped; the system knows their words.
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return SystemErrorText(DWORD(HRESULT_CODE(hr)));
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "error 0x%08lX", static_cast<unsigned long>(hr));
  return buffer;
}

bool MakeFactory(ComPtr<IWICImagingFactory>& factory, std::string* error) {
  const HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) *error = "the imaging component is not available (" + HresultText(hr) + ")";
  return SUCCEEDED(hr);
}

std::string OpenError(DWORD code) { return "cannot open (" + SystemErrorText(code) + ")"; }

// The same checks as the other build, before the component sees the file:
// both refuse the same files with the same words, damaged checksums
// included, and no picture is larger than its data can fill.
bool CheckFile(const std::wstring& path, const PngLimits& limits, std::string* error,
               PngFailure* failure) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return RefusePng(PngFailure::NotAFile, "is a folder, not a PNG file", error, failure);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return RefusePng(PngFailure::CannotOpen, OpenError(GetLastError()), error, failure);
  struct Closer {
    HANDLE h;
    ~Closer() { CloseHandle(h); }
  } closer{file};
  if (GetFileType(file) != FILE_TYPE_DISK)
    return RefusePng(PngFailure::NotAFile, "is not a regular file", error, failure);
  const ByteSource source = [file](uint8_t* buffer, size_t size) -> size_t {
    DWORD n = 0;
    const DWORD want = DWORD(size < (1u << 30) ? size : (1u << 30));
    return ReadFile(file, buffer, want, &n, nullptr) ? size_t(n) : 0;
  };
  return CheckPngStream(source, limits, error, failure);
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
             std::string* error, PngFailure* failure) {
  if (failure) *failure = PngFailure::None;
  const std::wstring wide = Utf8ToWide(path);
  if (!CheckFile(wide, limits, error, failure)) return false;
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
  if (FAILED(hr))
    return RefusePng(PngFailure::Damaged, "not a readable PNG file (" + HresultText(hr) + ")", error,
                  failure);

  try {
    picture->width = width;
    picture->height = height;
    const size_t pixelBytes = PictureBytes(width, height, picture->rgba.max_size());
    if (pixelBytes == 0) throw std::bad_alloc();
    picture->rgba.assign(pixelBytes, 0);
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
      if (!ok)
        return RefusePng(PngFailure::Damaged, "not a readable PNG file (" + HresultText(hr) + ")",
                      error, failure);
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
    if (!ok)
      return RefusePng(PngFailure::Damaged, "not a readable PNG file (" + HresultText(hr) + ")", error,
                    failure);
    for (size_t i = 0; i < picture->rgba.size(); i += 4) std::swap(picture->rgba[i], picture->rgba[i + 2]);
    return true;
  } catch (const std::bad_alloc&) {
    return RefusePng(PngFailure::OutOfMemory, "too large for the memory available", error, failure);
  }
}

bool WritePng(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
              int channels, std::string* error) {
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (!MakeFactory(factory, error)) return false;

  ComPtr<IWICStream> stream;
  HRESULT hr = factory->CreateStream(&stream);
  if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(Utf8ToWide(path).c_str(), GENERIC_WRITE);
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
