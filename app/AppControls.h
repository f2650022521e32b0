#pragma once
// The controls the application's windows are made of beyond the standard ones, and the banner.

#include <initializer_list>
#include <memory>
#include <string>

#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

// The name a window's build function gives it: its stored name, or, when its owner already
// holds a component of that name (a second instance), the name with "_1", "_2" ... appended,
// as loading a stored form does.
std::string UniqueFormName(TComponent* owner, const std::string& name);

// A dialog made for one showing, owned by the returned pointer alone: no owner component, so
// nothing else frees it behind the caller's back. It is placed over `over` as a dialog owned by
// that window would be.
template <class T>
std::unique_ptr<T> MakeDialog(TCustomForm* over) {
    std::unique_ptr<T> dialog(new T(nullptr));
    dialog->AfterConstruction();  // OnCreate, as for a form the application creates
    PlaceOver(dialog.get(), over);
    return dialog;
}
// A poOwnerFormCenter dialog is centred on over when over is shown (else it falls back, as any
// such dialog, to the main window).
void PlaceOver(TCustomForm* dialog, TCustomForm* over);

// The banner of the main window. The movie control has no Linux counterpart: this shows the
// local picture "banner.bmp" or "banner.jpg" beside the program when there is one, and nothing
// otherwise. Movie is kept as the stored property and never loaded; nothing goes to the network.
class TBannerControl : public TImage {
    KAROMIL_CLASS(TBannerControl, TImage)
public:
    explicit TBannerControl(TComponent* owner);
    std::string GetMovie() const { return FMovie; }
    void SetMovie(const std::string& v) { FMovie = v; }
    // Loads the first picture found among names in folder; false when none.
    bool LoadLocalPicture(
        const std::string& folder, std::initializer_list<const char*> names = {"banner.bmp", "banner.jpg"});
    bool HasPicture() const { return !GetPicture()->Empty(); }

private:
    std::string FMovie;
};
