#include "win/mask_edit.h"

#include "core/errors.h"
#include "win/application.h"
#include "win/handles.h"
#include "win/text.h"

namespace quaff::win {

namespace {
// Posted to the field after it lost the focus: the check runs once the focus has settled.
constexpr UINT kCheckExit = WM_APP + 0x51;

std::string ClipboardText(HWND owner) {
    if (!OpenClipboard(owner)) return {};
    const ScopeExit closed([] { CloseClipboard(); });
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* p = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!p) return {};
    const ScopeExit unlocked([data] { GlobalUnlock(data); });
    return NarrowText(p);
}
}  // namespace

MaskEdit::MaskEdit(Component* owner) : Edit(owner) {}

void MaskEdit::SetEditMask(const std::string& mask) {
    const std::string value = Text();
    maskText_ = mask;
    if (mask.empty()) {
        mask_.reset();
        Edit::SetText(value);
        return;
    }
    mask_.emplace(mask);
    SetMaxLength(static_cast<int>(mask_->Length()));
    Edit::SetText(mask_->DisplayFromValue(value));
}

std::string MaskEdit::Text() const {
    const std::string shown = Edit::Text();
    return mask_ ? mask_->TextFromDisplay(shown) : shown;
}

void MaskEdit::SetText(const std::string& stored) {
    Edit::SetText(mask_ ? mask_->DisplayFromValue(stored) : stored);
    // What the program puts in is what Escape goes back to, also while the field has the focus.
    valueOnEnter_ = Edit::Text();
}

void MaskEdit::Reset() {
    if (!Modified()) return;
    Edit::SetText(valueOnEnter_);
    SetSelection(0, 0);
}

void MaskEdit::Apply(const EditMask::Edit& edit) {
    if (!edit.accepted) {
        MessageBeep(0);
        return;
    }
    if (edit.display != Edit::Text()) {
        SetCaption(edit.display);
        SetModified(true);
    }
    SetSelection(edit.caret, edit.caret);
}

void MaskEdit::TypeChar(char32_t c) {
    size_t start, end;
    GetSelection(start, end);
    std::string shown = Edit::Text();
    if (end > start) {
        // Typing over a selection empties it first.
        shown = mask_->Clear(shown, start, end).display;
    }
    Apply(mask_->Type(shown, start, c));
}

void MaskEdit::DeleteSelectionOr(bool backspace) {
    size_t start, end;
    GetSelection(start, end);
    const std::string shown = Edit::Text();
    if (end > start)
        Apply(mask_->Clear(shown, start, end));
    else if (backspace)
        Apply(mask_->Backspace(shown, start));
    else
        Apply(mask_->Clear(shown, start, start + 1));
}

void MaskEdit::PasteText(const std::string& text) {
    size_t start, end;
    GetSelection(start, end);
    std::string shown = Edit::Text();
    if (end > start) shown = mask_->Clear(shown, start, end).display;
    Apply(mask_->Paste(shown, start, text));
}

bool MaskEdit::Unfinished() const {
    return mask_ && Modified() && !mask_->IsComplete(Edit::Text());
}

void MaskEdit::ReportUnfinished() {
    validating_ = true;
    const ScopeExit done([this] { validating_ = false; });
    MessageBeep(0);
    HWND self = WindowIfAny();
    if (GetFocus() != self) {
        reEnter_ = true;
        ::SetFocus(self);
    }
    Application::Instance().HandleException(Error(kInvalidMaskInput));
}

bool MaskEdit::ValidateEdit() {
    if (validating_) return false;  // its report is still open
    if (!WindowIfAny() || !Unfinished()) return true;
    ReportUnfinished();
    return false;
}

void MaskEdit::CheckAfterExit() {
    checkPosted_ = false;
    HWND self = WindowIfAny();
    if (!self || validating_) return;
    // Only a move of the focus to another control of the same window is a leave; the focus
    // going to another window (an error box, another program) is not.
    HWND focus = GetFocus();
    if (!focus || focus == self || GetAncestor(focus, GA_ROOT) != GetAncestor(self, GA_ROOT))
        return;
    if (Unfinished()) ReportUnfinished();
}

LRESULT MaskEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (!mask_) return Edit::WndProc(msg, wp, lp);
    switch (msg) {
        case WM_CHAR: {
            // A UTF-16 unit: half of a character beyond the first plane is no character the
            // mask takes, and is refused as one.
            const auto c = static_cast<char32_t>(wp);
            if (c == '\b') {
                DeleteSelectionOr(true);
                return 0;
            }
            if (c == 27 || c == '\r' || c == '\n') return 0;  // Escape and Enter are keys
            if (c < 32) break;                                // Ctrl+C, Ctrl+V, Ctrl+X
            TypeChar(c);
            return 0;
        }
        case WM_KEYDOWN:
            if (wp == VK_DELETE && GetKeyState(VK_SHIFT) >= 0) {
                DeleteSelectionOr(false);
                return 0;
            }
            if (wp == VK_ESCAPE && Modified()) {
                Reset();
                return 0;
            }
            break;
        case WM_GETDLGCODE: {
            LRESULT code = Edit::WndProc(msg, wp, lp);
            // Escape with changes abandons them here instead of cancelling the form.
            auto* m = reinterpret_cast<const MSG*>(lp);
            if (m && m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE && Modified())
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_PASTE:
            PasteText(ClipboardText(WindowIfAny()));
            return 0;
        case WM_CUT:
            Edit::WndProc(WM_COPY, 0, 0);
            DeleteSelectionOr(false);
            return 0;
        case WM_CLEAR:
            DeleteSelectionOr(false);
            return 0;
        case WM_SETFOCUS: {
            // A visit of the field starts from what it shows. Coming back to it after a failed
            // check, or with its window active again after an error box took the focus, is the
            // same visit: Escape must still restore what the field held before the changes.
            const HWND from = reinterpret_cast<HWND>(wp);
            const bool fromOwnWindow =
                from && GetAncestor(from, GA_ROOT) == GetAncestor(WindowIfAny(), GA_ROOT);
            if (!reEnter_ && (fromOwnWindow || !Modified())) valueOnEnter_ = Edit::Text();
            reEnter_ = false;
            break;
        }
        case WM_KILLFOCUS:
            if (Modified() && !validating_ && !checkPosted_) {
                checkPosted_ = true;
                PostMessageA(WindowIfAny(), kCheckExit, 0, 0);
            }
            break;
        case kCheckExit:
            CheckAfterExit();
            return 0;
        default:
            break;
    }
    return Edit::WndProc(msg, wp, lp);
}

}  // namespace quaff::win
