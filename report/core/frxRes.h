#pragma once
// The report library's localised text table and its tool-button and object-kind pictures.
//
// Every text the library shows is looked up by key, so a language is swapped by registering
// other texts under the same keys; a key without text answers the key itself. The core
// registers its Czech texts when the table is first asked for; the output windows and the
// designer add their own keys the same way, a later text replacing an earlier one.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/rtl/Strings.h"

class TBitmap;
class TComponent;
class TImageList;

class TfrxResources : public TObject {
    KAROMIL_CLASS(TfrxResources, TObject)
public:
    TfrxResources();
    ~TfrxResources() override;

    void Add(const std::string& ref, const std::string& text);
    std::string Get(const std::string& ref) const;
    // Applies the Name=Value lines stored under the form's class name: "Component.Property"
    // on one of its components, "Property" on the form itself; missing components and
    // properties are skipped.
    void LocalizeForm(TComponent* form);

    // 16 x 16 tool-button pictures with their pale disabled twins, and 22 x 22 object-kind
    // pictures; filled from the program's "frxBUTTONS" / "frxOBJECTS" strips on first use.
    TImageList* GetButtonImages();
    TImageList* GetDisabledButtonImages();
    TImageList* GetObjectImages();
    void AddButtonImages(TBitmap* strip, bool clear);
    void AddObjectImages(TBitmap* strip, bool clear);

private:
    struct KeyLess {
        bool operator()(const std::string& a, const std::string& b) const { return AnsiCompareText(a, b) < 0; }
    };
    std::map<std::string, size_t, KeyLess> FKeys;  // key -> index into FTexts
    std::vector<std::string> FTexts;
    std::unique_ptr<TImageList> FButtonImages, FDisabledButtonImages, FObjectImages;
};

// The process-wide table, made on first call with the core's Czech texts.
TfrxResources* frxGetResources();

// Registers the core's 44 keys (done by frxGetResources; exposed for a table made anew).
void frxRegisterCoreTexts(TfrxResources* res);
// Registers the bitmap resources "frxBUTTONS" and "frxOBJECTS", drawn by this library, unless
// the program has registered its own; the captions of their pictures in strip order.
void frxRegisterCoreImages();
const std::vector<std::string>& frxButtonImageNames();
const std::vector<std::string>& frxObjectImageNames();
