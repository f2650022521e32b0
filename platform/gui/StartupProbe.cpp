// The start-up probe for programs built on the window layer.

#include "platform/gui/StartupProbe.h"

#include "platform/gui/Forms.h"
#include "platform/gui/QtEntry.h"
#include "platform/gui/StartupProbeQt.h"

void WatchStartupPaint(TCustomForm* form, std::function<void()> quit) {
    TStartupProbe::Watch(
        [form] { return form->OuterWidget()->window(); }, [quit = std::move(quit)] { gui_detail::Guarded(quit); });
}
