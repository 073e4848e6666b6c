#pragma once

// A one-line progress bar on stderr, drawn only when stderr is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(bool enabled);
    ~ProgressBar();

    void update(double fraction);
    void finish();

    static bool stderrIsTerminal();

private:
    bool enabled_;
    bool drawn_ = false;
    int lastPercent_ = -1;
};
