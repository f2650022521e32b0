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

// Writes what the user typed into the field. A text the run-time library cannot convert (a date
// such as "31.02.2020") is said in Czech and names the field's label, as the field's own
// messages do, instead of the library's English text without any field.
void SetFieldText(TField* f, const std::string& text) {
    try {
        f->SetText(text);
    } catch (const EConvertError&) {
        const char* what = "platná hodnota";
        switch (f->DataType()) {
        case ftDate:
        case ftDateTime: what = "platné datum"; break;
        case ftTime: what = "platný čas"; break;
        default: break;
        }
        throw EDatabaseError("'" + text + "' není " + what + " pro pole '" + f->DisplayName() + "'.");
    }
}

// Marks a control as showing the field's value, so its change handler does not take the
// display for the user's edit; cleared however the display ends.
struct TShowingScope {
    bool& Showing;
    explicit TShowingScope(bool& showing) : Showing(showing) { Showing = true; }
    ~TShowingScope() { Showing = false; }
};

// Keys whose default processing changes the text at once: Qt's edits act on the key-down, not
// on a later character, so the record must be in edit mode before the widget sees them.
bool ChangesText(WORD key, TShiftState shift) {
    if (shift.Contains(ssAlt)) return false;
    switch (key) {
    case VK_BACK:
    case VK_DELETE: return true;
    case VK_INSERT: return shift.Contains(ssShift);
    case 'V':
    case 'X': return shift.Contains(ssCtrl);
    default: return false;
    }
}

// A control forgets its data source when that source is freed.
void ForgetFreedSource(TDataLink* link, TComponent* c, TOperation op) {
    if (op == opRemove && link && c == link->DataSource()) link->SetDataSource(nullptr);
}
}  // namespace

// --- TDBText ---------------------------------------------------------------------------------

TDBText::TDBText(TComponent* owner) : TFieldControl<TCustomLabel>(owner) {
    SetAutoSize(false);
    FDataLink->OnDataChange = [this](TObject*) {
        TField* f = FDataLink->Field();
        SetCaption(f ? f->DisplayText() : (GetComponentState().Contains(csDesigning) ? GetName() : std::string()));
    };
}

// --- TDBEdit ---------------------------------------------------------------------------------

TDBEdit::TDBEdit(TComponent* owner) : TFieldControl<TCustomEdit>(owner) {
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnEditingChange = [this](TObject*) { ShowReadOnly(!FDataLink->Editing() && !FDataLink->CanModify()); };
    FDataLink->OnUpdateData = [this](TObject*) {
        if (TField* f = FDataLink->Field()) SetFieldText(f, GetText());
    };
    FDataLink->OnActiveChange = [this](TObject*) { DataChange(); };
}

void TDBEdit::DataChange() {
    TField* f = FDataLink->Field();
    TShowingScope showing(FShowing);
    if (!f) {
        SetText("");
        return;
    }
    // A text field limits what can be typed to its size.
    if (GetMaxLength() == 0 &&
        (f->DataType() == ftString || f->DataType() == ftWideString || f->DataType() == ftFixedChar))
        SetMaxLength(f->Size());
    SetText(Focused() && FDataLink->CanModify() ? f->Text() : f->DisplayText());
    ShowReadOnly(!FDataLink->CanModify());
}

void TDBEdit::ShowReadOnly(bool v) {
    // Setting the widget's options again would move its cursor, under the key being handled.
    if (v != GetReadOnly()) SetReadOnly(v);
}

void TDBEdit::Change() {
    if (!FShowing) FDataLink->SetModified();
    TCustomEdit::Change();
}

