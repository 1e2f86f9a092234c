#pragma once

#include <functional>

namespace keyloom {

class TfrmMain;

// The program: the application, the single instance, the main window and the event loop.
// beforeShow, when given, sees the window right before it is first shown.
int RunEditor(int argc, char** argv, const std::function<void(TfrmMain&)>& beforeShow = {});

} // namespace keyloom
