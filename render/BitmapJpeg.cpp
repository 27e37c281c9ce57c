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

// Decodes into `out`, straight into its 32-bit rows (libjpeg converts to blue, green, red and
// an opaque fourth byte itself). Returns an empty string on success, else the library's
// message. Nothing with a destructor lives in this frame across the jump: `out` and `rows`
// belong to the caller.
std::string Decode(const uint8_t* data, unsigned long size, TBitmapEx& out, std::vector<JSAMPROW>& rows) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  Progress progress;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegErrorExit;
  err.pub.emit_message = JpegQuiet;
  err.message[0] = 0;
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
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  if (cinfo.image_width < 1 || cinfo.image_height < 1 || cinfo.image_width > TBitmapEx::MaxSide ||
      cinfo.image_height > TBitmapEx::MaxSide ||
      static_cast<int64_t>(cinfo.image_width) * cinfo.image_height > TBitmapEx::MaxPixels) {
    std::snprintf(err.message, sizeof err.message, "JPEG picture size %ux%u is out of range",
                  cinfo.image_width, cinfo.image_height);
    std::longjmp(err.jump, 1);
  }
  jpeg_start_decompress(&cinfo);
  const int32_t width = static_cast<int32_t>(cinfo.output_width);
  const int32_t height = static_cast<int32_t>(cinfo.output_height);
  // Both output spaces have four bytes a pixel: the picture's own rows are the output.
  out.AllocatePixels(width, height);
  rows.resize(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) rows[static_cast<size_t>(y)] = out.ScanLine(y);
  while (cinfo.output_scanline < cinfo.output_height) {
    jpeg_read_scanlines(&cinfo, rows.data() + cinfo.output_scanline, cinfo.output_height - cinfo.output_scanline);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (cmyk) {
    // Adobe writes CMYK inverted: each stored value is 255 - ink.
    uint8_t* p = out.ScanLine(0);
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < n; ++i, p += 4) {
      const uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
      p[0] = static_cast<uint8_t>(y * k / 255);
      p[1] = static_cast<uint8_t>(m * k / 255);
      p[2] = static_cast<uint8_t>(c * k / 255);
      p[3] = 255;
    }
  }
  return std::string();
}

}  // namespace

namespace vx {

void ReadJpegPicture(TBitmapEx& bitmap, TStream& stream) {
  const int64_t size = stream.Remaining();
  if (size <= 0) throw EInvalidGraphic("JPEG picture is empty");
  if (size > (int64_t{256} << 20)) throw EInvalidGraphic("JPEG picture file too large");
  std::vector<uint8_t> copy;
  const uint8_t* data = stream.ReadInPlace(size);
  if (!data) {
    copy.resize(static_cast<size_t>(size));
    stream.ReadBuffer(copy.data(), size);
    data = copy.data();
  }
  TBitmapEx out;
  std::vector<JSAMPROW> rows;
  std::string error = Decode(data, static_cast<unsigned long>(size), out, rows);
  if (!error.empty()) throw EInvalidGraphic(error);
  bitmap.TakePixels(out);
}

}  // namespace vx
