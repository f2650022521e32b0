#pragma once
// The property filer: extra stored data of an object (DefineProperties) in the class library's
// binary value encoding.
//
// An entry is the property name (a length byte and the characters) followed by one value:
//   0x00 list end        0x01 list begin
//   0x02 int8, 0x03 int16, 0x04 int32, 0x13 int64 (little-endian, signed, smallest form written)
//   0x06 short string (length byte)   0x0C long string (4-byte length)
//   0x0A binary (4-byte length, then the bytes)
// Every length is checked against what the stream still holds before anything is allocated:
// damaged data raises EReadError, never reads past the end.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/classes/Object.h"

class TStream;
class TComponent;
class TPersistent;
class TReader;
class TWriter;

enum TValueType : uint8_t {
    vaNull = 0x00,
    vaList = 0x01,
    vaInt8 = 0x02,
    vaInt16 = 0x03,
    vaInt32 = 0x04,
    vaExtended = 0x05,
    vaString = 0x06,
    vaIdent = 0x07,
    vaFalse = 0x08,
    vaTrue = 0x09,
    vaBinary = 0x0A,
    vaSet = 0x0B,
    vaLString = 0x0C,
    vaNil = 0x0D,
    vaCollection = 0x0E,
    vaSingle = 0x0F,
    vaCurrency = 0x10,
    vaDate = 0x11,
    vaWString = 0x12,
    vaInt64 = 0x13,
    vaUTF8String = 0x14,
};

using TReaderProc = std::function<void(TReader*)>;
using TWriterProc = std::function<void(TWriter*)>;
using TStreamProc = std::function<void(TStream*)>;

class TFiler : public TObject {
    KAROMIL_CLASS(TFiler, TObject)
public:
    explicit TFiler(TStream* stream) : FStream(stream) {}

    TStream* GetStream() const noexcept { return FStream; }
    // The component whose names references are written relative to.
    TComponent* GetRoot() const noexcept { return FRoot; }
    void SetRoot(TComponent* root) noexcept { FRoot = root; }
    TComponent* GetLookupRoot() const noexcept { return FLookupRoot ? FLookupRoot : FRoot; }
    void SetLookupRoot(TComponent* root) noexcept { FLookupRoot = root; }

    // Called from DefineProperties. A writer stores the entry when hasData; a reader calls
    // readData when the entry it is at has this name (ASCII case ignored).
    virtual void DefineProperty(
        const std::string& name, const TReaderProc& readData, const TWriterProc& writeData, bool hasData) = 0;
    // The same for a block of bytes; the procedures see a memory stream holding just them.
    virtual void DefineBinaryProperty(
        const std::string& name, const TStreamProc& readData, const TStreamProc& writeData, bool hasData) = 0;

protected:
    TStream* FStream;

private:
    TComponent* FRoot = nullptr;
    TComponent* FLookupRoot = nullptr;
};

class TReader : public TFiler {
    KAROMIL_CLASS(TReader, TFiler)
public:
    using TFiler::TFiler;

    // Reads entries into the object until the data ends or a list end closes them. An entry
    // the object does not define, or a damaged one, ends the reading silently; what was read
    // before it stays applied.
    void ReadProperties(TPersistent* instance);

    void DefineProperty(
        const std::string& name, const TReaderProc& readData, const TWriterProc& writeData, bool hasData) override;
    void DefineBinaryProperty(
        const std::string& name, const TStreamProc& readData, const TStreamProc& writeData, bool hasData) override;

    // The type of the next value, without consuming it.
    TValueType NextValue();
    TValueType ReadValue();
    void ReadListBegin();
    void ReadListEnd();
    bool EndOfList();  // the next value is a list end
    int32_t ReadInteger();  // int8, int16 or int32
    int64_t ReadInt64();  // any integer form
    std::string ReadString();  // short or long string
    std::string ReadStr();  // a length byte and the characters (property names)

private:
    void CheckValue(TValueType expected);
    void ReadBytes(void* buffer, int64_t count);
    int64_t Remaining() const;
    std::string FPropName;
    bool FPropHandled = false;
};

class TWriter : public TFiler {
    KAROMIL_CLASS(TWriter, TFiler)
public:
    using TFiler::TFiler;

    // Writes the object's DefineProperties entries.
    void WriteProperties(TPersistent* instance);

    void DefineProperty(
        const std::string& name, const TReaderProc& readData, const TWriterProc& writeData, bool hasData) override;
    void DefineBinaryProperty(
        const std::string& name, const TStreamProc& readData, const TStreamProc& writeData, bool hasData) override;

    void WriteListBegin();
    void WriteListEnd();
    void WriteInteger(int64_t value);  // the smallest form that holds it
    // Always the long form: stored property data keeps strings that way whatever their length.
    void WriteString(const std::string& value);
    void WriteStr(const std::string& value);  // a length byte and the characters; EWriteError over 255
    void WritePropName(const std::string& name) { WriteStr(name); }

private:
    void WriteValue(TValueType value);
    void WriteBytes(const void* buffer, int64_t count);
};
