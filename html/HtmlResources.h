#pragma once
// The viewer's shared resources, made once however many viewers exist: the display depth and
// shared palette, the pictures shown while a picture loads and when one fails, a page
// picture and the five viewer cursors. The pictures and cursors are small drawings kept in
// the program itself. (Each viewer's picture loader keeps the picture cache.)
#include <memory>

#include "html/HtmlDocument.h"
#include "html/HtmlPictures.h"

enum class ThtmlCursor : int { Hand = 1, TextBeam = 2, UpDown = 3, UpOnly = 4, DownOnly = 5 };

struct ThtmlCursorImage {
  ThtmlPicture Picture;  // with its mask
  int HotX = 0, HotY = 0;
};

class ThtmlResources {
public:
  // Start-up on the first acquire (with the screen's bits per pixel × planes), shut-down on
  // the last release.
  static ThtmlResources& Acquire(int screenBits = 24);
  static void Release();
  static int References();

  int ColorBits = 24;
  std::shared_ptr<const ThtmlPicture> LoadingPicture;  // 1001
  std::shared_ptr<const ThtmlPicture> ErrorPicture;    // 1002
  std::shared_ptr<const ThtmlPicture> PagePicture;     // 1005
  // Cursors 1..5; any other number gives the hand.
  const ThtmlCursorImage& Cursor(ThtmlCursor which) const;

private:
  ThtmlResources() = default;
  ThtmlCursorImage cursors_[5];
};

// A picture from rows of characters, one per pixel, through a colour key ("." transparent).
std::shared_ptr<ThtmlPicture> PictureFromArt(const char* const* rows, int count, const char* keys, const uint32_t* colours);
