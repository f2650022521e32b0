// The error box hook the output layer sets.

#include "report/core/frxErrorBoxHook.h"

TfrxErrorBox& frxErrorBoxHook() {
    static TfrxErrorBox hook;
    return hook;
}

void frxShowErrorBox(const std::string& text) {
    if (auto& box = frxErrorBoxHook()) box(text);
}
