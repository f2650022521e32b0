#pragma once
// The script bindings of the window layer: graphics (GraphicsBindings.h), windows and
// controls (FormBindings.h), dialogs (DialogBindings.h). The engine's core knows nothing of
// them; whoever links the window layer (the application, the report library) enrols them once,
// and the engine then starts and stops them with itself.

// Enrols the three units with the engine (script::AddBindingUnit), in the order graphics,
// forms, dialogs; starts them at once when the engine is running. Repeating it does nothing.
void fsUseWindowBindings();
