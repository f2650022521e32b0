#pragma once
// The controls the application's windows are made of beyond the standard ones, and the banner.

#include <string>

#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"

// The name a window's build function gives it: its stored name, or, when its owner already
// holds a component of that name (a second instance), the name with "_1", "_2" ... appended,
// as loading a stored form does.
std::string UniqueFormName(TComponent* owner, const std::string& name);

// The banner of the main window. The movie control has no Linux counterpart: this shows the
// local picture "banner.bmp" or "banner.jpg" beside the program when there is one, and nothing
// otherwise. Movie is kept as the stored property and never loaded; nothing goes to the network.
class TBannerControl : public TImage {
    KAROMIL_CLASS(TBannerControl, TImage)
public:
    explicit TBannerControl(TComponent* owner);
    std::string GetMovie() const { return FMovie; }
    void SetMovie(const std::string& v) { FMovie = v; }
    // Loads the first picture found among those names in folder; false when none.
    bool LoadLocalPicture(const std::string& folder);
    bool HasPicture() const { return !GetPicture()->Empty(); }

private:
    std::string FMovie;
};
