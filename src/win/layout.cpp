#include "win/layout.h"

#include <algorithm>
#include <cmath>
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

WinControl* Make(Form& form, const ControlSpec& s) {
    switch (s.kind) {
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

int ClientWidth(WinControl& c) {
    RECT r;
    GetClientRect(c.Handle(), &r);
    return r.right - r.left;
}

bool RowsOverlap(const RECT& a, const RECT& b) { return a.top < b.bottom && b.top < a.bottom; }

struct TextRoom {
    int text, room;
};

// The width of each label's text under `parent`, and the room it has: a left-aligned label's
// text runs from its left edge to the nearest sibling that starts to its right on the same
// row, else to the parent's edge; a centred or right-aligned label's text stays inside the
// label's own width. Docked labels take what docking gives them and are not measured.
void MeasureLabels(WinControl& parent, std::vector<TextRoom>& out) {
    for (WinControl* c : parent.Controls()) {
        MeasureLabels(*c, out);
        auto* label = dynamic_cast<Label*>(c);
        if (!label || !label->Visible() || label->GetAlign() != Align::None) continue;
        const int text = label->TextExtent().cx;
        const RECT b = label->BoundsRect();
        int room = static_cast<int>(b.right - b.left);
        if (label->GetAlignment() == Label::Alignment::Left) {
            int limit = ClientWidth(parent);
            for (WinControl* s : parent.Controls()) {
                const RECT sb = s->BoundsRect();
                if (s != c && s->Visible() && sb.left >= b.left && RowsOverlap(b, sb))
                    limit = std::min(limit, static_cast<int>(sb.left));
            }
            const int toLimit = limit - static_cast<int>(b.left);
            room = label->AutoSize() ? toLimit : std::min(room, toLimit);
        }
        if (text > 0 && room > 0) out.push_back({text, room});
    }
}

// 1 when every text fits its room; else the least factor that leaves each text the designed
// gap of three units before what follows it (which also keeps rounding from cutting it).
double WideningFor(WinControl& form) {
    std::vector<TextRoom> labels;
    MeasureLabels(form, labels);
    if (std::none_of(labels.begin(), labels.end(), [](const TextRoom& l) { return l.text > l.room; }))
        return 1;
    const int gap = ScaleDpi(3);
    double factor = 1;
    for (const TextRoom& l : labels) factor = std::max(factor, double(l.text + gap) / l.room);
    return factor;
}

int Widened(LONG x, double factor) { return static_cast<int>(std::lround(x * factor)); }

void Widen(WinControl& parent, double factor) {
    for (WinControl* c : parent.Controls()) {
        if (c->GetAlign() == Align::None) {
            RECT b = c->BoundsRect();
            const LONG width = b.right - b.left;
            b.left = Widened(b.left, factor);
            auto* label = dynamic_cast<Label*>(c);
            b.right = label && label->AutoSize() ? b.left + width : Widened(b.right, factor);
            c->SetBoundsRect(b);
        }
        Widen(*c, factor);
    }
}

}  // namespace

void FitTextToRoom(Form& form) {
    const double factor = WideningFor(form);
    if (factor <= 1) return;
    RECT b = form.BoundsRect();
    const int client = ClientWidth(form);
    b.right += Widened(client, factor) - client;
    form.SetBoundsRect(b);  // the docked panels follow the new width
    Widen(form, factor);
}

void BuildControls(Form& form, std::initializer_list<ControlSpec> controls) {
    for (const ControlSpec& s : controls) {
        WinControl* parent = s.parent ? &FindControl<WinControl>(form, s.parent) : &form;
        WinControl* c = Make(form, s);
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
}

}  // namespace quaff::win
