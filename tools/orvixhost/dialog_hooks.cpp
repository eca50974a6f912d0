#include "dialog_hooks.h"

#include "dialog_answers.h"
#include "dialog_session.h"
#include "entry_patch.h"
#include "output.h"
#include "text.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <optional>

namespace orvixhost {

namespace {

struct Patches {
    std::optional<EntryPatch> boxA, boxW, boxExA, boxExW;
    std::optional<EntryPatch> openA, openW, saveA, saveW;
    std::vector<std::wstring> missing;
};

Patches* g_patches = nullptr;

std::optional<std::wstring> wide(const char* s) {
    if (!s) return std::nullopt;
    return fromCodePage(s, CP_ACP);
}

std::optional<std::wstring> wide(const wchar_t* s) {
    if (!s) return std::nullopt;
    return std::wstring(s);
}

size_t length(const char* s) { return std::strlen(s); }
size_t length(const wchar_t* s) { return std::wcslen(s); }

// ---- message boxes -------------------------------------------------------------------------

int showMessageBox(HWND owner, const std::optional<std::wstring>& text, const std::optional<std::wstring>& caption,
                   UINT flags, WORD language) {
    int answer = 0;
    {
        DialogSession session(MessageBoxCase{flags, DialogAnswers::instance().takeMessageBox()});
        MSGBOXPARAMSW params{};
        params.cbSize = sizeof params;
        params.hwndOwner = owner;
        params.lpszText = text ? text->c_str() : nullptr;
        params.lpszCaption = caption ? caption->c_str() : nullptr;
        params.dwStyle = flags;
        params.dwLanguageId = language;
        // Not patched, and not built on the patched functions, so it shows the real box.
        answer = MessageBoxIndirectW(&params);
    }
    printLine(L"[msgbox] caption=" + quoted(caption.value_or(L"")) + L" text=" + quoted(text.value_or(L"")) +
              L" flags=" + std::to_wstring(flags) + L" answer=" + std::to_wstring(answer));
    return answer;
}

int WINAPI hookMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
    return showMessageBox(owner, wide(text), wide(caption), flags, 0);
}

int WINAPI hookMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags) {
    return showMessageBox(owner, wide(text), wide(caption), flags, 0);
}

int WINAPI hookMessageBoxExA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags, WORD language) {
    return showMessageBox(owner, wide(text), wide(caption), flags, language);
}

int WINAPI hookMessageBoxExW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags, WORD language) {
    return showMessageBox(owner, wide(text), wide(caption), flags, language);
}

// ---- file dialogs --------------------------------------------------------------------------

// "Images|*.png;*.jpg|All|*.*" from the double-NUL terminated pairs.
template <class Char>
std::wstring filterText(const Char* filter) {
    std::wstring out;
    for (const Char* p = filter; p && *p; p += length(p) + 1) {
        if (!out.empty()) out += L'|';
        out += *wide(p);
    }
    return out;
}

template <class Ofn>
std::wstring describe(const Ofn& ofn) {
    return L"title=" + quoted(wide(ofn.lpstrTitle).value_or(L"")) + L" filter=" + quoted(filterText(ofn.lpstrFilter)) +
           L" index=" + std::to_wstring(ofn.nFilterIndex) + L" file=" + quoted(wide(ofn.lpstrFile).value_or(L"")) +
           L" dir=" + quoted(wide(ofn.lpstrInitialDir).value_or(L"")) +
           L" ext=" + quoted(wide(ofn.lpstrDefExt).value_or(L"")) + L" flags=" + hex32(ofn.Flags);
}

// Full paths joined by '|'; a multiple choice comes as folder\0name\0name\0\0.
template <class Char>
std::wstring chosenPaths(const Char* buffer, DWORD flags) {
    if (!buffer) return {};
    const std::wstring first = *wide(buffer);
    const Char* next = buffer + length(buffer) + 1;
    if (!(flags & OFN_ALLOWMULTISELECT) || !(flags & OFN_EXPLORER) || !*next) return first;
    std::wstring out;
    const std::wstring folder = first.ends_with(L'\\') ? first : first + L'\\';
    for (; *next; next += length(next) + 1) {
        if (!out.empty()) out += L'|';
        out += folder + *wide(next);
    }
    return out;
}

