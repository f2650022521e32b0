#pragma once
// Data-aware standard controls: each shows one field of a data source's current record
// through a TFieldDataLink, puts the dataset into edit mode when the user starts to change it
// (AutoEdit of the data source), and writes the field when the focus leaves and when the
// dataset asks its links for their data (UpdateRecord, before Post).
//
// TDBGrid paints the rows of its link's window itself and moves the dataset with the keyboard
// and the mouse.

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/db/DataLinks.h"
#include "platform/gui/StdCtrls.h"

// What every single-field control shares: its field link, the published DataSource and
// DataField, forgetting a freed source, and the flag that tells the field's display from the
// user's edit. The control sets the link's OnDataChange and OnUpdateData.
template <class Base>
class TFieldControl : public Base {
public:
    explicit TFieldControl(TComponent* owner) : Base(owner), FDataLink(std::make_unique<TFieldDataLink>()) {
        FDataLink->Control = this;
    }
    ~TFieldControl() override {
        FDataLink->OnDataChange = nullptr;
        FDataLink->OnUpdateData = nullptr;
    }
    TDataSource* GetDataSource() const noexcept { return FDataLink->DataSource(); }
    void SetDataSource(TDataSource* v) {
        FDataLink->SetDataSource(v);
        if (v) v->FreeNotification(this);
    }
    std::string GetDataField() const { return FDataLink->FieldName(); }
    void SetDataField(const std::string& v) { FDataLink->SetFieldName(v); }
    TField* Field() const noexcept { return FDataLink->Field(); }
    TFieldDataLink* DataLink() const noexcept { return FDataLink.get(); }
    // The field is written as the focus leaves; a value the field refuses keeps the focus here.
    void Dispatch(TMessage& message) override {
        if constexpr (std::is_base_of_v<TWinControl, Base>) {
            if (message.Msg == CM_EXIT) {
                try {
                    FDataLink->UpdateRecord();
                } catch (...) {
                    ExitRefused();
                    this->SetFocus();
                    throw;
                }
            }
        }
        Base::Dispatch(message);
    }

protected:
    // Prepares the control for the user's second try after its value was refused.
    virtual void ExitRefused() {}
    void Notification(TComponent* component, TOperation operation) override {
        Base::Notification(component, operation);
        if (operation == opRemove && component == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
    }
    bool FShowing = false;  // the control shows the field's value, not the user's edit
    std::unique_ptr<TFieldDataLink> FDataLink;
};

class TDBText : public TFieldControl<TCustomLabel> {
    KAROMIL_CLASS(TDBText, TCustomLabel)
public:
    explicit TDBText(TComponent* owner);
};

class TDBEdit : public TFieldControl<TCustomEdit> {
    KAROMIL_CLASS(TDBEdit, TCustomEdit)
public:
    explicit TDBEdit(TComponent* owner);
    void Dispatch(TMessage& message) override;

protected:
    void ExitRefused() override { SelectAll(); }
    void Change() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;

private:
    void DataChange();
    void ShowReadOnly(bool v);
};

class TDBMemo : public TFieldControl<TCustomMemo> {
    KAROMIL_CLASS(TDBMemo, TCustomMemo)
public:
    explicit TDBMemo(TComponent* owner);

protected:
    void Change() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
};

class TDBCheckBox : public TFieldControl<TCustomCheckBox> {
    KAROMIL_CLASS(TDBCheckBox, TCustomCheckBox)
public:
    explicit TDBCheckBox(TComponent* owner);
    // The texts of a non-Boolean field meaning checked and unchecked; ";" separates synonyms,
    // the first is written.
    std::string GetValueChecked() const { return FValueChecked; }
    void SetValueChecked(const std::string& v) {
        FValueChecked = v;
        DataChange();
    }
    std::string GetValueUnchecked() const { return FValueUnchecked; }
    void SetValueUnchecked(const std::string& v) {
        FValueUnchecked = v;
        DataChange();
    }

protected:
    void StateChanged() override;

private:
    void DataChange();
    std::string FValueChecked = "True", FValueUnchecked = "False";
};

class TDBComboBox : public TFieldControl<TCustomComboBox> {
    KAROMIL_CLASS(TDBComboBox, TCustomComboBox)
public:
    explicit TDBComboBox(TComponent* owner);

protected:
    void Change() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;

private:
    void DataChange();
};

// --- grid ------------------------------------------------------------------------------------

class TDBGrid;

// The title of a column.
class TColumnTitle : public TPersistent {
    KAROMIL_CLASS(TColumnTitle, TPersistent)
public:
    std::string Caption;  // '' shows the field's DisplayLabel
    TAlignment Alignment = taLeftJustify;
};

class TColumn : public TPersistent {
    KAROMIL_CLASS(TColumn, TPersistent)
public:
    explicit TColumn(TDBGrid* grid);
    ~TColumn() override;
    std::string GetFieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v);
    int GetWidth() const;
    void SetWidth(int v);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool v);
    TColumnTitle* Title() const noexcept { return FTitle.get(); }
    TFont* GetFont() const noexcept { return FFont.get(); }
    TField* Field() const;

