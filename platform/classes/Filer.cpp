#include "platform/classes/Filer.h"

#include "platform/rtl/Strings.h"

#include <cstring>

#include "platform/classes/Persistent.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

KAROMIL_IMPLEMENT_CLASS(TFiler, TObject)
KAROMIL_IMPLEMENT_CLASS(TReader, TFiler)
KAROMIL_IMPLEMENT_CLASS(TWriter, TFiler)

namespace {


[[noreturn]] void ReadError() { throw EReadError("Stream read error"); }
[[noreturn]] void InvalidValue() { throw EReadError("Invalid property value"); }

template <class T>
T FromLittleEndian(const uint8_t* bytes, size_t n) {
    uint64_t v = 0;
    for (size_t i = n; i-- > 0;) v = (v << 8) | bytes[i];
    return static_cast<T>(v);
}

}  // namespace

// --- TReader -----------------------------------------------------------------------------------

int64_t TReader::Remaining() const {
    const int64_t rest = FStream->Size() - FStream->Position();
    return rest > 0 ? rest : 0;
}

void TReader::ReadBytes(void* buffer, int64_t count) {
    if (count < 0 || count > Remaining()) ReadError();
    FStream->ReadBuffer(buffer, count);
}

TValueType TReader::ReadValue() {
    uint8_t b = 0;
    ReadBytes(&b, 1);
    return TValueType(b);
}

TValueType TReader::NextValue() {
    const TValueType v = ReadValue();
    FStream->Seek(-1, soFromCurrent);
    return v;
}

void TReader::CheckValue(TValueType expected) {
    if (ReadValue() != expected) InvalidValue();
}

void TReader::ReadListBegin() { CheckValue(vaList); }
void TReader::ReadListEnd() { CheckValue(vaNull); }
bool TReader::EndOfList() { return NextValue() == vaNull; }

int64_t TReader::ReadInt64() {
    uint8_t bytes[8];
    switch (ReadValue()) {
    case vaInt8: ReadBytes(bytes, 1); return FromLittleEndian<int8_t>(bytes, 1);
    case vaInt16: ReadBytes(bytes, 2); return FromLittleEndian<int16_t>(bytes, 2);
    case vaInt32: ReadBytes(bytes, 4); return FromLittleEndian<int32_t>(bytes, 4);
    case vaInt64: ReadBytes(bytes, 8); return FromLittleEndian<int64_t>(bytes, 8);
    default: InvalidValue();
    }
}

int32_t TReader::ReadInteger() {
    if (NextValue() == vaInt64) InvalidValue();
    return static_cast<int32_t>(ReadInt64());
}

std::string TReader::ReadString() {
    uint8_t bytes[4];
    int64_t length = 0;
    switch (ReadValue()) {
    case vaString:
        ReadBytes(bytes, 1);
        length = bytes[0];
        break;
    case vaLString:
        ReadBytes(bytes, 4);
        length = FromLittleEndian<uint32_t>(bytes, 4);
        break;
    default: InvalidValue();
    }
    if (length > Remaining()) ReadError();
    std::string s(size_t(length), '\0');
    ReadBytes(s.data(), length);
    return s;
}

std::string TReader::ReadStr() {
    uint8_t length = 0;
    ReadBytes(&length, 1);
    std::string s(length, '\0');
    ReadBytes(s.data(), length);
    return s;
}

void TReader::ReadProperties(TPersistent* instance) {
    // No property is being read once we leave, whichever way.
    auto done = OnScopeExit([this] { FPropName.clear(); });
    try {
        while (Remaining() > 0) {
            if (NextValue() == vaNull) {  // the entries' own end mark
                ReadValue();
                return;
            }
            FPropName = ReadStr();
            FPropHandled = false;
            instance->DefineProperties(this);
            if (!FPropHandled) return;
        }
    } catch (const EReadError&) {
        // Damaged data: keep what was read.
    }
}

void TReader::DefineProperty(const std::string& name, const TReaderProc& readData, const TWriterProc&, bool) {
    if (FPropHandled || !readData || !SameText(name, FPropName)) return;
    FPropHandled = true;
    readData(this);
}

void TReader::DefineBinaryProperty(const std::string& name, const TStreamProc& readData, const TStreamProc&, bool) {
    if (FPropHandled || !readData || !SameText(name, FPropName)) return;
    FPropHandled = true;
    CheckValue(vaBinary);
    uint8_t bytes[4];
    ReadBytes(bytes, 4);
    const int64_t length = FromLittleEndian<uint32_t>(bytes, 4);
    if (length > Remaining()) ReadError();
    TMemoryStream data;
    data.SetSize(length);
    ReadBytes(data.Memory(), length);
    data.SetPosition(0);
    readData(&data);
}

// --- TWriter -----------------------------------------------------------------------------------

void TWriter::WriteBytes(const void* buffer, int64_t count) { FStream->WriteBuffer(buffer, count); }

void TWriter::WriteValue(TValueType value) {
    const uint8_t b = value;
    WriteBytes(&b, 1);
}

void TWriter::WriteProperties(TPersistent* instance) { instance->DefineProperties(this); }

void TWriter::DefineProperty(const std::string& name, const TReaderProc&, const TWriterProc& writeData, bool hasData) {
    if (!hasData || !writeData) return;
    WritePropName(name);
    writeData(this);
}

void TWriter::DefineBinaryProperty(
    const std::string& name, const TStreamProc&, const TStreamProc& writeData, bool hasData) {
    if (!hasData || !writeData) return;
    TMemoryStream data;
    writeData(&data);
    if (data.Size() > int64_t(UINT32_MAX)) throw EWriteError("Binary property " + name + " is too large");
    WritePropName(name);
    WriteValue(vaBinary);
    const uint32_t length = uint32_t(data.Size());
    const uint8_t bytes[4] = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24)};
    WriteBytes(bytes, 4);
    WriteBytes(data.Memory(), data.Size());
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteInteger(int64_t value) {
    int size;
    if (value >= INT8_MIN && value <= INT8_MAX) {
        WriteValue(vaInt8);
        size = 1;
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        WriteValue(vaInt16);
        size = 2;
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        WriteValue(vaInt32);
        size = 4;
    } else {
        WriteValue(vaInt64);
        size = 8;
    }
    uint8_t bytes[8];
    const uint64_t u = static_cast<uint64_t>(value);
    for (int i = 0; i < size; ++i) bytes[i] = uint8_t(u >> (8 * i));
    WriteBytes(bytes, size);
}

void TWriter::WriteString(const std::string& value) {
    if (value.size() > UINT32_MAX) throw EWriteError("String too long to store");
    WriteValue(vaLString);
    const uint32_t length = uint32_t(value.size());
    const uint8_t bytes[4] = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24)};
    WriteBytes(bytes, 4);
    WriteBytes(value.data(), int64_t(value.size()));
}

void TWriter::WriteStr(const std::string& value) {
    if (value.size() > 255) throw EWriteError("Name too long to store: " + value.substr(0, 32) + "...");
    const uint8_t length = uint8_t(value.size());
    WriteBytes(&length, 1);
    WriteBytes(value.data(), int64_t(value.size()));
}
