#pragma once
// The controls a report's dialog page can hold. Each is a report object that
// wraps one window control: the object keeps the stored side (bounds, font,
// published properties, the names of the script procedures its events call),
// the wrapped control is what the user sees on the page's window. Almost every
// property reads and writes the wrapped control.
//
// TfrxDialogControls is the component a window places to bring the controls
// into a program: creating one registers them (with the report's palette and
// stored templates), the password prompt and the print dialog of this library.

#include <string>

#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "report/core/frxDialog.h"

class TCheckListBox;
class TMaskEdit;

// Declared types of the key and mouse event properties (their values are
// procedure names).
KAROMIL_NAMED_TYPE(TypeInfoFrxKeyEvent, tkString, "TfrxKeyEvent")
KAROMIL_NAMED_TYPE(TypeInfoFrxKeyPressEvent, tkString, "TfrxKeyPressEvent")
KAROMIL_NAMED_TYPE(TypeInfoFrxMouseEvent, tkString, "TfrxMouseEvent")
KAROMIL_NAMED_TYPE(TypeInfoFrxMouseMoveEvent, tkString, "TfrxMouseMoveEvent")

class TfrxDialogControls : public TComponent {
    KAROMIL_CLASS(TfrxDialogControls, TComponent)
public:
    explicit TfrxDialogControls(TComponent* owner);
};

// Registers the controls, the password prompt and the print dialog; later calls
// do nothing.
void frxRegisterDialogControls();

class TfrxLabelControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxLabelControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Alignment).Default(taLeftJustify);
        KAROMIL_PROP(AutoSize).Default(1);
        KAROMIL_PROP(Caption);
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP(WordWrap).Default(0);
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxLabelControl(TComponent* owner);
    TLabel* Label() const { return static_cast<TLabel*>(Control()); }
    std::string GetDescription() const override;
    TAlignment GetAlignment() const { return Label()->GetAlignment(); }
    void SetAlignment(TAlignment v) { Label()->SetAlignment(v); }
    bool GetAutoSize() const { return Label()->GetAutoSize(); }
    void SetAutoSize(bool v) { Label()->SetAutoSize(v); }
    bool GetWordWrap() const { return Label()->GetWordWrap(); }
    void SetWordWrap(bool v) { Label()->SetWordWrap(v); }
    // The size follows the measured label while AutoSize is on; otherwise the
    // label takes it.
    void Draw(TCanvas* canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
};

// The three edit kinds: their text, its length limit, read-only, and OnChange.
class TfrxCustomEditControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxCustomEditControl, TfrxDialogControl)
public:
    TCustomEdit* Edit() const { return static_cast<TCustomEdit*>(Control()); }
    int32_t GetMaxLength() const { return Edit()->GetMaxLength(); }
    void SetMaxLength(int32_t v) { Edit()->SetMaxLength(v); }
    bool GetReadOnly() const { return Edit()->GetReadOnly(); }
    void SetReadOnly(bool v) { Edit()->SetReadOnly(v); }
    std::string GetText() const { return Edit()->GetText(); }
    void SetText(const std::string& v) { Edit()->SetText(v); }
    std::string OnChange;

protected:
    // Takes the edit the descendant made.
    TfrxCustomEditControl(TComponent* owner, TCustomEdit* edit);
};

