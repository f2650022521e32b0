#include "dao/DaoUtils.h"

#include <cstdio>
#include <functional>

#include "dao/KDaoConsts.h"
#include "platform/db/Params.h"
#include "platform/rtl/Strings.h"

namespace KDao {

const char32_t* const GuidValidChars = U"-0123456789ABCDEFabcdef{}";

TFieldType DaoFieldTypeToFieldType(int daoType) {
    switch (daoType) {
    case 1: return ftBoolean;
    case 2:
    case 3: return ftSmallint;
    case 4: return ftInteger;
    case 5: return ftCurrency;
    case 6:
    case 7: return ftFloat;
    case 8: return ftDate;
    case 9: return ftBytes;
    case 10: return ftString;
    case 11: return ftBlob;
    case 12: return ftMemo;
    case 15: return ftBytes;
    // A 64-bit column does not fit a 32-bit integer field.
    case 16: return ftLargeint;
    case 17: return ftBlob;
    case 18: return ftString;
    // Numeric and decimal keep their digits in a BCD field (kept exact enough as a double).
    case 19:
    case 20: return ftBCD;
    case 21: return ftFloat;
    case 22: return ftTime;
    case 23: return ftDateTime;
    case dbAutoIncPseudoType: return ftAutoInc;
    default:
        if (daoType >= 101 && daoType <= 109) return ftIDispatch;
        return ftUnknown;
    }
}

int DaoFieldSize(int daoType, int daoSize) {
    switch (daoType) {
    case 9:
    case 10:
    case 11:
    case 12:
    case 15:
    case 17:
    case 18:
    case 107:
    case 109: return daoSize;
    default: return 0;
    }
}

std::string FieldTypeName(TFieldType t) {
    switch (t) {
    case ftString: return "ftString";
    case ftSmallint: return "ftSmallInt";
    case ftInteger: return "ftInteger";
    case ftWord: return "ftWord";
    case ftBoolean: return "ftBoolean";
    case ftFloat: return "ftFloat";
    case ftCurrency: return "ftCurrency";
    case ftBCD: return "ftBCD";
    case ftDate: return "ftDate";
    case ftTime: return "ftTime";
    case ftDateTime: return "ftDateTime";
    case ftAutoInc: return "ftAutoInc";
    case ftBlob: return "ftBlob";
    case ftMemo: return "ftMemo";
    default: return "ftUnknown";
    }
}

std::string BracketDottedName(const std::string& name) {
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t dot = name.find('.', pos);
        std::string part = name.substr(pos, dot == std::string::npos ? std::string::npos : dot - pos);
        // Jet has no escape for ']' inside brackets: refuse rather than build broken SQL.
        if (part.find(']') != std::string::npos) DatabaseError("Invalid name for SQL: " + name);
        out += "[" + part + "]";
        if (dot == std::string::npos) break;
        out += ".";
        pos = dot + 1;
    }
    return out;
}

std::string DateTimeToTimeStampText(TDateTime value) {
    TTimeStamp ts = DateTimeToTimeStamp(value);
    return std::to_string(ts.Date) + " " + std::to_string(ts.Time);
}

Variant TimeStampTextToVariant(const std::string& text) {
    size_t blank = text.find(' ');
    if (blank == std::string::npos) return Variant::Null();
    int32_t days = 0, ms = 0;
    if (!TryStrToInt(Trim(text.substr(0, blank)), days) || !TryStrToInt(Trim(text.substr(blank + 1)), ms))
        return Variant::Null();
    try {
        return Variant::FromDate(TimeStampToDateTime(TTimeStamp{ms, days}));
    } catch (const Exception&) {
        return Variant::Null();
    }
}

std::string NormalizeDateTimeText(const std::string& text) { return NormalizeDateTimeText(text, FormatSettings()); }

