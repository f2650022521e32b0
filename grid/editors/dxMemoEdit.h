#pragma once
// The multi-line text editor of the grid family: line breaks, word wrap, optional scroll bars
// and tab characters, with its lines as a string list (TdxMemoStrings). In a cell the arrows
// and page keys move the caret inside the text; they go to the host (another row) only when
// the whole text is selected and no modifier is held. Enter types a line break and never
// posts the row. GUI thread only.

#include <memory>
#include <string>

#include "grid/editors/dxTextEdit.h"
#include "platform/classes/StringList.h"

class TdxInplaceMemoEdit;

// The lines of a memo editor's window (lines are separated by one CR there). Without a window
// the list is empty. Refers to its editor, which owns it.
class TdxMemoStrings : public TStrings {
public:
    explicit TdxMemoStrings(TdxInplaceMemoEdit* memo) : FMemo(memo) {}
    std::string Get(int index) const override;
    int GetCount() const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    std::string GetTextStr() const override;
    // Sets the whole text with the window's change notifications off: no Change.
    void SetTextStr(const std::string& text) override;

protected:
    void SetUpdateState(bool updating) override;

private:
    TdxInplaceMemoEdit* FMemo;
};

class TdxInplaceMemoEditClass : public TdxInplaceTextEditClass {
public:
    const char* ClassName() const override { return "TdxInplaceMemoEdit"; }
};
const TdxInplaceMemoEditClass& dxInplaceMemoEditClass();

class TdxInplaceMemoEdit : public TdxInplaceTextEdit {
    KAROMIL_CLASS(TdxInplaceMemoEdit, TdxInplaceTextEdit)
public:
    TdxInplaceMemoEdit(TComponent* owner, const TdxInplaceEditClass& editClass);
    explicit TdxInplaceMemoEdit(TComponent* owner) : TdxInplaceMemoEdit(owner, dxInplaceMemoEditClass()) {}
    ~TdxInplaceMemoEdit() override;

    // --- properties (the setters of the window's looks re-create it)
    bool GetHideScrollBars() const noexcept { return FHideScrollBars; }
    void SetHideScrollBars(bool value);
    TdxMemoStrings* GetLines() const noexcept { return FLines.get(); }
    void SetLines(TStrings* value) { FLines->Assign(value); }
    TScrollStyle GetScrollBars() const noexcept { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    bool GetWordWrap() const noexcept { return FWordWrap; }
    void SetWordWrap(bool value);
    bool GetWantReturns() const noexcept { return FWantReturns; }
    void SetWantReturns(bool value) noexcept { FWantReturns = value; }
    bool GetWantTabs() const noexcept { return FWantTabs; }
    void SetWantTabs(bool value) noexcept { FWantTabs = value; }

    // --- of the bases
    std::unique_ptr<TdxEditViewData> CreateViewData(bool forPaint) override;
    bool NeedsActiveRepaint() override { return false; }
    void SelectAll() override;
    bool WantTabs() override { return FWantTabs; }

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void Loaded() override;

private:
    bool FHideScrollBars = true;
    std::unique_ptr<TdxMemoStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
};
