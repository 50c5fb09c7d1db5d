// PNG reading and writing: every colour type and bit depth gives the same
// 8-bit pixels in both builds, and what is written reads back unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/png_chunks.h"
#include "cli/png_io.h"
#if !defined(_WIN32)
#include "cli/png_banded_writer.h"
#endif
#include "tests/cli/allocation_faults.h"
#include "tests/cli/png_fixtures.h"
#include "tests/cli/test_module_host.h"

namespace tessaro::testing {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PngIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tessaro_png_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// The files written by the build machine's libpng, with the pixels its
// reader gave (NAME.rgba): this build's reader must give the same, and the
// pixels the fixture was made of.
TEST_F(PngIoTest, EveryColourTypeAndDepthReadsAsTheNativeReaderAndTheSourceSay) {
  for (const PngFixture& f : AllPngFixtures()) {
    const std::string base = FixturesFolder() + f.name;
    cli::Picture p;
    std::string error;
    ASSERT_TRUE(cli::ReadPng(base + ".png", cli::PngLimits{}, &p, &error)) << f.name << ": " << error;
    EXPECT_EQ(p.width, kFixtureWidth) << f.name;
    EXPECT_EQ(p.height, kFixtureHeight) << f.name;
    EXPECT_EQ(p.rgba, ReadBytes(base + ".rgba")) << f.name << " differs from the native reader";
    EXPECT_EQ(p.rgba, ExpectedRgba(f)) << f.name << " differs from its source pixels";
  }
}

TEST_F(PngIoTest, WrittenPicturesReadBackUnchanged) {
  std::vector<uint8_t> rgba = PatternRgba(5, 3);
  rgba[3] = 0;  // a fully transparent pixel keeps its colour: alpha is straight
  std::string error;
  ASSERT_TRUE(cli::WritePng(Path("rgba.png"), rgba.data(), 5, 3, 4, &error)) << error;
  cli::Picture back;
  ASSERT_TRUE(cli::ReadPng(Path("rgba.png"), cli::PngLimits{}, &back, &error)) << error;
  EXPECT_EQ(back.width, 5u);
  EXPECT_EQ(back.height, 3u);
  EXPECT_EQ(back.rgba, rgba);

  std::vector<uint8_t> rgb;
  for (size_t i = 0; i < rgba.size(); ++i)
    if (i % 4 != 3) rgb.push_back(rgba[i]);
  ASSERT_TRUE(cli::WritePng(Path("rgb.png"), rgb.data(), 5, 3, 3, &error)) << error;
  ASSERT_TRUE(cli::ReadPng(Path("rgb.png"), cli::PngLimits{}, &back, &error)) << error;
  for (size_t i = 0; i < 15; ++i) {
    for (size_t c = 0; c < 3; ++c) ASSERT_EQ(back.rgba[i * 4 + c], rgb[i * 3 + c]) << i;
    ASSERT_EQ(back.rgba[i * 4 + 3], 255) << i;
  }

  // Every fixture, read and written again, reads back the same.
  for (const PngFixture& f : AllPngFixtures()) {
    cli::Picture first, second;
    ASSERT_TRUE(cli::ReadPng(FixturesFolder() + f.name + ".png", cli::PngLimits{}, &first, &error));
    ASSERT_TRUE(cli::WritePng(Path("again.png"), first.rgba.data(), first.width, first.height, 4,
                              &error))
        << error;
    ASSERT_TRUE(cli::ReadPng(Path("again.png"), cli::PngLimits{}, &second, &error)) << error;
    EXPECT_EQ(second.rgba, first.rgba) << f.name;
  }
}

TEST_F(PngIoTest, UnreadableFilesAreRefusedWithAReason) {
  cli::Picture p;
  std::string error;
  EXPECT_FALSE(cli::ReadPng(Path("missing.png"), cli::PngLimits{}, &p, &error));
  EXPECT_EQ(error.rfind("cannot open (", 0), 0u) << error;

  std::ofstream(Path("text.png"), std::ios::binary) << "just some text, long enough";
  EXPECT_FALSE(cli::ReadPng(Path("text.png"), cli::PngLimits{}, &p, &error));
  EXPECT_EQ(error, "not a PNG file");
  std::ofstream(Path("short.png"), std::ios::binary) << "\x89PN";
  EXPECT_FALSE(cli::ReadPng(Path("short.png"), cli::PngLimits{}, &p, &error));
  EXPECT_EQ(error, "not a PNG file");

  // A good file cut short after its header.
  const std::vector<uint8_t> whole = ReadBytes(FixturesFolder() + "rgb8.png");
  ASSERT_GT(whole.size(), 60u);
  {
    std::ofstream cut(Path("cut.png"), std::ios::binary);
    cut.write(reinterpret_cast<const char*>(whole.data()), 60);
  }
  EXPECT_FALSE(cli::ReadPng(Path("cut.png"), cli::PngLimits{}, &p, &error));
  EXPECT_EQ(error.rfind("not a readable PNG file", 0), 0u) << error;

  // Larger than the host can carry: refused from the header alone.
  EXPECT_FALSE(cli::ReadPng(FixturesFolder() + "rgb8.png", cli::PngLimits{12, 100}, &p, &error));
  EXPECT_EQ(error, "too large (13 x 7 pixels)");
  EXPECT_FALSE(cli::ReadPng(FixturesFolder() + "rgb8.png", cli::PngLimits{100, 6}, &p, &error));
  EXPECT_TRUE(cli::ReadPng(FixturesFolder() + "rgb8.png", cli::PngLimits{13, 7}, &p, &error));

  const std::vector<uint8_t> pixel = {1, 2, 3, 4};
  EXPECT_FALSE(cli::WritePng(Path("no/such/folder/x.png"), pixel.data(), 1, 1, 4, &error));
  EXPECT_FALSE(error.empty());
}

#if !defined(_WIN32)
// The writer's bands (one per thread, each compressed on its own) join into
// one stream whatever their number and the picture's shape.
TEST_F(PngIoTest, PicturesWrittenInBandsReadBackUnchanged) {
  struct Shape {
    uint32_t w, h;
    int channels;
  };
  uint32_t noise = 7;
  for (const Shape s : {Shape{1, 1, 4}, Shape{1, 300, 3}, Shape{700, 1, 4}, Shape{1000, 800, 4}, Shape{999, 700, 3}}) {
    std::vector<uint8_t> pixels(size_t(s.w) * s.h * size_t(s.channels));
    for (size_t i = 0; i < pixels.size(); ++i) {
      noise = noise * 1664525u + 1013904223u;
      const size_t x = (i / size_t(s.channels)) % s.w;
      pixels[i] = x < s.w / 3 ? 0 : x < s.w / 2 ? uint8_t(i / 7) : uint8_t(noise >> 24);  // runs, ramps, noise
    }
    for (unsigned threads : {1u, 2u, 3u}) {
      EXPECT_LE(cli::PngBandCount(uint64_t(s.w) * s.channels, s.h, threads), int(threads));
      std::string error;
      ASSERT_TRUE(cli::WriteBandedPng(Path("banded.png"), pixels.data(), s.w, s.h, s.channels, &error, threads))
          << error;
      cli::Picture p;
      ASSERT_TRUE(cli::ReadPng(Path("banded.png"), cli::PngLimits{}, &p, &error)) << error;
      ASSERT_EQ(p.width, s.w);
      ASSERT_EQ(p.height, s.h);
      for (size_t i = 0, n = size_t(s.w) * s.h; i < n; ++i) {
        for (int c = 0; c < 4; ++c) {
          const uint8_t expected = c < s.channels ? pixels[i * size_t(s.channels) + size_t(c)] : 255;
          ASSERT_EQ(p.rgba[i * 4 + size_t(c)], expected) << s.w << "x" << s.h << ", " << threads << " threads, pixel " << i;
        }
      }
    }
  }
  EXPECT_EQ(cli::PngBandCount(4000 * 4, 3000, 2), 2);  // the benchmark's picture: both cores
  const std::vector<uint8_t> pixel = {1, 2, 3, 4};
  std::string error;
  if (fs::exists("/dev/full")) {
    EXPECT_FALSE(cli::WriteBandedPng("/dev/full", pixel.data(), 1, 1, 4, &error));
    EXPECT_EQ(error, "cannot write (No space left on device)");
  }
  EXPECT_FALSE(cli::WriteBandedPng(Path("empty.png"), pixel.data(), 0, 1, 4, &error));
}
#endif

// Memory that runs out while a picture is read is a failure with a reason,
// never an exception: the pixels' buffer is the one large allocation that
// may fail, and it may fail wherever it happens.
TEST_F(PngIoTest, RunningOutOfMemoryWhileReadingIsAFailureWithAReason) {
  const uint32_t w = 128, h = 128;
  const std::vector<uint8_t> rgba = PatternRgba(int32_t(w), int32_t(h));
  std::string error;
  ASSERT_TRUE(cli::WritePng(Path("big.png"), rgba.data(), w, h, 4, &error)) << error;
  for (int skip = 0;; ++skip) {
    ASSERT_LT(skip, 10) << "the reader keeps allocating picture-sized buffers";
    cli::Picture p;
    bool ok = false, threw = false, triggered = false;
    error.clear();
    {
      FailOneAllocation fault(rgba.size() / 4, skip);
      try {
        ok = cli::ReadPng(Path("big.png"), cli::PngLimits{}, &p, &error);
      } catch (...) {
        threw = true;
      }
      triggered = fault.Triggered();
    }
    ASSERT_FALSE(threw) << "large allocation " << skip << " escaped as an exception";
    if (ok) {
      EXPECT_EQ(p.rgba, rgba) << skip;
    } else {
      EXPECT_EQ(error, "too large for the memory available") << skip;
    }
    if (!triggered) {
      EXPECT_TRUE(ok) << error;
      break;
    }
  }
}

void AppendChunk(std::vector<uint8_t>& file, const char* type, const std::vector<uint8_t>& data) {
  auto be32 = [&](uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) file.push_back(uint8_t(v >> shift));
  };
  be32(uint32_t(data.size()));
  const size_t start = file.size();
  file.insert(file.end(), type, type + 4);
  file.insert(file.end(), data.begin(), data.end());
  be32(cli::PngCrc(&file[start], file.size() - start));
}

