// What the palette windows need from the main window, without knowing it.
#pragma once

class MainView {
public:
    virtual ~MainView() = default;
    // Redraws the off-screen view from the document; the main window repaints on its next tick.
    virtual void RedrawView() = 0;
    // The palette window closed: its menu item and toolbar button may open it again.
    virtual void EnablePaletteCommand() = 0;
};
