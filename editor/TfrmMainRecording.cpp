#include "editor/TfrmMain.h"

namespace keyloom {

void TfrmMain::ConnectRecording() {}

bool TfrmMain::RecordTag(int) { return false; }

} // namespace keyloom