std::string NormalizeDateTimeText(const std::string& text, const TFormatSettings& fs) {
    if (text.empty()) return text;
    std::u32string s = Utf8ToU32(text);
    // The Czech "r." abbreviation of an old keyboard layout ("ă." in the 8-bit text).
    size_t junk = s.find(U"\u0103.");
    if (junk != std::u32string::npos) s.erase(junk, 2);
    for (char32_t& c : s) {
        bool allowed = (c >= U'0' && c <= U'9') || c == U'/' || c == fs.DateSeparator || c == fs.TimeSeparator;
        if (!allowed) c = U' ';
    }
    std::u32string t;
    for (char32_t c : s)
        if (!(c == U' ' && (t.empty() || t.back() == U' '))) t.push_back(c);
    while (!t.empty() && t.back() == U' ') t.pop_back();
    size_t timeSep = t.find(fs.TimeSeparator);
    size_t keep = std::u32string::npos;
    if (timeSep != std::u32string::npos) {
        size_t b = t.rfind(U' ', timeSep);
        if (b != std::u32string::npos) keep = b;
    }
    std::u32string out;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] != U' ') out.push_back(t[i]);
        else if (i == keep) out.push_back(U' ');
    }
    return U32ToUtf8(out);
}

std::string DaoDateLiteralToTimeStampText(const std::string& text) {
    if (text.empty()) return "";
    try {
        std::string rest = text;
        auto cut = [&](char sep, bool required) -> std::string {
            size_t p = rest.find(sep);
            if (p == std::string::npos) {
                if (required) throw EConvertError("date");
                std::string all = rest;
                rest.clear();
                return all;
            }
            std::string head = rest.substr(0, p);
            rest = rest.substr(p + 1);
            return head;
        };
        int month = StrToInt(Trim(cut('/', true)));
        std::string dayText = cut('/', false);
        int day = dayText.empty() ? 0 : StrToInt(Trim(dayText));
        int year = 0, hour = 0, minute = 0, second = 0;
        size_t blank = rest.find(' ');
        if (blank != std::string::npos) {
            year = StrToInt(Trim(rest.substr(0, blank)));
            std::string time = rest.substr(blank + 1);
            bool am = false, pm = false;
            if (size_t p = time.find(" AM"); p != std::string::npos) {
                am = true;
                time.erase(p, 3);
            }
            if (size_t p = time.find(" PM"); p != std::string::npos) {
                pm = true;
                time.erase(p, 3);
            }
            size_t c1 = time.find(':');
            hour = StrToInt(Trim(time.substr(0, c1)));
            if (c1 != std::string::npos) {
                std::string mr = time.substr(c1 + 1);
                size_t c2 = mr.find(':');
                minute = StrToInt(Trim(mr.substr(0, c2)));
                if (c2 != std::string::npos && !Trim(mr.substr(c2 + 1)).empty())
                    second = StrToInt(Trim(mr.substr(c2 + 1)));
            }
            if (am && hour == 12) hour = 0;
            if (pm && hour != 12) hour += 12;
        } else {
            year = StrToInt(Trim(rest));
        }
        TDateTime d = EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0);
        return DateTimeToTimeStampText(d);
    } catch (const Exception&) {
        return "";
    }
}

std::string SQLQuoteString(const std::string& text) { return StringReplace(text, "\"", "\"\"", rfReplaceAll); }

std::string SQLEscapeLikeChars(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '*' || c == '?' || c == '#' || c == '[' || c == ']' || c == '!' || c == '-') {
            out += '[';
            out += c;
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

std::string SQLFloatText(const std::string& text) { return SQLFloatText(text, FormatSettings()); }

std::string SQLFloatText(const std::string& text, const TFormatSettings& fs) {
    // Thousands separators go first: where the thousands separator is ".", replacing the
    // decimal separator first would make the decimal point vanish with them.
    std::u32string s = Utf8ToU32(text), out;
    for (char32_t c : s) {
        if (c == fs.ThousandSeparator && c != fs.DecimalSeparator) continue;
        out.push_back(c == fs.DecimalSeparator ? U'.' : c);
    }
    return U32ToUtf8(out);
}

namespace {
std::string Two(int v) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}
}  // namespace

std::string JetDateText(TDateTime d) {
    int y, m, day;
    DecodeDate(d, y, m, day);
    char b[32];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", m, day, y);
    return b;
}

std::string JetTimeText(TDateTime d) {
    int h, n, s, ms;
    DecodeTime(d, h, n, s, ms);
    return Two(h) + ":" + Two(n) + ":" + Two(s);
}

std::string JetDateTimeText(TDateTime d) { return JetDateText(d) + " " + JetTimeText(d); }