std::optional<std::vector<std::wstring>> queuedPaths() {
    const auto text = DialogAnswers::instance().takeFileDialog();
    if (!text) return std::nullopt;
    std::vector<std::wstring> paths;
    size_t start = 0;
    while (start < text->size()) {
        const size_t bar = std::min(text->find(L'|', start), text->size());
        if (bar > start) paths.push_back(text->substr(start, bar - start));
        start = bar + 1;
    }
    return paths;
}

template <class Ofn>
BOOL runFileDialog(const wchar_t* kind, std::optional<EntryPatch>& patch, Ofn* ofn) {
    using Real = BOOL(WINAPI*)(Ofn*);
    const auto real = reinterpret_cast<Real>(patch->target());
    if (!ofn) {
        const EntryPatch::Suspension original(*patch);
        return real(ofn);
    }
    const std::wstring before = describe(*ofn);
    BOOL chosen = FALSE;
    DWORD error = 0;
    {
        DialogSession session(FileDialogCase{queuedPaths()});
        const EntryPatch::Suspension original(*patch);
        chosen = real(ofn);
        if (!chosen) error = CommDlgExtendedError();
    }
    std::wstring line = std::wstring(L"[") + kind + L"] " + before + L" answer=";
    line += chosen ? quoted(chosenPaths(ofn->lpstrFile, ofn->Flags)) : L"cancel";
    if (error) line += L" error=" + hex32(error);
    printLine(line);
    return chosen;
}

BOOL WINAPI hookGetOpenFileNameA(OPENFILENAMEA* ofn) { return runFileDialog(L"open-dialog", g_patches->openA, ofn); }
BOOL WINAPI hookGetOpenFileNameW(OPENFILENAMEW* ofn) { return runFileDialog(L"open-dialog", g_patches->openW, ofn); }
BOOL WINAPI hookGetSaveFileNameA(OPENFILENAMEA* ofn) { return runFileDialog(L"save-dialog", g_patches->saveA, ofn); }
BOOL WINAPI hookGetSaveFileNameW(OPENFILENAMEW* ofn) { return runFileDialog(L"save-dialog", g_patches->saveW, ofn); }

void patch(std::optional<EntryPatch>& slot, HMODULE module, const char* name, const void* hook) {
    void* target = module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
    if (target) slot.emplace(target, hook);
    if (!slot || !slot->applied()) {
        slot.reset();
        g_patches->missing.push_back(fromCodePage(name, CP_ACP));
    }
}

} // namespace

DialogHooks::DialogHooks() {
    static Patches patches;
    g_patches = &patches;
    // Loaded for good: a patched module must never be unloaded.
    HMODULE user32 = LoadLibraryW(L"user32.dll");
    HMODULE comdlg32 = LoadLibraryW(L"comdlg32.dll");
    patch(patches.boxA, user32, "MessageBoxA", reinterpret_cast<const void*>(&hookMessageBoxA));
    patch(patches.boxW, user32, "MessageBoxW", reinterpret_cast<const void*>(&hookMessageBoxW));
    patch(patches.boxExA, user32, "MessageBoxExA", reinterpret_cast<const void*>(&hookMessageBoxExA));
    patch(patches.boxExW, user32, "MessageBoxExW", reinterpret_cast<const void*>(&hookMessageBoxExW));
    patch(patches.openA, comdlg32, "GetOpenFileNameA", reinterpret_cast<const void*>(&hookGetOpenFileNameA));
    patch(patches.openW, comdlg32, "GetOpenFileNameW", reinterpret_cast<const void*>(&hookGetOpenFileNameW));
    patch(patches.saveA, comdlg32, "GetSaveFileNameA", reinterpret_cast<const void*>(&hookGetSaveFileNameA));
    patch(patches.saveW, comdlg32, "GetSaveFileNameW", reinterpret_cast<const void*>(&hookGetSaveFileNameW));
}

DialogHooks::~DialogHooks() {
    for (auto* slot : {&g_patches->boxA, &g_patches->boxW, &g_patches->boxExA, &g_patches->boxExW,
                       &g_patches->openA, &g_patches->openW, &g_patches->saveA, &g_patches->saveW})
        slot->reset();
}

std::vector<std::wstring> DialogHooks::missing() const { return g_patches->missing; }

} // namespace orvixhost
