// The X11 editor's logic that needs no server: double clicks, key symbols
// and the entry box's line editing.

// GoogleTest first: Xlib's macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "gui/x11/DoubleClickDetector.h"
#include "gui/x11/TextEntryLine.h"
#include "gui/x11/X11KeyMap.h"

#include "gui/VirtualKeyMap.h"

namespace {

TEST(DoubleClickDetector, TwoPressesCloseInTimeAndPlace)
{
    DoubleClickDetector d;
    EXPECT_FALSE(d.Press(1000, 10, 10));
    EXPECT_TRUE(d.Press(1000 + DoubleClickDetector::kMaxIntervalMs, 14, 6));
    // The third press starts over.
    EXPECT_FALSE(d.Press(1600, 14, 6));
    EXPECT_FALSE(d.Press(1600 + DoubleClickDetector::kMaxIntervalMs + 1, 14, 6));
    EXPECT_FALSE(d.Press(2200, 19, 6));
    EXPECT_FALSE(d.Press(2300, 19 + DoubleClickDetector::kMaxDistance + 1, 6));
    d.Reset();
    EXPECT_FALSE(d.Press(2400, 23, 6));
    // Across the wrap of the server's clock.
    EXPECT_FALSE(d.Press(0xFFFFFF00u, 5, 5));
    EXPECT_TRUE(d.Press(0x40u, 5, 5));
}

TEST(X11KeyMap, SymbolsBecomeTheVirtualKeysControlsAreOffered)
{
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_space)), kKeySpace);
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_Up)), kKeyUp);
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_KP_Down)), kKeyDown);
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_Left)), kKeyLeft);
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_Right)), kKeyRight);
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_7)), static_cast<KeyCode>(kKeyDigit0 + 7));
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_q)), static_cast<KeyCode>(kKeyLetterA + 16));
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_Q)), static_cast<KeyCode>(kKeyLetterA + 16));
    EXPECT_EQ(X11KeyMap::VirtualKeyOf(XK_Return), VirtualKeyMap::kReturn);
    EXPECT_EQ(X11KeyMap::VirtualKeyOf(XK_KP_Enter), VirtualKeyMap::kReturn);
    EXPECT_EQ(X11KeyMap::VirtualKeyOf(XK_Escape), VirtualKeyMap::kEscape);
    EXPECT_EQ(X11KeyMap::VirtualKeyOf(XK_BackSpace), VirtualKeyMap::kBack);
    EXPECT_EQ(X11KeyMap::VirtualKeyOf(XK_F12), VirtualKeyMap::kF12);
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_F12)), kKeyNone);
    EXPECT_EQ(VirtualKeyMap::Map(X11KeyMap::VirtualKeyOf(XK_Tab)), kKeyNone);
    EXPECT_EQ(X11KeyMap::VirtualKeyOf(XK_Hyper_L), 0);
}

TEST(TextEntryLine, TypingReplacesTheSelectionWithinTheLengthLimit)
{
    TextEntryLine line;
    line.Reset("12.50", 6);
    EXPECT_TRUE(line.HasSelection());
    EXPECT_TRUE(line.Insert('7'));
    EXPECT_EQ(line.Text(), "7");
    for (char c : std::string("12345"))
        line.Insert(c);
    EXPECT_EQ(line.Text(), "712345");
    EXPECT_FALSE(line.Insert('9'));
    line.MoveLeft(true);
    line.MoveLeft(true);
    EXPECT_TRUE(line.Insert('0'));   // the selection makes room
    EXPECT_EQ(line.Text(), "71230");
    EXPECT_EQ(line.Caret(), 5u);
}

TEST(TextEntryLine, DeletingAndMoving)
{
    TextEntryLine line;
    line.Reset("abcdef", 32);
    line.MoveLeft(false);   // collapses the selection at its start
    EXPECT_EQ(line.Caret(), 0u);
    line.Delete();
    EXPECT_EQ(line.Text(), "bcdef");
    line.MoveEnd(false);
    line.Backspace();
    EXPECT_EQ(line.Text(), "bcde");
    line.MoveHome(true);
    EXPECT_EQ(line.SelectionStart(), 0u);
    EXPECT_EQ(line.SelectionEnd(), 4u);
    line.MoveRight(false);
    EXPECT_EQ(line.Caret(), 4u);
    line.MoveTo(2, false);
    line.MoveTo(99, true);
    line.Backspace();
    EXPECT_EQ(line.Text(), "bc");
    line.Reset("xyz", 2);
    EXPECT_EQ(line.Text(), "xy");
}

}   // namespace
