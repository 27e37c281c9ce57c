#pragma once
// What the lobby's dialogs share: the main window's message box, the owner of dialogs, and
// their lists with columns.
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

// One column of a dialog's list: its caption, its width (0 keeps the list's default) and
// whether its values are numbers, shown flush right.
struct TDialogColumn {
  std::string Caption;
  int32_t Width = 0;
  bool Numeric = false;
};

// A list box added like TVXScene::AddControl, with these columns and their header shown.
TVXListBox* AddColumnList(TVXScene* scene, const std::string& name, const std::vector<TDialogColumn>& columns);

}  // namespace vx