bool IsIdentChar(char32_t c) { return c == U'_' || IsCharAlphaNumeric(c); }

std::string ReplaceWholeWord(const std::string& source, const std::string& word, const std::string& replacement) {
    if (source.empty() || word.empty()) return source;
    const std::u32string src = Utf8ToU32(source);
    std::u32string low = src;
    for (char32_t& c : low) c = CharLower(c);
    std::u32string w = Utf8ToU32(word);
    for (char32_t& c : w) c = CharLower(c);
    const std::u32string rep = Utf8ToU32(replacement);
    std::u32string out;
    size_t pos = 0;
    bool restart = true;  // the scan position counts as a word boundary
    while (pos <= low.size()) {
        size_t hit = low.find(w, pos);
        if (hit == std::u32string::npos) break;
        bool beforeOk = (hit == pos && restart) || hit == 0 || !IsIdentChar(low[hit - 1]);
        size_t end = hit + w.size();
        bool afterOk = end >= low.size() || !IsIdentChar(low[end]);
        out.append(src, pos, hit - pos);
        if (beforeOk && afterOk) out += rep;
        else out.append(src, hit, w.size());
        pos = end;
        restart = true;
    }
    if (pos < src.size()) out.append(src, pos, std::u32string::npos);
    return U32ToUtf8(out);
}

std::string ParamLiteral(TFieldType dataType, const Variant& value) {
    if (value.IsNull() || value.IsEmpty()) return "NULL";
    switch (dataType) {
    case ftString:
    case ftBlob:
    case ftMemo:
    case ftFixedChar:
    case ftWideString: return "\"" + SQLQuoteString(VarToStr(value)) + "\"";
    case ftFloat:
    case ftCurrency:
    case ftBCD:
        if (value.IsNumeric()) return SQLFloatText(FloatToStrRoundTrip(value.AsDouble(), FormatSettings()));
        return SQLFloatText(VarToStr(value));
    case ftDate: return "#" + JetDateText(value.AsDate()) + "#";
    case ftTime: return "#" + JetTimeText(value.AsDate()) + "#";
    case ftDateTime: return "#" + JetDateTimeText(value.AsDate()) + "#";
    case ftBytes: return "{guid " + GuidBytesToString(VarToStr(value)) + "}";
    case ftBoolean: return value.AsBoolean() ? "True" : "False";
    default: return VarToStr(value);
    }
}

