// Forms laid out from tables: each control declared as data (the form's member it fills, or
// its kind; name, parent, position, size in 96-DPI design units, caption, docking, tab order,
// kind-specific settings and handler bindings), built onto a form by one function.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "core/errors.h"
#include "win/control.h"
#include "win/form.h"
#include "win/label.h"
#include "win/panel.h"

namespace quaff::win {

class Button;
class ComboBox;
class Edit;
class Image;
class MaskEdit;
class SpeedButton;
class UpDown;

// clang-format off
enum class ControlKind {
    Panel, Label, Button, Edit, MaskEdit, UpDown, ComboBox, GroupBox, SpeedButton, Image
};

// The kind that builds a control of class T (no other class has one).
template <class T> struct KindOf;
template <> struct KindOf<Panel> { static constexpr ControlKind value = ControlKind::Panel; };
template <> struct KindOf<Label> { static constexpr ControlKind value = ControlKind::Label; };
template <> struct KindOf<Button> { static constexpr ControlKind value = ControlKind::Button; };
template <> struct KindOf<Edit> { static constexpr ControlKind value = ControlKind::Edit; };
template <> struct KindOf<MaskEdit> { static constexpr ControlKind value = ControlKind::MaskEdit; };
template <> struct KindOf<UpDown> { static constexpr ControlKind value = ControlKind::UpDown; };
template <> struct KindOf<ComboBox> { static constexpr ControlKind value = ControlKind::ComboBox; };
template <> struct KindOf<GroupBox> { static constexpr ControlKind value = ControlKind::GroupBox; };
template <> struct KindOf<SpeedButton> {
    static constexpr ControlKind value = ControlKind::SpeedButton;
};
template <> struct KindOf<Image> { static constexpr ControlKind value = ControlKind::Image; };
// clang-format on

// The member of a form that a table entry fills with the control it builds; the member's
// class gives the control's kind, so the two cannot disagree.
struct ControlSlot {
    ControlKind kind{};
    void (*fill)(Form& form, WinControl& control) = nullptr;
};

template <class M>
struct MemberOfForm;
template <class F, class T>
struct MemberOfForm<T * F::*> {
    using FormType = F;
    using ControlType = T;
};

// The slot for a form's member: Into<&TfrmMain::Button1>.
template <auto member>
inline constexpr ControlSlot Into{
    KindOf<typename MemberOfForm<decltype(member)>::ControlType>::value,
    [](Form& form, WinControl& control) {
        using M = MemberOfForm<decltype(member)>;
        // Built by the kind of the member's class, so the control is of that class.
        static_cast<typename M::FormType&>(form).*member =
            static_cast<typename M::ControlType*>(&control);
    }};

// An event handler of a form, bound in a table: On(&TfrmMain::Button1Click).
using FormHandler = void (Form::*)(Component* sender);
template <class F>
constexpr FormHandler On(void (F::*handler)(Component*)) {
    return static_cast<FormHandler>(handler);
}

struct ControlSpec {
    // The member the control goes into, or, for a control the form keeps no member for, its
    // kind.
    ControlSlot into{};
    std::optional<ControlKind> kind;
    const char* name = nullptr;
    const char* parent = nullptr;  // a control built before this one; null: the form
    int left = 0, top = 0, width = 0, height = 0;
    const char* caption = nullptr;  // the caption, or an edit's or combo box's initial text
    Align align = Align::None;
    int tabOrder = -1;
    const FontSpec* font = nullptr;  // null: the parent's font
    // Labels: a designed width turns autosizing off; the field the label names (built in the
    // same table).
    Label::Alignment alignment = Label::Alignment::Left;
    const char* focusControl = nullptr;
    Panel::Bevel bevel = Panel::Bevel::Raised;
    // Buttons.
    int modalResult = 0;
    bool isDefault = false;
    bool isCancel = false;
    // Edits and masked edits.
    const char* mask = nullptr;
    int maxLength = 0;
    // Up-down spinners: the edit (built before) they are attached to, range and position.
    const char* associate = nullptr;
    int min = 0, max = 100, position = 0;
    // Combo boxes: items separated by '\n', and the item selected as designed.
    const char* items = nullptr;
    int itemIndex = -1;
    // Click (buttons, labels, speed buttons) and change (edits, combo boxes).
    FormHandler onClick = nullptr;
    FormHandler onChange = nullptr;
};

// Creates the controls in order, owned by the form, named, placed, bound and put in their
// members. Throws Error when a parent or an associate names no control built before, a
// label's field no control of the table, or an entry has neither a member nor a kind.
void BuildControls(Form& form, std::initializer_list<ControlSpec> controls);

// The control of that name and kind on the form; throws Error when there is none.
template <class T>
T& FindControl(const Component& owner, const std::string& name) {
    if (auto* c = dynamic_cast<T*>(owner.FindComponent(name))) return *c;
    throw Error("Component '" + name + "' not found");
}

}  // namespace quaff::win
