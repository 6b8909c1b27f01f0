// The logic of a masked edit field, apart from any window: which positions take what,
// how a stored value is shown, what text the field hands back, and what typing, deleting
// and pasting do. A mask such as "000000.00;1;_" reads: '0' a required digit, '9' an
// optional digit, '\' makes the next character a literal, every other character is a
// literal; after the first ';' comes '1' (keep literals in the text; '0' drops them) and
// after the second the character shown in empty positions. Both fields may be left off.
//
// A display is the field's shown text, one character per position; text is UTF-8 and every
// position, length and caret counts characters (code points), whatever their bytes. Functions
// that take a display accept any text: a position holding something it does not accept reads
// as empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quaff {

class EditMask {
public:
    explicit EditMask(std::string_view mask);

    size_t Length() const { return slots_.size(); }
    bool IsLiteral(size_t pos) const;
    bool IsRequired(size_t pos) const;
    char32_t BlankChar() const { return blank_; }
    bool SavesLiterals() const { return saveLiterals_; }

    std::string EmptyDisplay() const;
    // Showing a stored value: each literal is looked for after the previous one (and taken
    // as missing if absent), each part between literals is cut or padded to its positions;
    // blanks and characters a position does not take show as the blank character.
    std::string DisplayFromValue(std::string_view stored) const;
    // The field's text: empty positions as ' ', literals kept when the mask says so.
    std::string TextFromDisplay(std::string_view display) const;
    // Every required position filled.
    bool IsComplete(std::string_view display) const;
    bool Accepts(size_t pos, char32_t c) const;

    // First editable position at or after pos, or Length(); last one before pos, or npos.
    size_t NextEditable(size_t pos) const;
    size_t PrevEditable(size_t pos) const;

    struct Edit {
        std::string display;
        size_t caret;
        bool accepted;  // false: nothing changed (the field beeps)
    };
    // Overwrites the first editable position at or after the caret. Typing the next
    // literal's own character (the '.' of a salary) moves the caret past that literal.
    Edit Type(std::string_view display, size_t caret, char32_t c) const;
    // Empties the editable position before the caret and moves the caret there.
    Edit Backspace(std::string_view display, size_t caret) const;
    // Empties the editable positions in [from, to); the Delete key is [caret, caret + 1).
    Edit Clear(std::string_view display, size_t from, size_t to) const;
    // Types the text character by character from the caret, passing over characters that
    // do not fit where they would go, until the field ends.
    Edit Paste(std::string_view display, size_t caret, std::string_view text) const;

private:
    enum class Kind : uint8_t { Required, Optional, Literal };
    struct Slot {
        Kind kind;
        char32_t literal;
    };

    std::u32string Normalize(std::u32string_view display) const;
    bool TypeInPlace(std::u32string& display, size_t& caret, char32_t c) const;
    // An edit's starting point: the display normalised, the caret within the field.
    struct Working {
        std::u32string display;
        size_t caret;
    };
    Working Start(std::string_view display, size_t caret) const;
    Edit Finish(const Working& w, bool accepted) const;

    std::vector<Slot> slots_;
    char32_t blank_ = '_';
    bool saveLiterals_ = true;
};

}  // namespace quaff
