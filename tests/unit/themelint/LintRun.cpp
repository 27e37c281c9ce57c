#include <exception>

#include "LintWorld.h"
#include "SceneRegistry.h"
#include "core/Log.h"
#include "framework/VXResources.h"
#include "framework/VXScene.h"

namespace themelint {

LintRun LintScenes(LintWorld& world, const std::vector<SceneEntry>& entries, const std::vector<Exemption>& exemptions,
                   const std::vector<std::string>& themeKeys) {
  LintRun run;
  Linter linter(world.Resources(), FontNames(world.Resources()), exemptions);
  for (const SceneEntry& entry : entries) {
    std::vector<std::string> errors;
    const int listener = vx::AddLogListener([&errors](const std::string& line) {
      if (line.rfind("ERROR: ", 0) == 0) errors.push_back(line);
    });
    LintContext ctx(world);
    TVXScene* scene = nullptr;
    std::string failure;
    try {
      scene = entry.Make(ctx);
    } catch (const std::exception& e) {
      failure = e.what();
    }
    vx::RemoveLogListener(listener);
    if (scene == nullptr) {
      run.Findings.push_back({entry.Label, "", "", "", "cannot be built: " + (failure.empty() ? "no scene" : failure)});
      continue;
    }
    const std::string theme = scene->SceneName().empty() ? std::string() : scene->SceneName() + "\\theme.scn";
    if (!entry.AwaitsArt.empty() && !world.Resources().FileExists(entry.AwaitsArt)) {
      run.Waiting.push_back(entry.Label + " (" + entry.AwaitsArt + ")");
      continue;
    }
    for (const std::string& e : errors) run.Findings.push_back({entry.Label, "", "", theme, "logged \"" + e + "\""});
    linter.LintScene(entry.Label, *scene);
  }
  linter.Finish(themeKeys);
  run.Findings.insert(run.Findings.end(), linter.Findings().begin(), linter.Findings().end());
  run.ScenesLinted = linter.ScenesLinted();
  run.ControlsLinted = linter.ControlsLinted();
  return run;
}

}  // namespace themelint
