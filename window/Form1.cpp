#include "Form1.h"

#include <algorithm>
#include <utility>

#include <commctrl.h>
#include <windowsx.h>

#include "Actions.h"
#include "Catalogue.h"
#include "CenterForm.h"
#include "Clipboard.h"
#include "Collation.h"
#include "Dpi.h"
#include "Environment.h"
#include "Installer.h"
#include "Misc.h"
#include "RowReport.h"
#include "Shell.h"
#include "WinText.h"
#include "resources/Resource.h"

namespace {

constexpr wchar_t kClassName[] = L"UninstallListCleaner.Form1";
constexpr wchar_t kProductTitle[] = L"Uninstall List Cleaner";

// The layout never changes, so the frame offers no sizing border and no
// maximise box.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Posted by the thread that hands uninstallers to the desktop's shell as it ends.
constexpr UINT kHandOffDone = WM_APP;

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

Machine ReadMachine()
{
    return Machine{ReadEnvironments(), WindowsFolder(), RegisteredProducts(), RootKind, ProbeFile, IsUnlisted, QueryProductState};
}

bool RegisterFormClass(WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ProgramInstance();
    windowClass.hIcon = LoadIconW(ProgramInstance(), MAKEINTRESOURCEW(IDI_FORM1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kClassName;
    // A second window in one process finds the class already there.
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// A click toggles the button. A click that left it pressed in springs it back
// up and runs the action once; setting the value raises no click, so nothing
// runs twice, and the button is up while the action runs.
template <typename Action>
void RunOnPress(ToggleButton button, Action action)
{
    if (button.Value() != 1)
        return;
    button.SetValue(0);
    action();
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassFor(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton:
        return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::GroupBox:
        return {WC_BUTTONW, BS_GROUPBOX, 0};
    case ControlKind::ListView:
        return {WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::ToggleButton:
        return {WC_BUTTONW, BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_CENTER | BS_VCENTER | WS_TABSTOP, 0};
    }
    return {WC_STATICW, 0, 0};
}

}  // namespace

Form1::Form1(RegistryStore& registry) : Form1(registry, Options{}) {}

Form1::Form1(RegistryStore& registry, Options options) : registry_(registry), options_(std::move(options)) {}

Form1::~Form1()
{
    if (hwnd_ != nullptr)
        DestroyWindow(hwnd_);
}

bool Form1::Create()
{
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    if (!RegisterFormClass(WindowProc))
        return false;
    if (CreateWindowExW(0, kClassName, L"", kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                        ProgramInstance(), this) == nullptr)
        return false;
    Load();
    return true;
}

void Form1::Show(int showCommand)
{
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
}

LRESULT CALLBACK Form1::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        form = static_cast<Form1*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    if (form == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORBTN: return OnControlColour(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC: return OnControlColour(reinterpret_cast<HDC>(wParam));
    case WM_MOUSEMOVE: return OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus();
    case WM_DPICHANGED: return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    case WM_DESTROY: return OnDestroy();
    case WM_NCDESTROY: return OnNcDestroy(wParam, lParam);
    case kHandOffDone: return OnHandOffDone();
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

LRESULT Form1::OnCreate()
{
    dpi_ = options_.dpi != 0 ? options_.dpi : WindowDpi(hwnd_);
    CreateControls();
    ApplyLayout();
    focus_ = Control(kCommand1);
    return 0;
}

void Form1::CreateControls()
{
    for (const ControlLayout& control : kForm1Layout) {
        const ControlClass controlClass = ClassFor(control.kind);
        const HWND child = CreateWindowExW(controlClass.exStyle, controlClass.name, control.caption,
                                           WS_CHILD | WS_VISIBLE | controlClass.style, 0, 0, 0, 0, hwnd_,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                           ProgramInstance(), nullptr);
        if (control.kind == ControlKind::ListView) {
            const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
            SendMessageW(child, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
            list_ = ListViewItems(child);
        }
        // Mouse movement over the buttons and the list sets the pointer. The
        // control's own procedure moves to its user data. (Under Wine a
        // SetWindowSubclass chain costs two server round trips on every
        // message, and the list gets several messages for each row.)
        if (control.kind == ControlKind::ListView || control.kind == ControlKind::ToggleButton) {
            SetWindowLongPtrW(child, GWLP_USERDATA, GetWindowLongPtrW(child, GWLP_WNDPROC));
            SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc));
        }
    }
    CreateTip();
}

// The rows' tip. A list view would ask for one itself (LVS_EX_INFOTIP), but
// Wine's never does; this one is the same on both. It gets the list's mouse
// messages from ControlProc and asks for its text each time it shows.
void Form1::CreateTip()
{
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
                           0, hwnd_, nullptr, ProgramInstance(), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(list_.Hwnd());
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // The longest a tip can stay: for as long as the pointer rests, in practice.
    SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(32767, 0));
}

// The one place where twips become pixels: at creation and whenever the
// window moves to a monitor of another DPI.
void Form1::ApplyLayout()
{
    std::array<Font, kFontRoleCount> fonts;
    for (int role = 0; role < kFontRoleCount; ++role) {
        const TextFont textFont = FontFor(static_cast<FontRole>(role));
        if (textFont.face != nullptr)
            fonts[role] = MakeBoldFont(textFont.face, FontHeight(textFont, dpi_));
    }
    for (const ControlLayout& control : kForm1Layout) {
        const HWND child = Control(control.id);
        const PixelRect rect = ToPixels(control, dpi_);
        SetWindowPos(child, nullptr, rect.left, rect.top, rect.width, rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (const HFONT font = fonts[static_cast<int>(control.font)].get(); font != nullptr)
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    // Only now does no control use the old fonts any more.
    fonts_ = std::move(fonts);

    ApplyColumnWidths();
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, TwipsToPixels(kTipWidthTwips, dpi_));

    const SIZE client{TwipsToPixels(kClientWidthTwips, dpi_), TwipsToPixels(kClientHeightTwips, dpi_)};
    // The frame is Windows' own, drawn at the window's real DPI.
    const SIZE outer = OuterSizeForClient(hwnd_, client, WindowDpi(hwnd_));
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Runs before the window is first shown, so nothing is drawn until the list
// is complete.
void Form1::Load()
{
    CenterForm(hwnd_);
    mouseIcon_ = LoadCursorW(ProgramInstance(), MAKEINTRESOURCEW(IDC_HAND_POINTER));
    SetWindowTextW(hwnd_, kProductTitle);
    AddColumns();
    LoadUninstallEntries(registry_, list_, DisplayNameSortKey);
}

void Form1::AddColumns()
{
    for (const ColumnLayout& column : kListColumns)
        list_.AddColumn(Utf8FromWide(column.header));
    ApplyColumnWidths();
}

// Before the load step adds them there are no columns to size.
void Form1::ApplyColumnWidths()
{
    const int count = std::min(list_.ColumnCount(), static_cast<int>(kListColumns.size()));
    for (int column = 1; column <= count; ++column)
        list_.SetColumnWidth(column, TwipsToPixels(kListColumns[column - 1].width, dpi_));
}

LRESULT Form1::OnCommand(int id, int code)
{
    if (code != BN_CLICKED)
        return 0;
    switch (id) {
    case kCheck1: OnCheck1Click(); break;
    case kCheck2: OnCheck2Click(); break;
    case kCheck3: OnCheck3Click(); break;
    default: break;
    }
    return 0;
}

void Form1::OnCheck1Click()
{
    RunOnPress(Check1(), [this] {
        // A press while Explorer still has the last one's starts would hand
        // the same rows over again.
        if (handingOff_)
            return;
        // The rows are read here, on the window's thread; only the starts
        // cross to the hand-off's.
        std::vector<ProgramStart> starts;
        UninstallSelectedEntry(list_, [&](std::string_view command) {
            ShellOpen(hwnd_, command, [&](const ProgramStart& start) { starts.push_back(start); });
        });
        if (!starts.empty())
            handingOff_ = HandToDesktopShell(std::move(starts), options_.desktop, hwnd_, kHandOffDone);
    });
}

LRESULT Form1::OnHandOffDone()
{
    handingOff_ = false;
    return 0;
}

void Form1::OnCheck2Click()
{
    RunOnPress(Check2(), [this] { DeleteCheckedEntries(list_, registry_, ReadMachine); });
}

void Form1::OnCheck3Click()
{
    RunOnPress(Check3(), [this] { DetectOldEntries(list_, ReadMachine()); });
}

LRESULT Form1::OnNotify(NMHDR& header)
{
    // The tip names the list as its tool: its id is no control's.
    if (header.hwndFrom == tip_)
        return header.code == TTN_GETDISPINFOW ? OnTipText(reinterpret_cast<NMTTDISPINFOW&>(header)) : 0;
    const auto id = static_cast<ControlId>(header.idFrom);
    if (header.code == LVN_KEYDOWN && id == kListView1)
        return OnListKeyDown(reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey);
    if (header.code == NM_CUSTOMDRAW && IsToggleButton(id))
        return PaintWhiteButton(reinterpret_cast<const NMCUSTOMDRAW&>(header));
    if (header.code == LVN_GETDISPINFOW && id == kListView1)
        list_.AnswerDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header));
    return 0;
}

// Made as the tip shows, from what the row holds: it asks the machine nothing.
// Without a row the text is empty, and the tip stays hidden.
LRESULT Form1::OnTipText(NMTTDISPINFOW& info)
{
    tipText_ = tipRow_ != 0 ? WideFromUtf8(RowTip(list_, tipRow_)) : std::wstring();
    info.lpszText = tipText_.data();
    return 0;
}

// Ctrl+C copies the highlighted rows. Ctrl with Alt is AltGr, with which some
// keyboards type a letter on C (Polish ć).
LRESULT Form1::OnListKeyDown(WORD key)
{
    if (key == 'C' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0)
        CopySelectedEntries(list_, [this](std::string_view text) { PutTextOnClipboard(hwnd_, WideFromUtf8(text)); });
    return 0;
}

// The frame and the buttons sit on white.
LRESULT Form1::OnControlColour(HDC dc)
{
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

// The frame lets the mouse through to the window; over its margins and
// caption the setting stays as it is.
LRESULT Form1::OnMouseMove(POINT point)
{
    if (ChildWindowFromPointEx(hwnd_, point, CWP_SKIPINVISIBLE) == hwnd_)
        SetMousePointer(kPointerArrow);
    return 0;
}

void Form1::OnControlMouse(ControlId id, const MSG& message)
{
    if (message.message == WM_MOUSEMOVE && IsToggleButton(id))
        SetMousePointer(kPointerCustom);
    else if (message.message == WM_MOUSEMOVE && id == kListView1)
        SetMousePointer(kPointerArrow);
    if (id == kListView1)
        RelayToTip(message);
}

// The tip is the whole list's: on another row it hides, and shown again it
// asks for that row's text.
void Form1::RelayToTip(MSG message)
{
    if (message.message == WM_MOUSEMOVE) {
        if (const int row = list_.RowAt(GET_Y_LPARAM(message.lParam)); row != tipRow_) {
            tipRow_ = row;
            SendMessageW(tip_, TTM_POP, 0, 0);
        }
    }
    SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

LRESULT CALLBACK Form1::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA));
    const auto id = static_cast<ControlId>(GetDlgCtrlID(control));
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        if (auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(GetParent(control), GWLP_USERDATA)))
            form->OnControlMouse(id, MSG{control, message, wParam, lParam, 0, {}});
    }
    // A list view with check boxes ticks or unticks a row on a double-click;
    // here a double-click is two clicks and nothing more.
    if (message == WM_LBUTTONDBLCLK && id == kListView1)
        message = WM_LBUTTONDOWN;
    // A button takes the second click of a double-click for a second press,
    // which would start every selected uninstaller twice.
    else if (message == WM_LBUTTONDBLCLK && IsToggleButton(id))
        return 0;
    else if (message == WM_NCDESTROY)
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    return CallWindowProcW(original, control, message, wParam, lParam);
}

void Form1::SetMousePointer(int setting)
{
    mousePointer_ = setting;
    // The mouse is over the window now: show the change without waiting
    // for the next WM_SETCURSOR.
    if (const HCURSOR cursor = PointerCursor(); cursor != nullptr)
        SetCursor(cursor);
}

HCURSOR Form1::PointerCursor() const
{
    switch (mousePointer_) {
    case kPointerArrow: return LoadCursorW(nullptr, IDC_ARROW);
    case kPointerCustom: return mouseIcon_;
    default: return nullptr;
    }
}

// Controls pass WM_SETCURSOR to their parent first, so the setting reaches
// every one of them from here.
LRESULT Form1::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(lParam) == HTCLIENT) {
        if (const HCURSOR cursor = PointerCursor(); cursor != nullptr) {
            SetCursor(cursor);
            return TRUE;
        }
    }
    return DefWindowProcW(hwnd_, WM_SETCURSOR, wParam, lParam);
}