class TfrxEditControl : public TfrxCustomEditControl {
    KAROMIL_CLASS(TfrxEditControl, TfrxCustomEditControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP(MaxLength);
        KAROMIL_PROP(PasswordChar);
        KAROMIL_PROP(ReadOnly).Default(0);
        KAROMIL_PROP(Text);
        KAROMIL_PROP_MEMBER(OnChange, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxEditControl(TComponent* owner);
    std::string GetDescription() const override;
    std::string GetPasswordChar() const;
    void SetPasswordChar(const std::string& v);
};

class TfrxMemoControl : public TfrxCustomEditControl {
    KAROMIL_CLASS(TfrxMemoControl, TfrxCustomEditControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP(Lines);
        KAROMIL_PROP(MaxLength);
        KAROMIL_PROP(ReadOnly).Default(0);
        KAROMIL_PROP_MEMBER(OnChange, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxMemoControl(TComponent* owner);
    std::string GetDescription() const override;
    TMemo* Memo() const { return static_cast<TMemo*>(Control()); }
    TStrings* GetLines() const { return Memo()->GetLines(); }
    void SetLines(TStrings* v) { Memo()->SetLines(v); }
};

class TfrxButtonControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxButtonControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Cancel).Default(0);
        KAROMIL_PROP(Caption);
        KAROMIL_PROP(Default).Default(0);
        KAROMIL_PROP(ModalResult, TypeInfoModalResult()).Default(0);
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxButtonControl(TComponent* owner);
    std::string GetDescription() const override;
    TButton* Button() const { return static_cast<TButton*>(Control()); }
    bool GetCancel() const { return Button()->GetCancel(); }
    void SetCancel(bool v) { Button()->SetCancel(v); }
    bool GetDefault() const { return Button()->GetDefault(); }
    void SetDefault(bool v) { Button()->SetDefault(v); }
    TModalResult GetModalResult() const { return Button()->GetModalResult(); }
    void SetModalResult(TModalResult v) { Button()->SetModalResult(v); }
};

class TfrxCheckBoxControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxCheckBoxControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Alignment).Default(taRightJustify);
        KAROMIL_PROP(Caption);
        KAROMIL_PROP(Checked).Default(0);
        KAROMIL_PROP(AllowGrayed).Default(0);
        KAROMIL_PROP(State).Default(cbUnchecked);
        KAROMIL_PROP(WordWrap).Default(0);
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxCheckBoxControl(TComponent* owner);
    std::string GetDescription() const override;
    TCheckBox* CheckBox() const { return static_cast<TCheckBox*>(Control()); }
    TAlignment GetAlignment() const;
    void SetAlignment(TAlignment v);
    bool GetChecked() const { return CheckBox()->GetChecked(); }
    void SetChecked(bool v) { CheckBox()->SetChecked(v); }
    bool GetAllowGrayed() const { return CheckBox()->GetAllowGrayed(); }
    void SetAllowGrayed(bool v) { CheckBox()->SetAllowGrayed(v); }
    TCheckBoxState GetState() const { return CheckBox()->GetState(); }
    void SetState(TCheckBoxState v) { CheckBox()->SetState(v); }
    bool GetWordWrap() const { return CheckBox()->GetWordWrap(); }
    void SetWordWrap(bool v) { CheckBox()->SetWordWrap(v); }
};

class TfrxRadioButtonControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxRadioButtonControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Alignment).Default(taRightJustify);
        KAROMIL_PROP(Caption);
        KAROMIL_PROP(Checked).Default(0);
        KAROMIL_PROP(WordWrap).Default(0);
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxRadioButtonControl(TComponent* owner);
    std::string GetDescription() const override;
    TRadioButton* RadioButton() const { return static_cast<TRadioButton*>(Control()); }
    // Kept for stored templates; the window layer's radio buttons draw the
    // caption on the right.
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment v) noexcept { FAlignment = v; }
    bool GetChecked() const { return RadioButton()->GetChecked(); }
    void SetChecked(bool v) { RadioButton()->SetChecked(v); }
    bool GetWordWrap() const { return RadioButton()->GetWordWrap(); }
    void SetWordWrap(bool v) { RadioButton()->SetWordWrap(v); }

private:
    TAlignment FAlignment = taRightJustify;
};

class TfrxListBoxControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxListBoxControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP(Items);
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxListBoxControl(TComponent* owner);
    std::string GetDescription() const override;
    TListBox* ListBox() const { return static_cast<TListBox*>(Control()); }
    TStrings* GetItems() const { return ListBox()->GetItems(); }
    void SetItems(TStrings* v) { ListBox()->SetItems(v); }
};

class TfrxComboBoxControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxComboBoxControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP(Items);
        KAROMIL_PROP(Style).Default(csDropDown);
        KAROMIL_PROP(Text);
        KAROMIL_PROP_MEMBER(OnChange, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
    })
public:
    explicit TfrxComboBoxControl(TComponent* owner);
    std::string GetDescription() const override;
    TComboBox* ComboBox() const { return static_cast<TComboBox*>(Control()); }
    TStrings* GetItems() const { return ComboBox()->GetItems(); }
    void SetItems(TStrings* v) { ComboBox()->SetItems(v); }
    TComboBoxStyle GetStyle() const { return ComboBox()->GetStyle(); }
    void SetStyle(TComboBoxStyle v) { ComboBox()->SetStyle(v); }
    std::string GetText() const { return ComboBox()->GetText(); }
    void SetText(const std::string& v) { ComboBox()->SetText(v); }
    std::string OnChange;
};

class TfrxPanelControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxPanelControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Alignment).Default(taCenter);
        KAROMIL_PROP(BevelInner).Default(bvNone);
        KAROMIL_PROP(BevelOuter).Default(bvRaised);
        KAROMIL_PROP(BevelWidth).Default(1);
        KAROMIL_PROP(Caption);
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxPanelControl(TComponent* owner);
    std::string GetDescription() const override;
    TPanel* Panel() const { return static_cast<TPanel*>(Control()); }
    TAlignment GetAlignment() const { return Panel()->GetAlignment(); }
    void SetAlignment(TAlignment v) { Panel()->SetAlignment(v); }
    TPanelBevel GetBevelInner() const { return Panel()->GetBevelInner(); }
    void SetBevelInner(TPanelBevel v) { Panel()->SetBevelInner(v); }
    TPanelBevel GetBevelOuter() const { return Panel()->GetBevelOuter(); }
    void SetBevelOuter(TPanelBevel v) { Panel()->SetBevelOuter(v); }
    int32_t GetBevelWidth() const { return Panel()->GetBevelWidth(); }
    void SetBevelWidth(int32_t v) { Panel()->SetBevelWidth(v); }
};

class TfrxGroupBoxControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxGroupBoxControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Caption);
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxGroupBoxControl(TComponent* owner);
    std::string GetDescription() const override;
};

class TfrxDateEditControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxDateEditControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP(Date, TypeInfoDateTime());
        KAROMIL_PROP(DateFormat).Default(dfShort);
        KAROMIL_PROP_MEMBER(OnChange, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
    })
public:
    explicit TfrxDateEditControl(TComponent* owner);
    std::string GetDescription() const override;
    TDateTimePicker* DateEdit() const { return static_cast<TDateTimePicker*>(Control()); }
    TDateTime GetDate() const { return DateEdit()->GetDate(); }
    void SetDate(TDateTime v) { DateEdit()->SetDate(v); }
    TDTDateFormat GetDateFormat() const { return DateEdit()->GetDateFormat(); }
    void SetDateFormat(TDTDateFormat v) { DateEdit()->SetDateFormat(v); }
    std::string OnChange;
};

class TfrxImageControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxImageControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(AutoSize).Default(0);
        KAROMIL_PROP(Center).Default(0);
        KAROMIL_PROP(Picture);
        KAROMIL_PROP(Stretch).Default(0);
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxImageControl(TComponent* owner);
    std::string GetDescription() const override;
    TImage* Image() const { return static_cast<TImage*>(Control()); }
    bool GetAutoSize() const { return Image()->GetAutoSize(); }
    void SetAutoSize(bool v) { Image()->SetAutoSize(v); }
    bool GetCenter() const { return Image()->GetCenter(); }
    void SetCenter(bool v) { Image()->SetCenter(v); }
    TPicture* GetPicture() const { return Image()->GetPicture(); }
    void SetPicture(TPicture* v) { Image()->GetPicture()->Assign(v); }
    bool GetStretch() const { return Image()->GetStretch(); }
    void SetStretch(bool v) { Image()->SetStretch(v); }
};

class TfrxBevelControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxBevelControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Shape).Default(bsBox);
        KAROMIL_PROP(Style).Default(bsLowered);
    })
public:
    explicit TfrxBevelControl(TComponent* owner);
    std::string GetDescription() const override;
    TBevel* Bevel() const { return static_cast<TBevel*>(Control()); }
    TBevelShape GetShape() const { return Bevel()->GetShape(); }
    void SetShape(TBevelShape v) { Bevel()->SetShape(v); }
    TBevelStyle GetStyle() const { return Bevel()->GetStyle(); }
    void SetStyle(TBevelStyle v) { Bevel()->SetStyle(v); }
};

class TfrxBitBtnControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxBitBtnControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Glyph);
        KAROMIL_PROP(Kind).Default(bkCustom);
        KAROMIL_PROP(Caption);
        KAROMIL_PROP(Layout).Default(blGlyphLeft);
        KAROMIL_PROP(Margin).Default(-1);
        KAROMIL_PROP(ModalResult, TypeInfoModalResult()).Default(0);
        KAROMIL_PROP(NumGlyphs).Default(1);
        KAROMIL_PROP(Spacing).Default(4);
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxBitBtnControl(TComponent* owner);
    std::string GetDescription() const override;
    TBitBtn* BitBtn() const { return static_cast<TBitBtn*>(Control()); }
    TBitmap* GetGlyph() const { return BitBtn()->GetGlyph(); }
    void SetGlyph(TBitmap* v) { BitBtn()->SetGlyph(v); }
    TBitBtnKind GetKind() const { return BitBtn()->GetKind(); }
    void SetKind(TBitBtnKind v) { BitBtn()->SetKind(v); }
    TButtonLayout GetLayout() const { return BitBtn()->GetLayout(); }
    void SetLayout(TButtonLayout v) { BitBtn()->SetLayout(v); }
    int32_t GetMargin() const { return BitBtn()->GetMargin(); }
    void SetMargin(int32_t v) { BitBtn()->SetMargin(v); }
    TModalResult GetModalResult() const { return BitBtn()->GetModalResult(); }
    void SetModalResult(TModalResult v) { BitBtn()->SetModalResult(v); }
    int32_t GetNumGlyphs() const { return BitBtn()->GetNumGlyphs(); }
    void SetNumGlyphs(int32_t v) { BitBtn()->SetNumGlyphs(v); }
    int32_t GetSpacing() const { return BitBtn()->GetSpacing(); }
    void SetSpacing(int32_t v) { BitBtn()->SetSpacing(v); }
};

class TfrxSpeedButtonControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxSpeedButtonControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(GroupIndex).Default(0);
        KAROMIL_PROP(AllowAllUp).Default(0);
        KAROMIL_PROP(Caption);
        KAROMIL_PROP(Down).Default(0);
        KAROMIL_PROP(Flat).Default(0);
        KAROMIL_PROP(Glyph);
        KAROMIL_PROP(Hint);
        KAROMIL_PROP(Layout).Default(blGlyphLeft);
        KAROMIL_PROP(Margin).Default(-1);
        KAROMIL_PROP(Spacing).Default(4);
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxSpeedButtonControl(TComponent* owner);
    std::string GetDescription() const override;
    TSpeedButton* SpeedButton() const { return static_cast<TSpeedButton*>(Control()); }
    // The button's own grouping, in place of the report object's group index.
    int32_t GetGroupIndex() const { return SpeedButton()->GetGroupIndex(); }
    void SetGroupIndex(int32_t v) { SpeedButton()->SetGroupIndex(v); }
    bool GetAllowAllUp() const { return SpeedButton()->GetAllowAllUp(); }
    void SetAllowAllUp(bool v) { SpeedButton()->SetAllowAllUp(v); }
    bool GetDown() const { return SpeedButton()->GetDown(); }
    void SetDown(bool v) { SpeedButton()->SetDown(v); }
    bool GetFlat() const { return SpeedButton()->GetFlat(); }
    void SetFlat(bool v) { SpeedButton()->SetFlat(v); }
    TBitmap* GetGlyph() const { return SpeedButton()->GetGlyph(); }
    void SetGlyph(TBitmap* v) { SpeedButton()->SetGlyph(v); }
    std::string GetHint() const { return SpeedButton()->GetHint(); }
    void SetHint(const std::string& v) { SpeedButton()->SetHint(v); }
    TButtonLayout GetLayout() const { return SpeedButton()->GetLayout(); }
    void SetLayout(TButtonLayout v) { SpeedButton()->SetLayout(v); }
    int32_t GetMargin() const { return SpeedButton()->GetMargin(); }
    void SetMargin(int32_t v) { SpeedButton()->SetMargin(v); }
    int32_t GetSpacing() const { return SpeedButton()->GetSpacing(); }
    void SetSpacing(int32_t v) { SpeedButton()->SetSpacing(v); }
};

class TfrxMaskEditControl : public TfrxCustomEditControl {
    KAROMIL_CLASS(TfrxMaskEditControl, TfrxCustomEditControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP(EditMask);
        KAROMIL_PROP(MaxLength);
        KAROMIL_PROP(ReadOnly).Default(0);
        KAROMIL_PROP(Text);
        KAROMIL_PROP_MEMBER(OnChange, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxMaskEditControl(TComponent* owner);
    std::string GetDescription() const override;
    TMaskEdit* MaskEdit() const;
    std::string GetEditMask() const;
    void SetEditMask(const std::string& v);
};

class TfrxCheckListBoxControl : public TfrxDialogControl {
    KAROMIL_CLASS(TfrxCheckListBoxControl, TfrxDialogControl)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(AllowGrayed).Default(0);
        KAROMIL_PROP(Color, TypeInfoColor());
        KAROMIL_PROP(Items);
        KAROMIL_PROP(Sorted).Default(0);
        KAROMIL_PROP_MEMBER(OnClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnDblClick, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnEnter, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnExit, TypeInfoFrxNotifyEvent());
        KAROMIL_PROP_MEMBER(OnKeyDown, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnKeyPress, TypeInfoFrxKeyPressEvent());
        KAROMIL_PROP_MEMBER(OnKeyUp, TypeInfoFrxKeyEvent());
        KAROMIL_PROP_MEMBER(OnMouseDown, TypeInfoFrxMouseEvent());
        KAROMIL_PROP_MEMBER(OnMouseMove, TypeInfoFrxMouseMoveEvent());
        KAROMIL_PROP_MEMBER(OnMouseUp, TypeInfoFrxMouseEvent());
    })
public:
    explicit TfrxCheckListBoxControl(TComponent* owner);
    std::string GetDescription() const override;
    TCheckListBox* CheckListBox() const;
    bool GetAllowGrayed() const;
    void SetAllowGrayed(bool v);
    TStrings* GetItems() const;
    void SetItems(TStrings* v);
    bool GetSorted() const;
    void SetSorted(bool v);
};
