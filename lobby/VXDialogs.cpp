#include "lobby/VXDialogs.h"

#include "core/Log.h"
#include "framework/VXApplication.h"
#include "framework/VXContext.h"
#include "framework/VXListBox.h"

namespace vx {

int32_t LobbyMessageBox(const TVXContext* context, const std::string& text, int32_t kind, int32_t buttons) {
  if (TVXMainWindow* main = MainWindowIn(context)) return main->MessageBox(text, kind, 0, buttons);
  Log("ERROR: No window to show the message \"" + text + "\"");
  return mrNone;
}

TVXComponent* DialogOwner(const TVXContext* context) {
  TVXMainWindow* main = MainWindowIn(context);
  if (main == nullptr) return nullptr;
  return main->MainScene();
}

TVXListBox* AddColumnList(TVXScene* scene, const std::string& name, const std::vector<TDialogColumn>& columns) {
  auto* list = scene->AddControl<TVXListBox>(name);
  for (size_t i = 0; i < columns.size(); ++i) {
    // The list comes with its first column; the others are added.
    TVXListColumn* column = i == 0 ? list->GetColumn(0) : list->AddColumn(columns[i].Caption);
    column->Caption = columns[i].Caption;
    if (columns[i].Width > 0) column->Width = columns[i].Width;
    column->AlignFlag = columns[i].Numeric ? 1 : 0;
  }
  list->SetShowHeader(true);
  // The bar's track in the felt of the scroll buttons that sit on it ($AABBGGRR).
  list->ScrollBar()->SetColor4(Color4(0xFF18260Bu));
  return list;
}

}  // namespace vx
