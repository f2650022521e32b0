// The concrete field classes.

#include "platform/db/DBConsts.h"
#include "platform/db/Fields.h"

#include <memory>

#include "platform/classes/Streams.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TStringField, TField, { p.Prop("Size", &Self::Size, &Self::SetSize).Default(20); })
KAROMIL_IMPLEMENT_CLASS(TWideStringField, TStringField)
KAROMIL_IMPLEMENT_CLASS(TGuidField, TStringField)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TNumericField, TField, {
    p.Prop("DisplayFormat", &Self::DisplayFormat);
    p.Prop("EditFormat", &Self::EditFormat);
})
KAROMIL_IMPLEMENT_CLASS(TIntegerField, TNumericField)
KAROMIL_IMPLEMENT_CLASS(TSmallintField, TIntegerField)
KAROMIL_IMPLEMENT_CLASS(TWordField, TIntegerField)
KAROMIL_IMPLEMENT_CLASS(TAutoIncField, TIntegerField)
KAROMIL_IMPLEMENT_CLASS(TLargeintField, TNumericField)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TFloatField, TNumericField, {
    p.Prop("Currency", &Self::Currency).Default(0);
    p.Prop("Precision", &Self::Precision).Default(15);
})
KAROMIL_IMPLEMENT_CLASS(TCurrencyField, TFloatField)
KAROMIL_IMPLEMENT_CLASS(TBCDField, TFloatField)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(
    TBooleanField, TField, { p.Prop("DisplayValues", &Self::DisplayValues, &Self::SetDisplayValues); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDateTimeField, TField, { p.Prop("DisplayFormat", &Self::DisplayFormat); })
KAROMIL_IMPLEMENT_CLASS(TDateField, TDateTimeField)
KAROMIL_IMPLEMENT_CLASS(TTimeField, TDateTimeField)
KAROMIL_IMPLEMENT_CLASS(TBinaryField, TField)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(
    TBytesField, TBinaryField, { p.Prop("Size", &Self::Size, &Self::SetSize).Default(16); })
KAROMIL_IMPLEMENT_CLASS(TVarBytesField, TBytesField)
KAROMIL_IMPLEMENT_CLASS(TIDispatchField, TField)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TBlobField, TField, { p.Prop("Size", &Self::Size, &Self::SetSize).Default(0); })
KAROMIL_IMPLEMENT_CLASS(TMemoField, TBlobField)
KAROMIL_IMPLEMENT_CLASS(TGraphicField, TBlobField)

// --- text -------------------------------------------------------------------------------------

TStringField::TStringField(TComponent* owner) : TField(owner) {
    SetDataType(ftString);
    SetSize(20);
}

std::string TStringField::GetAsString() const {
    Variant v;
    return GetData(&v) ? VarToStr(v) : std::string();
}

void TStringField::SetAsString(const std::string& value) {
    Variant v(Size() > 0 && Utf8Length(value) > Size() ? Utf8Copy(value, 1, Size()) : value);
    SetData(&v);
}

int32_t TStringField::GetAsInteger() const { return StrToInt(GetAsString()); }
double TStringField::GetAsFloat() const { return StrToFloat(GetAsString()); }
void TStringField::SetAsFloat(double value) { SetAsString(FloatToStr(value)); }
bool TStringField::GetAsBoolean() const {
    std::string s = GetAsString();
    return !s.empty() && (s[0] == 'T' || s[0] == 't' || s[0] == 'Y' || s[0] == 'y');
}
TDateTime TStringField::GetAsDateTime() const { return StrToDateTime(GetAsString()); }
void TStringField::SetAsDateTime(TDateTime value) { SetAsString(DateTimeToStr(value)); }

void TStringField::GetText(std::string& text, bool displayText) const {
    text = GetAsString();
    if (displayText && !EditMask().empty()) text = FormatMaskText(EditMask(), text);
}

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) { SetDataType(ftWideString); }

TGuidField::TGuidField(TComponent* owner) : TStringField(owner) {
    SetDataType(ftGuid);
    SetSize(38);
}

// --- integers ---------------------------------------------------------------------------------

TNumericField::TNumericField(TComponent* owner) : TField(owner) { FAlignment = taRightJustify; }

namespace {
std::string NumberFormat(const TNumericField* f, bool displayText) {
    return displayText || f->EditFormat.empty() ? f->DisplayFormat : f->EditFormat;
}

// Integer text of either width: blank means Null; anything else must parse whole.
// Returns false when the caller should clear the field.
bool ParseIntegerText(const TField* f, const std::string& value, int64_t& n) {
    std::string s = Trim(value);
    if (s.empty()) return false;
    if (!TryStrToInt64(s, n)) DatabaseErrorFmt(DBConsts::SInvalidInteger, {value, f->DisplayName()});
    return true;
}

void IntegerText(const TNumericField* f, bool displayText, int64_t value, std::string& text) {
    std::string fmt = NumberFormat(f, displayText);
    text = fmt.empty() ? IntToStr(value) : FormatFloat(fmt, double(value));
}
}  // namespace

