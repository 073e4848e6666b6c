// The Windows editor window linked straight into this program, over a
// recording plug and probe controls: the value entry box, popup menus, keys,
// double clicks, the window class and the host-side services, each through
// real Win32 windows and messages.
#include "SharedPlugin.h"
#include "TestParentWindow.h"
#include "TestRunner.h"

#include "ProbeControl.h"
#include "RecordingPlug.h"

#include "core/ParamRecord.h"
#include "gui/MenuNumbering.h"
#include "gui/PopupMenu.h"
#include "gui/win32/EditorWin.h"
#include "gui/win32/WinFileDialog.h"
#include "gui/win32/WinFolders.h"
#include "gui/win32/WinPopupMenu.h"
#include "gui/win32/WinWindowClass.h"
#include "pix/PIX_IBitmap.h"
#include "pix/PIX_SysBitmap.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

LPARAM At(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// An editor of 200 x 100 with a background and four probes, its window open
// in a visible host window.
class LocalEditor {
public:
    LocalEditor() : parent(0, 0, 300, 150)
    {
        plug = std::make_unique<RecordingPlug>(1);
        editor = new EditorWin(plug.get(), 200, 100, 25);
        background = Add(Bounds(0, 0, 200, 100), -1);
        gain = Add(Bounds(10, 10, 40, 30), RecordingPlug::kGain);
        release = Add(Bounds(50, 10, 80, 30), RecordingPlug::kRelease);
        mode = Add(Bounds(90, 10, 120, 30), RecordingPlug::kMode);
        pad = Add(Bounds(130, 10, 160, 30), RecordingPlug::kMix);
        pad->SetDoubleClickActsAsClick(true);
        plug->AttachEditor(editor);
    }

    bool Open() { return editor->CreateEditorWindow(parent.Handle()) != nullptr; }
    HWND Window() const { return editor->Window(); }
    HWND EntryBox() const { return FindWindowExA(Window(), nullptr, "Edit", nullptr); }

    ProbeControl* Add(const Bounds& r, int32_t param)
    {
        auto* c = new ProbeControl(plug.get(), r, param);
        editor->AddControl(c);
        return c;
    }

    // Opens the value entry over a probe (or `area`) for `param`.
    bool OpenEntry(ProbeControl* c, int32_t param, const char* text, const Bounds* area = nullptr)
    {
        editor->OpenTextEntry(c, c->GetTextStyle(), area ? *area : c->Rect(), text,
                              param >= 0 ? plug->ParamAt(param) : nullptr);
        return EntryBox() != nullptr;
    }

    // Types into the box as the keyboard would: a key press and its character.
    void Type(const char* text)
    {
        HWND box = EntryBox();
        for (const char* p = text; *p; ++p)
            SendMessageA(box, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*p)), 1);
    }

    std::string EntryText() const
    {
        char text[64] = {};
        GetWindowTextA(EntryBox(), text, sizeof text);
        return text;
    }

    void Tick() { SendMessageA(Window(), WM_TIMER, EditorWin::kTimerId, 0); }

    TestParentWindow parent;
    std::unique_ptr<RecordingPlug> plug;   // owns the editor
    EditorWin* editor = nullptr;
    ProbeControl* background = nullptr;
    ProbeControl* gain = nullptr;
    ProbeControl* release = nullptr;
    ProbeControl* mode = nullptr;
    ProbeControl* pad = nullptr;
};

}   // namespace

WIN_TEST(LocalEntryBoxIsASubclassedEditOverTheControl)
{
    LocalEditor e;
    REQUIRE(e.Open());
    e.gain->GetTextStyle().alignment = kAlignCenter;
    REQUIRE(e.OpenEntry(e.gain, RecordingPlug::kGain, "1.5"));
    HWND box = e.EntryBox();
    CHECK_EQ(static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE)) & 0xFFFFFFFFu, 0x50000085u);
    CHECK_EQ(GetDlgCtrlID(box), 99);
    CHECK_EQ(static_cast<uint32_t>(GetWindowLongPtrA(box, GWLP_USERDATA)), 0xdeadf00bu);
    RECT r;
    GetWindowRect(box, &r);
    MapWindowPoints(nullptr, e.Window(), reinterpret_cast<POINT*>(&r), 2);
    CHECK_EQ(r.left, 10);
    CHECK_EQ(r.top, 10);
    CHECK_EQ(r.right - r.left, 31);
    CHECK_EQ(r.bottom - r.top, 21);
    CHECK_EQ(e.EntryText(), std::string("1.5"));
    DWORD start = 1;
    DWORD end = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    CHECK_EQ(start, 0u);
    CHECK_EQ(end, 3u);
    CHECK(GetFocus() == box);
    CHECK(e.editor->Entry().State() == TextEntryState::Idle);
}

