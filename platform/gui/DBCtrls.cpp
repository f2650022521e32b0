#include "platform/gui/DBCtrls.h"

#include <algorithm>

#include "platform/gui/Application.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDBText, TCustomLabel, {
    KAROMIL_PROP(DataSource);
    KAROMIL_PROP(DataField);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDBEdit, TCustomEdit, {
    KAROMIL_PROP(DataSource);
    KAROMIL_PROP(DataField);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDBMemo, TCustomMemo, {
    KAROMIL_PROP(DataSource);
    KAROMIL_PROP(DataField);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDBCheckBox, TCustomCheckBox, {
    KAROMIL_PROP(DataSource);
    KAROMIL_PROP(DataField);
    KAROMIL_PROP(ValueChecked);
    KAROMIL_PROP(ValueUnchecked);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDBComboBox, TCustomComboBox, {
    KAROMIL_PROP(DataSource);
    KAROMIL_PROP(DataField);
})
KAROMIL_IMPLEMENT_CLASS(TColumnTitle, TPersistent)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TColumn, TPersistent, {
    KAROMIL_PROP(FieldName);
    KAROMIL_PROP(Width).Default(0);
    KAROMIL_PROP(Visible).Default(1);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDBGrid, TCustomControl, {
    KAROMIL_PROP(DataSource);
    KAROMIL_PROP(SelectedIndex).Default(0);
})

namespace {
bool Printable(char32_t ch) { return ch >= 32 && ch != 127; }

// Hooks a field link to its control and keeps the data source's free notification.
void Attach(TComponent* control, TFieldDataLink* link, TDataSource* ds) {
    link->SetDataSource(ds);
    if (ds) ds->FreeNotification(control);
}
// Marks a control as showing the field's value, so its change handler does not take the
// display for the user's edit; cleared however the display ends.
struct TShowingScope {
    bool& Showing;
    explicit TShowingScope(bool& showing) : Showing(showing) { Showing = true; }
    ~TShowingScope() { Showing = false; }
};

// A control forgets its data source when that source is freed.
void ForgetFreedSource(TDataLink* link, TComponent* c, TOperation op) {
    if (op == opRemove && link && c == link->DataSource()) link->SetDataSource(nullptr);
}
}  // namespace

// --- TDBText ---------------------------------------------------------------------------------

TDBText::TDBText(TComponent* owner) : TCustomLabel(owner), FDataLink(std::make_unique<TFieldDataLink>()) {
    SetAutoSize(false);
    FDataLink->Control = this;
    FDataLink->OnDataChange = [this](TObject*) {
        TField* f = FDataLink->Field();
        SetCaption(f ? f->DisplayText() : (GetComponentState().Contains(csDesigning) ? GetName() : std::string()));
    };
}

TDBText::~TDBText() { FDataLink->OnDataChange = nullptr; }

void TDBText::SetDataSource(TDataSource* v) { Attach(this, FDataLink.get(), v); }

void TDBText::Notification(TComponent* c, TOperation op) {
    TCustomLabel::Notification(c, op);
    ForgetFreedSource(FDataLink.get(), c, op);
}

// --- TDBEdit ---------------------------------------------------------------------------------

TDBEdit::TDBEdit(TComponent* owner) : TCustomEdit(owner), FDataLink(std::make_unique<TFieldDataLink>()) {
    FDataLink->Control = this;
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnEditingChange = [this](TObject*) { SetReadOnly(!FDataLink->Editing() && !FDataLink->CanModify()); };
    FDataLink->OnUpdateData = [this](TObject*) {
        if (TField* f = FDataLink->Field()) f->SetText(GetText());
    };
    FDataLink->OnActiveChange = [this](TObject*) { DataChange(); };
}

TDBEdit::~TDBEdit() {
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnEditingChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink->OnActiveChange = nullptr;
}

void TDBEdit::SetDataSource(TDataSource* v) { Attach(this, FDataLink.get(), v); }

void TDBEdit::Notification(TComponent* c, TOperation op) {
    TCustomEdit::Notification(c, op);
    ForgetFreedSource(FDataLink.get(), c, op);
}

void TDBEdit::DataChange() {
    TField* f = FDataLink->Field();
    TShowingScope showing(FShowing);
    if (!f) {
        SetText("");
        return;
    }
    // A text field limits what can be typed to its size.
    if (GetMaxLength() == 0 && (f->DataType() == ftString || f->DataType() == ftWideString || f->DataType() == ftFixedChar))
        SetMaxLength(f->Size());
    SetText(Focused() && FDataLink->CanModify() ? f->Text() : f->DisplayText());
    SetReadOnly(!FDataLink->CanModify());
}

void TDBEdit::Change() {
    if (!FShowing) FDataLink->SetModified();
    TCustomEdit::Change();
}

void TDBEdit::KeyDown(WORD& key, TShiftState shift) {
    TCustomEdit::KeyDown(key, shift);
    if (key == VK_DELETE || (key == VK_INSERT && shift.Contains(ssShift))) {
        if (!FDataLink->Edit()) key = 0;
    }
}

void TDBEdit::KeyPress(char32_t& key) {
    TCustomEdit::KeyPress(key);
    TField* f = FDataLink->Field();
    if (Printable(key) && f && !f->IsValidChar(key)) key = 0;
    if (key == 0) return;
    if (Printable(key) || key == 8 || key == 22 || key == 24) {
        if (!FDataLink->Edit()) key = 0;
    } else if (key == 27) {
        // Escape takes back what was typed.
        FDataLink->Reset();
        SelectAll();
        key = 0;
    }
}

void TDBEdit::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_ENTER:
        // The edit text while editing (display and edit texts may differ).
        if (FDataLink->Field() && FDataLink->CanModify()) {
            TShowingScope showing(FShowing);
            SetText(FDataLink->Field()->Text());
        }
        TCustomEdit::Dispatch(m);
        return;
    case CM_EXIT:
        try {
            FDataLink->UpdateRecord();
        } catch (...) {
            SelectAll();
            SetFocus();
            throw;
        }
        TCustomEdit::Dispatch(m);
        return;
    default:
        TCustomEdit::Dispatch(m);
    }
}

