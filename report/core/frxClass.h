#pragma once
// The report object tree: TfrxComponent, base of every report object (the report, its pages,
// bands, views, dialog pages and controls, datasets), and its printable descendant
// TfrxReportComponent.
//
// An object created with a report object as its owner argument becomes that object's child;
// the class-library owner (who frees it with the report) is the report. The children are kept
// in Objects in their order; the tree is stored as XML through TfrxXMLSerializer.
//
// Classes further down (views, bands, pages) choose which of the geometry, font and
// visibility members they publish; the base publishes nothing of its own.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/List.h"
#include "platform/gui/Graphics.h"

class TCanvas;
class TStream;
class TfrxBand;
class TfrxReport;
class TfrxReportServices;
class TfrxXMLSerializer;

enum TfrxRestriction { rfDontModify, rfDontSize, rfDontMove, rfDontDelete };
KAROMIL_ENUM_TYPE(TfrxRestriction, "rfDontModify", "rfDontSize", "rfDontMove", "rfDontDelete")
using TfrxRestrictions = TSet<TfrxRestriction>;
KAROMIL_SET_TYPE(TfrxRestrictions, TfrxRestriction)

// How a view places itself in its parent (TfrxComponent::AlignChildren); published by the views.
enum TfrxAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
KAROMIL_ENUM_TYPE(TfrxAlign, "baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient")

// Property types of script event names (a report object's event is a procedure name).
KAROMIL_NAMED_TYPE(TypeInfoFrxNotifyEvent, tkString, "TfrxNotifyEvent")
KAROMIL_NAMED_TYPE(TypeInfoFrxPreviewClickEvent, tkString, "TfrxPreviewClickEvent")

class TfrxComponent : public TComponent {
    KAROMIL_CLASS(TfrxComponent, TComponent)
public:
    explicit TfrxComponent(TComponent* owner);
    ~TfrxComponent() override;

    // The designer's constructor: the object is marked InDesigner before any of its
    // constructors run, and DesignFlags() hands the flags to them (a line's diagonal mark,
    // a shape's kind).
    static TfrxComponent* DesignCreate(TClass c, TComponent* owner, uint16_t flags);

    // --- tree
    TfrxComponent* GetParent() const noexcept { return FParent; }
    virtual void SetParent(TfrxComponent* parent);
    TList* Objects() const noexcept { return FObjects.get(); }
    int ChildCount() const noexcept { return FObjects->Count(); }
    TfrxComponent* Child(int index) const { return static_cast<TfrxComponent*>(FObjects->Items(index)); }
    // Every descendant, depth first, each before its children; rebuilt on every call.
    TList* GetAllObjects();
    // The descendant of that name, case ignored; nullptr when none.
    TfrxComponent* FindObject(const std::string& name);
    // Name := NamePrefix and the smallest number from 1 that no object of the report uses.
    void CreateUniqueName();
    // The object itself or its nearest ancestor of that kind; nullptr when none.
    TfrxComponent* GetPage() const;
    TfrxComponent* GetReportRoot() const;  // the report, as the root of its tree
    TfrxReportServices* GetReportServices() const;  // what the report offers its objects
    // Defined with TfrxReport (frxReport.cpp): the files that include only this header use the
    // two above.
    TfrxReport* GetReport() const;
    // Frees every child; the report resets itself whole.
    virtual void Clear();

    // --- geometry (pixels at 96 per inch, Left/Top relative to the parent)
    double GetLeft() const noexcept { return FLeft; }
    double GetTop() const noexcept { return FTop; }
    double GetWidth() const noexcept { return FWidth; }
    double GetHeight() const noexcept { return FHeight; }
    virtual void SetLeft(double value);
    virtual void SetTop(double value);
    virtual void SetWidth(double value);
    virtual void SetHeight(double value);
    void SetBounds(double left, double top, double width, double height);
    // Relative to the page; stops at a dialog page.
    double GetAbsLeft() const;
    double GetAbsTop() const;

    // --- font and flags
    TFont* GetFont() const noexcept { return FFont.get(); }
    virtual void SetFont(TFont* value);  // copies, then stops inheriting
    bool GetParentFont() const noexcept { return FParentFont; }
    virtual void SetParentFont(bool value);
    bool IsFontStored() const noexcept { return !FParentFont; }
    bool GetVisible() const noexcept { return FVisible; }
    virtual void SetVisible(bool value);
    int32_t GetGroupIndex() const noexcept { return FGroupIndex; }
    void SetGroupIndex(int32_t value) noexcept { FGroupIndex = value; }
    TfrxRestrictions GetRestrictions() const noexcept { return FRestrictions; }
    void SetRestrictions(TfrxRestrictions value) noexcept { FRestrictions = value; }

