#include "platform/classes/StringList.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS(TStrings, TPersistent)
KAROMIL_IMPLEMENT_CLASS(TStringList, TStrings)

namespace {
// One change notification around a batch of edits, also when an edit fails. EndUpdate tells
// the change handlers, and a handler may throw: after the edits its error reaches the caller,
// after a failed edit the edit's error is the one reported. Sound where ending the batch in a
// destructor turned a handler's error into the end of the program.
template <class Work>
void InBatch(TStrings* strings, Work work) {
    strings->BeginUpdate();
    TryFinally(work, [strings] { strings->EndUpdate(); });
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

[[noreturn]] void SortedListError() { throw EStringListError("Operation not allowed on sorted list"); }

// A string list reports bad indexes as its own error class, as the class library does.
[[noreturn]] void StringListIndexError(int index) {
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

// --- TStrings: the generic operations ---------------------------------------------------------

void TStrings::Put(int index, const std::string& s) {
    InBatch(this, [&] {
        TObject* object = GetObject(index);
        intptr_t value = GetObjectAsInt(index);
        Delete(index);
        InsertObject(index, s, object);
        PutObjectAsInt(index, value);
    });
}

int TStrings::CompareStrings(const std::string& s1, const std::string& s2) const { return AnsiCompareText(s1, s2); }

int TStrings::AddLine(const std::string& s, TObject* object, intptr_t value) {
    int index = GetCount();
    InsertObject(index, s, object);
    if (value != 0) PutObjectAsInt(index, value);
    return index;
}

int TStrings::Add(const std::string& s) { return AddLine(s, nullptr, 0); }
int TStrings::AddObject(const std::string& s, TObject* object) { return AddLine(s, object, 0); }
int TStrings::AddObjectAsInt(const std::string& s, intptr_t value) { return AddLine(s, nullptr, value); }

void TStrings::AddStrings(const TStrings* strings) {
    InBatch(this, [&] {
        for (int i = 0, n = strings->GetCount(); i < n; ++i)
            AddLine(strings->Get(i), strings->GetObject(i), strings->GetObjectAsInt(i));
    });
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2) {
    InBatch(this, [&] {
        std::string s1 = Get(index1), s2 = Get(index2);
        TObject* o1 = GetObject(index1);
        TObject* o2 = GetObject(index2);
        intptr_t v1 = GetObjectAsInt(index1), v2 = GetObjectAsInt(index2);
        Put(index1, s2);
        PutObject(index1, o2);
        PutObjectAsInt(index1, v2);
        Put(index2, s1);
        PutObject(index2, o1);
        PutObjectAsInt(index2, v1);
    });
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    InBatch(this, [&] {
        std::string s = Get(curIndex);
        TObject* object = GetObject(curIndex);
        intptr_t value = GetObjectAsInt(curIndex);
        if (newIndex < 0 || newIndex >= GetCount()) ListIndexError(newIndex);
        Delete(curIndex);
        InsertObject(newIndex, s, object);
        PutObjectAsInt(newIndex, value);
    });
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0, n = GetCount(); i < n; ++i) {
        std::string line = Get(i);
        size_t eq = line.find('=');
        if (eq != std::string::npos && CompareStrings(line.substr(0, eq), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

int TStrings::IndexOfObjectAsInt(intptr_t value) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (GetObjectAsInt(i) == value) return i;
    return -1;
}

bool TStrings::Equals(const TStrings* strings) const {
    int n = GetCount();
    if (n != strings->GetCount()) return false;
    for (int i = 0; i < n; ++i)
        if (Get(i) != strings->Get(i)) return false;
    return true;
}

void TStrings::Assign(TPersistent* source) {
    // Assigning a list to itself would clear it before copying; it is already equal.
    if (source == this) return;
    if (auto* strings = dynamic_cast<TStrings*>(source)) {
        InBatch(this, [&] {
            Clear();
            AddStrings(strings);
        });
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0) return;  // unbalanced: nothing to end
    if (--FUpdateCount == 0) SetUpdateState(false);
}

// --- Name=Value -------------------------------------------------------------------------------

std::string TStrings::Names(int index) const {
    std::string line = Get(index);
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::Values(const std::string& name) const {
    int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
    int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    // Added whole, not as an empty line filled in afterwards: a sorted list would keep the
    // empty line and refuse the fill-in.
    if (index < 0) Add(name + "=" + value);
    else Put(index, name + "=" + value);
}

// The class library took everything after Length(Name) + 1, which dropped the first
// character of a line without '='; such a line has no value.
std::string TStrings::ValueFromIndex(int index) const {
    std::string line = Get(index);
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

void TStrings::SetValueFromIndex(int index, const std::string& value) {
    if (value.empty()) Delete(index);
    else Put(index, Names(index) + "=" + value);
}

// --- text -------------------------------------------------------------------------------------

std::string TStrings::GetTextStr() const {
    std::string text;
    for (int i = 0, n = GetCount(); i < n; ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetTextStr(const std::string& text) {
    InBatch(this, [&] {
        Clear();
        size_t p = 0, n = text.size();
        while (p < n) {
            size_t start = p;
            while (p < n && text[p] != '\r' && text[p] != '\n') ++p;
            Add(text.substr(start, p - start));
            if (p < n && text[p] == '\r') ++p;
            if (p < n && text[p] == '\n') ++p;
        }
    });
}

std::string TStrings::GetDelimited(char delimiter, char quote) const {
    int n = GetCount();
    if (n == 1 && Get(0).empty()) return std::string(2, quote);
    std::string result;
    for (int i = 0; i < n; ++i) {
        std::string s = Get(i);
        bool quoted = std::any_of(
            s.begin(), s.end(), [&](char c) { return IsBlank(c) || c == quote || c == delimiter; });
        if (quoted) {
            result += quote;
            for (char c : s) {
                result += c;
                if (c == quote) result += quote;
            }
            result += quote;
        } else {
            result += s;
        }
        if (i + 1 < n) result += delimiter;
    }
    return result;
}

void TStrings::SetDelimited(const std::string& text, char delimiter, char quote) {
    InBatch(this, [&] {
        Clear();
        size_t p = 0, n = text.size();
        auto skipBlanks = [&] {
            while (p < n && IsBlank(text[p])) ++p;
        };
        skipBlanks();
        while (p < n) {
            std::string s;
            if (text[p] == quote) {
                ++p;  // doubled quotes stand for one; an unclosed quote runs to the end
                while (p < n) {
                    if (text[p] != quote) s += text[p++];
                    else if (p + 1 < n && text[p + 1] == quote) {
                        s += quote;
                        p += 2;
                    } else {
                        ++p;
                        break;
                    }
                }
            } else {
                size_t start = p;
                while (p < n && !IsBlank(text[p]) && text[p] != delimiter) ++p;
                s.assign(text, start, p - start);
            }
            Add(s);
            skipBlanks();
            if (p < n && text[p] == delimiter) {
                if (p + 1 == n) Add(std::string());  // a delimiter at the very end ends an empty item
                ++p;
                skipBlanks();
            }
        }
    });
}

std::string TStrings::DelimitedText() const { return GetDelimited(Delimiter, QuoteChar); }
void TStrings::SetDelimitedText(const std::string& text) { SetDelimited(text, Delimiter, QuoteChar); }
std::string TStrings::CommaText() const { return GetDelimited(',', '"'); }
void TStrings::SetCommaText(const std::string& text) { SetDelimited(text, ',', '"'); }

// --- storage ----------------------------------------------------------------------------------

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TStrings::LoadFromStream(TStream* stream) {
    // Read to the end rather than trusting Size: not every stream knows it.
    constexpr size_t Chunk = 64 * 1024;
    std::string data;
    for (;;) {
        size_t have = data.size();
        data.resize(have + Chunk);
        int64_t n = stream->Read(data.data() + have, int64_t(Chunk));
        if (n < 0) throw EReadError("Stream read error");
        data.resize(have + size_t(n));
        if (n == 0) break;
    }
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) data.erase(0, 3);
    SetTextStr(data);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(&file);
}

void TStrings::SaveToStream(TStream* stream) const {
    std::string text = GetTextStr();
    stream->WriteBuffer(text.data(), int64_t(text.size()));
}

// --- TStringList ------------------------------------------------------------------------------

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (Item& item : FItems) delete item.Object;
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) StringListIndexError(index);
}

void TStringList::CheckUnsorted() const {
    if (FSorted) SortedListError();
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating) Changing();
    else Changed();
}

int TStringList::CompareStrings(const std::string& s1, const std::string& s2) const {
    return FCaseSensitive ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)].String;
}

void TStringList::Put(int index, const std::string& s) {
    CheckUnsorted();
    CheckIndex(index);
    Changing();
    FItems[size_t(index)].String = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)].Object;
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    TObject* old = std::exchange(FItems[size_t(index)].Object, object);
    Changed();
    if (FOwnsObjects && old != object) delete old;
}

intptr_t TStringList::GetObjectAsInt(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)].Int;
}

