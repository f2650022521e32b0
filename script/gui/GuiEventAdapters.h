#pragma once
// The event adapters of the window layer's event shapes, for the bindings of controls and
// forms. Only code that links the window layer includes this header.

#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "script/EventAdapters.h"

using TfsMouseEvent = TfsMouseEventOf<TMouseButton, TShiftState>;  // TMouseEvent
using TfsMouseMoveEvent = TfsMouseMoveEventOf<TShiftState>;  // TMouseMoveEvent
using TfsKeyEvent = TfsKeyEventOf<WORD, TShiftState>;  // TKeyEvent
using TfsKeyPressEvent = TfsKeyPressEventOf<char32_t>;  // TKeyPressEvent
using TfsCloseEvent = TfsCloseEventOf<TCloseAction>;  // TCloseEvent
// TfsNotifyEvent, TfsCloseQueryEvent and TfsCanResizeEvent need no window types
// (EventAdapters.h).

static_assert(std::is_same_v<TMouseEvent, std::function<void(TObject*, TMouseButton, TShiftState, int, int)>>);
static_assert(std::is_same_v<TMouseMoveEvent, std::function<void(TObject*, TShiftState, int, int)>>);
static_assert(std::is_same_v<TKeyEvent, std::function<void(TObject*, WORD&, TShiftState)>>);
static_assert(std::is_same_v<TKeyPressEvent, std::function<void(TObject*, char32_t&)>>);
static_assert(std::is_same_v<TCloseEvent, std::function<void(TObject*, TCloseAction&)>>);
static_assert(std::is_same_v<TCloseQueryEvent, std::function<void(TObject*, bool&)>>);
