#include "PreparedFixture.h"

#include <cmath>

#include "platform/classes/ClassRegistry.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TPBox, TfrxComponent, {
    KAROMIL_PROP(Left);
    KAROMIL_PROP(Top);
    KAROMIL_PROP(Width);
    KAROMIL_PROP(Height);
    KAROMIL_PROP(Visible).Default(1);
})

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TPText, TfrxView, {
    p.Prop("Caption", &Self::Caption);
    p.Prop("Color", &Self::Color);
})

void TPText::Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) {
    const auto x = [](double v) { return int(std::nearbyint(v)); };
    canvas->Brush()->SetColor(Color);
    canvas->FillRect(Rect(x(offsetX + GetAbsLeft() * scaleX), x(offsetY + GetAbsTop() * scaleY),
        x(offsetX + (GetAbsLeft() + GetWidth()) * scaleX), x(offsetY + (GetAbsTop() + GetHeight()) * scaleY)));
}

void RegisterPreparedTestClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TPBox::StaticClass(), TPText::StaticClass()});
}
