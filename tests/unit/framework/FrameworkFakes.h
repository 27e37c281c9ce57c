#pragma once
// Shared fakes of the framework tests: the kit's host with a context for the tests' roots, and a
// control that logs its hooks and events into one ordered list.
#include <memory>
#include <string>
#include <vector>

#include "framework/VXClasses.h"
#include "framework/VXControl.h"
#include "framework/VXHost.h"
#include "framework/VXTextures.h"
#include "render/BitmapEx.h"
#include "support/FakeContext.h"
#include "support/RecordingDevice.h"

#include <map>

namespace vxtest {

// The kit's host and a context naming it: a test gives the context to its roots, and
// everything made under them draws, sounds and hints on the host.
class ContextHost : public FakeHost {
public:
  explicit ContextHost(std::vector<std::string>* log = nullptr) : FakeHost(log) { Context.Host = this; }
  TVXContext Context;
  // Gives `root` the context.
  void Hold(TVXComponent& root) { root.SetContext(&Context); }
};

// Logs "<name>.<hook>" for every hook and "<name>.On<event>" for every event.
template <class Base>
class LoggingControl : public Base {
public:
  LoggingControl(TVXComponent* owner, const std::string& name, std::vector<std::string>* log)
      : Base(owner), log_(log) {
    this->SetName(name);
    this->OnMouseDown = [this](TVXComponent* s, int32_t b, TShiftState, int32_t x, int32_t y) {
      Add("OnMouseDown(" + Who(s) + "," + std::to_string(b) + "," + std::to_string(x) + "," +
          std::to_string(y) + ")");
    };
    this->OnMouseUp = [this](TVXComponent* s, int32_t b, TShiftState, int32_t x, int32_t y) {
      Add("OnMouseUp(" + Who(s) + "," + std::to_string(b) + "," + std::to_string(x) + "," +
          std::to_string(y) + ")");
    };
    this->OnClick = [this](TVXComponent*) { Add("OnClick"); };
    this->OnMouseEnter = [this](TVXComponent*) { Add("OnMouseEnter"); };
    this->OnMouseLeave = [this](TVXComponent*) { Add("OnMouseLeave"); };
    this->OnMouseMove = [this](TVXComponent* s, TShiftState, int32_t, int32_t) {
      Add("OnMouseMove(" + Who(s) + ")");
    };
    this->OnKeyDown = [this](TVXComponent*, uint16_t& key, TShiftState) {
      Add("OnKeyDown(" + std::to_string(key) + ")");
    };
  }
  bool LogHooks = true;
  void Animate() override { Hook("Animate"); Base::Animate(); }
  void Update() override { Hook("Update"); Base::Update(); }
  void AfterDraw() override { Hook("AfterDraw"); Base::AfterDraw(); }
  void MouseEnter() override { Hook("MouseEnter"); Base::MouseEnter(); }
  void MouseLeave() override { Hook("MouseLeave"); Base::MouseLeave(); }
  void MouseOver() override { Hook("MouseOver"); Base::MouseOver(); }
  void MouseDown() override { Hook("MouseDown"); Base::MouseDown(); }
  void MouseUp() override { Hook("MouseUp"); Base::MouseUp(); }
  void FocusIn() override { Hook("FocusIn"); Base::FocusIn(); }
  void FocusOut() override { Hook("FocusOut"); Base::FocusOut(); }
  using Base::MouseDown;
  using Base::MouseUp;

private:
  static std::string Who(TVXComponent* s) { return s ? s->Name() : "nil"; }
  void Hook(const std::string& what) {
    if (LogHooks) Add(what);
  }
  void Add(const std::string& what) {
    if (log_ != nullptr) log_->push_back(this->Name() + "." + what);
  }
  std::vector<std::string>* log_;
};

// Pictures by key, shaped like the engine shapes them (one pattern of the picture's size up to
// 256x256, 256x256 tiles of the padded picture beyond), without decoding anything.
class FakeTextureSource : public TVXTextureSource {
public:
  std::map<std::string, std::pair<int32_t, int32_t>> Pictures;
  std::vector<std::string> Requests;
  std::unique_ptr<TGfxImage> CreateTextureImage() override { return std::make_unique<MemoryImage>(); }
  int32_t LoadTexture(TVXGfxTexture* texture, const std::string& key) override {
    Requests.push_back(key);
    auto it = Pictures.find(key);
    if (it == Pictures.end() || texture->Image() == nullptr) return 1;
    Shape(texture, it->second.first, it->second.second);
    return 0;
  }
  int32_t LoadTextureFromBitmap(TVXGfxTexture* texture, const TBitmapEx& bitmap,
                                const std::string& key) override {
    Requests.push_back("bitmap:" + key);
    if (bitmap.Empty() || texture->Image() == nullptr) return 1;
    Shape(texture, bitmap.Width(), bitmap.Height());
    return 0;
  }
  static void Shape(TVXGfxTexture* texture, int32_t w, int32_t h) {
    const bool tiled = w > 256 || h > 256;
    texture->PictureWidth = tiled ? (w + 255) / 256 * 256 : w;
    texture->PictureHeight = tiled ? (h + 255) / 256 * 256 : h;
    texture->Image()->SetTextureSize(TGfxSize{256, 256});
    texture->Image()->SetPatternSize(tiled ? TGfxSize{256, 256} : TGfxSize{w, h});
    // As the engine makes them: a small picture alone on one tile.
    texture->Image()->SetTextureCount(tiled ? (w + 255) / 256 * ((h + 255) / 256) : 1);
    texture->Image()->SetFormat(COLOR_A8R8G8B8);
  }
};

// A root that ends the enabled chain, as the root scene does.
template <class Base>
class RootOf : public Base {
public:
  using Base::Base;
  bool IsEnabled() override { return this->Visible(); }
};

}  // namespace vxtest
