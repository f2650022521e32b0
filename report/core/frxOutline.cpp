#include "report/core/frxOutline.h"

#include <functional>

#include "platform/rtl/SysUtils.h"
#include "report/core/frxXML.h"

KAROMIL_IMPLEMENT_CLASS(TfrxOutline, TfrxCustomOutline)

TfrxOutline::TfrxOutline(TfrxCustomPreviewPages* previewPages, TfrxXMLDocument* document)
    : TfrxCustomOutline(previewPages), FDocument(document) {}

TfrxXMLItem* TfrxOutline::Root() { return FDocument->Root()->FindItem("outline"); }

TfrxXMLItem* TfrxOutline::Current() {
    // The store resets the outline whenever it frees items; an unset item means the root.
    if (!FCurItem) FCurItem = Root();
    return FCurItem;
}

int TfrxOutline::GetCount() { return Current()->Count(); }

void TfrxOutline::AddItem(const std::string& text, int top) {
    TfrxXMLItem* item = Current()->Add();
    item->Name = "item";
    item->Text = "text=\"" + frxEscapeXML(text) + "\" page=\"" + IntToStr(PreviewPages->CurPageIndex) + "\" top=\"" +
        IntToStr(top) + "\"";
    FCurItem = item;
}

void TfrxOutline::LevelDown(int index) { FCurItem = Current()->Items(index); }

void TfrxOutline::LevelRoot() { FCurItem = Root(); }

void TfrxOutline::LevelUp() {
    TfrxXMLItem* cur = Current();
    if (cur != Root() && cur->Parent()) FCurItem = cur->Parent();
}

void TfrxOutline::GetItem(int index, std::string& text, int& page, int& top) {
    TfrxXMLItem* item = Current()->Items(index);
    text = item->Prop("text");
    const std::string p = item->Prop("page"), t = item->Prop("top");
    if (!p.empty()) page = StrToInt(p);
    if (!t.empty()) top = StrToInt(t);
}

void TfrxOutline::ShiftItems(TfrxXMLItem* from, int newTop) {
    // The root's siblings are other parts of the prepared report, not outline items.
    TfrxXMLItem* parent = from && from != Root() ? from->Parent() : nullptr;
    if (!parent) return;
    const int i = parent->IndexOf(from);
    if (i < 0 || i + 1 >= parent->Count()) return;
    TfrxXMLItem* first = parent->Items(i + 1);
    const int delta = newTop - StrToInt(first->Prop("top"));
    std::function<void(TfrxXMLItem*)> shift = [&](TfrxXMLItem* item) {
        item->SetProp("page", IntToStr(StrToInt(item->Prop("page")) + 1));
        item->SetProp("top", IntToStr(StrToInt(item->Prop("top")) + delta));
        for (int k = 0; k < item->Count(); ++k) shift(item->Items(k));
    };
    shift(first);
}

TfrxXMLItem* TfrxOutline::GetCurPosition() {
    TfrxXMLItem* cur = Current();
    return cur->Count() > 0 ? cur->Items(cur->Count() - 1) : cur;
}
