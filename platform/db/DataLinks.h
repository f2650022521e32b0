#pragma once
// The two ready-made links: one field of a data-aware control, and a detail's master.

#include <functional>
#include <vector>

#include "platform/db/DB.h"

// Ties one field to a data-aware control.
class TFieldDataLink : public TDataLink {
    KAROMIL_CLASS(TFieldDataLink, TDataLink)
public:
    TFieldDataLink() { VisualControl = true; }

    const std::string& FieldName() const noexcept { return FFieldName; }
    void SetFieldName(const std::string& name);
    TField* Field() const noexcept { return FField; }
    // With a control set, an unknown FieldName raises when the link becomes active.
    TComponent* Control = nullptr;
    bool CanModify() const;
    bool Edit();  // answers Editing
    bool Modified() const noexcept { return FModified; }
    void SetModified() { FModified = true; }  // the control's text changed
    void Reset() { RecordChanged(nullptr); }

    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnActiveChange;
    // Asked to focus the control when the dataset focuses this link's field.
    TNotifyEvent OnFocusControl;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField*& field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    void UpdateField();
    void SetField(TField* field);
    std::string FFieldName;
    TField* FField = nullptr;
    bool FModified = false;
    bool FEditing = false;
};

// The link of a detail dataset to its master: the master fields named by FieldNames.
class TMasterDataLink : public TDataLink {
    KAROMIL_CLASS(TMasterDataLink, TDataLink)
public:
    explicit TMasterDataLink(TDataSet* detail = nullptr) : FDetail(detail) {}
    const std::string& FieldNames() const noexcept { return FFieldNames; }
    void SetFieldNames(const std::string& names);
    const std::vector<TField*>& Fields() const noexcept { return FFields; }
    TDataSet* Detail() const noexcept { return FDetail; }

    TNotifyEvent OnMasterChange;  // the master's record or a linked field changed
    TNotifyEvent OnMasterDisable;  // the link went inactive or lost its fields

protected:
    void ActiveChanged() override;
    void CheckBrowseMode() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;

private:
    TDataSet* FDetail;
    std::string FFieldNames;
    std::vector<TField*> FFields;
};
