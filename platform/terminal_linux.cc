#include <unistd.h>

#include "platform/terminal.h"

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }
