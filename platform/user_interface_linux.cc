#include "platform/user_interface.h"

IUserInterface& PlatformUserInterface() {
  static SilentUserInterface silent;
  return silent;
}
