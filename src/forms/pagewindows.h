// The main window's menu items and the windows they open. The main window's room cannot know
// the page windows (their rooms are built on it), so the connections live here, above every
// room; the program entry makes them once the main window exists.
#pragma once

class TMainForm;

// Connects every menu item whose window exists to that window: the item is enabled and opens
// the window modally (TMainForm::connectWindow). Items whose window is not built stay
// disabled.
void connectPageWindows(TMainForm &main);
