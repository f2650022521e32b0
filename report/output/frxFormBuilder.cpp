#include "report/output/frxFormBuilder.h"

void frxApplyRow(TControl* control, const TfrxBounds& bounds, std::optional<TAlign> align, const char* caption,
    bool visible, int tabOrder, TNotifyEvent onClick) {
    if (align) control->SetAlign(*align);
    if (bounds.Left || bounds.Top || bounds.Width || bounds.Height)
        control->SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
    if (caption) control->SetCaption(caption);
    if (!visible) control->SetVisible(false);
    if (tabOrder >= 0) {
        auto* window = dynamic_cast<TWinControl*>(control);
        assert(window && "only a window control has a place in the tab order");
        if (window) window->SetTabOrder(tabOrder);
    }
    if (onClick) control->OnClick = std::move(onClick);
}
