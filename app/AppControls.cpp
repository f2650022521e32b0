#include "app/AppControls.h"

#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TBannerControl, TImage)

std::string UniqueFormName(TComponent* owner, const std::string& name) {
    if (!owner || !owner->FindComponent(name)) return name;
    for (int i = 1;; ++i) {
        const std::string candidate = name + "_" + std::to_string(i);
        if (!owner->FindComponent(candidate)) return candidate;
    }
}

void PlaceOver(TCustomForm* dialog, TCustomForm* over) {
    if (!over || !over->GetVisible() || dialog->GetPosition() != poOwnerFormCenter) return;
    const TRect r = over->GetBoundsRect();
    const int w = dialog->GetWidth(), h = dialog->GetHeight();
    dialog->SetPosition(poDesigned);
    dialog->SetBounds(r.Left + (r.Width() - w) / 2, r.Top + (r.Height() - h) / 2, w, h);
}

TBannerControl::TBannerControl(TComponent* owner) : TImage(owner) { SetStretch(true); }

bool TBannerControl::LoadLocalPicture(const std::string& folder, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const std::string file = IncludeTrailingPathDelimiter(folder) + name;
        if (!FileExists(file)) continue;
        try {
            GetPicture()->LoadFromFile(file);
            return true;
        } catch (const Exception&) {
            // A damaged banner is no reason to stop the program: show nothing.
        }
    }
    return false;
}
