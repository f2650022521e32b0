#include "report/core/frxAggregate.h"

#include <algorithm>
#include <functional>
#include <set>

#include "platform/classes/List.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxServices.h"
#include "report/core/frxText.h"
#include "report/core/frxVariables.h"

namespace {
// Per-column arrays start with the columns a page can hold and grow beyond them.
constexpr size_t kColumnSlots = 1001;
// Variables whose values name each other are scanned only this deep.
constexpr int kMaxScanDepth = 32;

bool IsSeparator(char32_t c) {
    if (c >= 1 && c <= 31) return true;
    switch (c) {
    case U' ':
    case U'!':
    case U'#':
    case U'$':
    case U'%':
    case U'&':
    case U'*':
    case U'+':
    case U',':
    case U'-':
    case U'.':
    case U'/':
    case U'=':
    case U'[':
    case U']':
    case U'^':
    case U'|': return true;
    default: return c >= U'0' && c <= U'9';
    }
}

bool IsWordDelimiter(char32_t c) {
    if (c >= 1 && c <= 31) return true;
    switch (c) {
    case U' ':
    case U'!':
    case U'#':
    case U'$':
    case U'%':
    case U'&':
    case U'(':
    case U'*':
    case U'+':
    case U',':
    case U'-':
    case U'.':
    case U'/':
    case U'=':
    case U'[':
    case U']':
    case U'^':
    case U'|': return true;
    default: return false;
    }
}

// The index of the bracket closing the one at `open` (quotes hide brackets); the text's end
// when there is none.
size_t Matching(const std::u32string& t, size_t open, char32_t openCh, char32_t closeCh) {
    int depth = 0;
    char32_t quote = 0;
    for (size_t i = open; i < t.size(); ++i) {
        const char32_t c = t[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == U'\'' || c == U'"') {
            quote = c;
        } else if (c == openCh) {
            ++depth;
        } else if (c == closeCh && --depth == 0) {
            return i;
        }
    }
    return t.size();
}

TfrxAggregateFunction FunctionOf(const std::string& name) {
    const std::string n = AnsiUpperCase(Trim(name));
    if (n == "SUM") return agSum;
    if (n == "AVG") return agAvg;
    if (n == "MIN") return agMin;
    if (n == "MAX") return agMax;
    return agCount;
}

bool IsAggregateName(const std::string& word) {
    const std::string n = AnsiUpperCase(word);
    return n == "SUM" || n == "MIN" || n == "MAX" || n == "AVG" || n == "COUNT";
}

// A text object says so itself; its text is read through its published properties.
bool IsMemo(TfrxComponent* c) { return c && c->IsTextObject(); }

std::string MemoText(TfrxComponent* memo) {
    if (const TPropInfo* p = GetPropInfo(memo, "Memo"))
        if (auto* lines = dynamic_cast<TStrings*>(p->GetObject(memo))) {
            std::string s;
            for (int i = 0; i < lines->Count(); ++i) s += (i ? "\r\n" : "") + lines->Strings(i);
            return s;
        }
    if (const TPropInfo* p = GetPropInfo(memo, "Text")) return p->GetStr(memo);
    return {};
}
}  // namespace

// --- TfrxAggregateItem -----------------------------------------------------------------------

void TfrxAggregateItem::Combine(Variant& into, const Variant& v) const {
    switch (Func) {
    case agSum:
    case agAvg: into = into + v; break;
    case agMin:
        if (v < into) into = v;
        break;
    case agMax:
        if (v > into) into = v;
        break;
    case agCount: break;
    }
}

