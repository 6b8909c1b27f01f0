#include "win/edit.h"

#include <vector>

#include "win/handles.h"

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
    if (!h) return Caption();
    const int length = GetWindowTextLengthA(h);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(h, buffer.data(), length + 1);
    return std::string(buffer.data());
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

void Edit::GetSelection(size_t& start, size_t& end) const {
    DWORD s = 0, e = 0;
    if (HWND h = WindowIfAny())
        SendMessageA(h, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = s;
    end = e;
}

void Edit::SetSelection(size_t start, size_t end) {
    if (HWND h = WindowIfAny()) SendMessageA(h, EM_SETSEL, start, static_cast<LPARAM>(end));
}

}  // namespace quaff::win
