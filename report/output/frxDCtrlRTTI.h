#pragma once
// Script bindings of the dialog controls: the seventeen classes in the global
// script scope, with ItemIndex of the list box and the combo box and the
// check-list box's Checked[i] and State[i], which are not published.

// Registers into the global unit (it must exist); Stop removes exactly those
// registrations.
void frxStartDialogControlsRTTI();
void frxStopDialogControlsRTTI();