TIntegerField::TIntegerField(TComponent* owner) : TIntegerField(owner, ftInteger, INT32_MIN, INT32_MAX) {}

TIntegerField::TIntegerField(TComponent* owner, TFieldType type, int64_t lo, int64_t hi)
    : TNumericField(owner), FTypeMin(lo), FTypeMax(hi) {
    SetDataType(type);
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner, ftSmallint, -32768, 32767) {}
TWordField::TWordField(TComponent* owner) : TIntegerField(owner, ftWord, 0, 65535) {}
TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner, ftAutoInc, INT32_MIN, INT32_MAX) {}

void TIntegerField::CheckRange(int64_t value) const {
    int64_t lo = FTypeMin, hi = FTypeMax;
    if (MinValue != 0 || MaxValue != 0) {
        lo = MinValue;
        hi = MaxValue;
    }
    if (value < lo || value > hi) DatabaseErrorFmt(DBConsts::SFieldRangeInt, {value, DisplayName(), lo, hi});
}

int32_t TIntegerField::GetAsInteger() const {
    Variant v;
    return GetData(&v) ? v.AsInteger() : 0;
}

std::string TIntegerField::GetAsString() const {
    Variant v;
    return GetData(&v) ? IntToStr(v.AsInteger()) : std::string();
}

void TIntegerField::SetAsInteger(int32_t value) {
    CheckRange(value);
    Variant v(value);
    SetData(&v);
}

void TIntegerField::SetAsLargeInt(int64_t value) {
    CheckRange(value);
    SetAsInteger(int32_t(value));
}

void TIntegerField::SetAsFloat(double value) { SetAsLargeInt(Round(value)); }

void TIntegerField::SetAsString(const std::string& value) {
    int64_t n;
    if (ParseIntegerText(this, value, n)) SetAsLargeInt(n);
    else Clear();
}

Variant TIntegerField::GetAsVariant() const {
    Variant v;
    return GetData(&v) ? Variant(v.AsInteger()) : Variant::Null();
}

void TIntegerField::GetText(std::string& text, bool displayText) const {
    Variant v;
    if (!GetData(&v)) {
        text.clear();
        return;
    }
    IntegerText(this, displayText, v.AsInteger(), text);
}

TLargeintField::TLargeintField(TComponent* owner) : TNumericField(owner) { SetDataType(ftLargeint); }

int64_t TLargeintField::GetAsLargeInt() const {
    Variant v;
    return GetData(&v) ? v.AsInt64() : 0;
}

int32_t TLargeintField::GetAsInteger() const {
    int64_t v = GetAsLargeInt();
    if (v < INT32_MIN || v > INT32_MAX) AccessError("Integer");
    return int32_t(v);
}

std::string TLargeintField::GetAsString() const {
    Variant v;
    return GetData(&v) ? IntToStr(v.AsInt64()) : std::string();
}

void TLargeintField::SetAsLargeInt(int64_t value) {
    Variant v(value);
    SetData(&v);
}

void TLargeintField::SetAsFloat(double value) { SetAsLargeInt(Round(value)); }

void TLargeintField::SetAsString(const std::string& value) {
    int64_t n;
    if (ParseIntegerText(this, value, n)) SetAsLargeInt(n);
    else Clear();
}

Variant TLargeintField::GetAsVariant() const {
    Variant v;
    return GetData(&v) ? Variant(v.AsInt64()) : Variant::Null();
}

void TLargeintField::GetText(std::string& text, bool displayText) const {
    Variant v;
    if (!GetData(&v)) {
        text.clear();
        return;
    }
    IntegerText(this, displayText, v.AsInt64(), text);
}

// --- floats -----------------------------------------------------------------------------------

TFloatField::TFloatField(TComponent* owner) : TFloatField(owner, ftFloat) {}
TFloatField::TFloatField(TComponent* owner, TFieldType type) : TNumericField(owner) { SetDataType(type); }

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner, ftCurrency) { Currency = true; }
TBCDField::TBCDField(TComponent* owner) : TFloatField(owner, ftBCD) { Precision = 18; }

double TFloatField::GetAsFloat() const {
    Variant v;
    return GetData(&v) ? v.AsDouble() : 0.0;
}

int32_t TFloatField::GetAsInteger() const { return int32_t(Round(GetAsFloat())); }

std::string TFloatField::GetAsString() const {
    Variant v;
    return GetData(&v) ? FloatToStr(v.AsDouble()) : std::string();
}

