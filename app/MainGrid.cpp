#include "app/MainGrid.h"

KAROMIL_IMPLEMENT_CLASS(TMainGrid, TDBGrid)

TDBGridOptions BrowseGridOptions() {
    return TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect,
                          dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit};
}

class TMainGrid::TMemoLink : public TDataLink {
public:
    explicit TMemoLink(TMainGrid* grid) : FGrid(grid) {}

protected:
    void ActiveChanged() override { FGrid->ShowMemoTexts(); }
    void LayoutChanged() override { FGrid->ShowMemoTexts(); }

private:
    TMainGrid* FGrid;
};

TMainGrid::TMainGrid(TComponent* owner) : TDBGrid(owner), FMemoLink(std::make_unique<TMemoLink>(this)) {
    SetOptions(BrowseGridOptions());
    SetTabStop(true);
}

TMainGrid::~TMainGrid() { FMemoLink->SetDataSource(nullptr); }

void TMainGrid::SetDataSource(TDataSource* v) {
    TDBGrid::SetDataSource(v);
    FMemoLink->SetDataSource(v);
    ShowMemoTexts();
}

void TMainGrid::ShowMemoTexts() {
    TDataSet* d = FMemoLink->DataSet();
    if (!d || !d->Active()) return;
    for (const std::string& name : FMemoFields) {
        if (TField* f = d->FindField(name)) {
            f->OnGetText = [](TField* field, std::string& text, bool) {
                text = field->GetAsString();
                // One line per row: the first line of the memo.
                const size_t end = text.find_first_of("\r\n");
                if (end != std::string::npos) text.erase(end);
            };
        }
    }
    Invalidate();
}

TColumn* TMainGrid::AddMaskColumn(const std::string& fieldName, const std::string& caption, int width) {
    TColumn* c = AddColumn();
    c->SetFieldName(fieldName);
    c->Title()->Caption = caption;
    c->SetWidth(width);
    return c;
}

TColumn* TMainGrid::AddMemoColumn(const std::string& fieldName, const std::string& caption, int width,
                                  const std::string& fontName, int fontHeight) {
    TColumn* c = AddMaskColumn(fieldName, caption, width);
    FMemoFields.push_back(fieldName);
    ShowMemoTexts();
    c->GetFont()->SetName(fontName);
    c->GetFont()->SetHeight(fontHeight);
    return c;
}
