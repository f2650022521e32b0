#pragma once
// A band-like box and a text object small enough to build prepared pages from in code: the
// text is a view that draws itself as a filled rectangle of its colour.

#include <string>

#include "platform/classes/TypInfo.h"
#include "platform/gui/Graphics.h"
#include "report/core/frxClass.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxView.h"

class TPBox : public TfrxComponent {
    KAROMIL_CLASS(TPBox, TfrxComponent)
public:
    explicit TPBox(TComponent* owner) : TfrxComponent(owner) {}
};

class TPText : public TfrxView {
    KAROMIL_CLASS(TPText, TfrxView)
public:
    explicit TPText(TComponent* owner) : TfrxView(owner) { Color = clRed; }
    std::string Caption;
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
};

void RegisterPreparedTestClasses();
inline TfrxReportPage* AsPage(TfrxComponent* c) { return frxAsReportPage(c); }
