#include "html/HtmlResources.h"

#include <cstring>
#include <iterator>

namespace {

// Colour keys of the drawings: black, white, grey, red, yellow, blue.
constexpr char kKeys[] = "kwgryb";
constexpr uint32_t kColours[] = {0xFF000000u, 0xFFFFFFFFu, 0xFF808080u, 0xFFE00000u, 0xFFF0E060u, 0xFF2040C0u};

const char* const kLoading[] = {
    "gggggggggggggggg", "gwwwwwwwwwwwwwwk", "gwkkkkkkkkkkkkwk", "gwwkyyyyyyyykwwk", "gwwwkyyyyyykwwwk",
    "gwwwwkyyyykwwwwk", "gwwwwwkyykwwwwwk", "gwwwwwwkkwwwwwwk", "gwwwwwwkkwwwwwwk", "gwwwwwkwwkwwwwwk",
    "gwwwwkwwwwkwwwwk", "gwwwkwwyywwkwwwk", "gwwkwyyyyyywkwwk", "gwkkkkkkkkkkkkwk", "gwwwwwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk"};
const char* const kError[] = {
    "gggggggggggggggg", "gwwwwwwwwwwwwwwk", "gwrrwwwwwwwwrrwk", "gwrrrwwwwwwrrrwk", "gwwrrrwwwwrrrwwk",
    "gwwwrrrwwrrrwwwk", "gwwwwrrrrrrwwwwk", "gwwwwwrrrrwwwwwk", "gwwwwwrrrrwwwwwk", "gwwwwrrrrrrwwwwk",
    "gwwwrrrwwrrrwwwk", "gwwrrrwwwwrrrwwk", "gwrrrwwwwwwrrrwk", "gwrrwwwwwwwwrrwk", "gwwwwwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk"};
const char* const kPage[] = {
    "..kkkkkkkkk.....", "..kwwwwwwwkk....", "..kwwwwwwwkwk...", "..kwbbbbbwkkkk..", "..kwwwwwwwwwwk..",
    "..kwbbbbbbbbwk..", "..kwwwwwwwwwwk..", "..kwbbbbbbbbwk..", "..kwwwwwwwwwwk..", "..kwbbbbbbwwwk..",
    "..kwwwwwwwwwwk..", "..kwbbbbbbbbwk..", "..kwwwwwwwwwwk..", "..kkkkkkkkkkkk..", "................",
    "................"};

const char* const kHand[] = {
    ".....kk.........", "....kwwk........", "....kwwk........", "....kwwk........", "....kwwkkk......",
    "....kwwkwwkkk...", ".kk.kwwkwwkwwkk.", "kwwkkwwwwwwwwwwk", "kwwwkwwwwwwwwwwk", ".kwwwwwwwwwwwwwk",
    "..kwwwwwwwwwwwwk", "..kwwwwwwwwwwwk.", "...kwwwwwwwwwwk.", "....kwwwwwwwwk..", ".....kwwwwwwwk..",
    ".....kkkkkkkkk.."};
const char* const kBeam[] = {
    "...kkk.kkk......", "......k.........", "......k.........", "......k.........", "......k.........",
    "......k.........", "......k.........", "......k.........", "......k.........", "......k.........",
    "......k.........", "......k.........", "......k.........", "......k.........", "......k.........",
    "...kkk.kkk......"};
const char* const kUpDown[] = {
    ".......k........", "......kwk.......", ".....kwwwk......", "....kwwwwwk.....", "...kkkkwkkkk....",
    "......kwk.......", "....kkkkkkk.....", "....kwwwwwk.....", "....kkkkkkk.....", "......kwk.......",
    "...kkkkwkkkk....", "....kwwwwwk.....", ".....kwwwk......", "......kwk.......", ".......k........",
    "................"};
const char* const kUpOnly[] = {
    ".......k........", "......kwk.......", ".....kwwwk......", "....kwwwwwk.....", "...kkkkwkkkk....",
    "......kwk.......", "....kkkkkkk.....", "....kwwwwwk.....", "....kkkkkkk.....", "................",
    "................", "................", "................", "................", "................",
    "................"};
const char* const kDownOnly[] = {
    "................", "................", "................", "................", "................",
    "................", "....kkkkkkk.....", "....kwwwwwk.....", "....kkkkkkk.....", "......kwk.......",
    "...kkkkwkkkk....", "....kwwwwwk.....", ".....kwwwk......", "......kwk.......", ".......k........",
    "................"};

ThtmlResources* g_resources = nullptr;
int g_references = 0;

}  // namespace

std::shared_ptr<ThtmlPicture> PictureFromArt(const char* const* rows, int count, const char* keys, const uint32_t* colours) {
  auto p = std::make_shared<ThtmlPicture>();
  p->Width = count > 0 ? static_cast<int>(std::strlen(rows[0])) : 0;
  p->Height = count;
  auto mask = std::make_unique<vx::PixelMask>();
  mask->Width = p->Width, mask->Height = p->Height;
  bool any = false;
  for (int y = 0; y < count; ++y)
    for (int x = 0; x < p->Width; ++x) {
      const char* k = rows[y][x] ? std::strchr(keys, rows[y][x]) : nullptr;
      p->Pixels.push_back(k ? colours[k - keys] : 0xFF000000u);
      mask->Bits.push_back(k ? 0 : 1);
      any |= !k;
    }
  if (any) p->Mask = std::move(mask);
  return p;
}

ThtmlResources& ThtmlResources::Acquire(int screenBits) {
  if (g_references++ == 0) {
    g_resources = new ThtmlResources();
    SetHtmlDisplayBits(screenBits);
    g_resources->ColorBits = HtmlDisplayBits();
    g_resources->LoadingPicture = PictureFromArt(kLoading, 16, kKeys, kColours);
    g_resources->ErrorPicture = PictureFromArt(kError, 16, kKeys, kColours);
    g_resources->PagePicture = PictureFromArt(kPage, 16, kKeys, kColours);
    const char* const* arts[] = {kHand, kBeam, kUpDown, kUpOnly, kDownOnly};
    const int hot[][2] = {{5, 0}, {6, 8}, {7, 7}, {7, 0}, {7, 14}};
    for (int i = 0; i < 5; ++i) {
      auto p = PictureFromArt(arts[i], 16, kKeys, kColours);
      ThtmlCursorImage& c = g_resources->cursors_[i];
      c.Picture.Width = p->Width, c.Picture.Height = p->Height;
      c.Picture.Pixels = std::move(p->Pixels);
      c.Picture.Mask = std::move(p->Mask);
      c.HotX = hot[i][0], c.HotY = hot[i][1];
    }
  }
  return *g_resources;
}

void ThtmlResources::Release() {
  if (g_references == 0) return;
  if (--g_references == 0) {
    delete g_resources;
    g_resources = nullptr;
  }
}

int ThtmlResources::References() { return g_references; }

const ThtmlCursorImage& ThtmlResources::Cursor(ThtmlCursor which) const {
  const int n = static_cast<int>(which);
  return cursors_[n >= 1 && n <= 5 ? n - 1 : 0];
}
