#include "window_units/components/hyper_linker.h"

#include <oleacc.h>
#include <shellapi.h>

#include <atomic>
#include <vector>

#include "runtime/gbk.h"
#include "window_units/contrast.h"
#include "window_units/property_block.h"
#include "window_units/components/window_thread.h"

namespace lyra {

namespace {

// Posted by the default action: the link opens after the screen reader's
// call has returned.
constexpr UINT kDefaultActionMessage = WM_APP + 0x484C;

// A link's text is blue unless the link has a colour of its own.
COLORREF LinkColour(uint32_t stored) {
    return stored == kDefaultColour ? RGB(0, 0, 255) : ResolveColour(stored, COLOR_HOTLIGHT);
}

intptr_t SystemShellOpen(const std::wstring& target) {
    return reinterpret_cast<intptr_t>(ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

bool SystemRun(const std::wstring& commandLine) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

const HyperLinkShell kSystemShell = {&SystemShellOpen, &SystemRun};
std::atomic<const HyperLinkShell*> gShell{&kSystemShell};

// The default value of a key under HKEY_CLASSES_ROOT, as GBK; empty when missing.
std::string ClassesRootDefault(const std::string& key) {
    std::wstring wideKey = GbkToWide(key.c_str(), key.size());
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CLASSES_ROOT, wideKey.c_str(), nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, nullptr, &bytes) != ERROR_SUCCESS || bytes == 0) {
        return std::string();
    }
    std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CLASSES_ROOT, wideKey.c_str(), nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, value.data(), &bytes) != ERROR_SUCCESS) {
        return std::string();
    }
    return WideToGbk(value.data());
}

}  // namespace

void SetHyperLinkShell(const HyperLinkShell* shell) { gShell.store(shell != nullptr ? shell : &kSystemShell); }

bool OpenHyperLink(const HyperLinkerProperties& properties) {
    std::string target = HyperLinkTarget(properties);
    if (target.empty()) return false;
    const HyperLinkShell* shell = gShell.load();
    if (shell->shellOpen(GbkToWide(target.c_str(), target.size())) > 32) return true;
    // No shell association: start the program registered for web pages.
    std::string fileType = ClassesRootDefault(".htm");
    if (fileType.empty()) return false;
    std::string command = ClassesRootDefault(fileType + "\\shell\\open\\command");
    if (command.empty()) return false;
    std::string line = BrowserCommandLine(command, target);
    return shell->run(GbkToWide(line.c_str(), line.size()));
}

bool HyperLinkerComponent::Create(const CreateArgs& args) {
    const std::string& caption = properties_.caption;
    std::wstring text = GbkToWide(caption.c_str(), caption.size());
    HWND parent = args.parent != nullptr ? args.parent : args.window;
    HWND window = CreateWindowExW(0, L"STATIC", text.c_str(), args.style | WS_CHILD | WS_CLIPSIBLINGS | SS_NOTIFY,
                                  args.left, args.top, args.width, args.height, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.childId)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr || !Attach(window)) {
        if (window != nullptr) DestroyWindow(window);
        return false;
    }
    ApplyFont();
    return true;
}

void HyperLinkerComponent::ApplyFont() {
    // Links are underlined whatever font they are given.
    OwnedFont base(CreateFontFromBlock(properties_.font));
    LOGFONTW logFont{};
    GetObjectW(ShownFont(base), sizeof logFont, &logFont);
    logFont.lfUnderline = TRUE;
    font_.Reset(CreateFontIndirectW(&logFont));
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

void HyperLinkerComponent::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    OwnedBrush ownBackground;
    HBRUSH background = nullptr;
    if (properties_.backColour == kDefaultColour) {
        HWND parent = GetParent(Handle());
        background = reinterpret_cast<HBRUSH>(
            SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Handle())));
    } else {
        ownBackground.Reset(CreateSolidBrush(
            ContrastColour(ResolveColour(properties_.backColour, COLOR_BTNFACE), COLOR_BTNFACE)));
        background = ownBackground.get();
    }
    FillRect(dc, &client, background != nullptr ? background : GetSysColorBrush(COLOR_BTNFACE));
    std::wstring caption = GbkToWide(properties_.caption.c_str(), properties_.caption.size());
    HGDIOBJ oldFont = SelectObject(dc, ShownFont(font_));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(Handle())
                         ? ContrastColour(LinkColour(properties_.textColour), COLOR_HOTLIGHT)
                         : GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &client, DT_LEFT | DT_VCENTER | DT_SINGLELINE |
              DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

LRESULT HyperLinkerComponent::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleWindowThreadCall(message, lParam)) return 0;
    switch (message) {
        case WM_PAINT:
            return PaintWindow(Handle(), [this](HDC dc) { Paint(dc); });
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            break;
        case WM_LBUTTONUP: {
            LRESULT answer = DefaultProc(message, wParam, lParam);
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            RECT client;
            GetClientRect(Handle(), &client);
            if (pressed_ && PtInRect(&client, at)) OpenHyperLink(properties_);
            pressed_ = false;
            return answer;
        }
        case kDefaultActionMessage:
            OpenHyperLink(properties_);
            return 0;
        case WM_GETOBJECT:
            return AnswerGetObject(wParam, lParam);
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

bool HyperLinkerComponent::DescribeForScreenReader(AccessibleFacts* facts) {
    facts->role = ROLE_SYSTEM_LINK;
    facts->name = GbkToWide(properties_.caption.c_str(), properties_.caption.size());
    facts->defaultAction = L"跳转";
    return true;
}

bool HyperLinkerComponent::DoDefaultAction() {
    if (InputDisabled(Handle())) return false;
    return PostMessageW(Handle(), kDefaultActionMessage, 0, 0) != FALSE;
}

void HyperLinkerComponent::OnFinalDestroy() {
    font_.Reset();
    Component::OnFinalDestroy();
}

void HyperLinkerComponent::Reapply(int, uint32_t what) {
    HWND window = Handle();
    if (window == nullptr) return;
    if (what & kLinkCaption) SetWindowTextGbk(window, properties_.caption);
    if (what & kLinkFont) ApplyFont();
    if (what & kLinkRepaint) InvalidateRect(window, nullptr, FALSE);
}

void* HyperLinkerInterface(int operation) {
    return TypeInterface(operation, &CreateFromBlock<HyperLinkerComponent>, nullptr);
}

}  // namespace lyra
