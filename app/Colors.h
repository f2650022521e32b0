#pragma once
// The program's own colours by where they are used (TColor values, blue-green-red).

#include "platform/gui/Graphics.h"

inline constexpr TColor clAppWindow = 0x0084E77E;  // light green: main, settings and card windows
inline constexpr TColor clSubjectWindow = 0x0055DE4E;  // green: the window of one subject
inline constexpr TColor clSplashWindow = 0x00FFA482;  // light blue: the splash and about window
inline constexpr TColor clMessageFrame = 0x0096A9F3;  // salmon: the message box around its panel
inline constexpr TColor clMessagePanel = 0x0089EFFE;  // pale yellow: the message box's text panel
