#include "win/layout.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "win/button.h"
#include "win/combo_box.h"
#include "win/edit.h"
#include "win/image.h"
#include "win/mask_edit.h"
#include "win/speed_button.h"
#include "win/up_down.h"

namespace quaff::win {

namespace {

NotifyEvent Bind(Form& form, FormHandler handler) {
    if (!handler) return nullptr;
    return [&form, handler](Component* sender) { (form.*handler)(sender); };
}

std::vector<std::string> SplitItems(const char* items) {
    std::vector<std::string> out;
    if (!items) return out;
    std::istringstream in(items);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

ControlKind KindOfEntry(const ControlSpec& s) {
    if (s.into.fill && !s.kind) return s.into.kind;
    if (!s.into.fill && s.kind) return *s.kind;
    throw Error(std::string("Control '") + (s.name ? s.name : "") +
                "' needs either a member or a kind");
}

WinControl* Make(Form& form, const ControlSpec& s) {
    switch (KindOfEntry(s)) {
        case ControlKind::Panel: {
            auto* p = new Panel(&form);
            p->SetBevel(s.bevel);
            return p;
        }
        case ControlKind::Label: {
            auto* l = new Label(&form);
            l->SetAutoSize(s.width == 0);
            l->SetAlignment(s.alignment);
            l->OnClick = Bind(form, s.onClick);
            l->SetTabStop(s.onClick != nullptr);  // a link: reached by Tab
            return l;
        }
        case ControlKind::Button: {
            auto* b = new Button(&form);
            b->SetModalResult(s.modalResult);
            b->SetDefault(s.isDefault);
            b->SetCancel(s.isCancel);
            b->OnClick = Bind(form, s.onClick);
            return b;
        }
        case ControlKind::Edit: {
            auto* e = new Edit(&form);
            e->OnChange = Bind(form, s.onChange);
            return e;
        }
        case ControlKind::MaskEdit: {
            auto* e = new MaskEdit(&form);
            if (s.mask) e->SetEditMask(s.mask);
            e->OnChange = Bind(form, s.onChange);
            return e;
        }
        case ControlKind::UpDown: {
            auto* u = new UpDown(&form);
            u->SetRange(s.min, s.max);
            u->SetPosition(s.position);
            if (s.associate) u->SetAssociate(&FindControl<Edit>(form, s.associate));
            return u;
        }
        case ControlKind::ComboBox: {
            auto* c = new ComboBox(&form);
            c->SetItems(SplitItems(s.items));
            c->OnChange = Bind(form, s.onChange);
            return c;
        }
        case ControlKind::GroupBox:
            return new GroupBox(&form);
        case ControlKind::SpeedButton: {
            auto* b = new SpeedButton(&form);
            b->OnClick = Bind(form, s.onClick);
            return b;
        }
        case ControlKind::Image:
            return new Image(&form);
    }
    throw Error("Unknown control kind");
}

}  // namespace

void BuildControls(Form& form, std::initializer_list<ControlSpec> controls) {
    for (const ControlSpec& s : controls) {
        WinControl* parent = s.parent ? &FindControl<WinControl>(form, s.parent) : &form;
        WinControl* c = Make(form, s);
        if (s.into.fill) s.into.fill(form, *c);
        c->SetName(s.name ? s.name : "");
        if (s.font) c->SetFont(*s.font);
        c->SetBounds(s.left, s.top, s.width, s.height);
        c->SetAlign(s.align);
        c->SetParent(parent);
        if (s.tabOrder >= 0) c->SetTabOrder(s.tabOrder);
        if (s.caption) {
            if (auto* e = dynamic_cast<Edit*>(c))
                e->SetText(s.caption);
            else if (auto* combo = dynamic_cast<ComboBox*>(c))
                combo->SetText(s.caption);
            else
                c->SetCaption(s.caption);
        }
        if (auto* e = dynamic_cast<Edit*>(c); e && s.maxLength > 0) e->SetMaxLength(s.maxLength);
        if (auto* combo = dynamic_cast<ComboBox*>(c); combo && s.itemIndex >= 0)
            combo->SetItemIndex(s.itemIndex);
    }
    // A label's field comes after it in the table.
    for (const ControlSpec& s : controls)
        if (s.focusControl)
            FindControl<Label>(form, s.name)
                .SetFocusControl(&FindControl<WinControl>(form, s.focusControl));
}

}  // namespace quaff::win
