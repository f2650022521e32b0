#pragma once
// Objects of dialog pages: TfrxDialogComponent, a non-visual component that the designer shows
// as an icon (the report datasets derive from it), and TfrxDialogControl, the wrapper of a real
// window control (the dialog controls of the output layer derive from it).
//
// A wrapped control gets its window parent from the report tree: the control of a parent
// dialog control, else the window of a parent dialog page, else one hidden host window.

#include <memory>
#include <string>

#include "platform/gui/Controls.h"
#include "report/core/frxClass.h"

class TBitmap;
class TControl;
class TWinControl;
class TCustomForm;

class TfrxDialogComponent : public TfrxReportComponent {
    KAROMIL_CLASS(TfrxDialogComponent, TfrxReportComponent)
public:
    explicit TfrxDialogComponent(TComponent* owner);
    ~TfrxDialogComponent() override;

    TBitmap* Bitmap() const noexcept { return FBitmap.get(); }  // nullptr for user datasets
    TComponent* Component() const noexcept { return FComponent.get(); }
    void SetComponent(std::unique_ptr<TComponent> component) { FComponent = std::move(component); }
    int ImageIndex = -1;

    // The design-time icon with the name under it; scale and offset do not apply to it.
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;

protected:
    // "pLeft"/"pTop": the rounded position, kept only while the object is in a report.
    void DefineProperties(TFiler* filer) override;
    // Whether Draw makes the component a bitmap of its own to show its image in.
    virtual bool DrawsOwnBitmap() const noexcept { return true; }

private:
    std::unique_ptr<TBitmap> FBitmap;
    std::unique_ptr<TComponent> FComponent;
};

class TfrxDialogControl : public TfrxReportComponent {
    KAROMIL_CLASS(TfrxDialogControl, TfrxReportComponent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Left);
        KAROMIL_PROP(Top);
        KAROMIL_PROP(Width);
        KAROMIL_PROP(Height);
        KAROMIL_PROP(Font).Stored(&Self::IsFontStored);
        KAROMIL_PROP(GroupIndex).Default(0);
        KAROMIL_PROP(ParentFont).Default(1);
        KAROMIL_PROP(Enabled).Default(1);
        KAROMIL_PROP(Visible).Default(1);
    })
public:
    explicit TfrxDialogControl(TComponent* owner);
    ~TfrxDialogControl() override;  // the wrapped control goes last

    TControl* Control() const noexcept { return FControl; }
    // Called by each descendant's constructor with the control it made (owned from now on):
    // routes the control's events here and gives it its window parent.
    void InitControl(TControl* control);

    // Script procedure names of the control's events.
    std::string OnClick, OnDblClick, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove,
        OnMouseUp;

    // Read and written on the control.
    bool GetEnabled() const;
    void SetEnabled(bool value);
    std::string GetCaption() const;
    void SetCaption(const std::string& value);
    TColor GetColor() const;
    void SetColor(TColor value);

    void SetParent(TfrxComponent* parent) override;
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetWidth(double value) override;
    void SetHeight(double value) override;
    void SetVisible(bool value) override;
    void SetParentFont(bool value) override;
    // Paints the live control into a bitmap and draws it at the object's place.
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;

protected:
    void FontChanged() override;

private:
    void DoClick(TObject*);
    void DoDblClick(TObject*);
    void DoEnter(TObject*);
    void DoExit(TObject*);
    void DoKeyDown(TObject*, uint16_t& key, TShiftState shift);
    void DoKeyPress(TObject*, char32_t& key);
    void DoKeyUp(TObject*, uint16_t& key, TShiftState shift);
    void DoMouseDown(TObject*, TMouseButton button, TShiftState shift, int x, int y);
    void DoMouseMove(TObject*, TShiftState shift, int x, int y);
    void DoMouseUp(TObject*, TMouseButton button, TShiftState shift, int x, int y);
    TControl* FControl = nullptr;
};

// The window that holds wrapped controls whose report parent has none; made on first use.
TCustomForm* frxHiddenHostForm();
// Detaches the controls still on the hidden window and frees it (the core's shut-down).
void frxFreeHiddenHostForm();
// The class library's shift-state bits as one byte, as scripts receive them.
uint8_t frxShiftStateByte(TShiftState shift);
