#pragma once

#include "gui/MenuNumbering.h"

#include "gui/x11/XlibHeaders.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class EditorX11;
class PIX_CachedFont;
class X11Connection;

// A popup menu with cascading submenus in override-redirect windows, shown
// modally as native menus are: Track returns when an item is chosen or the
// menu is dismissed (Escape, a click outside). It grabs the pointer and the
// keyboard for its time and runs its own loop on the plug-in's connection,
// passing other windows' events on and keeping the editor's timer ticking.
class X11PopupMenu {
public:
    X11PopupMenu(EditorX11& editor, X11Connection& connection, Window owner, int32_t periodMs);
    ~X11PopupMenu();
    X11PopupMenu(const X11PopupMenu&) = delete;
    X11PopupMenu& operator=(const X11PopupMenu&) = delete;

    // The menus shown with the top-left corner at (x, y) of the owner
    // window; the chosen item's id, or -1.
    int32_t Track(const MenuNumbering& menus, int32_t x, int32_t y);

private:
    struct Level;

    bool OpenLevel(int32_t menuIdx, int32_t rootX, int32_t rootY, int32_t leftEdge);
    void CloseLevelsAfter(size_t depth);
    void CloseAll();
    void Draw(Level& level);
    const MenuNumbering::Item& ItemOf(const Level& level, int32_t idx) const;
    int32_t ItemCount(const Level& level) const;
    bool Selectable(const Level& level, int32_t idx) const;
    // Deepest level under the point and its item there (-1 for none).
    bool Hit(int32_t rootX, int32_t rootY, size_t* depth, int32_t* item) const;
    void SetHot(size_t depth, int32_t item);
    void OpenSubmenuOf(size_t depth, int32_t item);
    void Choose(size_t depth, int32_t item);
    void StepHot(int32_t direction);
    void OnKey(XKeyEvent& key);
    void OnEvent(XEvent& event);
    bool Grab();

    EditorX11& editor;
    X11Connection& connection;
    Display* display;
    Window owner;
    int32_t periodMs;
    const MenuNumbering* menus = nullptr;
    PIX_CachedFont* font = nullptr;
    int32_t rowHeight = 20;
    std::vector<std::unique_ptr<Level>> levels;
    bool done = false;
    int32_t result = -1;
    // A release chooses only after a press in the menu, or after the
    // pointer has moved onto an item since the menu opened.
    bool armed = false;
};
