#pragma once

#include <functional>

namespace keyloom {

class TfrmMain;

// The application's identity: its name, the desktop entry that docks and task bars match its
// windows with, the window icon from the icon theme (installed with the desktop entry; Windows
// takes the program's own icon), and the UI font.
void SetUpApplication();

// The program: the application, the single instance, the main window and the event loop.
// beforeShow, when given, sees the window right before it is first shown.
int RunEditor(int argc, char** argv, const std::function<void(TfrmMain&)>& beforeShow = {});

} // namespace keyloom