// Unlike a dialog box, a plain window does not give the focus back to the
// control that had it when it is activated again.
LRESULT Form1::OnActivate(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focused = GetFocus();
        if (focused != nullptr && IsChild(hwnd_, focused))
            focus_ = focused;
    }
    return DefWindowProcW(hwnd_, WM_ACTIVATE, wParam, lParam);
}

LRESULT Form1::OnSetFocus()
{
    if (focus_ != nullptr && IsWindow(focus_))
        SetFocus(focus_);
    return 0;
}

LRESULT Form1::OnDpiChanged(int dpi, const RECT& suggested)
{
    dpi_ = dpi;
    ApplyLayout();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

// Closing the window ends the program: nothing to save, nothing to ask.
LRESULT Form1::OnDestroy()
{
    PostQuitMessage(0);
    return 0;
}

LRESULT Form1::OnNcDestroy(WPARAM wParam, LPARAM lParam)
{
    const HWND hwnd = std::exchange(hwnd_, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    list_ = ListViewItems();
    tip_ = nullptr;
    tipRow_ = 0;
    focus_ = nullptr;
    // The controls are gone by now, and with them every use of the fonts.
    fonts_ = {};
    return DefWindowProcW(hwnd, WM_NCDESTROY, wParam, lParam);
}

int RunMessageLoop(HWND window)
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // GetMessage fails only on bad arguments; otherwise WM_QUIT carries the code.
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 1;
}