void TfrxAggregateItem::Calc() {
    if (!DataBand || !(DataBand->GetVisible() || CountInvisibleRows)) return;
    Report->SetCurrentObjectName(MemoName);
    Variant v = Func == agCount ? Variant::Null() : Report->Calc(Expression);
    // Sound: a Boolean row counts 1 for True and 0 for False; leaving False as it was made a
    // sum over rows that are all False the Boolean False instead of the number 0.
    if (v.VarType() == varBoolean) v = Variant(int32_t(v.AsBoolean() ? 1 : 0));
    auto take = [this, &v](int& count, Variant& value) {
        ++count;
        if (value.IsNull()) value = v;
        else if (!v.IsNull()) Combine(value, v);
    };
    if (VColumn >= 1) {
        // Sound: the per-column arrays grow with the column index; a fixed 1001 entries were
        // written past their end by a column beyond 1000.
        const size_t need = std::max(kColumnSlots, size_t(VColumn) + 1);
        if (VValues.size() < need) {
            VValues.resize(need, Variant::Null());
            VCounts.resize(need, 0);
        }
        take(VCounts[size_t(VColumn)], VValues[size_t(VColumn)]);
    } else if (Keeping) {
        take(KeptCount, KeptValue);
    } else {
        take(Count, Value);
    }
}

void TfrxAggregateItem::Reset() {
    if (DontReset && Count != 0) return;
    Count = 0;
    Value = Variant::Null();
    VValues.clear();
    VCounts.clear();
}

Variant TfrxAggregateItem::Result() const {
    int count = Count;
    Variant value = Value;
    if (!VValues.empty()) {
        const size_t i = size_t(std::max(VColumn, 0));
        count = i < VCounts.size() ? VCounts[i] : 0;
        value = i < VValues.size() ? VValues[i] : Variant::Null();
    }
    switch (Func) {
    case agAvg: return count == 0 || value.IsNull() ? Variant::Null() : value / Variant(int32_t(count));
    case agCount: return Variant(int32_t(count));
    default: return value;
    }
}

// --- TfrxAggregateList -----------------------------------------------------------------------

TfrxAggregateList::TfrxAggregateList(TfrxComponent* report) : FReport(report) {}
TfrxAggregateList::~TfrxAggregateList() = default;

void TfrxAggregateList::Clear() { FItems.clear(); }

TfrxReportServices* TfrxAggregateList::Services() const { return FReport->GetReportServices(); }

void TfrxAggregateList::AddPageAggregates(TfrxComponent* page, TList* horizontalMasters, TList* verticalMasters) {
    auto memosOf = [this](TfrxComponent* band, TfrxBand* defaultBand) {
        if (!band) return;
        for (int i = 0; i < band->ChildCount(); ++i)
            if (IsMemo(band->Child(i))) AddAggregates(band->Child(i), defaultBand);
    };
    std::set<TfrxBand*> seen;  // a malformed band tree cannot make the walk circle
    std::function<void(TfrxBand*)> walk = [&](TfrxBand* band) {
        if (!band || !seen.insert(band).second) return;
        memosOf(band->Footer, band);
        std::set<TfrxBand*> groups;
        for (TfrxBand* g = band->Group; g && groups.insert(g).second; g = g->Group) memosOf(g->Footer, band);
        for (int i = 0; i < band->SubBands()->Count(); ++i) walk(static_cast<TfrxBand*>(band->SubBands()->Items(i)));
        if (band->Vertical) memosOf(band, band);
    };
    for (TList* list : {horizontalMasters, verticalMasters})
        if (list)
            for (int i = 0; i < list->Count(); ++i) walk(static_cast<TfrxBand*>(list->Items(i)));
    if (!horizontalMasters || horizontalMasters->Count() == 0 || !page) return;
    auto* first = static_cast<TfrxBand*>(horizontalMasters->Items(0));
    for (TClass c : {TfrxPageFooter::StaticClass(), TfrxColumnFooter::StaticClass(), TfrxReportSummary::StaticClass()})
        for (int i = 0; i < page->ChildCount(); ++i)
            if (page->Child(i)->ClassType()->InheritsFrom(c)) {
                memosOf(page->Child(i), first);
                break;
            }
}

