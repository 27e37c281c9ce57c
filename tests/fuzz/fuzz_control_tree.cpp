// Drives the control toolkit with arbitrary sequences of tree edits, geometry, effects,
// transitions, input and frames, including handlers that free controls (or the whole scene)
// while a walk is running. The tree's links must stay consistent and nothing may crash, hang
// or touch freed memory.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/Log.h"
#include "framework/VXContext.h"
#include "framework/VXControl.h"
#include "framework/VXHost.h"
#include "render/GfxDevice.h"
#include "render/GfxImg.h"
#include "tests/support/NullDevice.h"

namespace {

// Accepts every drawing call and draws nothing.
using NullDevice = vxtest::NullDevice;

class Host : public TVXHostBase {
public:
  NullDevice Dev;
  TGfxDevice* Device() override { return &Dev; }
};

class Bytes {
public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool More() const { return pos_ < size_; }
  uint8_t U8() { return pos_ < size_ ? data_[pos_++] : 0; }
  int32_t I32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | U8();
    return static_cast<int32_t>(v);
  }
  // Mostly small values, sometimes anything.
  int32_t Value() {
    const uint8_t k = U8();
    if (k < 200) return static_cast<int32_t>(k) - 100;
    if (k < 250) return static_cast<int32_t>(U8()) * 8;
    return I32();
  }

private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

class Root : public TVXControl {
public:
  using TVXControl::TVXControl;
  bool IsEnabled() override { return Visible(); }
};

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  Host host;
  TVXContext context;
  context.Host = &host;
  Bytes in(data, size);
  auto* root = new Root(nullptr);
  root->SetContext(&context);
  root->SetBounds(0, 0, 800, 600);
  std::vector<vx::WeakRef<TVXControl>> all{root};
  vx::WeakRef<TVXControl> rootRef(root);

  const auto pick = [&]() -> TVXControl* {
    if (all.empty()) return nullptr;
    return all[in.U8() % all.size()].Get();
  };

