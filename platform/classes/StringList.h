#pragma once
// TStrings, the abstract list of text lines each carrying an object, and TStringList, its
// stored, optionally sorted form.
//
// Lines are UTF-8 std::strings and may hold any bytes (NUL included). Beside its object each
// line carries an integer (ObjectsAsInt) for callers that keep numbers, such as image indexes
// or bin numbers, where the class library kept them cast to objects.
//
// Text joins lines with CR LF after every line and splits on CR, LF and CR LF. Name=Value
// lines: the name is everything before the first '=' (blanks included).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/List.h"
#include "platform/classes/Persistent.h"

class TStream;

class TStrings : public TPersistent {
    KAROMIL_CLASS(TStrings, TPersistent)
public:
    TStrings() = default;

    // --- what a descendant provides ---
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);  // keeps the line's object
    virtual TObject* GetObject(int index) const {
        (void)index;
        return nullptr;
    }
    virtual void PutObject(int index, TObject* object) {
        (void)index;
        (void)object;
    }
    virtual intptr_t GetObjectAsInt(int index) const {
        (void)index;
        return 0;
    }
    virtual void PutObjectAsInt(int index, intptr_t value) {
        (void)index;
        (void)value;
    }
    virtual int GetCount() const = 0;
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual std::string GetTextStr() const;
    virtual void SetTextStr(const std::string& text);
    // Called when the first BeginUpdate starts and the last EndUpdate ends a batch.
    virtual void SetUpdateState(bool updating) { (void)updating; }
    // How lines are matched (IndexOf, IndexOfName, Values); case ignored, Czech letters folded.
    virtual int CompareStrings(const std::string& s1, const std::string& s2) const;

    // --- the list ---
    int Count() const { return GetCount(); }
    std::string Strings(int index) const { return Get(index); }
    void SetStrings(int index, const std::string& s) { Put(index, s); }
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* object) { PutObject(index, object); }
    intptr_t ObjectsAsInt(int index) const { return GetObjectAsInt(index); }
    void SetObjectsAsInt(int index, intptr_t value) { PutObjectAsInt(index, value); }

    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* object);
    int AddObjectAsInt(const std::string& s, intptr_t value);
    void AddStrings(const TStrings* strings);  // lines, objects and integers
    virtual void InsertObject(int index, const std::string& s, TObject* object);
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);

    virtual int IndexOf(const std::string& s) const;  // -1 when absent
    int IndexOfName(const std::string& name) const;
    int IndexOfObject(const TObject* object) const;
    int IndexOfObjectAsInt(intptr_t value) const;
    // Same count and the same bytes line by line (objects are not compared).
    bool Equals(const TStrings* strings) const;

    // Copies lines, objects and integers from another TStrings (objects are shared, never
    // duplicated: two lists that both own objects must not assign each other).
    void Assign(TPersistent* source) override;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const noexcept { return FUpdateCount; }

    // --- Name=Value lines ---
    std::string Names(int index) const;  // '' when the line has no '='
    std::string Values(const std::string& name) const;  // '' when absent
    void SetValues(const std::string& name, const std::string& value);  // '' deletes the line
    std::string ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const std::string& value);

    // --- whole text ---
    std::string Text() const { return GetTextStr(); }
    void SetText(const std::string& text) { SetTextStr(text); }
    // Lines separated by Delimiter; a line holding a blank, a control character, QuoteChar
    // or Delimiter is quoted with QuoteChar doubled inside. Reading also splits at blanks
    // outside quotes.
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& text);
    // DelimitedText with ',' and '"' whatever Delimiter and QuoteChar are.
    std::string CommaText() const;
    void SetCommaText(const std::string& text);
    char Delimiter = ',';
    char QuoteChar = '"';

    // --- storage (UTF-8; a byte order mark on reading is skipped) ---
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream* stream);  // from the stream's position to its end
    void SaveToFile(const std::string& fileName) const;
    void SaveToStream(TStream* stream) const;

protected:
    // Appends a line with its object and integer in one step (a sorted list may refuse it and
    // answer the equal line's index).
    virtual int AddLine(const std::string& s, TObject* object, intptr_t value);
    std::string GetDelimited(char delimiter, char quote) const;
    void SetDelimited(const std::string& text, char delimiter, char quote);

private:
    int FUpdateCount = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// <0, 0, >0 for the lines at index1 and index2 of list.
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

class TStringList : public TStrings {
    KAROMIL_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    ~TStringList() override;

    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;  // EStringListError on a sorted list
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    intptr_t GetObjectAsInt(int index) const override;
    void PutObjectAsInt(int index, intptr_t value) override;
    int GetCount() const override { return int(FItems.size()); }
    void Insert(int index, const std::string& s) override;  // EStringListError on a sorted list
    void InsertObject(int index, const std::string& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    void SetUpdateState(bool updating) override;
    int CompareStrings(const std::string& s1, const std::string& s2) const override;

    // Add on a sorted list goes to the line's sorted place and follows Duplicates (dupAccept
    // puts it after the equal lines already there; dupIgnore answers the equal line's index
    // and leaves the object with the caller).
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;  // EStringListError on a sorted list
    int IndexOf(const std::string& s) const override;  // binary search when sorted

    // Binary search of a sorted list: true with the first equal line's index, else false with
    // the index where s would be inserted.
    bool Find(const std::string& s, int& index) const;
    void Sort();
    void CustomSort(const TStringListSortCompare& compare);  // nothing on a sorted list

    bool Sorted() const noexcept { return FSorted; }
    void SetSorted(bool sorted);  // True sorts the lines
    TDuplicates Duplicates() const noexcept { return FDuplicates; }
    void SetDuplicates(TDuplicates d) noexcept { FDuplicates = d; }
    bool CaseSensitive() const noexcept { return FCaseSensitive; }
    void SetCaseSensitive(bool caseSensitive);  // a sorted list sorts again
    // An owning list deletes a line's object when the line goes or the object is replaced,
    // and all of them with the list.
    bool OwnsObjects() const noexcept { return FOwnsObjects; }
    void SetOwnsObjects(bool owns) noexcept { FOwnsObjects = owns; }

    // Before and after every change; once around a BeginUpdate/EndUpdate batch.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    int AddLine(const std::string& s, TObject* object, intptr_t value) override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        std::string String;
        TObject* Object = nullptr;
        intptr_t Int = 0;
    };
    void CheckIndex(int index) const;
    void CheckUnsorted() const;
    void SortByStrings();
    void InsertItem(int index, Item item);
    void SortWith(const TStringListSortCompare& compare);

    std::vector<Item> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TDuplicates FDuplicates = dupIgnore;
};
