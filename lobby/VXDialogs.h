#pragma once
// What the lobby's dialogs share: the main window's message box, the owner of dialogs, and the
// builder step every dialog constructor repeats for its controls.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/VXScene.h"

class TVXListBox;

namespace vx {

// The context's main window's message box (kind mk*, buttons mb*; the result mr*). Without a
// main window the text is logged and the answer is mrNone.
int32_t LobbyMessageBox(const TVXContext* context, const std::string& text, int32_t kind, int32_t buttons);

// The context's root scene, which owns the dialogs (nullptr without a main window).
TVXComponent* DialogOwner(const TVXContext* context);

// Creates a control owned by the scene, sets its caption (when it has one), its name, and
// adds it to the scene, in that order; it goes on the scene's client unless `parent` is
// given.
template <class T>
T* AddDialogControl(TVXScene* scene, const std::string& name, const std::string& caption = {},
                    TVXCustomControl* parent = nullptr) {
  T* control = new T(scene);
  if (parent) control->SetParent(parent);
  if constexpr (requires { control->SetText(caption); }) {
    if (!caption.empty()) control->SetText(caption);
  } else if constexpr (requires { control->SetCaption(caption); }) {
    if (!caption.empty()) control->SetCaption(caption);
  }
  control->SetName(name);
  scene->AddControl(control);
  return control;
}

// One column of a dialog's list: its caption, its width (0 keeps the list's default) and
// whether its values are numbers, shown flush right.
struct TDialogColumn {
  std::string Caption;
  int32_t Width = 0;
  bool Numeric = false;
};

// A list box added like AddDialogControl, with these columns and their header shown.
TVXListBox* AddColumnList(TVXScene* scene, const std::string& name, const std::vector<TDialogColumn>& columns);

}  // namespace vx
