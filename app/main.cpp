// Karomil: report cards for a school office.

#include <cstdio>

#include "app/Startup.h"
#include "platform/rtl/SysUtils.h"

int main() {
    try {
        return RunKaromil();
    } catch (const Exception& e) {
        // The last net, after the message loop: say why and end.
        std::fprintf(stderr, "karomil: %s\n", e.Message().c_str());
        return 1;
    }
}
