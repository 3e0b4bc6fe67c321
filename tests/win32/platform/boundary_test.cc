// The boundary's structured exception, caught as a host catches it.
#include <stdexcept>
#include <string>

#include "platform/boundary.h"
#include "runtime/exceptions.h"
#include "tests/win32/platform/platform_tests.h"
#include "tests/win32/support/check.h"
#include "tests/win32/support/seh_guard.h"

namespace {

struct BoundaryOutcome {
  bool returned = false;
  int32_t result = 0;
  CaughtException caught;
  std::string message;
  bool messageValid = false;
};

template <class Body>
BoundaryOutcome AtBoundary(Body body) {
  BoundaryOutcome o;
  auto call = [&] { o.result = RunAtBoundary(body); };
  o.returned = RunGuarded(call, o.caught);
  if (!o.returned) o.message = BoundaryMessage(o.caught, o.messageValid);
  return o;
}

}  // namespace

void RunBoundaryTests() {
  check::Case() = "a body that returns";
  check::CountCase();
  BoundaryOutcome ok = AtBoundary([] { return 7; });
  CHECK(ok.returned);
  CHECK_EQ(ok.result, 7);

  struct Row {
    const char* name;
    std::string (*raise)();
    std::string message;
  };
  const Row rows[] = {
      {"system error", [] { throw ERangeError(u"Cannot find specified record"); return std::string(); },
       "Cannot find specified record"},
      {"UTF-8 message", [] { throw EDatabaseError(u"Field 'B\u00E4r' not found"); return std::string(); },
       "Field 'B\xC3\xA4r' not found"},
      {"standard exception", [] { throw std::runtime_error("read empty queue"); return std::string(); },
       "read empty queue"},
      {"anything else", [] { throw 42; return std::string(); }, "Unknown error"},
  };
  for (const Row& r : rows) {
    check::Case() = r.name;
    check::CountCase();
    BoundaryOutcome o = AtBoundary([&] { return static_cast<int32_t>(r.raise().size()); });
    CHECK(!o.returned);
    CHECK_EQ(o.caught.code, static_cast<DWORD>(kBoundaryExceptionCode));
    CHECK(o.caught.flags & EXCEPTION_NONCONTINUABLE);
    CHECK_EQ(o.caught.arguments.size(), static_cast<size_t>(kBoundaryExceptionArgumentCount));
    CHECK(o.messageValid);
    CHECK_EQ(o.message, r.message);
  }

  check::Case() = "long message";
  check::CountCase();
  // 3000 two-byte characters: cut to the capacity without splitting one.
  UnicodeString longText(3000, u'\u00E9');
  BoundaryOutcome o = AtBoundary([&]() -> int32_t { throw Exception(longText); });
  CHECK(o.messageValid);
  CHECK_EQ(o.message.size(), kBoundaryMessageCapacity - 1);
  CHECK(o.message.substr(0, 2) == "\xC3\xA9");
  CHECK(o.message.substr(o.message.size() - 2) == "\xC3\xA9");

  check::Case() = "after an error";
  check::CountCase();
  CHECK_EQ(AtBoundary([] { return 3; }).result, 3);
}

