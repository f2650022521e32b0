#pragma once
// The chooser of the text with which the editor fills empty subject rows: the list of subject
// names; "Vložit" confirms the current one.

#include "app/AppControls.h"
#include "platform/gui/DBCtrls.h"

class TFSelProskrt : public TForm {
    KAROMIL_CLASS(TFSelProskrt, TForm)
public:
    explicit TFSelProskrt(TComponent* owner);

    TLabel* Label1 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TBitBtn* BitBtn1 = nullptr;
};
