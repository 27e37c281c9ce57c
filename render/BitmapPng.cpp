// PNG pictures: the PNG decoder reads the stream and hands its 32-bit pixels to the bitmap,
// with alpha for the colour types that carry it and opaque otherwise.
#include "render/BitmapEx.h"
#include "render/PngPicture.h"
#include "render/Streams.h"

namespace vx {

void ReadPngPicture(TBitmapEx& bitmap, TStream& stream) {
  TPngPicture picture;
  picture.LoadInto(stream, bitmap);
}

}  // namespace vx
