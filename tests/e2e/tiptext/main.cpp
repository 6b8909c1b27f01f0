// Prints the text of every tip that the notification area's tooltip windows hold, one a
// line: the end-to-end check reads the tray icon's hint with it, as a user hovering would.
// The tooltips live in the shell's process, so their texts are read through its memory.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<HWND> g_tooltips;

BOOL CALLBACK Collect(HWND hwnd, LPARAM) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0) g_tooltips.push_back(hwnd);
    EnumChildWindows(hwnd, Collect, 0);
    return TRUE;
}

// Reads the texts of one tooltip window's tools, in the process that owns it.
void PrintTips(HWND tip) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tip, &pid);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return;
    const SIZE_T textChars = 1024;
    const SIZE_T size = sizeof(TTTOOLINFOW) + textChars * sizeof(WCHAR);
    auto* remote =
        static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        int count = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TTTOOLINFOW info{};
            info.cbSize = sizeof info;
            SIZE_T done = 0;
            WriteProcessMemory(process, remote, &info, sizeof info, &done);
            if (!SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote))) continue;
            ReadProcessMemory(process, remote, &info, sizeof info, &done);
            std::vector<WCHAR> zeros(textChars, 0);
            WriteProcessMemory(process, remote + sizeof info, zeros.data(),
                               textChars * sizeof(WCHAR), &done);
            info.lpszText = reinterpret_cast<LPWSTR>(remote + sizeof info);
            WriteProcessMemory(process, remote, &info, sizeof info, &done);
            SendMessageW(tip, TTM_GETTEXTW, textChars, reinterpret_cast<LPARAM>(remote));
            std::vector<WCHAR> text(textChars, 0);
            ReadProcessMemory(process, remote + sizeof info, text.data(),
                              (textChars - 1) * sizeof(WCHAR), &done);
            char ansi[2048] = {};
            WideCharToMultiByte(CP_ACP, 0, text.data(), -1, ansi, sizeof ansi - 1, nullptr,
                                nullptr);
            if (ansi[0]) std::printf("%s\n", ansi);
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
}

}  // namespace

int main() {
    EnumWindows(Collect, 0);
    for (HWND tip : g_tooltips) PrintTips(tip);
    return 0;
}
