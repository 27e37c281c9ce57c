#include "games/VXReel.h"

#include "core/Log.h"
#include "framework/VXClasses.h"

// --- TVXReelItemInfo ---------------------------------------------------------------------

TVXReelItemInfo::TVXReelItemInfo(TVXComponent* owner) : TVXImage(owner) { TextureInfo.SetFolder("REELS"); }

void TVXReelItemInfo::Assign(const vx::slots::TSymbolDef& def) {
  Id = def.Id;
  ItemName = def.Name;
  Categories = def.Classes;
  ImageName = def.Texture;
  LinePay3 = def.LinePay3;
  LinePay1 = def.LinePay1;
  LinePay2 = def.LinePay2;
  CountPay.fill(0);
  CountPay[9] = def.CountPay9;
}

// --- TVXReel -----------------------------------------------------------------------------

TVXReel::TVXReel(TVXComponent* owner) : TVXImage(owner) {}

void TVXReel::SetSymbolHeight(int32_t height) {
  if (height < MinSymbolHeight) {
    Log("ERROR: " + Name() + " is too low for its symbols (" + std::to_string(height) + "); they are drawn " +
        std::to_string(MinSymbolHeight) + " high");
    height = MinSymbolHeight;
  }
  SymbolHeight = height;
}

void TVXReel::Reset() {
  Speed = 0;
  Index = 0;
  Moving = 0;
  Stopping = 0;
  RestOffset = (Height() - SymbolHeight) / 2;
  HalfHeight = Height() / 2;
  Offset = RestOffset;
}

void TVXReel::Start() {
  Reset();
  Speed = StartSpeed;
  Moving = 1;
  Stopping = 0;
}

void TVXReel::QuickStop() {
  if (Speed > QuickStopSpeed) Speed = QuickStopSpeed;
}

TVXReelItemInfo* TVXReel::EntryAt(int32_t index) const {
  if (Strip.empty()) return nullptr;
  const int32_t n = static_cast<int32_t>(Strip.size());
  return Strip[static_cast<size_t>(((index % n) + n) % n)];
}

TVXReelItemInfo* TVXReel::CurrentSymbol() const { return EntryAt(Index); }

void TVXReel::SetBlinking(bool on) {
  Blinking = on ? 1 : 0;
  BlinkCount = 0;
  SymbolVisible = on ? 0 : 1;
}

void TVXReel::Settle() {
  if (Still()) return;
  // The symbol that would be in the middle after the wrap of this offset.
  if (Offset > HalfHeight) --Index;
  if (!Strip.empty()) Index = ((Index % static_cast<int32_t>(Strip.size())) + static_cast<int32_t>(Strip.size())) %
                              static_cast<int32_t>(Strip.size());
  Offset = RestOffset;
  Speed = 0;
  Moving = 0;
  Stopping = 0;
}

void TVXReel::StepMotion() {
  if (Speed > 0) {
    if (Stopping == 0) --Speed;
    if (Moving != 0 && Speed < 1) Stopping = 1;
    if (Stopping != 0) {
      if (Offset == RestOffset) {
        Moving = 0;
        Stopping = 0;
        Speed = 0;
      } else if (Offset + 1 == RestOffset) {
        Speed = 1;
      } else if (Offset + 2 == RestOffset) {
        Speed = 2;
      } else if (Offset + 3 == RestOffset) {
        Speed = 3;
      } else {
        Speed = 4;
      }
    }
    Offset += Speed;
  }
  if (Offset > HalfHeight) {
    --Index;
    if (Index < 0) Index = Strip.empty() ? 0 : static_cast<int32_t>(Strip.size()) - 1;
    Offset -= SymbolHeight;
  }
}

void TVXReel::DrawSymbol(TVXReelItemInfo* symbol, int32_t k) {
  if (symbol == nullptr) return;
  symbol->SetTop(Top() + Offset + k * SymbolHeight);
  symbol->SetLeft(Left() + SymbolLeft);
  symbol->Process();
}

void TVXReel::Step() {
  SetAlpha(150);
  TVXImage::Step();
  StepMotion();
  if (Blinking != 0) {
    if (++BlinkCount >= BlinkPeriod) {
      BlinkCount = 0;
      SymbolVisible = SymbolVisible != 0 ? 0 : 1;
    }
  }
}

void TVXReel::Draw() {
  TVXImage::Draw();
  DrawSymbols();
}

void TVXReel::DrawSymbols() {
  // Symbols never draw outside their cell.
  vx::ScopedEnclosingClip clip(Host().Device(), ClipRect());
  DrawSymbol(EntryAt(Index - 1), -1);
  if (SymbolVisible != 0) DrawSymbol(EntryAt(Index), 0);
  DrawSymbol(EntryAt(Index + 1), 1);
}
