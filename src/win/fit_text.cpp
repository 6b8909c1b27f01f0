#include "win/fit_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "win/label.h"

namespace quaff::win {

namespace {

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
double WideningFor(WinControl& window) {
    std::vector<TextRoom> labels;
    MeasureLabels(window, labels);
    if (std::none_of(labels.begin(), labels.end(),
                     [](const TextRoom& l) { return l.text > l.room; }))
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

void FitTextToRoom(WinControl& window) {
    const double factor = WideningFor(window);
    if (factor <= 1) return;
    RECT b = window.BoundsRect();
    const int client = ClientWidth(window);
    b.right += Widened(client, factor) - client;
    window.SetBoundsRect(b);  // the docked panels follow the new width
    Widen(window, factor);
}

}  // namespace quaff::win