    // --- state
    bool InDesigner = false;  // created by the designer (DesignCreate); geometry then honours Restrictions
    bool ReadingXML = false;
    bool WritingXML = false;
    bool WriteAllProps = false;
    std::string DictionaryName;
    // Prefix of automatic names; '' means the class name without its first "Tfrx" and "View".
    std::string NamePrefix;
    std::string GetNamePrefix() const;
    TfrxComponent* SourceObject = nullptr;
    // The horizontal band an object was moved out of into a vertical band (the engine sets it).
    TfrxBand* HorizontalBand = nullptr;
    double SavedRect[4] = {0, 0, 0, 0};  // the designer's group scaling: abs left, abs top, width, height
    uint16_t DesignFlags() const noexcept { return FDesignFlags; }

    void SetName(const std::string& newName) override;
    // SetName for a caller that has made sure no other object of the report has the name (the
    // reader of a stored report keeps an index of the names): the walk of the report is skipped.
    void SetNameKnownUnique(const std::string& newName);

    // --- copies and stored form
    // Copies the published properties of another report object (not its children); anything
    // else, nil included, is ignored.
    void Assign(TPersistent* source) override;
    void AssignAll(TfrxComponent* source);
    virtual void LoadFromStream(TStream* stream);
    virtual void SaveToStream(TStream* stream, bool saveChildren = true, bool saveDefaultValues = false);

    // --- hooks
    virtual void AlignChildren();
    virtual void BeforeStartReport() {}
    virtual void NotifyDataRow(TfrxBand* band) { (void)band; }
    virtual std::string Diff(TfrxComponent* templ);
    std::string StoredPropsDiff(TfrxComponent* templ);
    static std::string FontAttrDiff(TFont* font, TFont* templateFont, const std::string& prefix);
    virtual std::string GetDescription() const { return ClassName(); }

    // --- kind hooks: what the base and the files below the descendants ask of an object
    // without naming its class; each kind answers for itself.
    virtual TfrxReportServices* OwnReportServices() noexcept { return nullptr; }  // a report: itself
    virtual bool IsPage() const noexcept { return false; }
    virtual bool IsDialogPage() const noexcept { return false; }  // its children sit in window coordinates
    virtual bool IsDotMatrixPage() const noexcept { return false; }
    virtual bool IsBand() const noexcept { return false; }
    virtual bool IsView() const noexcept { return false; }  // placed by AlignChildren
    virtual TfrxAlign GetAlign() const noexcept { return baNone; }
    virtual bool IsAutoWidth() const noexcept { return false; }  // a text object that sizes its own width
    // A text object: its lines may hold expressions, aggregates among them.
    virtual bool IsTextObject() const noexcept { return false; }
    // A cross-tab writes its own cells into a prepared page: neither it nor the children of its
    // template are written there.
    virtual bool IsCrossView() const noexcept { return false; }
    // The text a prepared object's short form carries in its "x" attribute (a text object's
    // Diff writes it); objects without a text ignore it.
    virtual void SetDiffText(const std::string& text) { (void)text; }

protected:
    // The font's change handler: stops inheriting and hands the font to inheriting children.
    virtual void FontChanged();
    // Component streaming of a window definition: the children in order.
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

private:
    TfrxComponent* FParent = nullptr;
    std::unique_ptr<TList> FObjects = std::make_unique<TList>();
    std::unique_ptr<TList> FAllObjects = std::make_unique<TList>();
    std::unique_ptr<TFont> FFont;
    double FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FParentFont = true;
    bool FVisible = true;
    bool FNameKnownUnique = false;  // inside SetNameKnownUnique
    int32_t FGroupIndex = 0;
    TfrxRestrictions FRestrictions;
    uint16_t FDesignFlags = 0;
};

class TfrxReportComponent : public TfrxComponent {
    KAROMIL_CLASS(TfrxReportComponent, TfrxComponent)
public:
    explicit TfrxReportComponent(TComponent* owner) : TfrxComponent(owner) {}

    // Script procedure names, published by the views.
    std::string OnAfterData, OnAfterPrint, OnBeforePrint, OnPreviewClick;
    double ShiftDistance = 0;
    TList* ShiftFollowers() const noexcept { return FShiftFollowers.get(); }

    virtual void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) = 0;
    virtual void BeforePrint();  // keeps the bounds
    virtual void GetData() {}
    virtual void AfterPrint();  // puts the kept bounds back
    virtual std::string GetComponentText() { return ""; }

private:
    std::unique_ptr<TList> FShiftFollowers = std::make_unique<TList>();
    double FSavedBounds[4] = {0, 0, 0, 0};
};

namespace frx {
// The core's start-up: registers the report classes built so far and the shut-down of the
// process-wide objects; called by every entry that creates a report (idempotent).
void Startup();
}  // namespace frx