WIN_TEST(LocalEntryFiltersTypingAndCommitsWithEnter)
{
    LocalEditor e;
    REQUIRE(e.Open());
    REQUIRE(e.OpenEntry(e.release, RecordingPlug::kRelease, ""));
    e.Type("12a");
    CHECK_EQ(e.EntryText(), std::string("12"));
    SendMessageA(e.EntryBox(), WM_KEYDOWN, VK_RETURN, 1);
    CHECK(e.editor->Entry().State() == TextEntryState::Commit);
    e.Type("\r");
    CHECK_EQ(e.EntryText(), std::string("12"));
    e.Tick();
    CHECK(e.EntryBox() == nullptr);
    CHECK(!e.editor->Entry().IsOpen());
    // Above the range: the highest value.
    CHECK_EQ(e.release->Value(), 1.0);
    CHECK_EQ(e.plug->ParamAt(RecordingPlug::kRelease)->Value(), 5.0);

    REQUIRE(e.OpenEntry(e.gain, RecordingPlug::kGain, ""));
    e.Type("-3.5x");
    CHECK_EQ(e.EntryText(), std::string("-3.5"));
    SendMessageA(e.EntryBox(), WM_KEYDOWN, VK_RETURN, 1);
    e.Tick();
    CHECK_EQ(e.plug->ParamAt(RecordingPlug::kGain)->Value(), -3.5);

    REQUIRE(e.OpenEntry(e.gain, RecordingPlug::kGain, ""));
    e.Type("-99");
    SendMessageA(e.EntryBox(), WM_KEYDOWN, VK_RETURN, 1);
    e.Tick();
    CHECK_EQ(e.plug->ParamAt(RecordingPlug::kGain)->Value(), -18.0);
}

WIN_TEST(LocalEntryForAnEnumerationTakesOnlyItsDisplayTexts)
{
    LocalEditor e;
    REQUIRE(e.Open());
    ParamRecord* mode = e.plug->ParamAt(RecordingPlug::kMode);
    mode->AddDisplayText(0, "Soft");
    mode->AddDisplayText(1, "Hard");
    mode->AddDisplayText(2, "Opto");
    // Wide enough for the text: a multi-line box refuses what it cannot show.
    const Bounds wide(90, 10, 190, 30);
    REQUIRE(e.OpenEntry(e.mode, -1, "", &wide));
    // Without a parameter anything may be typed; the control gets the text.
    e.Type("Hard!");
    CHECK_EQ(e.EntryText(), std::string("Hard!"));
    SendMessageA(e.EntryBox(), WM_KEYDOWN, VK_RETURN, 1);
    e.Tick();
    REQUIRE(e.mode->texts.size() == 1u);
    CHECK_EQ(e.mode->texts[0], std::string("Hard!"));

    REQUIRE(e.OpenEntry(e.mode, RecordingPlug::kMode, ""));
    SetWindowTextA(e.EntryBox(), "Opto");
    SendMessageA(e.EntryBox(), WM_KEYDOWN, VK_RETURN, 1);
    e.Tick();
    CHECK_EQ(mode->Value(), 2.0);
    REQUIRE(e.OpenEntry(e.mode, RecordingPlug::kMode, ""));
    SetWindowTextA(e.EntryBox(), "opto");
    SendMessageA(e.EntryBox(), WM_KEYDOWN, VK_RETURN, 1);
    e.Tick();
    CHECK_EQ(mode->Value(), 0.0);
}

