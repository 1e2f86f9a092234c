#include "editor/TfrmMain.h"

namespace keyloom {

void TfrmMain::ConnectRecording() {}

} // namespace keyloom