// --- TDBMemo ---------------------------------------------------------------------------------

TDBMemo::TDBMemo(TComponent* owner) : TCustomMemo(owner), FDataLink(std::make_unique<TFieldDataLink>()) {
    FDataLink->Control = this;
    SetScrollBars(ssVertical);
    FDataLink->OnDataChange = [this](TObject*) {
        TShowingScope showing(FShowing);
        TField* f = FDataLink->Field();
        SetText(f ? f->GetAsString() : std::string());
    };
    FDataLink->OnUpdateData = [this](TObject*) {
        if (TField* f = FDataLink->Field()) f->SetAsString(GetText());
    };
}

TDBMemo::~TDBMemo() {
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
}

void TDBMemo::SetDataSource(TDataSource* v) { Attach(this, FDataLink.get(), v); }

void TDBMemo::Notification(TComponent* c, TOperation op) {
    TCustomMemo::Notification(c, op);
    ForgetFreedSource(FDataLink.get(), c, op);
}

void TDBMemo::Change() {
    if (!FShowing) FDataLink->SetModified();
    TCustomMemo::Change();
}

void TDBMemo::KeyPress(char32_t& key) {
    TCustomMemo::KeyPress(key);
    if (key == 0) return;
    if ((Printable(key) || key == 8 || key == 13 || key == 22 || key == 24) && !FDataLink->Edit()) key = 0;
    else if (key == 27) {
        FDataLink->Reset();
        key = 0;
    }
}

void TDBMemo::Dispatch(TMessage& m) {
    if (m.Msg == CM_EXIT) {
        try {
            FDataLink->UpdateRecord();
        } catch (...) {
            SetFocus();
            throw;
        }
    }
    TCustomMemo::Dispatch(m);
}

// --- TDBCheckBox -----------------------------------------------------------------------------

