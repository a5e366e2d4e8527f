// Placeholder: the print and page set-up commands are being written.
#include "mainlogic.h"

namespace kirune {
void MainLogic::mnuFilePageSetup_Click() {}
void MainLogic::mnuFilePrint_Click() {}
} // namespace kirune
