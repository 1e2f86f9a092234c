#include "editor/TfrmMain.h"

namespace keyloom {

void TfrmMain::ConnectLevels() {}

} // namespace keyloom
