#pragma once
// Styles: named sets of fill colour, font and frame that text objects take by name. A report
// owns one style set; a set can be saved to and loaded from a file of its own (".fs3", root
// "style"), and several sets read together as a style sheet (root "stylesheet").

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/gui/Graphics.h"
#include "report/core/frxView.h"

class TStream;
class TStrings;
class TfrxXMLItem;

class TfrxStyleItem : public TCollectionItem {
    KAROMIL_CLASS(TfrxStyleItem, TCollectionItem)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Name);
        KAROMIL_PROP(Color, TypeInfoColor());  // no default: always stored
        KAROMIL_PROP(Font);
        KAROMIL_PROP(Frame);
    })
public:
    explicit TfrxStyleItem(TCollection* collection = nullptr);
    ~TfrxStyleItem() override;
    void Assign(TPersistent* source) override;  // from another style; the name unchecked

    const std::string& GetName() const noexcept { return FName; }
    // "Duplicate name" when another style of the set has it (case ignored).
    void SetName(const std::string& value);
    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor value) noexcept { FColor = value; }
    TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(TFont* value);  // copies
    TfrxFrame* GetFrame() const noexcept { return FFrame.get(); }
    void SetFrame(TfrxFrame* value);  // copies
    // Name := "Style" and the smallest number from 1 no style of the set has.
    void CreateUniqueName();

private:
    std::string FName;
    TColor FColor = clTransparent;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TfrxFrame> FFrame;
};

class TfrxStyles : public TCollection {
    KAROMIL_CLASS(TfrxStyles, TCollection)
public:
    explicit TfrxStyles(TfrxComponent* report = nullptr);

    std::string Name;
    TfrxComponent* Report() const noexcept { return FReport; }
    TfrxStyleItem* Add() { return static_cast<TfrxStyleItem*>(TCollection::Add()); }
    TfrxStyleItem* GetItem(int index) const { return static_cast<TfrxStyleItem*>(Items(index)); }
    TfrxStyleItem* Find(const std::string& name) const;  // case ignored; nullptr when none
    void GetList(TStrings* list) const;
    // Every text object of the report takes its style again; nothing without a report.
    void Apply();

    void SaveToXMLItem(TfrxXMLItem* item);
    void LoadFromXMLItem(TfrxXMLItem* item);
    void SaveToStream(TStream* stream);
    void LoadFromStream(TStream* stream);
    // Never destroys the file it replaces when writing fails.
    void SaveToFile(const std::string& fileName);
    void LoadFromFile(const std::string& fileName);

private:
    TfrxComponent* FReport;
};

class TfrxStyleSheet : public TObject {
    KAROMIL_CLASS(TfrxStyleSheet, TObject)
public:
    TfrxStyleSheet() = default;

    void Clear() { FItems.clear(); }
    void Delete(int index);
    TfrxStyles* Add();  // a new empty set without report, appended
    int Count() const noexcept { return int(FItems.size()); }
    TfrxStyles* Items(int index) const { return FItems.at(size_t(index)).get(); }
    TfrxStyles* Find(const std::string& name) const;
    void GetList(TStrings* list) const;

    void LoadFromStream(TStream* stream);
    void LoadFromFile(const std::string& fileName);

private:
    std::vector<std::unique_ptr<TfrxStyles>> FItems;
};