void TfrxAggregateList::AddAggregates(TfrxComponent* memo, TfrxBand* defaultBand) {
    if (const TPropInfo* p = GetPropInfo(memo, "AllowExpressions"))
        if (p->GetOrd(memo) == 0) return;
    std::string delimiters = "[,]";
    if (const TPropInfo* p = GetPropInfo(memo, "ExpressionDelimiters")) delimiters = p->GetStr(memo);
    const size_t comma = delimiters.find(',');
    const std::string open = delimiters.substr(0, comma);
    const std::string close = comma == std::string::npos ? std::string() : delimiters.substr(comma + 1, 255);
    if (open.empty() || close.empty()) return;
    const std::string text = MemoText(memo);
    const std::u32string t = Utf8ToU32(text), openT = Utf8ToU32(open);
    size_t at = t.find(openT);
    while (at != std::u32string::npos) {
        int from = int(at) + 1, finish = from;
        const std::string expr = frxGetBracketedText(text, open, close, from, finish);
        if (finish <= from) break;  // not closed
        if (!expr.empty()) ScanExpression(Utf8ToU32(expr), memo, defaultBand, 0);
        at = t.find(openT, size_t(finish));
    }
}

void TfrxAggregateList::ScanName(const std::string& word, TfrxComponent* memo, TfrxBand* defaultBand, int depth) {
    const int i = Services()->Variables()->IndexOf(word);
    if (i >= 0)
        ScanExpression(
            Utf8ToU32(VarToStr(Services()->Variables()->GetItem(i)->GetValue())), memo, defaultBand, depth + 1);
}

void TfrxAggregateList::ScanExpression(
    const std::u32string& text, TfrxComponent* memo, TfrxBand* defaultBand, int depth) {
    // Sound: a variable whose value names itself is scanned only so deep instead of for ever.
    if (depth > kMaxScanDepth) return;
    const std::string whole = Trim(U32ToUtf8(text));
    if (Services()->Variables()->IndexOf(whole) >= 0) {
        ScanName(whole, memo, defaultBand, depth);
        return;
    }
    TfrxDataSet* ds = nullptr;
    std::string field;
    Services()->GetDatasetAndField(whole, ds, field);
    if (ds && ds->HasField(field)) return;

    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        while (i < n && IsSeparator(text[i])) ++i;
        if (i >= n) break;
        const char32_t c = text[i];
        if (c == U'"' || c == U'\'') {
            const size_t j = text.find(c, i + 1);
            i = j == std::u32string::npos ? n : j + 1;
        } else if (c == U'(' || c == U'<') {
            const size_t j = Matching(text, i, c, c == U'(' ? U')' : U'>');
            ScanExpression(text.substr(i + 1, j > i + 1 ? j - i - 1 : 0), memo, defaultBand, depth + 1);
            i = j + 1;
        } else {
            size_t j = i;
            while (j < n && !IsWordDelimiter(text[j])) ++j;
            const std::string word = U32ToUtf8(text.substr(i, j - i));
            if (IsAggregateName(word) && j < n && text[j] == U'(') {
                std::vector<std::string> args;
                std::u32string arg;
                int level = 1;
                bool quoted = false;
                size_t k = j + 1;
                for (; k < n && level > 0; ++k) {
                    const char32_t ch = text[k];
                    if (ch == U'\'') quoted = !quoted;
                    if (!quoted && ch == U'(') ++level;
                    if (!quoted && ch == U')' && --level == 0) break;
                    if (!quoted && ch == U',' && level == 1) {
                        args.push_back(Trim(U32ToUtf8(arg)));
                        arg.clear();
                        continue;
                    }
                    arg += ch;
                }
                args.push_back(Trim(U32ToUtf8(arg)));
                if (args.size() > 3) args.resize(3);
                const size_t end = std::min(k + 1, n);
                ParseAggregate(Trim(U32ToUtf8(text.substr(i, end - i))), args, memo, defaultBand);
                i = end;
            } else {
                ScanName(word, memo, defaultBand, depth);
                i = j;
            }
        }
    }
}

