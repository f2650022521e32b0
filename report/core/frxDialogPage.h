#pragma once
// TfrxDialogPage: a page that is a window with dialog controls, shown by the engine before the
// report pages run. The page owns its window (TfrxDialogForm) and mirrors its geometry,
// caption, colour and font onto it; during a run the window's events call the page's script
// procedures.

#include <memory>
#include <string>

#include "platform/gui/Forms.h"
#include "report/core/frxPage.h"

class TfrxDialogForm;

class TfrxDialogPage : public TfrxPage {
    KAROMIL_CLASS(TfrxDialogPage, TfrxPage)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(BorderStyle).Default(bsSizeable);
        KAROMIL_PROP(Caption);
        KAROMIL_PROP(Color, TypeInfoColor()).Default(int64_t(clBtnFace));
        KAROMIL_PROP(Height);
        KAROMIL_PROP(Left);
        KAROMIL_PROP_MEMBER(Position).Default(poScreenCenter);
        KAROMIL_PROP(Top);
        KAROMIL_PROP(Width);
        KAROMIL_PROP_MEMBER(WindowState).Default(wsNormal);
        KAROMIL_PROP_MEMBER(OnActivate, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnCloseQuery, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDeactivate, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnHide, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnShow, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnResize, TypeInfoFrxNotifyEvent());
    })
public:
    explicit TfrxDialogPage(TComponent* owner);
    ~TfrxDialogPage() override;  // the window goes after the children

    // --- published, in stored order (with Height, Left, Top, Width)
    TFormBorderStyle BorderStyle = bsSizeable;  // given to the window by the engine before showing
    std::string GetCaption() const noexcept { return FCaption; }
    void SetCaption(const std::string& value);
    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor value);
    TPosition Position = poScreenCenter;
    TWindowState WindowState = wsNormal;
    std::string OnActivate, OnClick, OnCloseQuery, OnDeactivate, OnHide, OnKeyDown, OnKeyPress, OnKeyUp, OnShow,
        OnResize;  // script procedure names

    TfrxDialogForm* Form() const noexcept { return FForm.get(); }
    // Readies the window for a run: hidden, position and state taken, events routed to the
    // script.
    void InitDialog();
    // Shows the window modally (normal form style while shown, stay-on-top afterwards) and
    // answers its modal result; 2 (cancel) ends the run.
    int ShowModal();
    int GetModalResult() const;
    void SetModalResult(int value);
    bool IsDialogPage() const noexcept override { return true; }

    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetWidth(double value) override;
    void SetHeight(double value) override;
    std::string GetDescription() const override;

protected:
    void FontChanged() override;

private:
    std::unique_ptr<TfrxDialogForm> FForm;
    std::string FCaption;
    TColor FColor = clBtnFace;
};
