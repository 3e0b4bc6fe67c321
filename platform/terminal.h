// Whether the process's standard error is a terminal (an interactive
// console), so that programs draw progress there only for a person watching.
#pragma once

bool StandardErrorIsTerminal();
