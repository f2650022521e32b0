#pragma once
// A report page, a band-like box and a text object small enough to build prepared pages from
// in code: the page publishes the paper and margin settings the prepared pages read, the text
// its link, cursor and printability and draws itself as a filled rectangle.

#include <string>

#include "platform/classes/TypInfo.h"
#include "platform/gui/Graphics.h"
#include "report/core/frxClass.h"
#include "report/core/frxPage.h"
#include "report/core/frxPreviewPages.h"

class TPPage : public TfrxPage {
    KAROMIL_CLASS(TPPage, TfrxPage)
public:
    explicit TPPage(TComponent* owner) : TfrxPage(owner) { SetBounds(0, 0, 794, 1123); }
    double LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    bool MirrorMargins = false;
    int32_t PaperSize = 9, Bin = 7, BinOtherPages = 7;
};

class TPBox : public TfrxComponent {
    KAROMIL_CLASS(TPBox, TfrxComponent)
public:
    explicit TPBox(TComponent* owner) : TfrxComponent(owner) {}
};

class TPText : public TfrxReportComponent {
    KAROMIL_CLASS(TPText, TfrxReportComponent)
public:
    explicit TPText(TComponent* owner) : TfrxReportComponent(owner) {}
    std::string Caption, URL;
    int32_t Cursor = 0;
    bool Printable = true;
    int32_t Color = int32_t(clRed);
    std::string Diff(TfrxComponent* templ) override;
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
};

void RegisterPreparedTestClasses();
inline TfrxReportPage* AsPage(TfrxComponent* c) { return frxAsReportPage(c); }
