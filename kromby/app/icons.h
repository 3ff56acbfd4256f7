// The window's pictures, drawn in code: the toolbar and menu icons by their image-list number,
// the program icon and the about box picture.
#pragma once

#include <QIcon>
#include <QPixmap>

// Images 11 (open), 12 (save), 14 (palette), 19 (about), 20 (save as), 21 (web page).
QIcon ImageListIcon(int index);
QIcon ProgramIcon();
QPixmap AboutPicture();  // 104 x 104
