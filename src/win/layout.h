// Forms laid out from tables: each control declared as data (kind, name, parent, position,
// size in 96-DPI design units, caption, docking, tab order, kind-specific settings and
// handler bindings), built onto a form by one function.
#pragma once

#include <initializer_list>
#include <string>

#include "core/errors.h"
#include "win/control.h"
#include "win/form.h"
#include "win/label.h"
#include "win/panel.h"

namespace quaff::win {

enum class ControlKind {
    Panel, Label, Button, Edit, MaskEdit, UpDown, ComboBox, GroupBox, SpeedButton, Image
};

// An event handler of a form, bound in a table: On(&TfrmMain::Button1Click).
using FormHandler = void (Form::*)(Component* sender);
template <class F>
constexpr FormHandler On(void (F::*handler)(Component*)) {
    return static_cast<FormHandler>(handler);
}

struct ControlSpec {
    ControlKind kind;
    const char* name;
    const char* parent = nullptr;  // a control built before this one; null: the form
    int left = 0, top = 0, width = 0, height = 0;
    const char* caption = nullptr;  // the caption, or an edit's or combo box's initial text
    Align align = Align::None;
    int tabOrder = -1;
    const FontSpec* font = nullptr;  // null: the parent's font
    // Labels: a designed width turns autosizing off.
    Label::Alignment alignment = Label::Alignment::Left;
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

// Creates the controls in order, owned by the form, named, placed and bound. Throws Error
// when a parent or an associate names no control built before.
void BuildControls(Form& form, std::initializer_list<ControlSpec> controls);

// The control of that name and kind on the form; throws Error when there is none.
template <class T>
T& FindControl(const Component& owner, const std::string& name) {
    if (auto* c = dynamic_cast<T*>(owner.FindComponent(name))) return *c;
    throw Error("Component '" + name + "' not found");
}

}  // namespace quaff::win