namespace {
// Walks an SQL text, calling onRef for every ":Name" outside string, date and bracketed
// literals; the callback answers whether it consumed the reference.
void ScanParamRefs(const std::u32string& s,
    const std::function<void(size_t start, size_t end, const std::u32string& name)>& onRef,
    const std::function<void(size_t from, size_t to)>& onText) {
    size_t i = 0, textStart = 0;
    bool afterRef = false;
    while (i < s.size()) {
        char32_t c = s[i];
        if (c == U'"' || c == U'\'' || c == U'#' || c == U'[') {
            char32_t close = c == U'[' ? U']' : c;
            size_t j = i + 1;
            for (;;) {
                if (j >= s.size()) break;
                if (s[j] == close) {
                    if (close != U']' && close != U'#' && j + 1 < s.size() && s[j + 1] == close) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            i = j < s.size() ? j + 1 : s.size();
            afterRef = false;
            continue;
        }
        if (c == U':' && i + 1 < s.size() && IsIdentChar(s[i + 1]) && (i == 0 || afterRef || !IsIdentChar(s[i - 1]))) {
            size_t j = i + 1;
            while (j < s.size() && IsIdentChar(s[j])) ++j;
            onText(textStart, i);
            onRef(i, j, s.substr(i + 1, j - i - 1));
            textStart = j;
            i = j;
            afterRef = true;
            continue;
        }
        afterRef = false;
        ++i;
    }
    onText(textStart, s.size());
}
}  // namespace

std::string ExpandSQLParams(const std::string& sql, const TParams& params, bool paramCheck) {
    if (!paramCheck) return sql;
    const std::u32string s = Utf8ToU32(sql);
    std::u32string out;
    ScanParamRefs(
        s,
        [&](size_t start, size_t end, const std::u32string& name) {
            const TParam* p = FindSQLParam(params, U32ToUtf8(name));
            if (!p) {
                out.append(s, start, end - start);
                return;
            }
            if (!p->IsNull()) {
                out += Utf8ToU32(ParamLiteral(p->DataType, p->Value()));
                return;
            }
            // "A = :P" with P Null must read "A IS NULL": "A = NULL" is never true.
            size_t k = out.size();
            while (k > 0 && out[k - 1] == U' ') --k;
            if (k >= 2 && out[k - 2] == U'<' && out[k - 1] == U'>') {
                out.resize(k - 2);
                out += U"IS NOT NULL";
            } else if (k >= 1 && out[k - 1] == U'=' && !(k >= 2 && (out[k - 2] == U'<' || out[k - 2] == U'>'))) {
                out.resize(k - 1);
                out += U"IS NULL";
            } else {
                out += U"NULL";
            }
        },
        [&](size_t from, size_t to) { out.append(s, from, to - from); });
    return U32ToUtf8(out);
}

std::vector<std::string> SQLParamNames(const std::string& sql) {
    std::vector<std::string> names;
    ScanParamRefs(
        Utf8ToU32(sql), [&](size_t, size_t, const std::u32string& name) { names.push_back(U32ToUtf8(name)); },
        [](size_t, size_t) {});
    return names;
}

void AddSQLParams(TParams& params, const std::string& sql) {
    for (const std::string& name : SQLParamNames(sql))
        if (!FindSQLParam(params, name)) params.CreateParam(ftUnknown, name, ptInput);
}

TParam* FindSQLParam(const TParams& params, const std::string& name) {
    for (int i = 0; i < params.Count(); ++i)
        if (AnsiSameText(params.Items(i)->Name, name)) return params.Items(i);
    return nullptr;
}

std::string GuidBytesToString(const std::string& bytes) {
    if (bytes.size() != 16) return "";
    TGUID g;
    auto b = [&](int i) { return uint32_t(uint8_t(bytes[size_t(i)])); };
    g.D1 = b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
    g.D2 = uint16_t(b(4) | b(5) << 8);
    g.D3 = uint16_t(b(6) | b(7) << 8);
    for (int i = 0; i < 8; ++i) g.D4[i] = uint8_t(b(8 + i));
    if (IsNullGUID(g)) return "";
    return UpperCase(GUIDToString(g));
}

std::string GuidStringToBytes(const std::string& text) {
    TGUID g = StringToGUID(text);
    std::string out(16, '\0');
    for (int i = 0; i < 4; ++i) out[size_t(i)] = char((g.D1 >> (8 * i)) & 0xFF);
    out[4] = char(g.D2 & 0xFF);
    out[5] = char(g.D2 >> 8);
    out[6] = char(g.D3 & 0xFF);
    out[7] = char(g.D3 >> 8);
    for (int i = 0; i < 8; ++i) out[size_t(8 + i)] = char(g.D4[i]);
    return out;
}

std::vector<std::string> SplitFieldList(const std::string& list) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t sc = list.find(';', pos);
        if (sc == std::string::npos) sc = list.size();
        std::string part = Trim(list.substr(pos, sc - pos));
        if (!part.empty()) out.push_back(part);
        pos = sc + 1;
    }
    return out;
}

std::string StripSingleQuotes(const std::string& text) {
    std::string s = text;
    if (!s.empty() && s.front() == '\'') s.erase(0, 1);
    if (!s.empty() && s.back() == '\'') s.pop_back();
    return s;
}

}  // namespace KDao

