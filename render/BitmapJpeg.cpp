// JPEG pictures through libjpeg (the 6b interface). The library reports fatal errors by
// calling error_exit, which must not return: ours jumps back to the decoder, which then
// raises an exception with the library's message instead of ending the process.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "render/BitmapEx.h"
#include "render/Streams.h"

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings (corrupt but decodable data) are not worth a line each: the picture still loads.
extern "C" void JpegQuiet(j_common_ptr, int) {}

// A progressive picture may declare any number of scans; past this many it is an attack on
// decoding time, not a picture.
constexpr int kMaxScans = 400;

struct Progress {
  jpeg_progress_mgr pub;
};

extern "C" void JpegProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
      auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
      std::snprintf(err->message, sizeof err->message, "JPEG picture has too many scans");
      std::longjmp(err->jump, 1);
    }
  }
}

// Decodes into `pixels` (blue, green, red per pixel, top row first). Returns an empty string
// on success, else the library's message. Nothing with a destructor lives in this frame
// across the jump.
std::string Decode(const uint8_t* data, unsigned long size, std::vector<uint8_t>& pixels, int32_t& width,
                   int32_t& height) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  Progress progress;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegErrorExit;
  err.pub.emit_message = JpegQuiet;
  err.message[0] = 0;
  JSAMPROW rowPtr[1];
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return err.message[0] ? std::string(err.message) : std::string("JPEG error");
  }
  jpeg_create_decompress(&cinfo);
  progress.pub.progress_monitor = JpegProgress;
  cinfo.progress = &progress.pub;
  jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), size);
  jpeg_read_header(&cinfo, TRUE);
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  if (cinfo.image_width < 1 || cinfo.image_height < 1 || cinfo.image_width > TBitmapEx::MaxSide ||
      cinfo.image_height > TBitmapEx::MaxSide ||
      static_cast<int64_t>(cinfo.image_width) * cinfo.image_height > TBitmapEx::MaxPixels) {
    std::snprintf(err.message, sizeof err.message, "JPEG picture size %ux%u is out of range",
                  cinfo.image_width, cinfo.image_height);
    std::longjmp(err.jump, 1);
  }
  jpeg_start_decompress(&cinfo);
  width = static_cast<int32_t>(cinfo.output_width);
  height = static_cast<int32_t>(cinfo.output_height);
  const size_t comps = static_cast<size_t>(cinfo.output_components);
  // The vector is resized, not created, here: its storage is owned by the caller's frame.
  pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * comps);
  while (cinfo.output_scanline < cinfo.output_height) {
    rowPtr[0] = pixels.data() + static_cast<size_t>(cinfo.output_scanline) * width * comps;
    jpeg_read_scanlines(&cinfo, rowPtr, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (cmyk) {
    // Adobe writes CMYK inverted: each stored value is 255 - ink.
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint8_t> bgr(n * 3);
    for (size_t i = 0; i < n; ++i) {
      const uint32_t c = pixels[i * 4], m = pixels[i * 4 + 1], y = pixels[i * 4 + 2], k = pixels[i * 4 + 3];
      bgr[i * 3 + 0] = static_cast<uint8_t>(y * k / 255);
      bgr[i * 3 + 1] = static_cast<uint8_t>(m * k / 255);
      bgr[i * 3 + 2] = static_cast<uint8_t>(c * k / 255);
    }
    pixels.swap(bgr);
  }
  return std::string();
}

}  // namespace

namespace vx {

void ReadJpegPicture(TBitmapEx& bitmap, TStream& stream) {
  const int64_t size = stream.Remaining();
  if (size <= 0) throw EInvalidGraphic("JPEG picture is empty");
  if (size > (int64_t{256} << 20)) throw EInvalidGraphic("JPEG picture file too large");
  std::vector<uint8_t> data(static_cast<size_t>(size));
  stream.ReadBuffer(data.data(), size);
  std::vector<uint8_t> pixels;
  int32_t width = 0, height = 0;
  std::string error = Decode(data.data(), static_cast<unsigned long>(size), pixels, width, height);
  if (!error.empty()) throw EInvalidGraphic(error);
  bitmap.SetSize(0, 0);
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  const size_t line = static_cast<size_t>(width) * 3;
  for (int32_t y = 0; y < height; ++y) std::memcpy(bitmap.ScanLine(y), pixels.data() + y * line, line);
}

}  // namespace vx