void TFloatField::SetAsFloat(double value) {
    if ((MinValue != 0 || MaxValue != 0) && (value < MinValue || value > MaxValue))
        DatabaseErrorFmt(
            DBConsts::SFieldRangeFloat, {FloatToStr(value), DisplayName(), FloatToStr(MinValue), FloatToStr(MaxValue)});
    Variant v(value);
    SetData(&v);
}

void TFloatField::SetAsString(const std::string& value) {
    std::string s = Trim(value);
    if (s.empty()) {
        Clear();
        return;
    }
    double d;
    if (!TryStrToFloat(s, d, FormatSettings())) DatabaseErrorFmt(DBConsts::SInvalidFloat, {value, DisplayName()});
    SetAsFloat(d);
}

Variant TFloatField::GetAsVariant() const {
    Variant v;
    return GetData(&v) ? Variant(v.AsDouble()) : Variant::Null();
}

void TFloatField::GetText(std::string& text, bool displayText) const {
    Variant v;
    if (!GetData(&v)) {
        text.clear();
        return;
    }
    double d = v.AsDouble();
    std::string fmt = NumberFormat(this, displayText);
    if (!fmt.empty()) text = FormatFloat(fmt, d);
    else if (Currency)
        text = displayText ? FloatToStrF(d, ffCurrency, Precision, FormatSettings().CurrencyDecimals)
                           : FloatToStrF(d, ffFixed, Precision, FormatSettings().CurrencyDecimals);
    else text = FloatToStrF(d, ffGeneral, Precision, 0);
}

// --- Boolean ----------------------------------------------------------------------------------

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const std::string& values) {
    FDisplayValues = values;
    size_t sc = values.find(';');
    if (sc == std::string::npos) {
        FTrue = values;
        FFalse.clear();
    } else {
        FTrue = values.substr(0, sc);
        FFalse = values.substr(sc + 1);
    }
    if (values.empty()) {
        FTrue = "True";
        FFalse = "False";
    }
    PropertyChanged(true);
}

bool TBooleanField::GetAsBoolean() const {
    Variant v;
    return GetData(&v) && v.AsBoolean();
}

void TBooleanField::SetAsBoolean(bool value) {
    Variant v(value);
    SetData(&v);
}

std::string TBooleanField::GetAsString() const {
    Variant v;
    if (!GetData(&v)) return {};
    return v.AsBoolean() ? FTrue : FFalse;
}

void TBooleanField::SetAsString(const std::string& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    int64_t n = Utf8Length(value);
    if (AnsiSameText(value, Utf8Copy(FFalse, 1, n))) SetAsBoolean(false);
    else if (AnsiSameText(value, Utf8Copy(FTrue, 1, n))) SetAsBoolean(true);
    else DatabaseErrorFmt(DBConsts::SInvalidBoolean, {value, DisplayName()});
}

Variant TBooleanField::GetAsVariant() const {
    Variant v;
    return GetData(&v) ? Variant(v.AsBoolean()) : Variant::Null();
}

void TBooleanField::GetText(std::string& text, bool) const { text = GetAsString(); }

int TBooleanField::GetDefaultWidth() const { return int(std::max(Utf8Length(FTrue), Utf8Length(FFalse))); }

// --- dates and times --------------------------------------------------------------------------

TDateTimeField::TDateTimeField(TComponent* owner) : TDateTimeField(owner, ftDateTime) {}
TDateTimeField::TDateTimeField(TComponent* owner, TFieldType type) : TField(owner) { SetDataType(type); }
TDateField::TDateField(TComponent* owner) : TDateTimeField(owner, ftDate) {}
TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner, ftTime) {}

TDateTime TDateTimeField::GetAsDateTime() const {
    Variant v;
    if (!GetData(&v)) return 0;
    switch (DataType()) {
    case ftDate: return TimeStampToDateTime(TTimeStamp{0, v.AsInteger()});
    case ftTime: return TimeStampToDateTime(TTimeStamp{v.AsInteger(), DateDelta});
    default: return TimeStampToDateTime(MSecsToTimeStamp(v.AsDouble()));
    }
}

void TDateTimeField::SetAsDateTime(TDateTime value) {
    TTimeStamp ts = DateTimeToTimeStamp(value);
    Variant v;
    switch (DataType()) {
    case ftDate: v = Variant(ts.Date); break;
    case ftTime: v = Variant(ts.Time); break;
    default: v = Variant(TimeStampToMSecs(ts)); break;
    }
    SetData(&v);
}

std::string TDateTimeField::GetAsString() const {
    std::string t;
    GetText(t, false);
    return t;
}

void TDateTimeField::SetAsString(const std::string& value) {
    std::string s = Trim(value);
    if (s.empty()) {
        Clear();
        return;
    }
    switch (DataType()) {
    case ftDate: SetAsDateTime(StrToDate(s)); break;
    case ftTime: SetAsDateTime(StrToTime(s)); break;
    default: SetAsDateTime(StrToDateTime(s)); break;
    }
}

