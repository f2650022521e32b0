#pragma once
// A panel that holds other controls inside a tool bar. It paints itself in the button face
// colour. A tool bar that docks can tell it which way to align (DockAlign); on any other
// parent it keeps the alignment it was given.

#include <functional>

#include "platform/gui/ExtCtrls.h"

class TfrxTBPanel : public TCustomPanel {
    KAROMIL_CLASS(TfrxTBPanel, TCustomPanel)
public:
    explicit TfrxTBPanel(TComponent* owner);
    // Asked when the panel is placed: the alignment its docking tool bar wants; unset (or
    // answering alNone) keeps the panel's own.
    static std::function<TAlign(TWinControl* parent)>& DockAlign();
    void SetParent(TWinControl* parent) override;

protected:
    void Paint() override;
};
