// The DAO objects of the test-only server: engine, database, saved queries,
// recordset, fields. Tables come from the description file that
// OpenDatabase names (fixture.h). Errors carry DAO's numbers and texts.
//
// Besides DAO's members the engine has three for the client's own tests:
// EchoArguments(A, B, C, D) returns the arguments it was given as an array
// (a missing one as the text "<missing>"), EchoValue(Value) returns its
// argument, Fail(Description) fails with that description.
#pragma once

#include "dispatch_base.h"

// A new engine object answering to `version` ("3.6" or "3.5"), with one
// reference for the caller.
IDispatch* NewEngine(const wchar_t* version);
