// The localised text table and the picture lists.

#include "report/core/frxRes.h"

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ImageList.h"
#include "report/core/frxImageStrip.h"

KAROMIL_IMPLEMENT_CLASS(TfrxResources, TObject)

TfrxResources::TfrxResources()
    : FButtonImages(std::make_unique<TImageList>()), FDisabledButtonImages(std::make_unique<TImageList>()),
      FObjectImages(std::make_unique<TImageList>()) {
    FObjectImages->SetWidth(22);
    FObjectImages->SetHeight(22);
}

TfrxResources::~TfrxResources() = default;

void TfrxResources::Add(const std::string& ref, const std::string& text) {
    auto it = FKeys.find(ref);
    if (it != FKeys.end()) {
        FTexts[it->second] = text;
        return;
    }
    FTexts.push_back(text);
    FKeys.emplace(ref, FTexts.size() - 1);
}

std::string TfrxResources::Get(const std::string& ref) const {
    auto it = FKeys.find(ref);
    return it != FKeys.end() ? FTexts[it->second] : ref;
}

namespace {
bool IsStringProp(TObject* instance, const std::string& name) {
    return GetPropInfo(instance, name) != nullptr && PropType(instance, name) == tkString;
}
}  // namespace

void TfrxResources::LocalizeForm(TComponent* form) {
    auto it = FKeys.find(form->ClassName());
    if (it == FKeys.end()) return;
    TStringList lines;
    lines.SetTextStr(FTexts[it->second]);
    auto firstValue = [&](const std::string& name) {
        for (int i = 0; i < lines.GetCount(); ++i) {
            const std::string line = lines.Get(i);
            size_t eq = line.find('=');
            if (eq != std::string::npos && SameText(line.substr(0, eq), name)) return line.substr(eq + 1);
        }
        return std::string();
    };
    for (int i = 0; i < lines.GetCount(); ++i) {
        const std::string line = lines.Get(i);
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        const std::string name = line.substr(0, eq);
        const std::string value = Utf8Copy(line.substr(eq + 1), 1, 4096);
        size_t dot = name.find('.');
        if (dot == std::string::npos) {
            if (IsStringProp(form, name)) SetStrProp(form, name, firstValue(name));
            continue;
        }
        TComponent* component = form->FindComponent(name.substr(0, dot));
        const std::string prop = name.substr(dot + 1, 255);
        if (component && IsStringProp(component, prop)) SetStrProp(component, prop, value);
    }
}

TImageList* TfrxResources::GetButtonImages() {
    if (FButtonImages->Count() == 0) {
        frxRegisterCoreImages();
        TBitmap strip;
        strip.LoadFromResourceName("frxBUTTONS");
        AddButtonImages(&strip, false);
    }
    return FButtonImages.get();
}

TImageList* TfrxResources::GetDisabledButtonImages() {
    GetButtonImages();
    return FDisabledButtonImages.get();
}

TImageList* TfrxResources::GetObjectImages() {
    if (FObjectImages->Count() == 0) {
        frxRegisterCoreImages();
        TBitmap strip;
        strip.LoadFromResourceName("frxOBJECTS");
        AddObjectImages(&strip, false);
    }
    return FObjectImages.get();
}

void TfrxResources::AddButtonImages(TBitmap* strip, bool clear) {
    if (clear) {
        FButtonImages->Clear();
        FDisabledButtonImages->Clear();
    }
    frxSplitImageStrip(strip, 16, 16, FButtonImages.get(), FDisabledButtonImages.get());
}

void TfrxResources::AddObjectImages(TBitmap* strip, bool clear) {
    if (clear) FObjectImages->Clear();
    frxSplitImageStrip(strip, 22, 22, FObjectImages.get(), nullptr);
}

TfrxResources* frxGetResources() {
    static std::unique_ptr<TfrxResources> instance = [] {
        auto res = std::make_unique<TfrxResources>();
        frxRegisterCoreTexts(res.get());
        return res;
    }();
    return instance.get();
}
