#include "ModelFixture.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/Exceptions.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TTestSub, TPersistent, {
    p.Prop("Level", &Self::Level).Default(0);
    p.Prop("Caption", &Self::Caption);
    KAROMIL_PROP(Font);
})

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TTestView, TfrxReportComponent, {
    KAROMIL_PROP(Left);
    KAROMIL_PROP(Top);
    KAROMIL_PROP(Width);
    KAROMIL_PROP(Height);
    KAROMIL_PROP(Font).Stored(&Self::IsFontStored);
    KAROMIL_PROP(ParentFont).Default(1);
    KAROMIL_PROP(Visible).Default(1);
    KAROMIL_PROP(Restrictions).Default(0);
    KAROMIL_PROP(GroupIndex).Default(0);
    p.Prop("Kind", &Self::Kind).Default(kiOne);
    KAROMIL_PROP(Caption);
    p.Prop("Value", &Self::Value);
    p.Prop("Date", &Self::Date, TypeInfoDateTime());
    p.Prop("Ch", &Self::Ch).Default('A');
    KAROMIL_PROP(Memo);
    KAROMIL_PROP(Sub);
    KAROMIL_PROP(Link);
    KAROMIL_PROP(AnyLink);
    p.Prop("OnBeforePrint", &Self::OnBeforePrint, TypeInfoFrxNotifyEvent());
})

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TTestBox, TfrxComponent, {
    KAROMIL_PROP(Left);
    KAROMIL_PROP(Top);
    KAROMIL_PROP(Width);
    KAROMIL_PROP(Height);
})

std::string TTestView::GetCaption() const {
    if (FailWriting) throw EWriteError("Disk full");
    return Caption;
}

void RegisterTestClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TTestView::StaticClass(), TTestBox::StaticClass()});
}
