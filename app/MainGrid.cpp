#include "app/MainGrid.h"

#include <algorithm>

KAROMIL_IMPLEMENT_CLASS(TMainGrid, TDBGrid)

TDBGridOptions BrowseGridOptions() {
    return TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect,
        dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit};
}

TMainGrid::TMainGrid(TComponent* owner) : TDBGrid(owner) {
    SetOptions(BrowseGridOptions());
    SetTabStop(true);
}

// The grid shows the memo's text itself rather than giving the field an OnGetText handler: the
// field's handler belongs to the data module, and the fields are made anew at every open.
std::string TMainGrid::CellText(TColumn* column, TField* field) {
    const bool memo = std::find(FMemoFields.begin(), FMemoFields.end(), column->GetFieldName()) != FMemoFields.end();
    if (!memo) return TDBGrid::CellText(column, field);
    std::string text = field->OnGetText ? field->DisplayText() : field->GetAsString();
    // One line per row: the first line of the memo.
    const size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) text.erase(end);
    return text;
}

TColumn* TMainGrid::AddMaskColumn(const std::string& fieldName, const std::string& caption, int width) {
    TColumn* c = AddColumn();
    c->SetFieldName(fieldName);
    c->Title()->Caption = caption;
    c->SetWidth(width);
    return c;
}

TColumn* TMainGrid::AddMemoColumn(
    const std::string& fieldName, const std::string& caption, int width, const std::string& fontName, int fontHeight) {
    TColumn* c = AddMaskColumn(fieldName, caption, width);
    FMemoFields.push_back(fieldName);
    c->GetFont()->SetName(fontName);
    c->GetFont()->SetHeight(fontHeight);
    return c;
}
