#include "ProgressBar.h"

#include <cstdio>
#include <unistd.h>

ProgressBar::ProgressBar(bool enabled) : enabled_(enabled)
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

bool ProgressBar::stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) != 0;
}

void ProgressBar::update(double fraction)
{
    if (!enabled_)
        return;
    if (fraction < 0.0)
        fraction = 0.0;
    if (fraction > 1.0)
        fraction = 1.0;
    const int percent = static_cast<int>(fraction * 100.0);
    if (percent == lastPercent_)
        return;
    lastPercent_ = percent;
    const int width = 40;
    const int filled = percent * width / 100;
    char bar[width + 1];
    for (int i = 0; i < width; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[width] = '\0';
    std::fprintf(stderr, "\rrendering [%s] %3d%%", bar, percent);
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::finish()
{
    if (drawn_) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    drawn_ = false;
}
