#pragma once

#include "gui/TextEntryState.h"

#include <cstddef>
#include <cstdint>

class Control;
class ParamRecord;

// The state of the value entry box a window opens over a control: which
// control and parameter it edits, what the user did with it, which typed
// characters it keeps, and how the committed text becomes a value. The box
// itself is the window system's; this class never touches it.
class TextEntry {
public:
    // A commit reads this many characters of the box at most.
    static constexpr size_t kMaxTextLength = 31;

    bool IsOpen() const { return control != nullptr; }
    Control* EditedControl() const { return control; }
    ParamRecord* EditedParam() const { return param; }

    // The state is left as it is: the focus the box gets as it opens does not
    // count as editing.
    void Open(Control* edited, ParamRecord* editedParam);
    // Forgets the control and parameter; state Idle.
    void Close();

    TextEntryState State() const { return state; }
    void SetState(TextEntryState s) { state = s; }

    // Events of the box. Enter commits and Escape cancels, both swallowed
    // (true); other keys go on to the box (false).
    bool KeyDown(int32_t virtualKey);
    void FocusChanged(bool gained) { state = gained ? TextEntryState::Editing : TextEntryState::Commit; }
    // Whether the box keeps a typed character: numbers only for a numeric
    // parameter (a decimal point only for continuous ones), anything without
    // a parameter. Backspace always passes.
    bool AcceptsCharacter(int32_t ch) const;
    // A box for raw text wants Enter for itself rather than the dialog's
    // default button.
    bool WantsReturnKey() const { return IsOpen() && !param; }

    // The committed text goes to the edited control: as a value through the
    // parameter, or as raw text without one.
    void Apply(const char* text) const;

    // What a committed text means for a parameter, normalised: the value whose
    // display text it is (0 for none) for Boolean and Enumeration parameters,
    // else the number it starts with (negated for a negated display), limited
    // to the parameter's range.
    static double NormalizedValueOf(const ParamRecord& param, const char* text);

private:
    Control* control = nullptr;
    ParamRecord* param = nullptr;
    TextEntryState state = TextEntryState::Idle;
};