WIN_TEST(LocalEntryCancelsOnEscapeAndCommitsOnAClickOutside)
{
    LocalEditor e;
    REQUIRE(e.Open());
    REQUIRE(e.OpenEntry(e.gain, RecordingPlug::kGain, "0"));
    e.Type("7");
    SendMessageA(e.EntryBox(), WM_KEYDOWN, VK_ESCAPE, 1);
    CHECK(e.editor->Entry().State() == TextEntryState::Cancel);
    e.Tick();
    CHECK(e.EntryBox() == nullptr);
    CHECK_EQ(e.plug->ParamAt(RecordingPlug::kGain)->Value(), 0.0);

    // The box never had the focus after opening: a click in the editor
    // commits it and reaches no control.
    REQUIRE(e.OpenEntry(e.gain, RecordingPlug::kGain, "4"));
    e.plug->events.clear();
    SendMessageA(e.Window(), WM_LBUTTONDOWN, MK_LBUTTON, At(60, 20));
    CHECK(e.editor->Entry().State() == TextEntryState::Commit);
    CHECK(!e.release->Called("down"));
    e.Tick();
    CHECK_EQ(e.plug->ParamAt(RecordingPlug::kGain)->Value(), 4.0);

    // Once the box has the focus again, a click abandons the entry.
    REQUIRE(e.OpenEntry(e.gain, RecordingPlug::kGain, "5"));
    SetFocus(e.Window());
    SetFocus(e.EntryBox());
    CHECK(e.editor->Entry().State() == TextEntryState::Editing);
    SendMessageA(e.Window(), WM_LBUTTONDOWN, MK_LBUTTON, At(60, 20));
    CHECK(e.editor->Entry().State() == TextEntryState::Cancel);
    e.Tick();
    CHECK_EQ(e.plug->ParamAt(RecordingPlug::kGain)->Value(), 4.0);
}

WIN_TEST(LocalEntryBoxIsColouredFromTheControlsStyle)
{
    LocalEditor e;
    REQUIRE(e.Open());
    e.gain->GetTextStyle().entryBackground = ArgbColor(255, 10, 20, 30);
    e.gain->GetTextStyle().entryForeground = ArgbColor(255, 200, 210, 220);
    REQUIRE(e.OpenEntry(e.gain, RecordingPlug::kGain, "1"));
    HDC dc = GetDC(e.EntryBox());
    const LRESULT brush =
        SendMessageA(e.Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(e.EntryBox()));
    CHECK_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(DC_BRUSH));
    CHECK_EQ(GetBkColor(dc), RGB(10, 20, 30));
    CHECK_EQ(GetTextColor(dc), RGB(200, 210, 220));
    CHECK_EQ(GetBkMode(dc), OPAQUE);
    ReleaseDC(e.EntryBox(), dc);
}

WIN_TEST(LocalMenuItemsCarryPrefixesFlagsAndSubmenuIds)
{
    PopupMenu top(PopupMenu::kPrefix2);
    for (int i = 1; i <= 9; ++i)
        top.AddItem(("Item " + std::to_string(i)).c_str(), i == 3 ? kMenuItemChecked : 0);
    top.AddSeparator();
    const MenuNumbering numbering(top);
    HMENU menu = WinPopupMenu::Build(numbering, 0);
    REQUIRE(menu != nullptr);
    CHECK_EQ(GetMenuItemCount(menu), 10);
    char text[64] = {};
    GetMenuStringA(menu, 8, text, sizeof text, MF_BYPOSITION);
    CHECK_EQ(std::string(text), std::string("09: Item 9"));
    CHECK_EQ(GetMenuItemID(menu, 0), 0u);
    CHECK((GetMenuState(menu, 2, MF_BYPOSITION) & MF_CHECKED) != 0);
    CHECK((GetMenuState(menu, 9, MF_BYPOSITION) & MF_SEPARATOR) != 0);
    DestroyMenu(menu);

    PopupMenu three;
    three.AddItem("One");
    PopupMenu* sub = three.AddSubmenu("Two", std::make_unique<PopupMenu>(PopupMenu::kPrefix1));
    sub->AddItem("Deep A", kMenuItemGrayed);
    sub->AddItem("Deep B");
    three.AddItem("Three");
    const MenuNumbering nested(three);
    menu = WinPopupMenu::Build(nested, 0);
    REQUIRE(menu != nullptr);
    HMENU submenu = GetSubMenu(menu, 1);
    REQUIRE(submenu != nullptr);
    CHECK_EQ(GetMenuItemID(menu, 2), 2u);
    CHECK_EQ(GetMenuItemID(submenu, 0), 3u);
    CHECK_EQ(GetMenuItemID(submenu, 1), 4u);
    GetMenuStringA(submenu, 1, text, sizeof text, MF_BYPOSITION);
    CHECK_EQ(std::string(text), std::string("2: Deep B"));
    CHECK((GetMenuState(submenu, 0, MF_BYPOSITION) & MF_GRAYED) != 0);
    DestroyMenu(menu);
}

