#include "PreparedFixture.h"

#include <cmath>

#include "platform/classes/ClassRegistry.h"
#include "report/core/frxXML.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TPPage, TfrxPage, {
    KAROMIL_PROP(Width);
    KAROMIL_PROP(Height);
    p.Prop("LeftMargin", &Self::LeftMargin);
    p.Prop("RightMargin", &Self::RightMargin);
    p.Prop("TopMargin", &Self::TopMargin);
    p.Prop("BottomMargin", &Self::BottomMargin);
    p.Prop("MirrorMargins", &Self::MirrorMargins).Default(0);
    p.Prop("PaperSize", &Self::PaperSize).Default(9);
    p.Prop("Bin", &Self::Bin).Default(7);
    p.Prop("BinOtherPages", &Self::BinOtherPages).Default(7);
})

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TPBox, TfrxComponent, {
    KAROMIL_PROP(Left);
    KAROMIL_PROP(Top);
    KAROMIL_PROP(Width);
    KAROMIL_PROP(Height);
    KAROMIL_PROP(Visible).Default(1);
})

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TPText, TfrxReportComponent, {
    KAROMIL_PROP(Left);
    KAROMIL_PROP(Top);
    KAROMIL_PROP(Width);
    KAROMIL_PROP(Height);
    KAROMIL_PROP(Visible).Default(1);
    p.Prop("Caption", &Self::Caption);
    p.Prop("URL", &Self::URL);
    p.Prop("Cursor", &Self::Cursor).Default(0);
    p.Prop("Printable", &Self::Printable).Default(1);
    p.Prop("Color", &Self::Color);
})

std::string TPText::Diff(TfrxComponent* templ) {
    std::string s = TfrxComponent::Diff(templ);
    auto* t = dynamic_cast<TPText*>(templ);
    if (!t || t->Caption != Caption) s += " Caption=\"" + frxEscapeXML(Caption) + "\"";
    if (!t || t->URL != URL) s += " URL=\"" + frxEscapeXML(URL) + "\"";
    return s;
}

void TPText::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    const auto x = [](double v) { return int(std::nearbyint(v)); };
    canvas->Brush()->SetColor(TColor(Color));
    canvas->FillRect(Rect(x(offsetX + GetAbsLeft() * scaleX), x(offsetY + GetAbsTop() * scaleY),
        x(offsetX + (GetAbsLeft() + GetWidth()) * scaleX), x(offsetY + (GetAbsTop() + GetHeight()) * scaleY)));
}

void RegisterPreparedTestClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TPPage::StaticClass(), TPBox::StaticClass(), TPText::StaticClass()});
}
