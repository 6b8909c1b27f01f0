#include "core/edit_mask.h"

#include <algorithm>

namespace quaff {

EditMask::EditMask(std::string_view mask) {
    size_t i = 0;
    for (; i < mask.size() && mask[i] != ';'; ++i) {
        const char c = mask[i];
        if (c == '\\' && i + 1 < mask.size())
            slots_.push_back({Kind::Literal, mask[++i]});
        else if (c == '0')
            slots_.push_back({Kind::Required, 0});
        else if (c == '9')
            slots_.push_back({Kind::Optional, 0});
        else
            slots_.push_back({Kind::Literal, c});
    }
    if (i >= mask.size()) return;
    const std::string_view tail = mask.substr(i + 1);
    const size_t semi = tail.find(';');
    if (!tail.empty() && tail[0] == '0') saveLiterals_ = false;
    if (semi != std::string_view::npos && semi + 1 < tail.size()) blank_ = tail[semi + 1];
}

bool EditMask::IsLiteral(size_t pos) const {
    return pos < slots_.size() && slots_[pos].kind == Kind::Literal;
}

bool EditMask::IsRequired(size_t pos) const {
    return pos < slots_.size() && slots_[pos].kind == Kind::Required;
}

bool EditMask::Accepts(size_t pos, char c) const {
    return pos < slots_.size() && slots_[pos].kind != Kind::Literal && c >= '0' && c <= '9';
}

size_t EditMask::NextEditable(size_t pos) const {
    while (pos < slots_.size() && IsLiteral(pos)) ++pos;
    return std::min(pos, slots_.size());
}

size_t EditMask::PrevEditable(size_t pos) const {
    for (size_t p = std::min(pos, slots_.size()); p-- > 0;)
        if (!IsLiteral(p)) return p;
    return std::string::npos;
}

std::string EditMask::Normalize(std::string_view display) const {
    std::string out(slots_.size(), blank_);
    for (size_t pos = 0; pos < slots_.size(); ++pos) {
        if (IsLiteral(pos))
            out[pos] = slots_[pos].literal;
        else if (pos < display.size() && Accepts(pos, display[pos]))
            out[pos] = display[pos];
    }
    return out;
}

std::string EditMask::EmptyDisplay() const { return Normalize({}); }

std::string EditMask::DisplayFromValue(std::string_view stored) const {
    std::string raw(slots_.size(), blank_);
    if (!saveLiterals_) {
        // Without literals in the text, the characters fill the editable positions in turn.
        size_t next = 0;
        for (size_t pos = 0; pos < slots_.size() && next < stored.size(); ++pos)
            if (!IsLiteral(pos)) raw[pos] = stored[next++];
        return Normalize(raw);
    }
    size_t cursor = 0;
    size_t runStart = 0;
    for (size_t pos = 0; pos <= slots_.size(); ++pos) {
        const bool atEnd = pos == slots_.size();
        if (!atEnd && !IsLiteral(pos)) continue;
        std::string_view part = stored.substr(cursor);
        if (atEnd) {
            cursor = stored.size();
        } else {
            const size_t found = stored.find(slots_[pos].literal, cursor);
            if (found == std::string_view::npos) {
                cursor = stored.size();
            } else {
                part = stored.substr(cursor, found - cursor);
                cursor = found + 1;
            }
        }
        const size_t runLength = pos - runStart;
        std::copy_n(part.begin(), std::min(part.size(), runLength), raw.begin() + runStart);
        runStart = pos + 1;
    }
    return Normalize(raw);
}

std::string EditMask::TextFromDisplay(std::string_view display) const {
    const std::string shown = Normalize(display);
    std::string text;
    text.reserve(shown.size());
    for (size_t pos = 0; pos < shown.size(); ++pos) {
        if (IsLiteral(pos)) {
            if (saveLiterals_) text += shown[pos];
        } else {
            text += shown[pos] == blank_ ? ' ' : shown[pos];
        }
    }
    return text;
}

bool EditMask::IsComplete(std::string_view display) const {
    const std::string shown = Normalize(display);
    for (size_t pos = 0; pos < shown.size(); ++pos)
        if (IsRequired(pos) && shown[pos] == blank_) return false;
    return true;
}

bool EditMask::TypeInPlace(std::string& display, size_t& caret, char c) const {
    const size_t pos = NextEditable(caret);
    if (Accepts(pos, c)) {
        display[pos] = c;
        caret = NextEditable(pos + 1);
        return true;
    }
    size_t literal = std::min(caret, slots_.size());
    while (literal < slots_.size() && !IsLiteral(literal)) ++literal;
    if (literal < slots_.size() && slots_[literal].literal == c) {
        caret = NextEditable(literal + 1);
        return true;
    }
    return false;
}

EditMask::Edit EditMask::Type(std::string_view display, size_t caret, char c) const {
    Edit e{Normalize(display), std::min(caret, slots_.size()), false};
    e.accepted = TypeInPlace(e.display, e.caret, c);
    return e;
}

EditMask::Edit EditMask::Backspace(std::string_view display, size_t caret) const {
    Edit e{Normalize(display), std::min(caret, slots_.size()), false};
    const size_t pos = PrevEditable(e.caret);
    if (pos == std::string::npos) return e;
    e.display[pos] = blank_;
    e.caret = pos;
    e.accepted = true;
    return e;
}

EditMask::Edit EditMask::Clear(std::string_view display, size_t from, size_t to) const {
    Edit e{Normalize(display), std::min(from, slots_.size()), false};
    for (size_t pos = e.caret; pos < std::min(to, slots_.size()); ++pos) {
        if (IsLiteral(pos)) continue;
        e.display[pos] = blank_;
        e.accepted = true;
    }
    return e;
}

EditMask::Edit EditMask::Paste(std::string_view display, size_t caret,
                               std::string_view text) const {
    Edit e{Normalize(display), std::min(caret, slots_.size()), false};
    for (const char c : text) {
        if (e.caret >= slots_.size()) break;
        e.accepted = TypeInPlace(e.display, e.caret, c) || e.accepted;
    }
    return e;
}

}  // namespace quaff
