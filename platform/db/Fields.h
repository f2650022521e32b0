#pragma once
// The field classes, one per family of TFieldType. Each converts between its native form
// (see DB.h) and the typed accessors, and formats its display and edit texts.

#include "platform/db/DB.h"

class TStringField : public TField {
    KAROMIL_CLASS(TStringField, TField)
public:
    explicit TStringField(TComponent* owner);
    std::string GetAsString() const override;
    void SetAsString(const std::string& value) override;  // cut to Size characters
    int32_t GetAsInteger() const override;
    void SetAsInteger(int32_t value) override { SetAsString(std::to_string(value)); }
    double GetAsFloat() const override;
    void SetAsFloat(double value) override;
    bool GetAsBoolean() const override;
    void SetAsBoolean(bool value) override { SetAsString(value ? "T" : "F"); }
    TDateTime GetAsDateTime() const override;
    void SetAsDateTime(TDateTime value) override;
    int DataSize() const override { return Size() * 4 + 1; }
    bool FixedChar = false;

protected:
    void GetText(std::string& text, bool displayText) const override;
    int GetDefaultWidth() const override { return Size(); }
};

class TWideStringField : public TStringField {
    KAROMIL_CLASS(TWideStringField, TStringField)
public:
    explicit TWideStringField(TComponent* owner);
};

class TGuidField : public TStringField {
    KAROMIL_CLASS(TGuidField, TStringField)
public:
    explicit TGuidField(TComponent* owner);
};

class TNumericField : public TField {
    KAROMIL_CLASS(TNumericField, TField)
public:
    explicit TNumericField(TComponent* owner);
    std::string DisplayFormat;
    std::string EditFormat;
};

class TIntegerField : public TNumericField {
    KAROMIL_CLASS(TIntegerField, TNumericField)
public:
    explicit TIntegerField(TComponent* owner);
    std::string GetAsString() const override;
    void SetAsString(const std::string& value) override;
    int32_t GetAsInteger() const override;
    void SetAsInteger(int32_t value) override;
    int64_t GetAsLargeInt() const override { return GetAsInteger(); }
    void SetAsLargeInt(int64_t value) override;
    double GetAsFloat() const override { return GetAsInteger(); }
    void SetAsFloat(double value) override;
    bool GetAsBoolean() const override { return GetAsInteger() != 0; }
    void SetAsBoolean(bool value) override { SetAsInteger(value ? 1 : 0); }
    Variant GetAsVariant() const override;
    int DataSize() const override { return 4; }
    int64_t MinValue = 0, MaxValue = 0;  // both 0: the type's own range

protected:
    TIntegerField(TComponent* owner, TFieldType type, int64_t lo, int64_t hi);
    void GetText(std::string& text, bool displayText) const override;
    int GetDefaultWidth() const override { return 11; }
    void CheckRange(int64_t value) const;

private:
    int64_t FTypeMin, FTypeMax;
};

class TSmallintField : public TIntegerField {
    KAROMIL_CLASS(TSmallintField, TIntegerField)
public:
    explicit TSmallintField(TComponent* owner);

protected:
    int GetDefaultWidth() const override { return 6; }
};

class TWordField : public TIntegerField {
    KAROMIL_CLASS(TWordField, TIntegerField)
public:
    explicit TWordField(TComponent* owner);

protected:
    int GetDefaultWidth() const override { return 5; }
};

class TAutoIncField : public TIntegerField {
    KAROMIL_CLASS(TAutoIncField, TIntegerField)
public:
    explicit TAutoIncField(TComponent* owner);
};

class TLargeintField : public TNumericField {
    KAROMIL_CLASS(TLargeintField, TNumericField)
public:
    explicit TLargeintField(TComponent* owner);
    std::string GetAsString() const override;
    void SetAsString(const std::string& value) override;
    int32_t GetAsInteger() const override;
    void SetAsInteger(int32_t value) override { SetAsLargeInt(value); }
    int64_t GetAsLargeInt() const override;
    void SetAsLargeInt(int64_t value) override;
    double GetAsFloat() const override { return double(GetAsLargeInt()); }
    void SetAsFloat(double value) override;
    Variant GetAsVariant() const override;
    int DataSize() const override { return 8; }

protected:
    void GetText(std::string& text, bool displayText) const override;
    int GetDefaultWidth() const override { return 15; }
};

class TFloatField : public TNumericField {
    KAROMIL_CLASS(TFloatField, TNumericField)
public:
    explicit TFloatField(TComponent* owner);
    std::string GetAsString() const override;
    void SetAsString(const std::string& value) override;
    int32_t GetAsInteger() const override;
    void SetAsInteger(int32_t value) override { SetAsFloat(value); }
    double GetAsFloat() const override;
    void SetAsFloat(double value) override;
    Variant GetAsVariant() const override;
    int DataSize() const override { return 8; }
    bool Currency = false;
    int Precision = 15;
    double MinValue = 0, MaxValue = 0;  // both 0: no range

protected:
    TFloatField(TComponent* owner, TFieldType type);
    void GetText(std::string& text, bool displayText) const override;
};