namespace KDao {

namespace {
bool SplitStamp(const std::string& text, int32_t& days, int32_t& ms) {
    size_t blank = text.find(' ');
    if (blank == std::string::npos) return false;
    return TryStrToInt(Trim(text.substr(0, blank)), days) && TryStrToInt(Trim(text.substr(blank + 1)), ms);
}
}  // namespace

bool TextToNative(TFieldType type, const std::string& text, Variant& native, bool guid, int size) {
    // A text that does not convert reads as Null: answering "has a value" would hand the
    // caller a value nobody wrote.
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftMemo:
    case ftBlob:
    case ftGraphic:
    case ftFmtMemo:
        if (text.empty()) return false;
        native = Variant(size > 0 && type != ftMemo && type != ftBlob ? Utf8Copy(text, 1, size) : text);
        return true;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: {
        if (text.empty()) return false;
        int32_t v;
        if (TryStrToInt(text, v)) {
            native = Variant(int(v));
            return true;
        }
        double d;
        if (!TryStrToFloat(text, d, FormatSettings()) || !(d >= -2147483648.5 && d <= 2147483647.5)) return false;
        int64_t r = Round(d);
        if (r < INT32_MIN || r > INT32_MAX) return false;
        native = Variant(int(r));
        return true;
    }
    case ftLargeint: {
        if (text.empty()) return false;
        int64_t v;
        if (!TryStrToInt64(text, v)) return false;
        native = Variant(v);
        return true;
    }
    case ftBoolean: {
        if (text.empty()) return false;
        std::string t = LowerCase(text);
        if (!t.empty() && t[0] == '=') t.erase(0, 1);
        if (t == "false" || t == "no" || t == "off" || t.empty()) t = "0";
        else if (t == "true" || t == "yes" || t == "on" || t == "-1") t = "1";
        int32_t v;
        if (!TryStrToInt(t, v)) return false;
        native = Variant(int16_t(v) != 0);
        return true;
    }
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: {
        if (text.empty()) return false;
        double d;
        if (!TryStrToFloat(text, d, FormatSettings())) return false;
        native = Variant(d);
        return true;
    }
    case ftDate:
    case ftTime:
    case ftDateTime: {
        int32_t days, ms;
        if (!SplitStamp(text, days, ms)) return false;
        if (type == ftDate) native = Variant(int(days));
        else if (type == ftTime) native = Variant(int(ms));
        else {
            if (days < 1 || ms < 0 || ms >= 86400000) return false;
            native = Variant(double(days) * 86400000.0 + double(ms));
        }
        return true;
    }
    case ftBytes:
    case ftVarBytes:
        if (text.empty()) return false;
        if (guid) {
            std::string t = text;
            if (t.rfind("{guid ", 0) == 0) t.erase(0, 6);
            if (t.size() >= 2 && t.compare(t.size() - 2, 2, "}}") == 0) t.pop_back();
            native = Variant(GuidStringToBytes(UpperCase(t)));  // malformed: EConvertError
            return true;
        }
        native = Variant(size > 0 ? text.substr(0, size_t(size)) : text);
        return true;
    default: return false;
    }
}

std::string NativeToText(TFieldType type, const Variant& v, bool guid) {
    if (v.IsNull() || v.IsEmpty()) return "";
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftMemo:
    case ftBlob:
    case ftGraphic:
    case ftFmtMemo: return VarToStr(v);
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: return IntToStr(v.AsInt64());
    case ftBoolean: return v.AsBoolean() ? "True" : "False";
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: return FloatToStrRoundTrip(v.AsDouble(), FormatSettings());
    case ftDate: return IntToStr(v.AsInteger()) + " 0";
    case ftTime: return std::to_string(DateDelta) + " " + IntToStr(v.AsInteger());
    case ftDateTime: {
        const int64_t total = Round(v.AsDouble());
        int64_t days = total / 86400000, ms = total % 86400000;
        if (ms < 0) {
            ms += 86400000;
            --days;
        }
        return IntToStr(days) + " " + IntToStr(ms);
    }
    case ftBytes:
    case ftVarBytes:
        if (guid) {
            std::string g = GuidBytesToString(VarToStr(v));
            return g.empty() ? "" : "{guid " + g + "}";
        }
        return VarToStr(v);
    default: return "";
    }
}

namespace {
bool IsTextType(TFieldType t) {
    return t == ftString || t == ftFixedChar || t == ftWideString || t == ftMemo || t == ftBlob || t == ftGraphic ||
        t == ftFmtMemo;
}
std::string BytesOf(const Variant& v) {
    if (!v.IsArray()) return VarToStr(v);
    std::string out;
    for (int i = VarArrayLowBound(v, 1); i <= VarArrayHighBound(v, 1); ++i)
        out += char(uint8_t(v.GetElement({i}).AsInteger()));
    return out;
}
}  // namespace

void ReadError(const std::string& fieldLabel, const Exception& cause) {
    DatabaseError(Format(KDaoConsts::SFieldReadError, {Variant(fieldLabel), Variant(cause.Message())}));
}

