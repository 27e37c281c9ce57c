#pragma once
// Weak references to toolkit objects. Handlers run nested loops and may free the very scene
// that called them, so any reference that can outlive its target (active control, open
// control, input scene, a walk's snapshot) holds a liveness token instead of trusting a raw
// pointer. Single-threaded by design: the whole toolkit runs on the window's thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vx {

// The shared block behind a token: alive until its object begins destruction, freed when
// the object and the last weak reference are gone.
struct LifeBlock {
  uint32_t Refs = 1;
  bool Alive = true;
};

// Whoever calls handlers (mouse and key routing, the per-frame walk, an animation's step)
// holds a dispatch scope. What is freed while one is open is marked dead at once (weak
// references read none) and deleted when the outermost scope closes, so neither the
// handler nor the code that called it can touch freed memory.
class DispatchScope {
public:
  DispatchScope() { ++State().Depth; }
  ~DispatchScope();
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;

  static bool Open() { return State().Depth > 0; }
  // Runs `free` now when no scope is open, else when the outermost one closes.
  static void Defer(std::function<void()> free);

private:
  struct TState {
    int32_t Depth = 0;
    std::vector<std::function<void()>> Queue;
  };
  static TState& State() {
    static TState state;
    return state;
  }
};

// Base of every object that can be weakly referenced.
class Lifetime {
public:
  Lifetime() : life_(new LifeBlock) {}
  Lifetime(const Lifetime&) = delete;
  Lifetime& operator=(const Lifetime&) = delete;
  ~Lifetime() { EndLife(); }

  // False once destruction has begun.
  bool IsAlive() const { return life_ != nullptr && life_->Alive; }
  LifeBlock* LifeToken() const { return life_; }

protected:
  // Marks the object dead for every weak reference. Idempotent; the destructors of the
  // toolkit classes call it first so that no walk sees a half-destroyed object.
  void EndLife() {
    if (life_ == nullptr) return;
    life_->Alive = false;
    if (--life_->Refs == 0) delete life_;
    life_ = nullptr;
  }

private:
  template <class T>
  friend void FreeAfterDispatch(std::unique_ptr<T> object);
  LifeBlock* life_;
};

inline DispatchScope::~DispatchScope() {
  TState& s = State();
  if (--s.Depth > 0) return;
  // In the order freed; what a destructor frees now goes at once (no scope is open).
  while (!s.Queue.empty()) {
    std::vector<std::function<void()>> queue;
    queue.swap(s.Queue);
    for (auto& free : queue) free();
  }
}

inline void DispatchScope::Defer(std::function<void()> free) {
  if (Open()) {
    State().Queue.push_back(std::move(free));
  } else {
    free();
  }
}

// Deletes an object now, or marks it dead now and deletes it after the dispatch.
template <class T>
void FreeAfterDispatch(std::unique_ptr<T> object) {
  if (!object || !DispatchScope::Open()) return;
  static_cast<Lifetime*>(object.get())->EndLife();
  DispatchScope::Defer([p = object.release()] { delete p; });
}

// A pointer that reads as null once its target has begun destruction.
template <class T>
class WeakRef {
public:
  WeakRef() = default;
  WeakRef(T* p) { Assign(p); }  // NOLINT: implicit by intent, like a raw pointer
  WeakRef(const WeakRef& o) : ptr_(o.ptr_), life_(o.life_) {
    if (life_ != nullptr) ++life_->Refs;
  }
  WeakRef(WeakRef&& o) noexcept : ptr_(o.ptr_), life_(o.life_) {
    o.ptr_ = nullptr;
    o.life_ = nullptr;
  }
  WeakRef& operator=(const WeakRef& o) {
    if (this != &o) {
      WeakRef tmp(o);
      Swap(tmp);
    }
    return *this;
  }
  WeakRef& operator=(WeakRef&& o) noexcept {
    if (this != &o) {
      Release();
      Swap(o);
    }
    return *this;
  }
  WeakRef& operator=(T* p) {
    Release();
    Assign(p);
    return *this;
  }
  ~WeakRef() { Release(); }

  T* Get() const { return (life_ != nullptr && life_->Alive) ? ptr_ : nullptr; }
  T* operator->() const { return Get(); }
  explicit operator bool() const { return Get() != nullptr; }
  bool Is(const void* p) const { return Get() == p && p != nullptr; }
  void Reset() { Release(); }

private:
  void Assign(T* p) {
    if (p == nullptr) return;
    LifeBlock* b = static_cast<const Lifetime*>(p)->LifeToken();
    if (b == nullptr || !b->Alive) return;  // a dying object is never referenced
    ptr_ = p;
    life_ = b;
    ++life_->Refs;
  }
  void Release() {
    if (life_ != nullptr && --life_->Refs == 0) delete life_;
    life_ = nullptr;
    ptr_ = nullptr;
  }
  void Swap(WeakRef& o) noexcept {
    std::swap(ptr_, o.ptr_);
    std::swap(life_, o.life_);
  }

  T* ptr_ = nullptr;
  LifeBlock* life_ = nullptr;
};

}  // namespace vx