void TfrxAggregateList::ParseAggregate(
    const std::string& call, const std::vector<std::string>& args, TfrxComponent* memo, TfrxBand* defaultBand) {
    auto item = std::make_unique<TfrxAggregateItem>();
    item->Func = FunctionOf(call.substr(0, call.find('(')));
    auto arg = [&args](size_t i) { return i < args.size() ? args[i] : std::string(); };
    const size_t first = item->Func == agCount ? 0 : 1;
    if (item->Func != agCount) item->Expression = arg(0);
    const std::string bandName = arg(first), flags = arg(first + 1);
    TfrxBand* band = nullptr;
    if (!bandName.empty()) band = dynamic_cast<TfrxBand*>(FReport->FindObject(bandName));
    item->DataBand = band ? band : defaultBand;
    if (!flags.empty()) {
        const int f = StrToInt(flags);
        item->CountInvisibleRows = (f & 1) != 0;
        item->DontReset = (f & 2) != 0;
    }
    item->ParentBand = dynamic_cast<TfrxBand*>(memo->GetParent());
    // A text moved into a vertical band from a footer-like band is shown by that footer.
    if (item->ParentBand && item->ParentBand->Vertical)
        if (TfrxBand* from = memo->HorizontalBand)
            if (dynamic_cast<TfrxReportSummary*>(from) || dynamic_cast<TfrxPageFooter*>(from) ||
                dynamic_cast<TfrxFooter*>(from) || dynamic_cast<TfrxGroupFooter*>(from))
                item->ParentBand = from;
    item->IsPageFooter = dynamic_cast<TfrxPageFooter*>(item->ParentBand) != nullptr;
    item->MemoName = memo->GetName();
    item->AggregateText = call;
    item->Report = Services();
    item->Reset();
    FItems.push_back(std::move(item));
}

void TfrxAggregateList::AddValue(TfrxBand* dataBand, int vColumn) {
    for (auto& item : FItems)
        if (item->DataBand == dataBand) {
            item->VColumn = vColumn;
            item->Calc();
        }
}

Variant TfrxAggregateList::GetValue(TfrxBand* parentBand, int vColumn, int flags, TfrxBand* dataBand,
    const std::string& expression, const std::string& name) {
    const TfrxAggregateFunction func = FunctionOf(name);
    const std::string expr = Trim(expression);
    for (auto& item : FItems) {
        if (item->ParentBand != parentBand || item->Func != func || !AnsiSameText(item->Expression, expr)) continue;
        if (dataBand && item->DataBand != dataBand) continue;
        if (item->CountInvisibleRows != ((flags & 1) != 0) || item->DontReset != ((flags & 2) != 0)) continue;
        item->VColumn = vColumn;
        return item->Result();
    }
    return Variant::Null();
}

void TfrxAggregateList::ResetBand(TfrxBand* band) {
    for (auto& item : FItems)
        if (item->ParentBand == band) item->Reset();
}

void TfrxAggregateList::ResetAll() {
    for (auto& item : FItems) {
        const bool running = item->DontReset;
        item->DontReset = false;
        item->Reset();
        item->DontReset = running;
    }
}

void TfrxAggregateList::StartKeep() {
    for (auto& item : FItems)
        if (item->IsPageFooter && !item->Keeping) {
            item->Keeping = true;
            item->KeptCount = 0;
            item->KeptValue = Variant::Null();
        }
}

void TfrxAggregateList::EndKeep() {
    for (auto& item : FItems)
        if (item->IsPageFooter && item->Keeping) {
            item->Keeping = false;
            item->Count += item->KeptCount;
            if (item->Value.IsNull()) item->Value = item->KeptValue;
            else if (!item->KeptValue.IsNull()) item->Combine(item->Value, item->KeptValue);
        }
}
