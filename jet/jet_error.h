// The error the reader of Access files raises: the file is not one it can
// read, or it is damaged. The message says what was found, in words a user
// can act on ("Page 7 of table 'Notes' is damaged."); the DAO server passes
// it on as its own error.
#pragma once

#include "runtime/exceptions.h"

class EJetError : public Exception {
  using Exception::Exception;
};
