#pragma once
// Script bindings of windows: modal results, cursors, border styles, virtual-key codes, the
// control, form and application classes with their events, and the Application object.
// Registered once into the global unit, stamped with the binding object, after the basic
// classes' binding (ClassBindings.h): the controls descend from its TComponent, and scripts
// create and free them through its TComponent.Create and TObject.Free.
//
// Registered members beyond the published properties:
//   TControl             Parent, Hide, Show, SetBounds; OnClick, OnDblClick, OnMouseDown,
//                        OnMouseMove, OnMouseUp, OnResize (OnCanResize where the window
//                        layer publishes it)
//   TWinControl          SetFocus; OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp
//   TCustomComboBox      DroppedDown, ItemIndex; OnChange, OnDropDown, OnCloseUp
//   TCustomListBox       ItemIndex, SelCount (read), Selected[Index]
//   TCustomForm          Close, Hide, Show, ShowModal, Canvas (read), ModalResult; OnActivate,
//                        OnClose, OnCloseQuery, OnCreate, OnDestroy, OnDeactivate, OnHide,
//                        OnPaint, OnShow
//   TApplication         ProcessMessages
//   TLabel               registered under TWinControl; SetFocus leaves a label alone, and the
//                        other windowed members refuse it as an object of the wrong class.
//
// The Application variable reaches the window layer's application object when a script first
// reads it, so registering needs no Qt application.

#include <string>

#include "script/Interpreter.h"

class TfsFormsRTTI {
public:
    TfsFormsRTTI();
    ~TfsFormsRTTI();
    TfsFormsRTTI(const TfsFormsRTTI&) = delete;
    TfsFormsRTTI& operator=(const TfsFormsRTTI&) = delete;
};

// After fsStartClassesRTTI; stopped before fsStopClassesRTTI.
void fsStartFormsRTTI();
void fsStopFormsRTTI();