// The one row of a 1 x 1 picture, compressed.
const std::vector<uint8_t> kOneRow = {0x78, 0x9C, 0x63, 0x60, 0x00, 0x02, 0x00, 0x00, 0x05, 0x00, 0x01};

// A well-formed file of a few dozen bytes whose header claims the size given.
std::vector<uint8_t> TinyPngClaiming(uint32_t width, uint32_t height,
                                     const std::vector<uint8_t>& imageData = kOneRow) {
  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  for (uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) header.push_back(uint8_t(v >> shift));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA
  AppendChunk(file, "IHDR", header);
  AppendChunk(file, "IDAT", imageData);
  AppendChunk(file, "IEND", {});
  return file;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// 40000 x 30000 pixels are 4.8 GB: a 32-bit program's size_t would wrap them
// to 505 MB and the reader would write past its buffer.
TEST(PngPictureBytes, CountsBeyondThirtyTwoBitsAndRefusesWhatABufferCannotHold) {
  constexpr size_t kThirtyTwoBitMax = 0x7FFFFFFF;  // a 32-bit program's largest buffer
  EXPECT_EQ(cli::PictureBytes(40000, 30000, kThirtyTwoBitMax), 0u);
  EXPECT_EQ(cli::PictureBytes(0xFFFFFFFFu, 0xFFFFFFFFu, size_t(-1)), 0u);
  EXPECT_EQ(cli::PictureBytes(1000, 500, kThirtyTwoBitMax), 2000000u);
  EXPECT_EQ(cli::PictureBytes(8192, 65535, kThirtyTwoBitMax), 2147450880u);  // just fits
  EXPECT_EQ(cli::PictureBytes(8192, 65536, kThirtyTwoBitMax), 0u);
  if (sizeof(size_t) == 8) {
    EXPECT_EQ(uint64_t(cli::PictureBytes(40000, 30000, size_t(-1))), 4800000000u);
  }
}

// A header may claim anything: the reader takes no memory for pixels that the
// file's data cannot fill, and both builds refuse the same damaged files.
TEST_F(PngIoTest, DamagedFilesAreRefusedBeforeAnyPixelMemoryIsTaken) {
  cli::Picture p;
  std::string error;
  cli::PngFailure failure = cli::PngFailure::None;
  for (uint32_t side : {20000u, 65535u}) {
    WriteBytes(Path("huge.png"), TinyPngClaiming(side, side));
    FailOneAllocation fault(1 << 20, 0);
    EXPECT_FALSE(cli::ReadPng(Path("huge.png"), cli::PngLimits{}, &p, &error, &failure));
    EXPECT_FALSE(fault.Triggered()) << side << ": memory was taken for pixels that are not there";
    const std::string size = std::to_string(side) + " x " + std::to_string(side);
    EXPECT_EQ(error, "not a readable PNG file (its image data cannot fill " + size + " pixels)");
    EXPECT_EQ(failure, cli::PngFailure::Damaged);
  }

  std::vector<uint8_t> bytes = ReadBytes(FixturesFolder() + "rgb8.png");
  const auto idat = std::search(bytes.begin(), bytes.end(), std::begin("IDAT"), std::end("IDAT") - 1);
  ASSERT_NE(idat, bytes.end());
  *(idat + 4) ^= 0x01;  // first byte of the compressed data: the checksum no longer fits
  WriteBytes(Path("crc.png"), bytes);
  EXPECT_FALSE(cli::ReadPng(Path("crc.png"), cli::PngLimits{}, &p, &error, &failure));
  EXPECT_EQ(error, "not a readable PNG file (checksum error in chunk IDAT)");

  bytes = TinyPngClaiming(1, 1);
  bytes.resize(bytes.size() - 12);  // no end chunk
  WriteBytes(Path("open.png"), bytes);
  EXPECT_FALSE(cli::ReadPng(Path("open.png"), cli::PngLimits{}, &p, &error, &failure));
  EXPECT_EQ(error, "not a readable PNG file (the file ends before its end chunk)");

  // Every chunk sound, the data no compressed stream: the decoder's reason,
  // in words.
  WriteBytes(Path("data.png"), TinyPngClaiming(1, 1, std::vector<uint8_t>(24, 0xFF)));
  EXPECT_FALSE(cli::ReadPng(Path("data.png"), cli::PngLimits{}, &p, &error, &failure));
  EXPECT_EQ(error.rfind("not a readable PNG file (", 0), 0u) << error;
  EXPECT_EQ(error.find("0x"), std::string::npos) << error;
  EXPECT_EQ(failure, cli::PngFailure::Damaged);

  EXPECT_FALSE(cli::ReadPng(dir_.string(), cli::PngLimits{}, &p, &error, &failure));
  EXPECT_EQ(error, "is a folder, not a PNG file");
  EXPECT_EQ(failure, cli::PngFailure::NotAFile);
}

// The eight-byte steps against the checksum computed bit by bit, for every
// length around the step and every starting offset.
TEST(PngChecksum, EqualsTheBitwiseChecksumAtEveryLengthAndOffset) {
  auto bitwise = [](const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
      c ^= p[i];
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return c ^ 0xFFFFFFFFu;
  };
  const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(cli::PngCrc(check, 9), 0xCBF43926u);
  std::vector<uint8_t> bytes(64);
  uint32_t seed = 99;
  for (auto& b : bytes) b = uint8_t((seed = seed * 1103515245u + 12345u) >> 24);
  for (size_t offset = 0; offset < 8; ++offset)
    for (size_t n = 0; offset + n <= bytes.size(); ++n)
      ASSERT_EQ(cli::PngCrc(&bytes[offset], n), bitwise(&bytes[offset], n)) << offset << " " << n;
}

TEST(PngReduction, SixteenBitSamplesRoundToNearest) {
  EXPECT_EQ(cli::Reduce16To8(0), 0);
  EXPECT_EQ(cli::Reduce16To8(65535), 255);
  EXPECT_EQ(cli::Reduce16To8(128), 0);    // 0.498 -> 0
  EXPECT_EQ(cli::Reduce16To8(129), 1);    // 0.502 -> 1
  EXPECT_EQ(cli::Reduce16To8(0x807F), 128);  // the exact ratio truncated would give 127
  for (uint32_t v = 0; v < 256; ++v) EXPECT_EQ(cli::Reduce16To8(v * 257), v);
}

#if !defined(_WIN32)
// Natively the fixtures can also be made here, independent of the build step.
TEST_F(PngIoTest, FixturesWrittenNowReadAsTheirSourcePixels) {
  for (const PngFixture& f : AllPngFixtures()) {
    std::string error;
    ASSERT_TRUE(WritePngFixture(f, Path("f.png"), &error)) << error;
    cli::Picture p;
    ASSERT_TRUE(cli::ReadPng(Path("f.png"), cli::PngLimits{}, &p, &error)) << f.name << error;
    EXPECT_EQ(p.rgba, ExpectedRgba(f)) << f.name;
  }
}
#endif

}  // namespace
}  // namespace tessaro::testing