private:
    TDBGrid* FGrid;
    std::string FFieldName;
    int FWidth = 0;  // 0: from the field's DisplayWidth
    bool FVisible = true;
    std::unique_ptr<TColumnTitle> FTitle;
    std::unique_ptr<TFont> FFont;
};

enum TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect,
};
using TDBGridOptions = TSet<TDBGridOption>;

class TGridInplaceEdit;

// With dgEditing (and without dgRowSelect) the current cell is edited in place: F2, Enter or
// typing opens the editor, Enter, leaving the grid, another column or another row writes its
// text into the field (SetText), and moving to another row posts the record. Escape takes
// back the typed text, a second Escape the record's changes. Insert inserts a record, Down
// past the last one appends; with dgCancelOnExit an appended record nobody filled in is
// cancelled when the grid loses the focus or the user moves off it.
class TDBGrid : public TCustomControl {
    KAROMIL_CLASS(TDBGrid, TCustomControl)
public:
    explicit TDBGrid(TComponent* owner);
    ~TDBGrid() override;
    TDataSource* GetDataSource() const noexcept;
    void SetDataSource(TDataSource* v);
    TDBGridOptions GetOptions() const noexcept { return FOptions; }
    void SetOptions(TDBGridOptions v);
    bool GetReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool v);
    // Whether the in-place editor is open on the current cell.
    bool GetEditorMode() const noexcept { return FEditorMode; }
    void SetEditorMode(bool v);
    TCustomEdit* InplaceEditor() const noexcept;
    // Stored columns; none means one column per visible field.
    TColumn* AddColumn();
    int ColumnCount() const;
    TColumn* Columns(int index) const;
    void ClearColumns();
    // The column of the focus (visible columns counted).
    int GetSelectedIndex() const noexcept { return FCol; }
    void SetSelectedIndex(int v);
    TField* SelectedField() const;
    int DefaultRowHeight() const;
    // The rows the grid shows (the link's window).
    int VisibleRowCount() const;
    // The cell of a client point: row -1 for the title, column -1 for the indicator.
    void MouseCoord(int x, int y, int& col, int& row) const;
    void Dispatch(TMessage& message) override;
    void LayoutChanged();
    // The record number (from 0) of the top row; -1 when the dataset cannot number records.
    int TopRecord() const;

protected:
    void Paint() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;
    // The text a cell of the column shows for the field of the current record: its DisplayText.
    virtual std::string CellText(TColumn* column, TField* field);

private:
    friend class TGridDataLink;
    friend class TColumn;
    friend class TGridInplaceEdit;
    void UpdateRowCount();
    void UpdateScrollBar();
    // A scroll-bar action (SB_ code) moves the dataset.
    void Scroll(int code, int pos);
    TDataSet* DataSet() const;
    std::vector<TColumn*> Shown() const;
    TRect CellRect(int col, int row) const;
    // The current cell may be changed by the user (nothing put into edit mode yet).
    bool CellEditable() const;
    // Puts the record into edit mode for the user's first change; answers whether it may change.
    bool CanEditModify();
    void ShowEditor();
    void HideEditor();
    // The editor over the current cell, showing the field's text unless the user changed it.
    void UpdateEditor(bool reload, bool moved = false);
    void DataChanged(TField* field, bool moved);
    void UpdateData();
    bool WantsEscape() const;
    std::vector<std::unique_ptr<TColumn>> FColumns;
    mutable std::vector<std::unique_ptr<TColumn>> FDefaultColumns;
    std::unique_ptr<class TGridDataLink> FDataLink;
    TDBGridOptions FOptions;
    int FCol = 0;
    bool FReadOnly = false;
    bool FEditorMode = false;
    bool FEditModified = false;  // the editor holds text not yet written to the field
    TGridInplaceEdit* FEditor = nullptr;
};
