#pragma once

// One bitmap strip of the editor and where its control sits on the panel.
struct StripPlacement {
    const char* file;   // name inside resources/img
    int resourceId;
    int x, y;           // top-left of the control on the panel
    int width;
    int frameHeight;
    int frames;
};