WIN_TEST(LocalTrackMenuReturnsTheSubmenuOfTheChosenItem)
{
    LocalEditor e;
    REQUIRE(e.Open());
    PopupMenu three;
    three.AddItem("One");
    PopupMenu* sub = three.AddSubmenu("Two", std::make_unique<PopupMenu>());
    sub->AddItem("Deep A");
    sub->AddItem("Deep B");
    three.AddItem("Three");

    // The user's keys, waiting in the queue for the menu's own loop: down to
    // the second item, into its submenu, down once more, Enter.
    for (WPARAM key : {static_cast<WPARAM>(VK_DOWN), static_cast<WPARAM>(VK_DOWN), static_cast<WPARAM>(VK_RIGHT),
                       static_cast<WPARAM>(VK_DOWN), static_cast<WPARAM>(VK_RETURN)})
        PostMessageA(e.Window(), WM_KEYDOWN, key, 1);
    PopupMenu* chosen = e.editor->TrackMenu(three, Bounds(10, 10, 40, 30));
    CHECK(chosen == sub);
    if (chosen)
        CHECK_EQ(chosen->ChosenIndex(), 1);

    // Escape dismisses: no menu.
    PostMessageA(e.Window(), WM_KEYDOWN, VK_ESCAPE, 1);
    CHECK(e.editor->TrackMenu(three, Bounds(10, 10, 40, 30)) == nullptr);
}

