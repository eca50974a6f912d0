#include "dialog_session.h"

#include "output.h"

#include <algorithm>
#include <functional>

namespace orvixhost {

namespace {

constexpr UINT kTickMs = 50;
// Time for a file dialog to show a folder it was sent to.
constexpr ULONGLONG kSettleMs = 300;
// A dialog still open this long after it was answered is cancelled (or given its default).
constexpr ULONGLONG kRetryMs = 1500;
constexpr int kFileNameCombo = 0x47c;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

unsigned g_unansweredWait = 200;
thread_local std::vector<DialogSession*> t_sessions;
thread_local std::vector<HWND> t_claimed;

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK collectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::set<HWND>*>(windows)->insert(window);
    return TRUE;
}

std::set<HWND> threadWindows() {
    std::set<HWND> out;
    EnumThreadWindows(GetCurrentThreadId(), &collectWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

struct Search {
    const std::function<bool(HWND)>& match;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<Search*>(search);
    if (!s->match(window)) return TRUE;
    s->found = window;
    return FALSE;
}

HWND descendant(HWND parent, const std::function<bool(HWND)>& match) {
    Search search{match, nullptr};
    EnumChildWindows(parent, &matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The buttons a message box type shows, in order, for MB_DEFBUTTONn.
std::vector<int> buttonsOf(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
    }
}

std::wstring folderOf(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

std::wstring nameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

} // namespace

void DialogSession::setUnansweredWait(unsigned ms) { g_unansweredWait = ms; }

DialogSession::DialogSession() : before_(threadWindows()) {
    timer_ = SetTimer(nullptr, 0, kTickMs, &DialogSession::onTimer);
    t_sessions.push_back(this);
}

DialogSession::DialogSession(MessageBoxCase box) : DialogSession() { box_ = std::move(box); }

DialogSession::DialogSession(FileDialogCase file) : DialogSession() { file_ = std::move(file); }

DialogSession::~DialogSession() {
    KillTimer(nullptr, timer_);
    std::erase(t_sessions, this);
    std::erase(t_claimed, dialog_);
}

void CALLBACK DialogSession::onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = std::ranges::find(t_sessions, id, &DialogSession::timer_);
    if (found != t_sessions.end()) (*found)->tick();
}

void DialogSession::tick() {
    // A nested modal loop may deliver this timer again while it still acts.
    if (busy_) return;
    busy_ = true;
    const ULONGLONG now = GetTickCount64();
    if (!dialog_) {
        dialog_ = findNewDialog();
        if (dialog_) {
            t_claimed.push_back(dialog_);
            shownAt_ = now;
        }
    }
    // EndDialog hides the window at once; a hidden dialog has its answer and is closing.
    if (dialog_ && IsWindow(dialog_) && IsWindowVisible(dialog_)) {
        if (box_) tickMessageBox(now);
        else tickFileDialog(now);
    }
    busy_ = false;
}

void DialogSession::tickMessageBox(ULONGLONG now) {
    if (step_ == 0) {
        if (box_->answer) press(*box_->answer);
        else if (now - shownAt_ >= g_unansweredWait) press(defaultButton());
        else return;
        step_ = 1;
        actedAt_ = now;
    } else if (now - actedAt_ >= kRetryMs) {
        // The answer named no button of this box.
        press(defaultButton());
        actedAt_ = now;
    }
}

void DialogSession::tickFileDialog(ULONGLONG now) {
    const auto& paths = file_->paths;
    enum { kStart, kNamesNext, kAnswered };
    if (step_ == kStart) {
        if (!paths) {
            if (now - shownAt_ < g_unansweredWait) return;
            press(IDCANCEL);
        } else if (paths->empty()) {
            press(IDCANCEL);
        } else if (paths->size() == 1) {
            press(setFileName(paths->front()) ? IDOK : IDCANCEL);
        } else if (setFileName(folderOf(paths->front()))) {
            // Several names are relative to the dialog's folder: go there first.
            press(IDOK);
            step_ = kNamesNext;
            actedAt_ = now;
            return;
        } else {
            press(IDCANCEL);
        }
        step_ = kAnswered;
        actedAt_ = now;
    } else if (step_ == kNamesNext) {
        if (now - actedAt_ < kSettleMs) return;
        std::wstring names;
        for (const auto& path : *paths) names += (names.empty() ? L"\"" : L" \"") + nameOf(path) + L"\"";
        press(setFileName(names) ? IDOK : IDCANCEL);
        step_ = kAnswered;
        actedAt_ = now;
    } else if (now - actedAt_ >= kRetryMs) {
        // The dialog refused the names (or they never got in): give up on it.
        press(IDCANCEL);
        actedAt_ = now;
    }
}

HWND DialogSession::findNewDialog() const {
    for (HWND window : threadWindows()) {
        if (before_.contains(window) || std::ranges::find(t_claimed, window) != t_claimed.end()) continue;
        if (className(window) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) return window;
    }
    return nullptr;
}

int DialogSession::defaultButton() const {
    // The button drawn as the default; DM_GETDEFID is no help, Wine answers IDOK for any box.
    HWND marked = descendant(dialog_, [](HWND w) {
        return className(w) == L"Button" && IsWindowVisible(w) &&
               (GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    });
    if (marked) return GetDlgCtrlID(marked);
    const auto buttons = buttonsOf(box_->flags);
    const size_t index = (box_->flags & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

void DialogSession::press(int id) const {
    // Posted, as a click would be: the dialog handles it in its own loop, not inside this timer.
    PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog_, id)));
}

bool DialogSession::setFileName(const std::wstring& text) const {
    HWND box = nullptr;
    for (int id : {kFileNameCombo, kFileNameEdit}) {
        box = descendant(dialog_, [id](HWND w) { return GetDlgCtrlID(w) == id && IsWindowVisible(w); });
        if (box) break;
    }
    if (box && className(box) != L"Edit") {
        // A combo box: its text lives in the edit control inside it.
        if (HWND edit = descendant(box, [](HWND w) { return className(w) == L"Edit"; })) box = edit;
    }
    if (!box) {
        printLine(L"[host] the file dialog has no file name box; cancelling it");
        return false;
    }
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return true;
}

} // namespace orvixhost
