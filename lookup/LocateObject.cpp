#include "lookup/LocateObject.h"

#include "platform/gui/Application.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS(TLocateObject, TObject)

TCreateLocateObject CreateLocateObjectHook;

const char* const SPropDefByLookup = "Property already defined by lookup field";
const char* const SDataSourceFixed = "Operation not allowed in a DBCtrlGrid";
const char* const SCircularDataLink = "Circular datalinks are not allowed";

void LookupError(const std::string& message) { DatabaseError(message); }

void TLocateObject::BindDataSet(TDataSet* dataSet) {
    DataSetAttached();
    FDataSet = dataSet;
}

bool TLocateObject::FindRecord(const std::string& fieldName, const std::string& value, bool exact, bool caseSensitive) {
    if (!FDataSet) return false;
    FDataSet->CheckBrowseMode();
    TField* field = FDataSet->FieldByName(fieldName);
    FDataSet->CursorPosChanged();
    FLookupField = field;
    FLookupValue = value;
    FLookupExact = exact;
    FCaseSensitive = caseSensitive;
    auto reset = OnScopeExit([this] {
        FLookupValue.clear();
        FLookupField = nullptr;
        FBookmark.clear();
    });
    if (field->DataType() != ftString) {
        FCaseSensitive = true;
        try {
            VerifyField(field);
        } catch (const Exception&) {
            return false;
        }
    }
    FBookmark = FDataSet->GetBookmark();
    FDataSet->DisableControls();
    auto enable = OnScopeExit([d = FDataSet] { d->EnableControls(); });
    bool found = MatchesCurrent();
    if (!found) {
        if (IndexUsable()) found = SearchByIndex();
        else if (FieldIsStored()) found = SearchByLocate();
        else found = SearchByScan();
        if (!found) RestoreBookmark(FDataSet, FBookmark);
    }
    return found;
}

bool TLocateObject::SearchByLocate() {
    TLocateOptions options;
    if (!FCaseSensitive) options.Include(loCaseInsensitive);
    if (!FLookupExact) options.Include(loPartialKey);
    const Variant key = FLookupValue.empty() ? Variant() : Variant(FLookupValue);
    const TCursor saved = Screen->GetCursor();
    Screen->SetCursor(crHourGlass);
    auto restore = OnScopeExit([saved] { Screen->SetCursor(saved); });
    return FDataSet->Locate(FLookupField->FieldName(), key, options);
}

bool TLocateObject::SearchByScan() {
    FDataSet->First();
    while (!FDataSet->Eof()) {
        if (MatchesCurrent()) return true;
        FDataSet->Next();
    }
    return false;
}

bool TLocateObject::FieldIsStored() const {
    const TFieldKind k = FLookupField->FieldKind();
    return k == fkData || k == fkInternalCalc;
}

bool TLocateObject::MatchesCurrent() const {
    std::string text = FLookupField->GetAsString();
    if (!FLookupExact) text = Utf8Copy(text, 1, Utf8Length(FLookupValue));
    return (FCaseSensitive ? AnsiCompareStr(text, FLookupValue) : AnsiCompareText(text, FLookupValue)) == 0;
}

bool RestoreBookmark(TDataSet* dataSet, const TBookmark& bookmark) {
    if (!dataSet || !dataSet->Active() || bookmark.empty()) return false;
    if (dataSet->Bof() && dataSet->Eof()) return false;
    try {
        if (!dataSet->BookmarkValid(bookmark)) return false;
        dataSet->GotoBookmark(bookmark);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

std::unique_ptr<TLocateObject> NewLocateObject(TDataSet* dataSet) {
    std::unique_ptr<TLocateObject> result = CreateLocateObjectHook ? CreateLocateObjectHook()
                                                                   : std::make_unique<TLocateObject>();
    if (result && dataSet) result->BindDataSet(dataSet);
    return result;
}