void TStringList::PutObjectAsInt(int index, intptr_t value) {
    CheckIndex(index);
    Changing();
    FItems[size_t(index)].Int = value;
    Changed();
}

void TStringList::InsertItem(int index, Item item) {
    Changing();
    FItems.insert(FItems.begin() + index, std::move(item));
    Changed();
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
    CheckUnsorted();
    if (index < 0 || index > GetCount()) StringListIndexError(index);
    InsertItem(index, Item{s, object, 0});
}

int TStringList::AddLine(const std::string& s, TObject* object, intptr_t value) {
    int index = GetCount();
    if (FSorted) {
        if (Find(s, index)) {
            switch (FDuplicates) {
            case dupIgnore: return index;
            case dupError: throw EStringListError("String list does not allow duplicates");
            case dupAccept:
                while (index < GetCount() && CompareStrings(FItems[size_t(index)].String, s) == 0) ++index;
                break;
            }
        }
    }
    InsertItem(index, Item{s, object, value});
    return index;
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    TObject* object = FItems[size_t(index)].Object;
    FItems.erase(FItems.begin() + index);
    Changed();
    if (FOwnsObjects) delete object;
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    Changing();
    std::vector<Item> old;
    old.swap(FItems);
    if (FOwnsObjects)
        for (Item& item : old) delete item.Object;
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
    Changed();
}

