// The host's check of what a database file is.
//
// The plug-in answers every file it cannot open with one closed-dataset
// message; this tells apart the cases a person can act on: a file that is
// no Access database at all, one protected by a password (the plug-in opens
// databases without one), and an Access 2007 or later file encrypted with
// the newer scheme the reader does not decode.
#pragma once

#include <functional>
#include <optional>
#include <string>

// Raises HostError "PATH: REASON" with one of the reasons in the table of
// database_format_check.cc. Reads the header page only (a few KiB, one read)
// and keeps nothing open. A path that cannot be read at all is left to
// CheckDatabasePath, which runs first. `password` is salvage's (nullopt for
// the plug-in, which opens no protected database; empty when --salvage was
// given without --password): a protected database passes only when it
// matches the database's password exactly.
void CheckDatabaseFormat(const std::string& path, const std::optional<std::string>& password = std::nullopt);

// Raises HostError "PATH: --password needs --salvage ...".
[[noreturn]] void RefusePasswordWithoutSalvage(const std::string& path);

// Runs `import` (a whole import or export of `path`); when the plug-in
// refuses the file with its closed-dataset message, CheckDatabaseFormat
// names the reason instead. Files the plug-in opens are never checked, so a
// plug-in that reads other files than Access ones is served as before.
// Nothing has been written then: exports stage their output.
void RunDiagnosingRefusedDatabase(const std::string& path, const std::function<void()>& import);