Variant DaoToNative(TFieldType type, const Variant& dao, bool guid) {
    if (dao.IsNull() || dao.IsEmpty()) return Variant::Null();
    {
        if (IsTextType(type)) return dao.IsString() ? dao : Variant(VarToStr(dao));
        switch (type) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftAutoInc: return Variant(int(dao.AsInteger()));
        case ftLargeint: return Variant(dao.AsInt64());
        case ftBoolean: return Variant(dao.AsBoolean());
        case ftFloat:
        case ftCurrency:
        case ftBCD:
        case ftFMTBcd: return Variant(dao.AsDouble());
        case ftDate:
        case ftTime:
        case ftDateTime: {
            const TTimeStamp ts = DateTimeToTimeStamp(dao.AsDate());
            if (type == ftDate) return Variant(int(ts.Date));
            if (type == ftTime) return Variant(int(ts.Time));
            return Variant(double(ts.Date) * 86400000.0 + double(ts.Time));
        }
        case ftBytes:
        case ftVarBytes:
            if (guid) {
                std::string t = VarToStr(dao);
                if (t.rfind("{guid ", 0) == 0) t.erase(0, 6);
                if (t.size() >= 2 && t.compare(t.size() - 2, 2, "}}") == 0) t.pop_back();
                return Variant(GuidStringToBytes(UpperCase(t)));
            }
            return Variant(BytesOf(dao));
        default: return Variant::Null();  // types without a native form (ftIDispatch ...)
        }
    }
}

Variant NativeToDao(TFieldType type, const Variant& v, bool guid) {
    if (v.IsNull() || v.IsEmpty()) return Variant::Null();
    switch (type) {
    case ftDate: return Variant::FromDate(TimeStampToDateTime(TTimeStamp{0, int32_t(v.AsInteger())}));
    case ftTime: return Variant::FromDate(TimeStampToDateTime(TTimeStamp{int32_t(v.AsInteger()), DateDelta}));
    case ftDateTime: {
        const int64_t total = Round(v.AsDouble());
        int64_t days = total / 86400000, ms = total % 86400000;
        if (ms < 0) {
            ms += 86400000;
            --days;
        }
        return Variant::FromDate(TimeStampToDateTime(TTimeStamp{int32_t(ms), int32_t(days)}));
    }
    case ftBoolean: return Variant(v.AsBoolean());
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: return Variant(v.AsDouble());
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: return Variant(int(v.AsInteger()));
    case ftLargeint: return Variant(v.AsInt64());
    case ftBytes:
    case ftVarBytes:
        if (guid) {
            const std::string g = GuidBytesToString(VarToStr(v));
            return g.empty() ? Variant::Null() : Variant(g);
        }
        return Variant(VarToStr(v));
    default: return v.IsString() ? v : Variant(VarToStr(v));
    }
}

Variant DefaultTextToNative(TFieldType type, const std::string& text, bool guid) {
    if (text.empty()) return Variant::Null();
    if (IsTextType(type)) return Variant(text);
    try {
        switch (type) {
        case ftDate:
        case ftTime:
        case ftDateTime: {
            Variant d = TimeStampTextToVariant(text);
            return d.IsNull() ? d : DaoToNative(type, d, false);
        }
        case ftBoolean: {
            const std::string t = LowerCase(Trim(text));
            if (t == "yes" || t == "true" || t == "on" || t == "-1" || t == "1") return Variant(true);
            if (t == "no" || t == "false" || t == "off" || t == "0") return Variant(false);
            return Variant::Null();
        }
        case ftBytes:
        case ftVarBytes:
            if (guid) return Variant(GuidStringToBytes(UpperCase(Trim(text))));
            return Variant(text);
        default: {
            // Numbers in SQL's form: the point is the decimal separator, whatever the locale.
            char* end = nullptr;
            const std::string t = Trim(text);
            const double d = std::strtod(t.c_str(), &end);
            if (t.empty() || !end || *end != '\0') return Variant::Null();
            return DaoToNative(type, Variant(d), false);
        }
        }
    } catch (const Exception&) {
        return Variant::Null();  // a default that does not fit the field gives no default
    }
}

}  // namespace KDao
