#include "win/edit.h"

#include <string_view>

#include "win/handles.h"
#include "win/text.h"

namespace quaff::win {

Edit::Edit(Component* owner) : WinControl(owner) { SetTabStop(true); }

void Edit::GetCreateParams(CreateParams& params) {
    WinControl::GetCreateParams(params);
    params.className = "EDIT";
    params.style |= ES_AUTOHSCROLL | ES_LEFT;
    params.exStyle |= WS_EX_CLIENTEDGE;
}

void Edit::HandleCreated() {
    SendMessageA(WindowIfAny(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

std::string Edit::Text() const {
    HWND h = WindowIfAny();
    return h ? WindowTextOf(h) : Caption();
}

void Edit::SetCaption(std::string caption) {
    ++programmatic_;
    const ScopeExit done([this] { --programmatic_; });
    WinControl::SetCaption(std::move(caption));
}

void Edit::SetText(const std::string& text) {
    SetCaption(text);
    modified_ = false;
}

void Edit::SetMaxLength(int value) {
    maxLength_ = value < 0 ? 0 : value;
    if (HWND h = WindowIfAny()) SendMessageA(h, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void Edit::CommandNotify(WORD code) {
    if (code != EN_CHANGE) return;
    SetCaptionSilently(Text());
    if (programmatic_ == 0) modified_ = true;
    if (OnChange) OnChange(this);
}

namespace {

// The field counts its positions in UTF-16 units, two for a character beyond the first plane;
// the program counts characters.
bool PairAt(std::wstring_view text, size_t i) {
    return IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
}

// The characters in the first `units` units of `text`.
size_t CharactersIn(std::wstring_view text, size_t units) {
    size_t chars = 0, i = 0;
    for (; i < units && i < text.size(); ++chars) i += PairAt(text, i) ? 2 : 1;
    return chars + (units > i ? units - i : 0);
}

// The units of the first `chars` characters of `text`.
size_t UnitsOf(std::wstring_view text, size_t chars) {
    size_t i = 0;
    for (; chars > 0 && i < text.size(); --chars) i += PairAt(text, i) ? 2 : 1;
    return i + chars;
}

}  // namespace

void Edit::GetSelection(size_t& start, size_t& end) const {
    DWORD s = 0, e = 0;
    std::wstring text;
    if (HWND h = WindowIfAny()) {
        SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        text = WideWindowText(h);
    }
    start = CharactersIn(text, s);
    end = CharactersIn(text, e);
}

void Edit::SetSelection(size_t start, size_t end) {
    if (HWND h = WindowIfAny()) {
        const std::wstring text = WideWindowText(h);
        SendMessageW(h, EM_SETSEL, UnitsOf(text, start), static_cast<LPARAM>(UnitsOf(text, end)));
    }
}

}  // namespace quaff::win
