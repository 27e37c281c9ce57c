// The theme reader takes any text: the INI store parses it, every key is read in every form,
// and the sections style a scene of controls of each kind, which then runs a few frames.
// Nothing may crash, hang, overflow or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Log.h"
#include "framework/VXContext.h"
#include "framework/VXHost.h"
#include "framework/VXComboBox.h"
#include "framework/VXListBox.h"
#include "framework/VXProgressBar.h"
#include "framework/VXMenus.h"
#include "framework/VXScene.h"
#include "framework/VXStore.h"
#include "framework/VXWidgets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines logged by the previous input go now, so no input ends holding more memory than
  // it started with (which would make every run a leak check).
  vx::ClearLog();
  TVXStore store;
  store.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto sections = store.ReadSections();
  for (const auto& section : sections) {
    for (const auto& key : store.ReadSection(section)) {
      (void)store.ReadString(section, key, "");
      (void)store.ReadInteger(section, key, 0);
      (void)store.ReadBool(section, key, false);
      (void)store.ReadInt4(section, key, {1, 2, 3, 4});
    }
  }

  TVXHostBase host;  // no device: frames run without drawing
  TVXContext context;
  context.Host = &host;
  TVXScene scene(nullptr);
  scene.SetContext(&context);
  scene.SetSceneName("FUZZ");
  scene.SetVisible(true);
  TVXControl* controls[] = {new TVXImage(&scene),    new TVXLabel(&scene),    new TVXButton(&scene),
                            new TVXEdit(&scene),     new TVXCheckBox(&scene), new TVXListBox(&scene),
                            new TVXComboBox(&scene), new TVXMenu(&scene),     new TVXProgressBar(&scene),
                            new TVXScrollingImage(&scene)};
  size_t next = 0;
  for (TVXControl* c : controls) {
    // Each control takes a section of the text when there is one to take.
    c->SetName(next < sections.size() ? sections[next++] : std::string("UNNAMED"));
    scene.AddControl(c);
  }
  for (TVXControl* c : controls) {
    scene.ApplyThemeKeys(store, c);
    scene.ApplyEffects(store, c);
    c->ApplyEffect(0);
    c->ApplyEffect(1);
    c->SetVisible(false);
    c->SetVisible(true);
  }
  for (int frame = 0; frame < 8; ++frame) scene.Process();
  return 0;
}