Variant TDateTimeField::GetAsVariant() const {
    if (IsNull()) return Variant::Null();
    return Variant::FromDate(GetAsDateTime());
}

void TDateTimeField::GetText(std::string& text, bool displayText) const {
    if (IsNull()) {
        text.clear();
        return;
    }
    TDateTime d = GetAsDateTime();
    if (displayText && !DisplayFormat.empty()) text = FormatDateTime(DisplayFormat, d);
    else if (DataType() == ftDate) text = DateToStr(d);
    else if (DataType() == ftTime) text = TimeToStr(d);
    else text = DateTimeToStr(d);
}

// --- bytes ------------------------------------------------------------------------------------

TBinaryField::TBinaryField(TComponent* owner) : TField(owner) {}

std::string TBinaryField::GetAsString() const {
    Variant v;
    return GetData(&v) ? VarToStr(v) : std::string();
}

void TBinaryField::SetAsString(const std::string& value) {
    if (value.empty()) {
        Clear();
        return;
    }
    Variant v(Size() > 0 && value.size() > size_t(Size()) ? value.substr(0, size_t(Size())) : value);
    SetData(&v);
}

void TBinaryField::GetText(std::string& text, bool) const { text = GetAsString(); }

TBytesField::TBytesField(TComponent* owner) : TBinaryField(owner) {
    SetDataType(ftBytes);
    SetSize(16);
}

TVarBytesField::TVarBytesField(TComponent* owner) : TBytesField(owner) { SetDataType(ftVarBytes); }

TIDispatchField::TIDispatchField(TComponent* owner) : TField(owner) {
    SetDataType(ftIDispatch);
    SetReadOnly(true);
}

// --- blobs ------------------------------------------------------------------------------------

TBlobField::TBlobField(TComponent* owner) : TBlobField(owner, ftBlob) {}
TBlobField::TBlobField(TComponent* owner, TFieldType type) : TField(owner) { SetDataType(type); }
TMemoField::TMemoField(TComponent* owner) : TBlobField(owner, ftMemo) {}
TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner, ftGraphic) {}

std::string TBlobField::GetAsString() const {
    if (!DataSet()) DatabaseErrorFmt(DBConsts::SMissingDataSet, {DisplayName()});
    std::unique_ptr<TStream> s(DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead));
    std::string out;
    if (!s) return out;
    int64_t n = s->Size();
    if (n > 0) {
        out.resize(size_t(n));
        s->Seek(0, soFromBeginning);
        out.resize(size_t(std::max<int64_t>(0, s->Read(out.data(), n))));
    }
    return out;
}

void TBlobField::SetAsString(const std::string& value) {
    if (!DataSet()) DatabaseErrorFmt(DBConsts::SMissingDataSet, {DisplayName()});
    std::unique_ptr<TStream> s(DataSet()->CreateBlobStream(this, bmWrite));
    if (!value.empty()) s->WriteBuffer(value.data(), int64_t(value.size()));
}

Variant TBlobField::GetAsVariant() const {
    if (IsNull()) return Variant::Null();
    return Variant(GetAsString());
}

int64_t TBlobField::BlobSize() const {
    if (!DataSet()) return 0;
    std::unique_ptr<TStream> s(DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead));
    return s ? s->Size() : 0;
}

void TBlobField::LoadFromStream(TStream* stream) {
    std::unique_ptr<TStream> s(DataSet()->CreateBlobStream(this, bmWrite));
    stream->SetPosition(0);
    s->CopyFrom(stream, 0);
}

void TBlobField::SaveToStream(TStream* stream) const {
    std::unique_ptr<TStream> s(DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead));
    if (s && s->Size() > 0) stream->CopyFrom(s.get(), 0);
}

void TBlobField::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TBlobField::SaveToFile(const std::string& fileName) const {
    TFileStream f(fileName, fmCreate);
    SaveToStream(&f);
}

void TBlobField::GetText(std::string& text, bool displayText) const {
    if (!displayText && DataType() == ftMemo) {
        text = GetAsString();
        return;
    }
    std::string name = FieldTypeName(DataType());
    text.assign(1, '(');
    text += IsNull() ? name : UpperCase(name);
    text += ')';
}

void TBlobField::Assign(TPersistent* source) {
    if (auto* s = dynamic_cast<TStrings*>(source)) {
        SetAsString(s->Text());
        return;
    }
    TField::Assign(source);
}

void TBlobField::AssignTo(TPersistent* dest) {
    if (auto* s = dynamic_cast<TStrings*>(dest)) {
        s->SetText(GetAsString());
        return;
    }
    TField::AssignTo(dest);
}