  // A few hundred steps reach every state a longer run reaches, at many more runs a second.
  for (int op = 0; op < 400 && in.More() && rootRef; ++op) {
    const uint8_t last = in.U8();
    switch (last % 16) {
      case 0: {
        if (all.size() >= 96) break;
        TVXControl* owner = pick();
        auto* c = new TVXControl(owner != nullptr ? owner : root);
        // Re-owning can cut a control off the root; it keeps drawing on the host all the same.
        c->SetContext(&context);
        c->SetParent(pick());
        all.emplace_back(c);
        break;
      }
      case 1:
        if (TVXControl* c = pick()) c->SetParent(in.U8() % 5 == 0 ? nullptr : pick());
        break;
      case 2:
        if (TVXControl* c = pick(); c != nullptr && c != root) delete c;
        break;
      case 3:
        if (TVXControl* c = pick()) c->SetBounds(in.Value(), in.Value(), in.Value(), in.Value());
        break;
      case 4:
        if (TVXControl* c = pick()) {
          TVXEffects& e = c->Effects[in.U8() % 5];
          const uint8_t parts = in.U8();
          e.ColorEnabled = parts & 1;
          e.TextColorEnabled = parts & 2;
          e.AlphaEnabled = parts & 4;
          e.ScrollEnabled = parts & 8;
          e.GrowEnabled = parts & 16;
          e.ColorContinuous = parts & 32;
          e.AlphaContinuous = parts & 64;
          e.TextColorContinuous = parts & 128;
          e.Color = ::Color4(static_cast<uint32_t>(in.I32()));
          e.ColorChangeSpeed = in.Value();
          e.TextColor = static_cast<uint32_t>(in.I32());
          e.AlphaBlendValue = in.Value();
          e.ScrollOptions = static_cast<uint32_t>(in.U8());
          e.ScrollDistance = in.Value();
          e.ScrollSpeed = in.Value();
          e.GrowDistance = in.Value();
        }
        break;
      case 5:
        if (TVXControl* c = pick()) {
          const uint8_t k = in.U8();
          if (k & 1) {
            c->ApplyEffect(in.Value());
          } else {
            c->RemoveEffect(in.Value(), k & 2);
          }
        }
        break;
      case 6:
        if (TVXControl* c = pick()) {
          c->SetFadeIn(in.U8() & 1);
          c->SetFadeOut(in.U8() & 1);
          c->SetFadeSpeed(in.Value());
          c->SetFlyIn(in.U8() % 6);
          c->SetFlyOut(in.U8() % 6);
          c->SetFlySpeed(in.Value());
          c->NoRender = in.U8() % 4 == 0;
        }
        break;
      case 7:
        if (TVXControl* c = pick()) c->SetVisible(in.U8() & 1);
        break;
      case 8:
        if (TVXControl* c = pick()) {
          c->SetBlinking(in.U8() & 1);
          c->SetBlinkSpeed(in.Value());
          c->ShowFor(in.Value());
          c->SetAlpha4(TAlpha4{in.Value(), in.Value(), in.Value(), in.Value()});
        }
        break;
      case 9:
        if (TVXControl* c = pick()) {
          // Handlers that free something when they fire (freed after the event).
          vx::WeakRef<TVXControl> victim(pick());
          const uint8_t which = in.U8() % 4;
          auto kill = [victim](TVXComponent*) {
            if (TVXControl* v = victim.Get()) v->Free();
          };
          if (which == 0) c->OnClick = kill;
          if (which == 1) c->OnMouseEnter = kill;
          if (which == 2) c->OnMouseLeave = kill;
          if (which == 3) c->OnMouseDown = [kill](TVXComponent* s, int32_t, TShiftState, int32_t, int32_t) { kill(s); };
        }
        break;
      case 10:
      case 11: {
        const auto coord = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -100000, 100000)); };
        const int32_t x = coord(int64_t{in.Value()} * 4 + 400);
        const int32_t y = coord(int64_t{in.Value()} * 3 + 300);
        const uint8_t k = in.U8() % 3;
        if (k == 0) root->MouseMove(root, 0, x, y);
        if (k == 1) root->MouseDown(root, in.U8() % 3, 0, x, y);
        if (k == 2) root->MouseUp(root, in.U8() % 3, 0, x, y);
        break;
      }
      case 12:
      case 13:
        for (int frames = in.U8() % 3; frames >= 0 && rootRef; --frames) root->Process();
        break;
      case 14:
        if (TVXControl* c = pick()) {
          c->SetFocused(in.U8() & 1);
          uint16_t key = static_cast<uint16_t>(in.U8());
          SendKeyToActiveControl(root, key, 0);
        }
        break;
      case 15:
        if (TVXControl* c = pick()) {
          const uint8_t k = in.U8() % 3;
          if (k == 0) c->SetIndex(in.Value());
          if (k == 1) c->SetOwner(pick());
          if (k == 2) c->ClipToBounds = !c->ClipToBounds;
        }
        break;
    }
    // The tree stays consistent: a child is in its parent's list exactly once. Checked after
    // every edit of the tree and every input or frame (handlers edit it too).
    static constexpr bool kChecked[16] = {true, true, true, false, false, false, false, false,
                                          false, false, true, true, true, true, false, true};
    if (!kChecked[last % 16]) continue;
    for (auto& w : all) {
      TVXControl* c = w.Get();
      if (c == nullptr) continue;
      if (TVXCustomControl* p = c->Parent()) {
        int n = 0;
        for (int32_t i = 0; i < p->ChildCount(); ++i) n += p->GetChild(i) == c ? 1 : 0;
        Check(n == 1);
      }
      for (int32_t i = 0; i < c->ChildCount(); ++i) Check(c->GetChild(i)->Parent() == c);
    }
  }
  // Free what is left: every owner chain ends in an unowned control.
  for (;;) {
    TVXComponent* top = nullptr;
    for (auto& w : all) {
      if (w) {
        top = w.Get();
        break;
      }
    }
    if (top == nullptr) break;
    while (top->Owner() != nullptr) top = top->Owner();
    delete top;
  }
  return 0;
}
