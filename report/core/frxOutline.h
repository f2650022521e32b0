#pragma once
// The table of contents of a prepared report: a tree of "item" elements (text, page index from
// 0, top in pixels below the page's top margin) kept in the prepared pages' own XML document
// under its "outline" element, with a current item where new entries go.

#include <string>

#include "report/core/frxPlugins.h"

class TfrxXMLDocument;
class TfrxXMLItem;

class TfrxOutline : public TfrxCustomOutline {
    KAROMIL_CLASS(TfrxOutline, TfrxCustomOutline)
public:
    // The document belongs to the store and outlives the outline.
    TfrxOutline(TfrxCustomPreviewPages* previewPages, TfrxXMLDocument* document);

    int GetCount() override;  // children of the current item
    void AddItem(const std::string& text, int top) override;  // the new item becomes current
    void LevelDown(int index) override;
    void LevelRoot() override;
    void LevelUp() override;
    // Page and Top keep their values when the item lacks them.
    void GetItem(int index, std::string& text, int& page, int& top) override;
    // Moves the item after `from` with its whole subtree to the next page, its top to newTop.
    void ShiftItems(TfrxXMLItem* from, int newTop) override;
    TfrxXMLItem* GetCurPosition() override;  // the current item's last child, else itself

    TfrxXMLItem* Root();  // created when absent
    TfrxXMLItem* CurItem() noexcept { return FCurItem; }

private:
    TfrxXMLItem* Current();
    TfrxXMLDocument* FDocument;
    TfrxXMLItem* FCurItem = nullptr;
};
