// What the viewer's windows share: the sprite document, the current dye scheme and the loaded
// palette library. The application owns one instance and hands it to every window by reference.
#pragma once

#include "kromby/scheme/pal_library.h"
#include "kromby/scheme/scheme_file.h"
#include "kromby/sprite/was_file.h"

struct KrombyState {
    TWasFile Sprite;
    DyeSegmentList DyeScheme;    // starts empty; every successful open installs the default
    PalLibraryList PalLibrary;   // used by the palette editor only
};