// The class library deleted the line before finding out that a sorted list refuses the
// insert, losing it; we refuse before touching anything.
void TStringList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckUnsorted();
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    Changing();
    Item item = std::move(FItems[size_t(curIndex)]);
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, std::move(item));
    Changed();
}

int TStringList::IndexOf(const std::string& s) const {
    if (!FSorted) return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int c = CompareStrings(FItems[size_t(mid)].String, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;  // keep going left to the first equal line
        }
    }
    index = lo;
    return found;
}

void TStringList::SortWith(const TStringListSortCompare& compare) {
    if (GetCount() < 2) return;
    Changing();
    auto cmp = [&](int a, int b) { return compare(this, a, b); };
    auto swap = [&](int a, int b) { std::swap(FItems[size_t(a)], FItems[size_t(b)]); };
    classes_detail::QuickSort(0, GetCount() - 1, cmp, swap);
    Changed();
}

void TStringList::SortByStrings() {
    SortWith([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->FItems[size_t(a)].String, list->FItems[size_t(b)].String);
    });
}

void TStringList::Sort() {
    if (!FSorted) SortByStrings();
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
    if (!FSorted && compare) SortWith(compare);
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == FSorted) return;
    if (sorted) SortByStrings();
    FSorted = sorted;
}

// The class library's Sort does nothing on a sorted list, so changing the case rule there
// left the lines in an order Find no longer understands; we sort them again.
void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == FCaseSensitive) return;
    FCaseSensitive = caseSensitive;
    if (FSorted) SortByStrings();
}