void TDBEdit::KeyDown(WORD& key, TShiftState shift) {
    TCustomEdit::KeyDown(key, shift);
    if (key != 0 && ChangesText(key, shift) && !FDataLink->Edit()) key = 0;
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
    // The edit text while editing (display and edit texts may differ). Text the field refused
    // is not written yet: coming back to correct it, the user finds it as typed.
    if (m.Msg == CM_ENTER && FDataLink->Field() && FDataLink->CanModify() && !FDataLink->Modified()) {
        TShowingScope showing(FShowing);
        SetText(FDataLink->Field()->Text());
    }
    TFieldControl::Dispatch(m);
}

// --- TDBMemo ---------------------------------------------------------------------------------

TDBMemo::TDBMemo(TComponent* owner) : TFieldControl<TCustomMemo>(owner) {
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

void TDBMemo::Change() {
    if (!FShowing) FDataLink->SetModified();
    TCustomMemo::Change();
}

void TDBMemo::KeyDown(WORD& key, TShiftState shift) {
    TCustomMemo::KeyDown(key, shift);
    if (key == 0) return;
    const bool newLine = key == VK_RETURN && GetWantReturns() && !shift.Contains(ssAlt);
    if ((newLine || ChangesText(key, shift)) && !FDataLink->Edit()) key = 0;
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

// --- TDBCheckBox -----------------------------------------------------------------------------

namespace {
// Whether text is one of the ";"-separated values, case ignored.
bool OneOf(const std::string& text, const std::string& values) {
    size_t start = 0;
    while (start <= values.size()) {
        const size_t semi = values.find(';', start);
        if (AnsiSameText(
                Trim(values.substr(start, semi == std::string::npos ? std::string::npos : semi - start)), Trim(text)))
            return true;
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    return false;
}
std::string FirstOf(const std::string& values) { return Trim(values.substr(0, values.find(';'))); }
}  // namespace

TDBCheckBox::TDBCheckBox(TComponent* owner) : TFieldControl<TCustomCheckBox>(owner) {
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink->OnUpdateData = [this](TObject*) {
        TField* f = FDataLink->Field();
        if (!f) return;
        if (f->DataType() == ftBoolean) f->SetAsBoolean(GetChecked());
        else f->SetText(FirstOf(GetChecked() ? FValueChecked : FValueUnchecked));
    };
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

// --- TDBComboBox -----------------------------------------------------------------------------

TDBComboBox::TDBComboBox(TComponent* owner) : TFieldControl<TCustomComboBox>(owner) {
    FDataLink->OnDataChange = [this](TObject*) { DataChange(); };
    // The control's text as it is: blanks and special characters of the items stay.
    FDataLink->OnUpdateData = [this](TObject*) {
        if (TField* f = FDataLink->Field()) SetFieldText(f, GetText());
    };
}

void TDBComboBox::DataChange() {
    TShowingScope showing(FShowing);
    TField* f = FDataLink->Field();
    // As in TDBEdit: typing stops at the text field's size, instead of the text being cut
    // silently when the record is posted.
    if (f && GetMaxLength() == 0 &&
        (f->DataType() == ftString || f->DataType() == ftWideString || f->DataType() == ftFixedChar))
        SetMaxLength(f->Size());
    SetText(f ? f->Text() : std::string());
}

void TDBComboBox::Change() {
    if (!FShowing) {
        // Going into edit mode shows the record again: the user's choice is put back after.
        const std::string wanted = GetText();
        if (!FDataLink->Edit()) {
            DataChange();
            return;
        }
        if (GetText() != wanted) {
            TShowingScope showing(FShowing);
            SetText(wanted);
        }
        FDataLink->SetModified();
        // An item chosen from the list is the value: it goes into the field at once.
        if (!Editable()) FDataLink->UpdateRecord();
    }
    TCustomComboBox::Change();
}

void TDBComboBox::KeyDown(WORD& key, TShiftState shift) {
    TCustomComboBox::KeyDown(key, shift);
    if (key == 0 || shift.Contains(ssAlt)) return;
    // Keys that choose another item, or change an editable combo's text.
    const bool choosing = key == VK_UP || key == VK_DOWN ||
        (!Editable() && (key == VK_HOME || key == VK_END || key == VK_PRIOR || key == VK_NEXT));
    if (choosing || (Editable() && ChangesText(key, shift))) {
        if (!FDataLink->Edit()) key = 0;
    }
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

// --- grid ------------------------------------------------------------------------------------

class TGridDataLink : public TDataLink {
public:
    explicit TGridDataLink(TDBGrid* grid) : FGrid(grid) { VisualControl = true; }

protected:
    void ActiveChanged() override { FGrid->LayoutChanged(); }
    void LayoutChanged() override { FGrid->LayoutChanged(); }
    void DataSetChanged() override { FGrid->DataChanged(nullptr, true); }
    void DataSetScrolled(int) override { FGrid->DataChanged(nullptr, true); }
    void RecordChanged(TField* field) override { FGrid->DataChanged(field, false); }
    void EditingChanged() override { FGrid->Invalidate(); }
    void UpdateData() override { FGrid->UpdateData(); }

private:
    TDBGrid* FGrid;
};

// The editor of the grid's current cell. Keys that move between records or take back the
// edit go to the grid; the rest edit the text.
class TGridInplaceEdit : public TCustomEdit {
    KAROMIL_CLASS(TGridInplaceEdit, TCustomEdit)
public:
    explicit TGridInplaceEdit(TDBGrid* grid) : TCustomEdit(grid), FGrid(grid) {
        SetVisible(false);
        SetTabStop(false);
        SetBorderStyle(bsNone);
        SetAutoSelect(false);
    }
    // The field's text, which is no change of the user's.
    void Show(const std::string& text) {
        TShowingScope showing(FShowing);
        SetText(text);
    }
    void Dispatch(TMessage& m) override {
        // Enter and Escape belong to the grid while it edits, not to default or cancel buttons.
        if (m.Msg == CM_WANTSPECIALKEY && (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE)) {
            m.Result = 1;
            return;
        }
        TCustomEdit::Dispatch(m);
    }

protected:
    void Change() override {
        if (!FShowing) FGrid->FEditModified = true;
        TCustomEdit::Change();
    }
    void KeyDown(WORD& key, TShiftState shift) override {
        const bool ctrl = shift.Contains(ssCtrl);
        switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_ESCAPE:
            FGrid->KeyDown(key, shift);
            key = 0;
            return;
        case VK_INSERT:
            if (shift.Empty()) {
                FGrid->KeyDown(key, shift);
                key = 0;
                return;
            }
            break;
        case VK_HOME:
        case VK_END:
            if (ctrl) {
                FGrid->KeyDown(key, shift);
                key = 0;
                return;
            }
            break;
        default: break;
        }
        TCustomEdit::KeyDown(key, shift);
        if (key != 0 && ChangesText(key, shift) && !FGrid->CanEditModify()) key = 0;
    }
    void KeyPress(char32_t& key) override {
        FGrid->KeyPress(key);
        if ((Printable(key) || key == 8 || key == 22 || key == 24) && !FGrid->CanEditModify()) key = 0;
        if (key == 9 || key == 13 || key == 27) key = 0;
        if (key != 0) TCustomEdit::KeyPress(key);
    }

private:
    TDBGrid* FGrid;
    bool FShowing = false;
};
KAROMIL_IMPLEMENT_CLASS(TGridInplaceEdit, TCustomEdit)

TColumn::TColumn(TDBGrid* grid)
    : FGrid(grid), FTitle(std::make_unique<TColumnTitle>()), FFont(std::make_unique<TFont>()) {
    FFont->Assign(grid->GetFont());
}
TColumn::~TColumn() = default;

void TColumn::SetFieldName(const std::string& v) {
    FFieldName = v;
    FGrid->Invalidate();
}
void TColumn::SetVisible(bool v) {
    FVisible = v;
    FGrid->Invalidate();
}
void TColumn::SetWidth(int v) {
    FWidth = std::max(0, v);
    FGrid->Invalidate();
}

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
    FOptions = {dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgConfirmDelete,
        dgCancelOnExit};
    SetTabStop(true);
    SetColor(clWindow);
    SetWindowExStyle(WS_EX_CLIENTEDGE);
    SetBounds(0, 0, 320, 120);
}

TDBGrid::~TDBGrid() {
    // While the grid is still whole: the editor is its child window.
    delete FEditor;
    FDataLink->SetDataSource(nullptr);
}

std::string TDBGrid::CellText(TColumn*, TField* field) { return field->DisplayText(); }

TDataSource* TDBGrid::GetDataSource() const noexcept { return FDataLink->DataSource(); }

void TDBGrid::SetDataSource(TDataSource* v) {
    FDataLink->SetDataSource(v);
    if (v) v->FreeNotification(this);
    LayoutChanged();
}

void TDBGrid::Notification(TComponent* c, TOperation op) {
    TCustomControl::Notification(c, op);
    ForgetFreedSource(FDataLink.get(), c, op);
    if (op == opRemove && c == FEditor) {
        FEditor = nullptr;
        FEditorMode = false;
    }
}

TDataSet* TDBGrid::DataSet() const { return FDataLink->DataSet(); }

void TDBGrid::SetOptions(TDBGridOptions v) {
    FOptions = v;
    LayoutChanged();
}

void TDBGrid::SetReadOnly(bool v) {
    FReadOnly = v;
    if (v) HideEditor();
}

TCustomEdit* TDBGrid::InplaceEditor() const noexcept { return FEditor; }

TColumn* TDBGrid::AddColumn() {
    FColumns.push_back(std::make_unique<TColumn>(this));
    Invalidate();
    return FColumns.back().get();
}

void TDBGrid::ClearColumns() {
    FColumns.clear();
    LayoutChanged();
}

int TDBGrid::ColumnCount() const { return int(Shown().size()); }
TColumn* TDBGrid::Columns(int index) const { return Shown().at(size_t(index)); }

std::vector<TColumn*> TDBGrid::Shown() const {
    std::vector<TColumn*> out;
    if (!FColumns.empty()) {
        for (auto& c : FColumns)
            if (c->GetVisible()) out.push_back(c.get());
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
    UpdateScrollBar();
    Invalidate();
    if (!FDataLink->Active()) HideEditor();
    else UpdateEditor(false);
}

// The vertical bar spans the dataset's records, one page being the rows shown, its position the
// record of the top row; a dataset that cannot number its records gets the three positions
// start, middle and end. Without rows to hide the bar goes.
void TDBGrid::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    TDataSet* ds = DataSet();
    if (!ds || !FDataLink->Active()) {
        SetScrollInfo(SB_VERT, si, true);
        return;
    }
    const int count = ds->RecordCount();
    const int recNo = ds->RecNo();
    if (ds->IsSequenced() && count > 0 && recNo > 0) {
        si.nMax = count - 1;
        si.nPage = UINT(VisibleRowCount());
        si.nPos = recNo - 1 - FDataLink->ActiveRecord();
    } else if (!ds->IsEmpty() && !(ds->Bof() && ds->Eof())) {
        si.nMax = 4;
        si.nPage = 0;
        si.nPos = ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
    }
    SetScrollInfo(SB_VERT, si, true);
}

int TDBGrid::TopRecord() const {
    TDataSet* ds = DataSet();
    if (!ds || !FDataLink->Active() || ds->RecNo() < 1) return -1;
    return ds->RecNo() - 1 - FDataLink->ActiveRecord();
}

void TDBGrid::Scroll(int code, int pos) {
    TDataSet* ds = DataSet();
    if (!ds || !FDataLink->Active()) return;
    switch (code) {
    case SB_LINEUP: ds->Prior(); break;
    case SB_LINEDOWN: ds->Next(); break;
    case SB_PAGEUP: ds->MoveBy(-VisibleRowCount()); break;
    case SB_PAGEDOWN: ds->MoveBy(VisibleRowCount()); break;
    case SB_TOP: ds->First(); break;
    case SB_BOTTOM: ds->Last(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        if (const int top = TopRecord(); top >= 0 && pos != top) {
            // The window moves to the thumb and the current record keeps its row: first to the
            // window's far edge (which scrolls it there), then back to the row.
            const int active = FDataLink->ActiveRecord(), last = VisibleRowCount() - 1;
            if (pos > top) {
                ds->MoveBy(pos + last - (top + active));
                ds->MoveBy(active - FDataLink->ActiveRecord());
            } else {
                ds->MoveBy(pos - (top + active));
                ds->MoveBy(active - FDataLink->ActiveRecord());
            }
        } else if (pos <= 0) {
            ds->First();
        } else if (pos >= 4) {
            ds->Last();
        }
        break;
    default: return;
    }
    UpdateScrollBar();
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
    v = std::clamp(v, 0, std::max(0, ColumnCount() - 1));
    if (v == FCol) return;
    // The text typed into the column left goes into its field first.
    if (FEditorMode) FDataLink->UpdateRecord();
    FCol = v;
    Invalidate();
    UpdateEditor(true, true);
}

TField* TDBGrid::SelectedField() const {
    auto cols = Shown();
    return FCol < int(cols.size()) ? cols[size_t(FCol)]->Field() : nullptr;
}

TRect TDBGrid::CellRect(int col, int row) const {
    const int rh = DefaultRowHeight();
    const int top = (FOptions.Contains(dgTitles) ? rh : 0) + row * rh;
    int left = FOptions.Contains(dgIndicator) ? 11 : 0;
    auto cols = Shown();
    for (int i = 0; i < col && i < int(cols.size()); ++i) left += cols[size_t(i)]->GetWidth() + 1;
    const int w = col < int(cols.size()) ? cols[size_t(col)]->GetWidth() : 0;
    return Rect(left, top, left + w, top + rh - 1);
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
        if (x < left + w) {
            col = i;
            return;
        }
        left += w;
        ++i;
    }
}

// --- in-place editing ------------------------------------------------------------------------

bool TDBGrid::CellEditable() const {
    if (!FOptions.Contains(dgEditing) || FOptions.Contains(dgRowSelect) || FReadOnly) return false;
    if (!FDataLink->Active() || FDataLink->ReadOnly()) return false;
    TField* f = SelectedField();
    // A blob's text is no value to type over, unless the field says how to take one.
    return f && f->CanModify() && (!f->IsBlob() || f->OnSetText);
}

bool TDBGrid::CanEditModify() {
    if (!CellEditable()) return false;
    FDataLink->Edit();
    if (!FDataLink->Editing()) return false;
    FEditModified = true;
    return true;
}

void TDBGrid::SetEditorMode(bool v) {
    if (v) ShowEditor();
    else HideEditor();
}

void TDBGrid::ShowEditor() {
    if (FEditorMode || !CellEditable() || GetComponentState().Contains(csDesigning)) return;
    HandleNeeded();
    if (!FEditor) {
        FEditor = new TGridInplaceEdit(this);
        FEditor->SetParent(this);
    }
    FEditorMode = true;
    UpdateEditor(true);
    if (!FEditorMode) return;
    FEditor->SetVisible(true);
    if (CanFocus()) FEditor->SetFocus();
    FEditor->SelectAll();
}

void TDBGrid::HideEditor() {
    if (!FEditorMode) return;
    FEditorMode = false;
    if (!FEditor) return;
    // The focus stays in the grid, not nowhere.
    if (FEditor->Focused() && CanFocus()) SetFocus();
    FEditor->SetVisible(false);
    Invalidate();
}

void TDBGrid::UpdateEditor(bool reload, bool moved) {
    if (!FEditorMode || !FEditor) return;
    if (!CellEditable()) {
        HideEditor();
        return;
    }
    TColumn* col = Shown()[size_t(FCol)];
    const TRect r = CellRect(FCol, FDataLink->ActiveRecord());
    FEditor->SetBounds(r.Left + 1, r.Top + 1, r.Width() - 1, r.Height() - 1);
    FEditor->GetFont()->Assign(col->GetFont());
    TField* f = col->Field();
    const bool text = f->DataType() == ftString || f->DataType() == ftWideString || f->DataType() == ftFixedChar;
    if (const int limit = text ? f->Size() : 0; limit != FEditor->GetMaxLength()) FEditor->SetMaxLength(limit);
    if (reload || !FEditModified) {
        FEditModified = false;
        // Another cell, or another text, is there to be typed over; the same text in the same
        // cell keeps the caret where the user put it.
        const std::string t = f->Text();
        if (moved || t != FEditor->GetText()) {
            FEditor->Show(t);
            FEditor->SelectAll();
        }
    }
}

void TDBGrid::DataChanged(TField* field, bool moved) {
    Invalidate();
    if (!field) UpdateScrollBar();
    TField* selected = SelectedField();
    if (field && field != selected) return;
    // The record changed under the editor: it shows the field's text again.
    FEditModified = false;
    UpdateEditor(true, moved);
}

void TDBGrid::UpdateData() {
    if (!FEditModified || !FEditor) return;
    TField* f = SelectedField();
    if (!f) return;
    SetFieldText(f, FEditor->GetText());
    FEditModified = false;
}

bool TDBGrid::WantsEscape() const {
    TDataSet* ds = DataSet();
    return FEditorMode || (ds && ds->Active() && (ds->State() == dsEdit || ds->State() == dsInsert));
}

// --- painting and input ----------------------------------------------------------------------

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
    const bool focused = Focused() || (FEditor && FEditor->Focused());
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
            const bool selected = row == active &&
                (FOptions.Contains(dgRowSelect) ||
                    (int(i) == FCol && (focused || FOptions.Contains(dgAlwaysShowSelection))));
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
            if (f) DrawText(c->Handle(), CellText(cols[i], f), -1, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align);
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
    // A record the user inserted and left as it came.
    const bool untouchedInsert = ds->State() == dsInsert && !ds->Modified() && !FEditModified;
    const bool appending = FOptions.Contains(dgEditing) && !FReadOnly && !FDataLink->ReadOnly() && ds->CanModify();
    switch (key) {
    case VK_UP:
        if (untouchedInsert && FDataLink->ActiveRecord() == FDataLink->RecordCount() - 1) ds->Cancel();
        else ds->Prior();
        break;
    case VK_DOWN:
        if (untouchedInsert) {
            // Down on an empty appended record stays there; on an inserted one it gives it up.
            if (FDataLink->ActiveRecord() < FDataLink->RecordCount() - 1) ds->Cancel();
        } else if (ds->MoveBy(1) == 0 && ds->Eof() && appending) {
            ds->Append();
        }
        break;
    case VK_PRIOR: ds->MoveBy(-VisibleRowCount()); break;
    case VK_NEXT: ds->MoveBy(VisibleRowCount()); break;
    case VK_HOME:
        if (ctrl) ds->First();
        else SetSelectedIndex(0);
        break;
    case VK_END:
        if (ctrl) ds->Last();
        else SetSelectedIndex(ColumnCount() - 1);
        break;
    case VK_LEFT: SetSelectedIndex(FCol - 1); break;
    case VK_RIGHT: SetSelectedIndex(FCol + 1); break;
    case VK_INSERT:
        if (ctrl || shift.Contains(ssShift) || !appending) return;
        ds->Insert();
        break;
    case VK_F2:
        if (!FOptions.Contains(dgEditing)) return;
        ShowEditor();
        break;
    case VK_ESCAPE:
        // First the typed text, then the record's changes.
        if (FEditModified) {
            FEditModified = false;
            UpdateEditor(true);
        } else {
            ds->Cancel();
        }
        HideEditor();
        break;
    default: return;
    }
    key = 0;
}

void TDBGrid::KeyPress(char32_t& key) {
    TCustomControl::KeyPress(key);
    if (key == 0 || !FOptions.Contains(dgEditing) || FOptions.Contains(dgRowSelect)) return;
    if (key == 13) {
        // Enter opens the editor, or writes its text into the field and closes it.
        if (FEditorMode) {
            FDataLink->UpdateRecord();
            HideEditor();
        } else {
            ShowEditor();
        }
        key = 0;
    } else if ((Printable(key) || key == 8) && !FEditorMode && CellEditable()) {
        // Typing over the cell: the editor opens with its text selected and takes the key.
        ShowEditor();
        if (FEditorMode) FEditor->Perform(WM_CHAR, WPARAM(key), 0);
        key = 0;
    }
}

void TDBGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (FEditorMode) {
        FDataLink->UpdateRecord();
        HideEditor();
    }
    if (CanFocus() && !Focused()) SetFocus();
    int col, row;
    MouseCoord(x, y, col, row);
    if (button == mbLeft && row >= 0 && row < FDataLink->RecordCount() && DataSet()) {
        // Another column of the same record is no move: the record stays as it is.
        if (row != FDataLink->ActiveRecord()) DataSet()->MoveBy(row - FDataLink->ActiveRecord());
        if (col >= 0) SetSelectedIndex(col);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TDBGrid::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case CM_WANTSPECIALKEY:
        // Enter edits in an editing grid; Escape takes back an edit in progress.
        if (m.WParam == VK_RETURN) m.Result = FOptions.Contains(dgEditing) && !FOptions.Contains(dgRowSelect);
        else if (m.WParam == VK_ESCAPE) m.Result = WantsEscape();
        else m.Result = 0;
        return;
    case WM_SIZE:
        TCustomControl::Dispatch(m);
        UpdateRowCount();
        UpdateScrollBar();
        UpdateEditor(false);
        return;
    case WM_VSCROLL: {
        const TWMScroll s(m);
        int pos = s.Pos();
        if (s.ScrollCode() == SB_THUMBTRACK || s.ScrollCode() == SB_THUMBPOSITION) {
            // The message carries 16 bits; the tracked position, when it is this one, has them all.
            TScrollInfo si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(SB_VERT, si);
            if ((si.nTrackPos & 0xFFFF) == (int(HiWord(m.WParam)) & 0xFFFF)) pos = si.nTrackPos;
            else pos = int(HiWord(m.WParam));
        }
        if (FEditorMode) {
            FDataLink->UpdateRecord();
            HideEditor();
        }
        Scroll(s.ScrollCode(), pos);
        m.Result = 0;
        return;
    }
    case WM_MOUSEWHEEL: {
        TWMMouseWheel w(m);
        if (TDataSet* ds = DataSet();
            ds && ds->Active() && !DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), w.Pos()))
            ds->MoveBy(-w.WheelDelta() / WHEEL_DELTA);
        m.Result = 1;
        return;
    }
    case CM_EXIT:
        // Leaving the grid: an appended record nobody filled in goes; typed text goes into
        // its field.
        if (TDataSet* ds = DataSet(); ds && FDataLink->Active()) {
            try {
                if (FOptions.Contains(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() && !FEditModified)
                    ds->Cancel();
                else FDataLink->UpdateRecord();
            } catch (...) {
                SetFocus();
                throw;
            }
        }
        HideEditor();
        Invalidate();
        TCustomControl::Dispatch(m);
        return;
    case CM_ENTER:
        Invalidate();
        TCustomControl::Dispatch(m);
        return;
    default: TCustomControl::Dispatch(m);
    }
}
