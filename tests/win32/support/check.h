// A small checking harness for the Windows test programs (GoogleTest is a
// Linux-side piece of this project). A failed check prints where and what,
// and counts; main returns the count.
#pragma once

#include <cstdio>
#include <exception>
#include <set>
#include <string>

#include "runtime/utf8.h"
#include "runtime/unicode_string.h"

namespace check {

inline int& Failures() {
  static int n = 0;
  return n;
}

inline std::string Show(const std::string& s) { return "\"" + s + "\""; }
inline std::string Show(const UnicodeString& s) { return "\"" + ToUtf8(s) + "\""; }
inline std::string Show(const char16_t* s) { return Show(UnicodeString(s)); }
inline std::string Show(const char* s) { return Show(std::string(s)); }
template <class T>
std::string Show(const T& v) {
  return std::to_string(v);
}

// The case the checks belong to (a row of a table, a group), printed with
// a failure; the summary counts cases.
inline std::string& Case() {
  static std::string name;
  return name;
}
inline int& CasesRun() {
  static int n = 0;
  return n;
}
inline void CountCase() { ++CasesRun(); }
inline std::set<std::string>& FailedCases() {
  static std::set<std::string> cases;
  return cases;
}

inline void Fail(const char* file, int line, const std::string& what) {
  ++Failures();
  FailedCases().insert(Case());
  std::printf("%s:%d: FAILED %s\n", file, line, what.c_str());
  std::fflush(stdout);
}

}  // namespace check

#define CHECK(cond)                                                                           \
  do {                                                                                        \
    if (!(cond)) check::Fail(__FILE__, __LINE__, "[" + check::Case() + "] " + std::string(#cond)); \
  } while (0)

#define CHECK_EQ(actual, expected)                                                                    \
  do {                                                                                                \
    const auto& a_ = (actual);                                                                        \
    const auto& e_ = (expected);                                                                      \
    if (!(a_ == e_))                                                                                  \
      check::Fail(__FILE__, __LINE__,                                                                 \
                  "[" + check::Case() + "] " + #actual + " is " + check::Show(a_) + ", expected " + check::Show(e_)); \
  } while (0)

namespace check {

// Runs `body`; true when it threw an std::exception, whose what() is then in `what`.
template <class Body>
bool Throws(Body&& body, std::string& what) {
  try {
    body();
  } catch (const std::exception& e) {
    what = e.what();
    return true;
  }
  return false;
}

}  // namespace check

// Runs `statement` and checks that it throws an std::exception whose what()
// equals `message` (UTF-8).
#define CHECK_THROWS_MESSAGE(statement, message)                                                       \
  do {                                                                                                 \
    std::string what_;                                                                                 \
    if (!check::Throws([&] { statement; }, what_))                                                     \
      check::Fail(__FILE__, __LINE__, "[" + check::Case() + "] " + #statement + " did not throw");     \
    else if (what_ != std::string(message))                                                            \
      check::Fail(__FILE__, __LINE__, "[" + check::Case() + "] " + #statement + " threw " + check::Show(what_) + \
                                          ", expected " + check::Show(std::string(message)));          \
  } while (0)

// Runs `statement` and checks that it throws an std::exception with a
// message (for the system's texts, which differ between Windows versions).
#define CHECK_THROWS(statement)                                                                        \
  do {                                                                                                 \
    std::string what_;                                                                                 \
    if (!check::Throws([&] { statement; }, what_) || what_.empty())                                    \
      check::Fail(__FILE__, __LINE__, "[" + check::Case() + "] " + #statement + " did not throw with a message"); \
  } while (0)
