#pragma once
// Windows described as tables. A window's build function lists its components as rows (the
// field of the window that keeps each, and through it its class; name, parent, place, default
// caption, click handler, alignment, visibility, tab order) and frxBuildRows makes them in the
// order given inside the window's loading bracket (TFormLoader), as a stored definition would.
// What a row does not say (a style, another event, a picture) the build function sets after
// its table, still inside the bracket. Then it finishes the loader, which calls Loaded on the
// window and on each component, and only afterwards does what the window does on creation
// (its texts in the user's language, which replace the default captions by component name;
// lists filled from resources). The report designer's windows are built the same way.
//
//     using F = TfrxSearchDialog;
//     const TfrxControlRow<F> rows[] = {
//         {frxField<&F::Panel3>, "Panel3", {}, {0, 200, 261, 105}, "", {}, alTop},
//         {frxField<&F::OkB>, "OkB", frxField<&F::Panel3>, {92, 72, 75, 25}, "OK"},
//     };
//     TFormLoader loader(this);
//     frxBuildRows(loader, *this, rows);
//     loader.Finish();

#include <cassert>
#include <optional>
#include <span>
#include <string>
#include <type_traits>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"

// A field of the window that holds a component. Make creates the component of the field's
// class, named, owned by the window, on its parent, and stores it in the field; AsParent reads
// the field back for a later row that names it as its parent. The empty field is the window
// itself.
template <class Form>
struct TfrxField {
    TComponent* (*Make)(TFormLoader& loader, Form& form, const std::string& name, TWinControl* parent) = nullptr;
    TWinControl* (*AsParent)(Form& form) = nullptr;  // nullptr: not a window control, or the window
};

namespace frx_detail {
template <class Member>
struct TFieldOf;
template <class Form, class T>
struct TFieldOf<T * Form::*> {
    using FormType = Form;
    using Type = T;
};
}  // namespace frx_detail

// The field descriptor of a pointer member of the window: frxField<&TfrxPrintDialog::OkB>.
template <auto Member>
inline constexpr auto frxField = [] {
    using Form = typename frx_detail::TFieldOf<decltype(Member)>::FormType;
    using T = typename frx_detail::TFieldOf<decltype(Member)>::Type;
    static_assert(std::is_base_of_v<TComponent, T>, "a row makes a component");
    TfrxField<Form> field;
    field.Make = [](TFormLoader& loader, Form& form, const std::string& name, TWinControl* parent) -> TComponent* {
        return form.*Member = loader.template Add<T>(name, parent);
    };
    if constexpr (std::is_base_of_v<TWinControl, T>)
        field.AsParent = [](Form& form) -> TWinControl* { return form.*Member; };
    return field;
}();

// A tool button field with its picture (an index into the tool bar's images) and style:
// frxToolButton<&TfrxPreviewForm::ExportB, 3, tbsDropDown>.
template <auto Member, int Image, TToolButtonStyle Style = tbsButton>
inline constexpr auto frxToolButton = [] {
    using Form = typename frx_detail::TFieldOf<decltype(Member)>::FormType;
    static_assert(std::is_same_v<typename frx_detail::TFieldOf<decltype(Member)>::Type, TToolButton>);
    TfrxField<Form> field;
    field.Make = [](TFormLoader& loader, Form& form, const std::string& name, TWinControl* parent) -> TComponent* {
        TToolButton* button = form.*Member = loader.template Add<TToolButton>(name, parent);
        button->SetStyle(Style);
        button->SetImageIndex(Image);
        return button;
    };
    return field;
}();

// A control's place in its parent's client area, in pixels; all zero leaves the control's own.
struct TfrxBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

// What a row's click runs: a method of the window taking the sender, or a function of the
// window (a captureless lambda, which may reach the window's private members when written in
// its build function).
template <class Form>
class TfrxClick {
public:
    constexpr TfrxClick() = default;
    constexpr TfrxClick(void (Form::*method)(TObject*)) : FMethod(method) {}
    template <class F>
    requires std::is_convertible_v<F, void (*)(Form&)>
    constexpr TfrxClick(F function) : FFunction(function) {}

    explicit operator bool() const noexcept { return FMethod || FFunction; }
    TNotifyEvent Bind(Form& form) const {
        if (FMethod) return [&form, m = FMethod](TObject* sender) { (form.*m)(sender); };
        return [&form, f = FFunction](TObject*) { f(form); };
    }

private:
    void (Form::*FMethod)(TObject*) = nullptr;
    void (*FFunction)(Form&) = nullptr;
};

// One component of a window. What a row says is set in this order: alignment (first, so that
// an aligned control's bounds are taken as the alignment leaves them), bounds, caption,
// visibility, tab order, then the click handler.
template <class Form>
struct TfrxControlRow {
    TfrxField<Form> Field{};
    const char* Name = "";
    TfrxField<Form> Parent{};  // the empty field: the window
    TfrxBounds Bounds{};  // not used for a component that is no control
    const char* Caption = nullptr;  // the default text; nullptr leaves the control's own
    TfrxClick<Form> OnClick{};
    std::optional<TAlign> Align{};  // none: the control's own
    bool Visible = true;
    int TabOrder = -1;  // -1: the order of the rows
};

// Sets what a row says on a control made for it (shared by every window's rows).
void frxApplyRow(TControl* control, const TfrxBounds& bounds, std::optional<TAlign> align, const char* caption,
    bool visible, int tabOrder, TNotifyEvent onClick);

// Makes the rows' components in order. Every parent a row names must have been made by an
// earlier row; the loader must not have finished.
template <class Form>
void frxBuildRows(TFormLoader& loader, Form& form, std::type_identity_t<std::span<const TfrxControlRow<Form>>> rows) {
    for (const TfrxControlRow<Form>& row : rows) {
        assert(row.Field.Make && "a row names the field it fills");
        TWinControl* parent = &form;
        if (row.Parent.Make) {
            assert(row.Parent.AsParent && "a parent is a window control");
            parent = row.Parent.AsParent(form);
            assert(parent && "a parent is made before its children");
        }
        TComponent* component = row.Field.Make(loader, form, row.Name, parent);
        if (auto* control = dynamic_cast<TControl*>(component))
            frxApplyRow(control, row.Bounds, row.Align, row.Caption, row.Visible, row.TabOrder,
                row.OnClick ? row.OnClick.Bind(form) : TNotifyEvent());
    }
}
