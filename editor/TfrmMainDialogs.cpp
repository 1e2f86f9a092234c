#include "editor/TfrmMain.h"

namespace keyloom {

void TfrmMain::ConnectDialogs() {}

} // namespace keyloom
