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

TBannerControl::TBannerControl(TComponent* owner) : TImage(owner) { SetStretch(true); }

bool TBannerControl::LoadLocalPicture(const std::string& folder) {
    for (const char* name : {"banner.bmp", "banner.jpg"}) {
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