namespace {
// Whether text is one of the ";"-separated values, case ignored.
bool OneOf(const std::string& text, const std::string& values) {
    size_t start = 0;
    while (start <= values.size()) {
        const size_t semi = values.find(';', start);
        if (AnsiSameText(Trim(values.substr(start, semi == std::string::npos ? std::string::npos : semi - start)), Trim(text))) return true;
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    return false;
}
std::string FirstOf(const std::string& values) { return Trim(values.substr(0, values.find(';'))); }
}  // namespace

TDBCheckBox::TDBCheckBox(TComponent* owner) : TCustomCheckBox(owner), FDataLink(std::make_unique<TFieldDataLink>()) {
    FDataLink->Control = this;
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnUpdateData = [this](TObject*) {
        TField* f = FDataLink->Field();
        if (!f) return;
        if (f->DataType() == ftBoolean) f->SetAsBoolean(GetChecked());
        else f->SetText(FirstOf(GetChecked() ? FValueChecked : FValueUnchecked));
    };
}

TDBCheckBox::~TDBCheckBox() {
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
}

void TDBCheckBox::SetDataSource(TDataSource* v) { Attach(this, FDataLink.get(), v); }

void TDBCheckBox::Notification(TComponent* c, TOperation op) {
    TCustomCheckBox::Notification(c, op);
    ForgetFreedSource(FDataLink.get(), c, op);
}

void TDBCheckBox::DataChange() {
    TField* f = FDataLink ? FDataLink->Field() : nullptr;
    TCheckBoxState s = cbUnchecked;
    // A Null field shows unchecked, not grayed: the windows never offer a third state.
    if (f && !f->IsNull()) {
        if (f->DataType() == ftBoolean) s = f->GetAsBoolean() ? cbChecked : cbUnchecked;
        else if (OneOf(f->Text(), FValueChecked)) s = cbChecked;
    }
    TShowingScope showing(FShowing);
    SetState(s);
}

void TDBCheckBox::StateChanged() {
    if (!FShowing) {
        // Going into edit mode shows the record again: the user's new state is put back after.
        const TCheckBoxState wanted = FState;
        if (!FDataLink->Edit()) {
            // Not editable: the box goes back to what the field says.
            DataChange();
            return;
        }
        if (FState != wanted) {
            TShowingScope showing(FShowing);
            SetState(wanted);
        }
        FDataLink->SetModified();
    }
    TCustomCheckBox::StateChanged();
}

void TDBCheckBox::Dispatch(TMessage& m) {
    if (m.Msg == CM_EXIT) {
        try {
            FDataLink->UpdateRecord();
        } catch (...) {
            SetFocus();
            throw;
        }
    }
    TCustomCheckBox::Dispatch(m);
}

// --- TDBComboBox -----------------------------------------------------------------------------

TDBComboBox::TDBComboBox(TComponent* owner) : TCustomComboBox(owner), FDataLink(std::make_unique<TFieldDataLink>()) {
    FDataLink->Control = this;
    FDataLink->OnDataChange = [this](TObject*) {
        TShowingScope showing(FShowing);
        TField* f = FDataLink->Field();
        SetText(f ? f->Text() : std::string());
    };
    // The control's text as it is: blanks and special characters of the items stay.
    FDataLink->OnUpdateData = [this](TObject*) {
        if (TField* f = FDataLink->Field()) f->SetText(GetText());
    };
}

TDBComboBox::~TDBComboBox() {
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
}

void TDBComboBox::SetDataSource(TDataSource* v) { Attach(this, FDataLink.get(), v); }

void TDBComboBox::Notification(TComponent* c, TOperation op) {
    TCustomComboBox::Notification(c, op);
    ForgetFreedSource(FDataLink.get(), c, op);
}

void TDBComboBox::Change() {
    if (!FShowing) {
        if (FDataLink->Edit()) FDataLink->SetModified();
    }
    TCustomComboBox::Change();
}

void TDBComboBox::Click() {
    if (!FShowing) FDataLink->Edit();
    TCustomComboBox::Click();
}

void TDBComboBox::KeyPress(char32_t& key) {
    TCustomComboBox::KeyPress(key);
    if (key == 0) return;
    if ((Printable(key) || key == 8) && !FDataLink->Edit()) key = 0;
    else if (key == 27) {
        FDataLink->Reset();
        key = 0;
    }
}

void TDBComboBox::Dispatch(TMessage& m) {
    if (m.Msg == CM_EXIT) {
        try {
            FDataLink->UpdateRecord();
        } catch (...) {
            SetFocus();
            throw;
        }
    }
    TCustomComboBox::Dispatch(m);
}

// --- grid ------------------------------------------------------------------------------------

class TGridDataLink : public TDataLink {
public:
    explicit TGridDataLink(TDBGrid* grid) : FGrid(grid) { VisualControl = true; }

protected:
    void ActiveChanged() override { FGrid->LayoutChanged(); }
    void LayoutChanged() override { FGrid->LayoutChanged(); }
    void DataSetChanged() override { FGrid->Invalidate(); }
    void DataSetScrolled(int) override { FGrid->Invalidate(); }
    void RecordChanged(TField*) override { FGrid->Invalidate(); }
    void EditingChanged() override { FGrid->Invalidate(); }

private:
    TDBGrid* FGrid;
};

TColumn::TColumn(TDBGrid* grid) : FGrid(grid), FTitle(std::make_unique<TColumnTitle>()), FFont(std::make_unique<TFont>()) {
    FFont->Assign(grid->GetFont());
}
TColumn::~TColumn() = default;

void TColumn::SetFieldName(const std::string& v) { FFieldName = v; FGrid->Invalidate(); }
void TColumn::SetVisible(bool v) { FVisible = v; FGrid->Invalidate(); }
void TColumn::SetWidth(int v) { FWidth = std::max(0, v); FGrid->Invalidate(); }

TField* TColumn::Field() const {
    TDataSet* ds = FGrid->DataSet();
    return ds && ds->Active() ? ds->FindField(FFieldName) : nullptr;
}

int TColumn::GetWidth() const {
    if (FWidth > 0) return FWidth;
    TField* f = Field();
    TCanvas* c = FGrid->Canvas();
    c->Font()->Assign(FFont.get());
    const int chars = f ? std::max(f->DisplayWidth(), int(f->DisplayLabel().size())) : 10;
    return chars * c->TextWidth("0") + 4;
}

TDBGrid::TDBGrid(TComponent* owner) : TCustomControl(owner), FDataLink(std::make_unique<TGridDataLink>(this)) {
    FOptions = {dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit};
    SetTabStop(true);
    SetColor(clWindow);
    SetWindowExStyle(WS_EX_CLIENTEDGE);
    SetBounds(0, 0, 320, 120);
}

TDBGrid::~TDBGrid() {
    FDataLink->SetDataSource(nullptr);
}

TDataSource* TDBGrid::GetDataSource() const noexcept { return FDataLink->DataSource(); }

void TDBGrid::SetDataSource(TDataSource* v) {
    FDataLink->SetDataSource(v);
    if (v) v->FreeNotification(this);
    LayoutChanged();
}

void TDBGrid::Notification(TComponent* c, TOperation op) {
    TCustomControl::Notification(c, op);
    ForgetFreedSource(FDataLink.get(), c, op);
}

TDataSet* TDBGrid::DataSet() const { return FDataLink->DataSet(); }

void TDBGrid::SetOptions(TDBGridOptions v) { FOptions = v; LayoutChanged(); }

TColumn* TDBGrid::AddColumn() {
    FColumns.push_back(std::make_unique<TColumn>(this));
    Invalidate();
    return FColumns.back().get();
}

void TDBGrid::ClearColumns() { FColumns.clear(); LayoutChanged(); }

int TDBGrid::ColumnCount() const { return int(Shown().size()); }
TColumn* TDBGrid::Columns(int index) const { return Shown().at(size_t(index)); }

std::vector<TColumn*> TDBGrid::Shown() const {
    std::vector<TColumn*> out;
    if (!FColumns.empty()) {
        for (auto& c : FColumns) if (c->GetVisible()) out.push_back(c.get());
        return out;
    }
    // Without stored columns: one per visible field, made afresh when the layout changes.
    if (FDefaultColumns.empty() && DataSet() && DataSet()->Active()) {
        TFields* fields = DataSet()->Fields();
        for (int i = 0; i < fields->Count(); ++i) {
            TField* f = fields->Fields(i);
            if (!f->Visible()) continue;
            auto c = std::make_unique<TColumn>(const_cast<TDBGrid*>(this));
            c->SetFieldName(f->FieldName());
            FDefaultColumns.push_back(std::move(c));
        }
    }
    for (auto& c : FDefaultColumns) out.push_back(c.get());
    return out;
}

void TDBGrid::LayoutChanged() {
    FDefaultColumns.clear();
    FCol = std::clamp(FCol, 0, std::max(0, ColumnCount() - 1));
    UpdateRowCount();
    Invalidate();
}

int TDBGrid::DefaultRowHeight() const {
    Canvas()->Font()->Assign(GetFont());
    return Canvas()->TextHeight("Ág") + 4;
}

int TDBGrid::VisibleRowCount() const {
    const int title = FOptions.Contains(dgTitles) ? DefaultRowHeight() : 0;
    return std::max(1, (GetClientHeight() - title) / DefaultRowHeight());
}

void TDBGrid::UpdateRowCount() {
    if (FDataLink->Active()) FDataLink->SetBufferCount(VisibleRowCount());
}

void TDBGrid::SetSelectedIndex(int v) {
    FCol = std::clamp(v, 0, std::max(0, ColumnCount() - 1));
    Invalidate();
}

TField* TDBGrid::SelectedField() const {
    auto cols = Shown();
    return FCol < int(cols.size()) ? cols[size_t(FCol)]->Field() : nullptr;
}

void TDBGrid::MouseCoord(int x, int y, int& col, int& row) const {
    const int rh = DefaultRowHeight();
    const int title = FOptions.Contains(dgTitles) ? rh : 0;
    row = y < title ? -1 : (y - title) / rh;
    int left = FOptions.Contains(dgIndicator) ? 11 : 0;
    col = x < left ? -1 : -2;
    if (col == -1) return;
    int i = 0;
    for (TColumn* c : Shown()) {
        const int w = c->GetWidth() + 1;
        if (x < left + w) { col = i; return; }
        left += w;
        ++i;
    }
}

void TDBGrid::Paint() {
    TCanvas* c = Canvas();
    const TRect client = GetClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(GetColor());
    c->FillRect(client);
    const int rh = DefaultRowHeight();
    const int indicator = FOptions.Contains(dgIndicator) ? 11 : 0;
    const bool titles = FOptions.Contains(dgTitles);
    const int top = titles ? rh : 0;
    auto cols = Shown();
    c->Pen()->SetColor(clBtnShadow);
    // Titles and the indicator column in the button face.
    c->Brush()->SetColor(clBtnFace);
    if (titles) c->FillRect(Rect(0, 0, client.Right, rh));
    if (indicator) c->FillRect(Rect(0, 0, indicator, client.Bottom));
    int x = indicator;
    for (size_t i = 0; i < cols.size(); ++i) {
        const int w = cols[i]->GetWidth();
        if (titles) {
            TField* f = cols[i]->Field();
            std::string t = cols[i]->Title()->Caption.empty() && f ? f->DisplayLabel() : cols[i]->Title()->Caption;
            c->Font()->Assign(GetFont());
            c->Brush()->SetStyle(bsClear);
            TRect r = Rect(x + 2, 0, x + w, rh);
            DrawText(c->Handle(), t, -1, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            c->Brush()->SetStyle(bsSolid);
        }
        x += w + 1;
    }
    const TDataSet* ds = DataSet();
    if (!ds || !FDataLink->Active()) return;
    const int rows = FDataLink->RecordCount();
    const int active = FDataLink->ActiveRecord();
    const bool focused = Focused();
    for (int row = 0; row < rows; ++row) {
        FDataLink->SetActiveRecord(row);
        const int y = top + row * rh;
        int cx = indicator;
        if (indicator && row == active) {
            // The current record's triangle.
            c->Brush()->SetColor(clWindowText);
            c->Polygon({{3, y + rh / 2 - 4}, {3, y + rh / 2 + 4}, {7, y + rh / 2}});
        }
        for (size_t i = 0; i < cols.size(); ++i) {
            const int w = cols[i]->GetWidth();
            const bool selected = row == active && (FOptions.Contains(dgRowSelect) || (int(i) == FCol && (focused || FOptions.Contains(dgAlwaysShowSelection))));
            c->Brush()->SetColor(selected ? clHighlight : GetColor());
            c->FillRect(Rect(cx, y, cx + w, y + rh));
            c->Font()->Assign(cols[i]->GetFont());
            if (selected) c->Font()->SetColor(clHighlightText);
            c->Brush()->SetStyle(bsClear);
            TField* f = cols[i]->Field();
            TRect r = Rect(cx + 2, y, cx + w - 2, y + rh);
            uint32_t align = 0;
            if (f && f->Alignment() == taRightJustify) align = DT_RIGHT;
            else if (f && f->Alignment() == taCenter) align = DT_CENTER;
            if (f) DrawText(c->Handle(), f->DisplayText(), -1, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align);
            c->Brush()->SetStyle(bsSolid);
            cx += w + 1;
        }
        if (FOptions.Contains(dgRowLines)) {
            c->Pen()->SetColor(clBtnFace);
            c->MoveTo(indicator, y + rh - 1);
            c->LineTo(cx, y + rh - 1);
        }
    }
    FDataLink->SetActiveRecord(active);
    if (FOptions.Contains(dgColLines)) {
        int lx = indicator;
        c->Pen()->SetColor(clBtnFace);
        for (TColumn* col : cols) {
            lx += col->GetWidth();
            c->MoveTo(lx, 0);
            c->LineTo(lx, top + rows * rh);
            ++lx;
        }
    }
}

void TDBGrid::KeyDown(WORD& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    TDataSet* ds = DataSet();
    if (key == 0 || !ds || !ds->Active()) return;
    const bool ctrl = shift.Contains(ssCtrl);
    switch (key) {
    case VK_UP: ds->Prior(); break;
    case VK_DOWN:
        ds->Next();
        break;
    case VK_PRIOR: ds->MoveBy(-VisibleRowCount()); break;
    case VK_NEXT: ds->MoveBy(VisibleRowCount()); break;
    case VK_HOME: if (ctrl) ds->First(); else SetSelectedIndex(0); break;
    case VK_END: if (ctrl) ds->Last(); else SetSelectedIndex(ColumnCount() - 1); break;
    case VK_LEFT: SetSelectedIndex(FCol - 1); break;
    case VK_RIGHT: SetSelectedIndex(FCol + 1); break;
    case VK_INSERT: if (FOptions.Contains(dgEditing) && ds->CanModify()) ds->Insert(); break;
    case VK_ESCAPE: if (ds->State() == dsInsert || ds->State() == dsEdit) ds->Cancel(); break;
    default: return;
    }
    key = 0;
}

void TDBGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (CanFocus() && !Focused()) SetFocus();
    int col, row;
    MouseCoord(x, y, col, row);
    if (button == mbLeft && row >= 0 && row < FDataLink->RecordCount() && DataSet()) {
        DataSet()->MoveBy(row - FDataLink->ActiveRecord());
        if (col >= 0) SetSelectedIndex(col);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TDBGrid::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_SIZE:
        TCustomControl::Dispatch(m);
        UpdateRowCount();
        return;
    case WM_MOUSEWHEEL: {
        TWMMouseWheel w(m);
        if (TDataSet* ds = DataSet(); ds && ds->Active() && !DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), w.Pos()))
            ds->MoveBy(-w.WheelDelta() / WHEEL_DELTA);
        m.Result = 1;
        return;
    }
    case CM_ENTER:
    case CM_EXIT:
        Invalidate();
        TCustomControl::Dispatch(m);
        return;
    default:
        TCustomControl::Dispatch(m);
    }
}