WIN_TEST(LocalDoubleClickActsAsMouseDownWhereTheControlAsks)
{
    LocalEditor e;
    REQUIRE(e.Open());
    e.plug->events.clear();
    SendMessageA(e.Window(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(140, 20));
    CHECK(e.pad->Called("down"));
    CHECK(!e.pad->Called("double"));
    CHECK(GetCapture() == e.Window());
    CHECK_EQ(e.editor->MouseCapture(), 4);
    // An edit began with it, as with a press, and the release ends it.
    const std::string mix = std::to_string(static_cast<int>(RecordingPlug::kMix));
    CHECK_EQ(e.plug->Trace(), "B" + mix);
    SendMessageA(e.Window(), WM_MOUSEMOVE, MK_LBUTTON, At(140, 25));
    CHECK(e.pad->Called("drag 0,5"));
    SendMessageA(e.Window(), WM_LBUTTONUP, 0, At(140, 25));
    CHECK(GetCapture() != e.Window());
    CHECK_EQ(e.plug->Trace(), "B" + mix + " E" + mix);

    SendMessageA(e.Window(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(20, 20));
    CHECK(e.gain->Called("double"));
    CHECK(!e.gain->Called("down"));
    CHECK(GetCapture() != e.Window());
}

WIN_TEST(LocalKeysGoToTheControlUnderTheCursorOrTheKeyCatcher)
{
    LocalEditor e;
    REQUIRE(e.Open());
    auto* catcher = new ProbeControl(e.plug.get(), Bounds(0, 0, 0, 0));
    catcher->takesKeys = true;
    e.editor->SetKeyCatcher(catcher);
    e.gain->takesKeys = true;

    // Over the background: the key catcher.
    POINT p = {190, 90};
    ClientToScreen(e.Window(), &p);
    SetCursorPos(p.x, p.y);
    e.parent.ClearKeys();
    SendMessageA(e.Window(), WM_KEYDOWN, 'A', 1);
    CHECK(catcher->Called("key 15"));
    SendMessageA(e.Window(), WM_KEYDOWN, VK_F12, 1);
    CHECK(e.parent.KeyDowns().size() == 1u && e.parent.KeyDowns()[0] == VK_F12);

    // Over the gain probe: the probe.
    p = {20, 20};
    ClientToScreen(e.Window(), &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(e.Window(), WM_KEYDOWN, VK_SPACE, 1);
    CHECK(e.gain->Called("key 0"));
    e.gain->takesKeys = false;
    SendMessageA(e.Window(), WM_KEYDOWN, '9', 1);
    CHECK(e.gain->Called("key 14"));
    CHECK(e.parent.KeyDowns().size() == 2u && e.parent.KeyDowns()[1] == '9');
}

WIN_TEST(LocalWindowClassIsRegisteredOnceForTwoWindows)
{
    const int32_t already = WinWindowClass::OpenCount();
    REQUIRE(already == 0);
    LocalEditor first;
    LocalEditor second;
    REQUIRE(first.Open());
    CHECK_EQ(WinWindowClass::OpenCount(), 1);
    REQUIRE(second.Open());
    CHECK_EQ(WinWindowClass::OpenCount(), 2);
    WNDCLASSA info;
    CHECK(GetClassInfoA(first.editor->Module(), WinWindowClass::kName, &info));
    // Reopening in place keeps the count.
    REQUIRE(first.Open());
    CHECK_EQ(WinWindowClass::OpenCount(), 2);
    first.editor->DestroyEditorWindow();
    CHECK_EQ(WinWindowClass::OpenCount(), 1);
    CHECK(GetClassInfoA(first.editor->Module(), WinWindowClass::kName, &info));
    SendMessageA(second.Window(), WM_CLOSE, 0, 0);
    CHECK(!second.editor->IsWindowOpen());
    CHECK_EQ(WinWindowClass::OpenCount(), 0);
    CHECK(!GetClassInfoA(first.editor->Module(), WinWindowClass::kName, &info));
}

WIN_TEST(LocalPaintCopiesTheSurfaceToTheWindow)
{
    LocalEditor e;
    REQUIRE(e.Open());
    PIX_SysBitmap* surface = e.editor->DrawingSurface();
    REQUIRE(surface != nullptr);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            surface->Pixels()[y * surface->Stride() + x] = 0xFF000000u | static_cast<uint32_t>(x * 1000 + y);
    RECT all = {0, 0, 200, 100};
    InvalidateRect(e.Window(), &all, FALSE);
    UpdateWindow(e.Window());
    RECT left;
    CHECK(!GetUpdateRect(e.Window(), &left, FALSE));
    HDC dc = GetDC(e.Window());
    CHECK_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    const uint32_t p = 0xFF000000u | static_cast<uint32_t>(123 * 1000 + 45);
    CHECK_EQ(GetPixel(dc, 123, 45), RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    ReleaseDC(e.Window(), dc);
    CHECK_EQ(std::string(e.editor->BackendName()), std::string("Windows GDI"));
}

WIN_TEST(LocalServicesFoldersClipboardAndFilters)
{
    LocalEditor e;
    REQUIRE(e.Open());
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder;
    e.editor->PlugFolder(folder);
    CHECK(!folder.empty() && folder.back() == '\\');
    CHECK_EQ(folder, std::string(exe).substr(0, folder.size()));
    std::string host;
    e.editor->HostFolder(host);
    CHECK_EQ(host, folder);
    CHECK_EQ(WinFolders::FolderOf("C:\\a\\b.dll"), std::string("C:\\a\\"));
    CHECK_EQ(WinFolders::FolderOf("C:\\a\\"), std::string(""));
    CHECK_EQ(WinFolders::FolderOf("plain.dll"), std::string(""));

    std::string defaultExt;
    const std::string filter = WinFileDialog::Filter("wav  aif", &defaultExt);
    CHECK_EQ(filter, std::string("*.wav;*.aif\0*.wav;*.aif\0\0", 25));
    CHECK_EQ(defaultExt, std::string("wav"));

    // Text put on the clipboard in UTF-16 comes back in UTF-8.
    const wchar_t text[] = L"Gr\u00fc\u00dfe";
    REQUIRE(OpenClipboard(e.Window()));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    std::memcpy(GlobalLock(mem), text, sizeof text);
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
    std::string clip;
    CHECK(e.editor->ClipboardText(clip));
    CHECK_EQ(clip,
             std::string("Gr\xc3\xbc\xc3\x9f"
                         "e"));
}

WIN_TEST(LocalResourceImagesComeFromTheModulesPngResources)
{
    // The editor of the plug-in DLL's module reads the DLL's strips.
    HMODULE dll = static_cast<HMODULE>(SharedPlugin().Handle());
    REQUIRE(dll != nullptr);
    RecordingPlug plug;
    EditorWin editor(&plug, 10, 10, 25, dll);
    std::unique_ptr<PIX_IBitmap> bg(editor.LoadResourceImage(106, "resources/img/BG.png"));
    REQUIRE(bg != nullptr);
    CHECK_EQ(bg->Width(), 1001);
    CHECK_EQ(bg->Height(), 270);
    std::unique_ptr<PIX_IBitmap> upper(editor.LoadResourceImage(106, "BG.PNG"));
    CHECK(upper != nullptr);
    CHECK(std::unique_ptr<PIX_IBitmap>(editor.LoadResourceImage(106, "BG.jpg")) == nullptr);
    CHECK(std::unique_ptr<PIX_IBitmap>(editor.LoadResourceImage(106, "BG")) == nullptr);
    CHECK(std::unique_ptr<PIX_IBitmap>(editor.LoadResourceImage(999, "X.png")) == nullptr);
}
