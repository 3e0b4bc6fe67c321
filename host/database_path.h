// The host's own check of a database path before the plug-in sees it.
#pragma once

#include <string>

// Raises HostError "PATH: REASON" when `path` does not exist, is not a
// regular file, or cannot be opened for reading ("notes.xtp: No such file or
// directory"). The plug-in answers every file it cannot open with the same
// closed-dataset message; the person running the host learns more from this.
// Nothing is read, and a FIFO is not waited on.
void CheckDatabasePath(const std::string& path);
