#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The text of a single-line entry box with its caret and selection, as the
// box's keys change it. Positions are byte offsets (the box takes ASCII).
// The selection runs between the anchor and the caret.
class TextEntryLine {
public:
    // The whole text, selected; at most maxLength characters are kept.
    void Reset(const std::string& text, int32_t maxLength);

    const std::string& Text() const { return text; }
    size_t Caret() const { return caret; }
    bool HasSelection() const { return anchor != caret; }
    size_t SelectionStart() const { return anchor < caret ? anchor : caret; }
    size_t SelectionEnd() const { return anchor < caret ? caret : anchor; }

    // Replaces the selection; refused (false) when the text is full.
    bool Insert(char ch);
    // The selection, else the character before (Backspace) or after (Delete).
    void Backspace();
    void Delete();
    // Caret moves; `extend` keeps the anchor where it is.
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveHome(bool extend);
    void MoveEnd(bool extend);
    void MoveTo(size_t position, bool extend);
    void SelectAll();

private:
    void EraseSelection();

    std::string text;
    size_t caret = 0;
    size_t anchor = 0;
    size_t maxLength = 0;
};
