#pragma once
// Shut-down hooks for process-wide objects.
//
// Objects that live for the whole process (caches, registries, class lists) and hold resources
// of a library that ends before static destruction (Qt's fonts and pixmaps die with the Qt
// application object) register a hook that frees them. RunShutdownHooks runs every hook once,
// last registered first, and forgets it; the window layer runs them just before it deletes the
// Qt application. A hook must not throw.

#include <functional>

void AddShutdownHook(std::function<void()> hook);
void RunShutdownHooks() noexcept;
