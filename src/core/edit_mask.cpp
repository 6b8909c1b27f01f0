#include "core/edit_mask.h"

#include <algorithm>

#include "core/utf8.h"

namespace quaff {

EditMask::EditMask(std::string_view maskText) {
    const std::u32string mask = DecodeUtf8(maskText);
    size_t i = 0;
    for (; i < mask.size() && mask[i] != ';'; ++i) {
        const char32_t c = mask[i];
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
    const std::u32string_view tail = std::u32string_view(mask).substr(i + 1);
    const size_t semi = tail.find(';');
    if (!tail.empty() && tail[0] == '0') saveLiterals_ = false;
    if (semi != std::u32string_view::npos && semi + 1 < tail.size()) blank_ = tail[semi + 1];
}

bool EditMask::IsLiteral(size_t pos) const {
    return pos < slots_.size() && slots_[pos].kind == Kind::Literal;
}

bool EditMask::IsRequired(size_t pos) const {
    return pos < slots_.size() && slots_[pos].kind == Kind::Required;
}

bool EditMask::Accepts(size_t pos, char32_t c) const {
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

std::u32string EditMask::Normalize(std::u32string_view display) const {
    std::u32string out(slots_.size(), blank_);
    for (size_t pos = 0; pos < slots_.size(); ++pos) {
        if (IsLiteral(pos))
            out[pos] = slots_[pos].literal;
        else if (pos < display.size() && Accepts(pos, display[pos]))
            out[pos] = display[pos];
    }
    return out;
}

std::string EditMask::EmptyDisplay() const { return EncodeUtf8(Normalize({})); }

std::string EditMask::DisplayFromValue(std::string_view storedText) const {
    const std::u32string stored = DecodeUtf8(storedText);
    std::u32string raw(slots_.size(), blank_);
    if (!saveLiterals_) {
        // Without literals in the text, the characters fill the editable positions in turn.
        size_t next = 0;
        for (size_t pos = 0; pos < slots_.size() && next < stored.size(); ++pos)
            if (!IsLiteral(pos)) raw[pos] = stored[next++];
        return EncodeUtf8(Normalize(raw));
    }
    size_t cursor = 0;
    size_t runStart = 0;
    for (size_t pos = 0; pos <= slots_.size(); ++pos) {
        const bool atEnd = pos == slots_.size();
        if (!atEnd && !IsLiteral(pos)) continue;
        std::u32string_view part = std::u32string_view(stored).substr(cursor);
        if (atEnd) {
            cursor = stored.size();
        } else {
            const size_t found = stored.find(slots_[pos].literal, cursor);
            if (found == std::u32string::npos) {
                cursor = stored.size();
            } else {
                part = part.substr(0, found - cursor);
                cursor = found + 1;
            }
        }
        const size_t runLength = pos - runStart;
        std::copy_n(part.begin(), std::min(part.size(), runLength), raw.begin() + runStart);
        runStart = pos + 1;
    }
    return EncodeUtf8(Normalize(raw));
}

std::string EditMask::TextFromDisplay(std::string_view display) const {
    const std::u32string shown = Normalize(DecodeUtf8(display));
    std::u32string text;
    text.reserve(shown.size());
    for (size_t pos = 0; pos < shown.size(); ++pos) {
        if (IsLiteral(pos)) {
            if (saveLiterals_) text += shown[pos];
        } else {
            text += shown[pos] == blank_ ? U' ' : shown[pos];
        }
    }
    return EncodeUtf8(text);
}

bool EditMask::IsComplete(std::string_view display) const {
    const std::u32string shown = Normalize(DecodeUtf8(display));
    for (size_t pos = 0; pos < shown.size(); ++pos)
        if (IsRequired(pos) && shown[pos] == blank_) return false;
    return true;
}

bool EditMask::TypeInPlace(std::u32string& display, size_t& caret, char32_t c) const {
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

EditMask::Working EditMask::Start(std::string_view display, size_t caret) const {
    return {Normalize(DecodeUtf8(display)), std::min(caret, slots_.size())};
}

EditMask::Edit EditMask::Finish(const Working& w, bool accepted) const {
    return {EncodeUtf8(w.display), w.caret, accepted};
}

EditMask::Edit EditMask::Type(std::string_view display, size_t caret, char32_t c) const {
    Working w = Start(display, caret);
    const bool accepted = TypeInPlace(w.display, w.caret, c);
    return Finish(w, accepted);
}

EditMask::Edit EditMask::Backspace(std::string_view display, size_t caret) const {
    Working w = Start(display, caret);
    const size_t pos = PrevEditable(w.caret);
    if (pos == std::string::npos) return Finish(w, false);
    w.display[pos] = blank_;
    w.caret = pos;
    return Finish(w, true);
}

EditMask::Edit EditMask::Clear(std::string_view display, size_t from, size_t to) const {
    Working w = Start(display, from);
    bool accepted = false;
    for (size_t pos = w.caret; pos < std::min(to, slots_.size()); ++pos) {
        if (IsLiteral(pos)) continue;
        w.display[pos] = blank_;
        accepted = true;
    }
    return Finish(w, accepted);
}

EditMask::Edit EditMask::Paste(std::string_view display, size_t caret,
                               std::string_view text) const {
    Working w = Start(display, caret);
    bool accepted = false;
    for (const char32_t c : DecodeUtf8(text)) {
        if (w.caret >= slots_.size()) break;
        accepted = TypeInPlace(w.display, w.caret, c) || accepted;
    }
    return Finish(w, accepted);
}

}  // namespace quaff
