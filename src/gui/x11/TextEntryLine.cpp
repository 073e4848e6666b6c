#include "gui/x11/TextEntryLine.h"

void TextEntryLine::Reset(const std::string& t, int32_t maxLen)
{
    maxLength = maxLen > 0 ? static_cast<size_t>(maxLen) : 0;
    text = t.substr(0, maxLength);
    SelectAll();
}

void TextEntryLine::SelectAll()
{
    anchor = 0;
    caret = text.size();
}

void TextEntryLine::EraseSelection()
{
    const size_t start = SelectionStart();
    text.erase(start, SelectionEnd() - start);
    caret = anchor = start;
}

bool TextEntryLine::Insert(char ch)
{
    const size_t kept = text.size() - (SelectionEnd() - SelectionStart());
    if (kept >= maxLength)
        return false;
    EraseSelection();
    text.insert(caret, 1, ch);
    anchor = ++caret;
    return true;
}

void TextEntryLine::Backspace()
{
    if (HasSelection()) {
        EraseSelection();
    } else if (caret > 0) {
        text.erase(--caret, 1);
        anchor = caret;
    }
}

void TextEntryLine::Delete()
{
    if (HasSelection())
        EraseSelection();
    else if (caret < text.size())
        text.erase(caret, 1);
}

void TextEntryLine::MoveTo(size_t position, bool extend)
{
    caret = position > text.size() ? text.size() : position;
    if (!extend)
        anchor = caret;
}

void TextEntryLine::MoveLeft(bool extend)
{
    if (!extend && HasSelection())
        MoveTo(SelectionStart(), false);
    else
        MoveTo(caret > 0 ? caret - 1 : 0, extend);
}

void TextEntryLine::MoveRight(bool extend)
{
    if (!extend && HasSelection())
        MoveTo(SelectionEnd(), false);
    else
        MoveTo(caret + 1, extend);
}

void TextEntryLine::MoveHome(bool extend)
{
    MoveTo(0, extend);
}

void TextEntryLine::MoveEnd(bool extend)
{
    MoveTo(text.size(), extend);
}
