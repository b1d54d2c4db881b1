#include "recorder/editor_runner.h"

namespace {

EditorRunner registeredRunner = nullptr;

}  // namespace

void SetEditorRunner(EditorRunner runner) { registeredRunner = runner; }

EditorRunner GetEditorRunner() { return registeredRunner; }
