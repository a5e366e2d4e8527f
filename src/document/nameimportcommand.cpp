// Placeholder: the roster import command is being written.
#include "mainlogic.h"

namespace kirune {
void MainLogic::mnuEditNameBook_Click() {}
} // namespace kirune
