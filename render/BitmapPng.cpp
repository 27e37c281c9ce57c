// PNG pictures are decoded by the library's own PNG decoder, which is not part of the
// program yet: until it is, a PNG load fails with a clear error and the caller goes on.
#include "render/BitmapEx.h"
#include "render/Streams.h"

namespace vx {

void ReadPngPicture(TBitmapEx&, TStream&) {
  throw EInvalidGraphic("PNG pictures cannot be decoded: the PNG decoder is not available");
}

}  // namespace vx
