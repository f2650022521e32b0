#pragma once
// Report object classes for the model tests: a printable object that publishes one property
// of every kind the stored format knows, and a container standing in for a band.

#include <memory>
#include <string>

#include "platform/classes/Filer.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Variant.h"
#include "report/core/frxClass.h"

enum TTestKind { kiOne, kiTwo, kiThree };
KAROMIL_ENUM_TYPE(TTestKind, "kiOne", "kiTwo", "kiThree")

// A nested persistent value with a font of its own (Sub.Font.Name).
class TTestSub : public TPersistent {
    KAROMIL_CLASS(TTestSub, TPersistent)
public:
    TTestSub() { Font->SetName("Arial"); }
    int32_t Level = 0;
    std::string Caption;
    std::unique_ptr<TFont> FontHolder = std::make_unique<TFont>();
    TFont* Font = FontHolder.get();
    TFont* GetFont() const { return Font; }
    void SetFont(TFont* f) { Font->Assign(f); }
};

class TTestView : public TfrxReportComponent {
    KAROMIL_CLASS(TTestView, TfrxReportComponent)
public:
    explicit TTestView(TComponent* owner) : TfrxReportComponent(owner) {}
    void Draw(TCanvas*, double, double, double, double) override {}

    TTestKind Kind = kiOne;
    std::string Caption;
    Variant Value = Variant::Null();
    TDateTime Date = 0;
    char Ch = 'A';
    TStrings* GetMemo() const { return FMemo.get(); }
    void SetMemo(TStrings* s) { FMemo->Assign(s); }
    TTestSub* GetSub() const { return FSub.get(); }
    void SetSub(TTestSub*) {}
    TTestView* GetLink() const { return FLink; }
    void SetLink(TTestView* v) { FLink = v; }
    TfrxComponent* GetAnyLink() const { return FAnyLink; }
    void SetAnyLink(TfrxComponent* v) { FAnyLink = v; }
    int32_t Extra = 0;  // stored as property data
    bool FailWriting = false;  // Caption's getter raises: a save that fails half-way
    std::string GetCaption() const;
    void SetCaption(const std::string& s) { Caption = s; }

protected:
    void DefineProperties(TFiler* filer) override {
        TfrxReportComponent::DefineProperties(filer);
        filer->DefineProperty(
            "Extra", [this](TReader* r) { Extra = r->ReadInteger(); }, [this](TWriter* w) { w->WriteInteger(Extra); },
            Extra != 0);
    }

private:
    std::unique_ptr<TStrings> FMemo = std::make_unique<TStringList>();
    std::unique_ptr<TTestSub> FSub = std::make_unique<TTestSub>();
    TTestView* FLink = nullptr;
    TfrxComponent* FAnyLink = nullptr;
};

// A container (a band's place in a tree).
class TTestBox : public TfrxComponent {
    KAROMIL_CLASS(TTestBox, TfrxComponent)
public:
    explicit TTestBox(TComponent* owner) : TfrxComponent(owner) {}
};

void RegisterTestClasses();