class TCurrencyField : public TFloatField {
    KAROMIL_CLASS(TCurrencyField, TFloatField)
public:
    explicit TCurrencyField(TComponent* owner);
};

// Kept as a double (the values this system stores fit one exactly enough).
class TBCDField : public TFloatField {
    KAROMIL_CLASS(TBCDField, TFloatField)
public:
    explicit TBCDField(TComponent* owner);
};

class TBooleanField : public TField {
    KAROMIL_CLASS(TBooleanField, TField)
public:
    explicit TBooleanField(TComponent* owner);
    std::string GetAsString() const override;
    void SetAsString(const std::string& value) override;
    bool GetAsBoolean() const override;
    void SetAsBoolean(bool value) override;
    int32_t GetAsInteger() const override { return GetAsBoolean() ? 1 : 0; }
    void SetAsInteger(int32_t value) override { SetAsBoolean(value != 0); }
    Variant GetAsVariant() const override;
    int DataSize() const override { return 2; }
    // "True text;False text"; the default is "True;False".
    const std::string& DisplayValues() const noexcept { return FDisplayValues; }
    void SetDisplayValues(const std::string& values);

protected:
    void GetText(std::string& text, bool displayText) const override;
    int GetDefaultWidth() const override;

private:
    std::string FDisplayValues = "True;False";
    std::string FTrue = "True", FFalse = "False";
};

class TDateTimeField : public TField {
    KAROMIL_CLASS(TDateTimeField, TField)
public:
    explicit TDateTimeField(TComponent* owner);
    std::string GetAsString() const override;
    void SetAsString(const std::string& value) override;
    TDateTime GetAsDateTime() const override;
    void SetAsDateTime(TDateTime value) override;
    double GetAsFloat() const override { return GetAsDateTime(); }
    void SetAsFloat(double value) override { SetAsDateTime(value); }
    Variant GetAsVariant() const override;
    int DataSize() const override { return 8; }
    std::string DisplayFormat;

protected:
    TDateTimeField(TComponent* owner, TFieldType type);
    void GetText(std::string& text, bool displayText) const override;
    int GetDefaultWidth() const override { return 18; }
};

class TDateField : public TDateTimeField {
    KAROMIL_CLASS(TDateField, TDateTimeField)
public:
    explicit TDateField(TComponent* owner);
    int DataSize() const override { return 4; }

protected:
    int GetDefaultWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
    KAROMIL_CLASS(TTimeField, TDateTimeField)
public:
    explicit TTimeField(TComponent* owner);
    int DataSize() const override { return 4; }

protected:
    int GetDefaultWidth() const override { return 10; }
};

class TBinaryField : public TField {
    KAROMIL_CLASS(TBinaryField, TField)
public:
    explicit TBinaryField(TComponent* owner);
    std::string GetAsString() const override;
    void SetAsString(const std::string& value) override;
    int DataSize() const override { return Size(); }

protected:
    void GetText(std::string& text, bool displayText) const override;
};

class TBytesField : public TBinaryField {
    KAROMIL_CLASS(TBytesField, TBinaryField)
public:
    explicit TBytesField(TComponent* owner);
};

class TVarBytesField : public TBytesField {
    KAROMIL_CLASS(TVarBytesField, TBytesField)
public:
    explicit TVarBytesField(TComponent* owner);
};

// Late-bound object columns of newer database engines: read-only and always Null here.
class TIDispatchField : public TField {
    KAROMIL_CLASS(TIDispatchField, TField)
public:
    explicit TIDispatchField(TComponent* owner);
};

class TBlobField : public TField {
    KAROMIL_CLASS(TBlobField, TField)
public:
    explicit TBlobField(TComponent* owner);
    bool IsBlob() const override { return true; }
    std::string GetAsString() const override;  // the whole content, through a blob stream
    void SetAsString(const std::string& value) override;
    Variant GetAsVariant() const override;
    TFieldType BlobType() const noexcept { return DataType(); }
    void SetBlobType(TFieldType t) { SetDataType(t); }
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    int64_t BlobSize() const;
    // Set when the content was written through a blob stream since the record was read.
    bool Modified = false;
    void Assign(TPersistent* source) override;  // also takes TStrings

protected:
    TBlobField(TComponent* owner, TFieldType type);
    void GetText(std::string& text, bool displayText) const override;
    void AssignTo(TPersistent* dest) override;  // into TStrings
};

class TMemoField : public TBlobField {
    KAROMIL_CLASS(TMemoField, TBlobField)
public:
    explicit TMemoField(TComponent* owner);
};

class TGraphicField : public TBlobField {
    KAROMIL_CLASS(TGraphicField, TBlobField)
public:
    explicit TGraphicField(TComponent* owner);
};
