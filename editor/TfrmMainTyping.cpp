#include "editor/TfrmMain.h"

namespace keyloom {

void TfrmMain::ConnectTyping() {}

} // namespace keyloom
