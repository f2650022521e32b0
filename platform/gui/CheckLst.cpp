#include "platform/gui/CheckLst.h"

#include "platform/rtl/Exceptions.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCheckListBox, TCustomListBox, {
    KAROMIL_PROP(AllowGrayed).Default(0);
    p.Event("OnClickCheck", &Self::OnClickCheck, "TNotifyEvent");
})

namespace {
constexpr int CheckSize = 13;
}

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner) {}

void TCheckListBox::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TCheckBoxState TCheckListBox::GetState(int index) const {
    CheckIndex(index);
    return TCheckBoxState((ItemFlags(index) & ifStateMask) >> ifStateShift);
}

void TCheckListBox::SetState(int index, TCheckBoxState v) {
    CheckIndex(index);
    SetItemFlags(index, uint8_t((ItemFlags(index) & ~ifStateMask) | (uint8_t(v) << ifStateShift)));
}

int TCheckListBox::ItemIndent() const { return CheckSize + 4; }

void TCheckListBox::DrawIndent(int index, const TRect& rect) {
    TRect box = Bounds(rect.Left + 2, rect.Top + (rect.Height() - CheckSize) / 2, CheckSize, CheckSize);
    uint32_t state = DFCS_BUTTONCHECK | DFCS_FLAT;
    switch (GetState(index)) {
    case cbChecked: state |= DFCS_CHECKED; break;
    case cbGrayed: state = DFCS_BUTTON3STATE | DFCS_FLAT | DFCS_CHECKED; break;
    default: break;
    }
    if (!GetEnabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(Canvas()->Handle(), box, DFC_BUTTON, state);
}

void TCheckListBox::ItemPressed(int index, TPoint p) {
    if (p.X < ItemIndent()) ToggleClickCheck(index);
}

void TCheckListBox::ToggleClickCheck(int index) {
    if (!GetEnabled()) return;
    const TCheckBoxState s = GetState(index);
    SetState(index,
        s == cbUnchecked     ? (FAllowGrayed ? cbGrayed : cbChecked)
            : s == cbChecked ? cbUnchecked
                             : cbChecked);
    ClickCheck();
}

void TCheckListBox::ClickCheck() {
    if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::Dispatch(TMessage& m) {
    // Space toggles the current item's box instead of its selection.
    if (m.Msg == WM_CHAR && m.WParam == ' ') {
        if (!DoKeyPress(TWMKey(m)) && GetItemIndex() >= 0) ToggleClickCheck(GetItemIndex());
        return;
    }
    TCustomListBox::Dispatch(m);
}
