#pragma once

#include <array>
#include <string>

#include <windows.h>

#include "Controls.h"
#include "Layout.h"
#include "ListView.h"
#include "Shell.h"

class RegistryStore;

// Values of the window-wide pointer setting.
enum MousePointerSetting : int {
    kPointerDefault = 0,  // each control shows its own cursor
    kPointerArrow = 1,
    kPointerCustom = 99,  // MouseIcon
};

// The program's one window: the entry list in its frame and the three
// buttons below it.
class Form1 {
public:
    struct Options {
        // 0: the DPI Windows draws the window at. Tests set 96 or 144 to
        // check the layout at either on one machine.
        int dpi = 0;
        // Where the program, run elevated, hands the uninstallers it starts,
        // from a thread of its own. Tests stand in for the desktop's shell.
        DesktopStart desktop = StartFromDesktopShell;
    };

    explicit Form1(RegistryStore& registry);
    Form1(RegistryStore& registry, Options options);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Creates the window and its controls and runs the load step: centring,
    // the pointer image, the caption, the columns and the entries. The window
    // stays hidden. False when Windows could not create it.
    bool Create();
    void Show(int showCommand);

    // What the actions work with.
    HWND Hwnd() const { return hwnd_; }
    ListViewItems& List() { return list_; }
    ToggleButton Check1() const { return ToggleButton(Control(kCheck1)); }
    ToggleButton Check2() const { return ToggleButton(Control(kCheck2)); }
    ToggleButton Check3() const { return ToggleButton(Control(kCheck3)); }

    HWND Control(ControlId id) const { return GetDlgItem(hwnd_, id); }
    // The tip window that tells of the row under the pointer.
    HWND Tip() const { return tip_; }
    int Dpi() const { return dpi_; }
    int MousePointer() const { return mousePointer_; }
    // The hand over the buttons, the program's own resource.
    HCURSOR MouseIcon() const { return mouseIcon_; }
    // Whether the desktop's shell still has the uninstallers of the last
    // press of Check1; until it is done, the button starts nothing.
    bool HandingOff() const { return handingOff_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate();
    LRESULT OnCommand(int id, int code);
    LRESULT OnNotify(NMHDR& header);
    LRESULT OnControlColour(HDC dc);
    LRESULT OnMouseMove(POINT point);
    void OnControlMouse(ControlId id, const MSG& message);
    LRESULT OnTipText(NMTTDISPINFOW& info);
    LRESULT OnListKeyDown(WORD key);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFocus();
    LRESULT OnDpiChanged(int dpi, const RECT& suggested);
    LRESULT OnDestroy();
    LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnHandOffDone();

    void OnCheck1Click();
    void OnCheck2Click();
    void OnCheck3Click();

    void CreateControls();
    void CreateTip();
    void RelayToTip(MSG message);
    void ApplyLayout();
    void Load();
    void AddColumns();
    void ApplyColumnWidths();
    void SetMousePointer(int setting);
    HCURSOR PointerCursor() const;

    RegistryStore& registry_;
    Options options_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    std::array<Font, kFontRoleCount> fonts_;
    ListViewItems list_;
    HWND tip_ = nullptr;
    int tipRow_ = 0;         // the row under the pointer as the list last saw it
    std::wstring tipText_;   // the tip's text while it shows
    int mousePointer_ = kPointerDefault;
    HCURSOR mouseIcon_ = nullptr;  // shared: Windows frees it with the program
    HWND focus_ = nullptr;  // the control that gets the focus back on activation
    bool handingOff_ = false;
};

// Runs the window's messages until the program ends and returns its exit code.
// Tab and Space move and press as in a dialog box.
int RunMessageLoop(HWND window);
