#pragma once

#include "TestXlib.h"

#include <string>

// Synthetic pointer and keyboard input through the XTEST extension, as a
// user's. Positions are on the screen. Each call reaches the server before
// it returns, unless it is queued with a delay: the server then holds the
// event back that long, which drives modal loops the test itself is blocked
// in.
class XTestInput {
public:
    explicit XTestInput(Display* display) : display(display) {}

    void MoveTo(int x, int y, unsigned long delayMs = 0);
    void Press(unsigned button, unsigned long delayMs = 0);
    void Release(unsigned button, unsigned long delayMs = 0);
    void Click(unsigned button, int x, int y);
    // Press at `from`, move in steps of at most `step` pixels, release at `to`.
    void Drag(int fromX, int fromY, int toX, int toY, int step);
    // Press and release of one key (with Shift when the symbol needs it).
    void Key(KeySym sym, unsigned long delayMs = 0);
    void Type(const std::string& text);
    // Sends what is queued without waiting for it.
    void Flush();

private:
    void Sync(unsigned long delayMs);

    Display* display;
};
