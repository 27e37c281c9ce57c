// JPEG pictures of any content decode or raise; a decoded picture is within the limits and
// can be repacked into texture sheets.
#include "PictureFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return vxfuzz::DecodePicture(data, size, pkJpeg);
}
