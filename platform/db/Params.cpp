// TParam and TParams.

#include "platform/db/DBConsts.h"
#include "platform/db/Params.h"

#include <cctype>

#include "platform/classes/Filer.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TParam, TCollectionItem)
KAROMIL_IMPLEMENT_CLASS(TParams, TCollection)

void TParam::SetValue(const Variant& v) {
    FValue = v;
    if (DataType != ftUnknown || v.IsNull() || v.IsEmpty()) return;
    switch (v.VarType()) {
    case varSmallint:
    case varShortInt:
    case varByte: DataType = ftSmallint; break;
    case varInteger:
    case varWord:
    case varLongWord: DataType = ftInteger; break;
    case varInt64: DataType = ftLargeint; break;
    case varSingle:
    case varDouble: DataType = ftFloat; break;
    case varCurrency: DataType = ftCurrency; break;
    case varDate: DataType = ftDateTime; break;
    case varBoolean: DataType = ftBoolean; break;
    default: DataType = ftString; break;
    }
}

void TParam::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TParam*>(source)) {
        Name = p->Name;
        DataType = p->DataType;
        ParamType = p->ParamType;
        Bound = p->Bound;
        FValue = p->FValue;
        return;
    }
    if (auto* f = dynamic_cast<TField*>(source)) {
        AssignField(f);
        return;
    }
    TCollectionItem::Assign(source);
}

void TParam::AssignField(TField* field) {
    DataType = field->DataType();
    FValue = field->GetAsVariant();
    Bound = true;
}

TParam* TParams::CreateParam(TFieldType type, const std::string& name, TParamType paramType) {
    auto* p = static_cast<TParam*>(Add());
    p->Name = name;
    p->DataType = type;
    p->ParamType = paramType;
    return p;
}

TParam* TParams::FindParam(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name, name)) return Items(i);
    return nullptr;
}

TParam* TParams::ParamByName(const std::string& name) const {
    TParam* p = FindParam(name);
    if (!p) DatabaseErrorFmt(DBConsts::SParameterNotFound, {name});
    return p;
}

void TParams::AssignValues(const TParams* source) {
    for (int i = 0; i < source->Count(); ++i) {
        const TParam* s = source->Items(i);
        if (TParam* p = FindParam(s->Name)) {
            p->DataType = s->DataType;
            p->SetValue(s->Value());
            p->Bound = s->Bound;
        }
    }
}

bool TParams::IsEqual(const TParams* other) const {
    if (other->Count() != Count()) return false;
    for (int i = 0; i < Count(); ++i) {
        const TParam *a = Items(i), *b = other->Items(i);
        if (a->Name != b->Name || a->DataType != b->DataType || a->ParamType != b->ParamType ||
            !VarSameValue(a->Value(), b->Value()))
            return false;
    }
    return true;
}

std::string TParams::ParseSQL(const std::string& sql, bool doCreate) {
    std::string out;
    size_t i = 0, n = sql.size();
    auto nameChar = [](unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; };
    while (i < n) {
        char c = sql[i];
        if (c == '\'' || c == '"') {
            // A quoted literal is copied as it is, doubled quotes included.
            size_t j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            size_t end = j < n ? j + 1 : n;
            out.append(sql, i, end - i);
            i = end;
        } else if (c == ':' && i + 1 < n && sql[i + 1] == ':') {
            out += ':';
            i += 2;
        } else if (c == ':' && i + 1 < n &&
            (nameChar(static_cast<unsigned char>(sql[i + 1])) || sql[i + 1] == '"' || sql[i + 1] == '\'')) {
            std::string name;
            size_t j = i + 1;
            if (sql[j] == '"' || sql[j] == '\'') {
                char q = sql[j++];
                while (j < n && sql[j] != q) name += sql[j++];
                if (j < n) ++j;
            } else {
                while (j < n && nameChar(static_cast<unsigned char>(sql[j]))) name += sql[j++];
            }
            if (doCreate && !FindParam(name)) CreateParam(ftUnknown, name, ptInput);
            out += '?';
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

void TParams::WriteData(TWriter* writer) const {
    writer->WriteListBegin();
    for (int i = 0; i < Count(); ++i) {
        const TParam* p = Items(i);
        writer->WriteListBegin();
        writer->WriteString(p->Name);
        writer->WriteInteger(p->DataType);
        writer->WriteInteger(p->ParamType);
        writer->WriteInteger(p->IsNull() ? 1 : 0);
        writer->WriteString(p->IsNull() ? std::string() : p->Value().AsString());
        writer->WriteListEnd();
    }
    writer->WriteListEnd();
}

void TParams::ReadData(TReader* reader) {
    Clear();
    reader->ReadListBegin();
    while (!reader->EndOfList()) {
        reader->ReadListBegin();
        auto* p = static_cast<TParam*>(Add());
        p->Name = reader->ReadString();
        p->DataType = TFieldType(reader->ReadInteger());
        p->ParamType = TParamType(reader->ReadInteger());
        bool null = reader->ReadInteger() != 0;
        std::string text = reader->ReadString();
        if (!null) {
            // Back to the parameter's own kind; the text was written by this program.
            Variant v(text);
            try {
                p->SetValue(p->DataType == ftUnknown || p->DataType == ftString ? v : VarAsType(v, [&] {
                    switch (p->DataType) {
                    case ftSmallint:
                    case ftInteger:
                    case ftWord:
                    case ftAutoInc: return varInteger;
                    case ftLargeint: return varInt64;
                    case ftBoolean: return varBoolean;
                    case ftDate:
                    case ftTime:
                    case ftDateTime: return varDate;
                    case ftFloat:
                    case ftCurrency:
                    case ftBCD: return varDouble;
                    default: return varString;
                    }
                }()));
            } catch (EVariantError&) {
                p->SetValue(v);
            }
        }
        reader->ReadListEnd();
    }
    reader->ReadListEnd();
}
