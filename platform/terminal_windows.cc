#include <io.h>
#include <stdio.h>

#include "platform/terminal.h"

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
