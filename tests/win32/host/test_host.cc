// A 32-bit host for the plug-in module, run under wine by the tests.
//
//   arvoline_test_host.exe <module> [--no-com] <step>...
//
// Steps, run in order in one process (so later steps show that the module
// still works after an error):
//   info            GetPluginInfo on a record pre-filled with 0xFF: the texts,
//                   the integers and every byte range that changed
//   abi <path>      the argument bytes each export removes from the stack
//   session <path>  BeginImportSession, ImportDocument until 2,
//                   EndImportSession; every document and every error
//   import          one ImportDocument (no session open)
//   end             one EndImportSession
//
// Without --no-com the host initialises COM first, as a host must. Output is
// compared line by line with the expected files of the tests; problems the
// host finds itself are lines starting with "FAULT".
#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "plugin/arvoline_plugin.h"
#include "tests/win32/support/seh_guard.h"

extern "C" {
// Calls `function` with `count` 32-bit arguments pushed right to left and
// returns how many bytes of them the callee removed from the stack; the
// callee's result goes to *result. The stack pointer is restored either way.
uint32_t MeasureArgumentBytes(void* function, const uint32_t* arguments, uint32_t count, int32_t* result);
}
asm(R"(
  .text
  .globl _MeasureArgumentBytes
_MeasureArgumentBytes:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  movl %esp, %edi
  movl 12(%ebp), %esi
  movl 16(%ebp), %ecx
1:
  testl %ecx, %ecx
  jz 2f
  decl %ecx
  pushl (%esi,%ecx,4)
  jmp 1b
2:
  movl %esp, %ebx
  call *8(%ebp)
  movl 20(%ebp), %ecx
  movl %eax, (%ecx)
  movl %esp, %eax
  subl %ebx, %eax
  movl %edi, %esp
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret
)");

namespace {

struct Module {
  HMODULE handle = nullptr;
  GetPluginInfoFunction getPluginInfo = nullptr;
  BeginImportSessionFunction beginImportSession = nullptr;
  ImportDocumentFunction importDocument = nullptr;
  EndImportSessionFunction endImportSession = nullptr;
};

// Text for the expected files: printable ASCII and UTF-8 as they are,
// backslash escapes for the rest.
std::string Quote(const char* bytes, size_t n) {
  std::string out = "\"";
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

void Line(const std::string& s) {
  std::fwrite(s.data(), 1, s.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string Hex(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%X", v);
  return b;
}

void ReportCaught(const char* step, const CaughtException& caught) {
  bool valid = false;
  std::string message = BoundaryMessage(caught, valid);
  std::string line = std::string(step) + " raised " + Hex(caught.code);
  if (!(caught.flags & EXCEPTION_NONCONTINUABLE)) line += " (continuable)";
  if (valid) line += ": " + message;
  else line += " FAULT: arguments do not describe a message";
  Line(line);
}

// ---------------------------------------------------------------------------
// GetPluginInfo

constexpr size_t kInfoSize = 0x1000;

void StepInfo(const Module& m) {
  std::vector<unsigned char> record(kInfoSize, 0xFF);
  int32_t result = m.getPluginInfo(record.data());
  Line("GetPluginInfo -> " + std::to_string(result));
  struct TextField {
    const char* name;
    size_t offset;
  };
  const TextField texts[] = {{"version", kPluginInfoVersionOffset},     {"name", kPluginInfoNameOffset},
                             {"description", kPluginInfoDescriptionOffset}, {"vendor", kPluginInfoVendorOffset},
                             {"extensions", kPluginInfoExtensionsOffset}, {"filter", kPluginInfoFilterOffset}};
  for (const TextField& t : texts) {
    const char* p = reinterpret_cast<const char*>(record.data() + t.offset);
    size_t n = strnlen(p, kInfoSize - t.offset);
    Line(std::string(t.name) + " " + Quote(p, n));
  }
  const char* copyright = reinterpret_cast<const char*>(record.data() + kPluginInfoCopyrightOffset);
  size_t copyrightLength = strnlen(copyright, kInfoSize - kPluginInfoCopyrightOffset);
  // The notice is free text: only its presence and fit are checked.
  Line(std::string("copyright ") +
       (copyrightLength > 0 && copyrightLength < 259 ? "present" : "FAULT: missing or too long"));
  int32_t integers[3];
  std::memcpy(integers, record.data() + kPluginInfoFirstIntegerOffset, sizeof integers);
  Line("integers " + std::to_string(integers[0]) + " " + std::to_string(integers[1]) + " " +
       std::to_string(integers[2]));
  // Every byte range that no longer holds 0xFF, the copyright's excepted.
  std::string ranges = "changed";
  for (size_t i = 0; i < kInfoSize;) {
    if (record[i] == 0xFF) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < kInfoSize && record[j] != 0xFF) ++j;
    if (i == kPluginInfoCopyrightOffset && j == i + copyrightLength + 1) ranges += " copyright";
    else ranges += " " + Hex(static_cast<uint32_t>(i)) + "-" + Hex(static_cast<uint32_t>(j - 1));
    i = j;
  }
  Line(ranges);
}

// ---------------------------------------------------------------------------
// Documents

constexpr size_t kRecordSize = ARVOLINE_DOCUMENT_RECORD_SIZE;
constexpr size_t kGuard = 64;
constexpr uint32_t kPointerSentinel = 0x5EED5EED;

struct AllocatorCall {
  void* record;
  int32_t one;
  int32_t length;
  std::unique_ptr<char[]> buffer;
};
std::vector<AllocatorCall> g_allocations;

int32_t __stdcall Allocate(void* record, int32_t one, int32_t length) {
  AllocatorCall call{record, one, length, nullptr};
  size_t size = length >= 0 ? static_cast<size_t>(length) + 1 + kGuard : kGuard;
  call.buffer.reset(new char[size]);
  std::memset(call.buffer.get(), 0xCD, size);
  char* address = call.buffer.get();
  std::memcpy(static_cast<char*>(record) + kDocumentContentPointerOffset, &address, sizeof address);
  g_allocations.push_back(std::move(call));
  return 0x7777;  // ignored by the module
}

// One ImportDocument; false once it returns 2 or fails.
bool ImportOne(const Module& m, int index) {
  std::vector<unsigned char> record(kRecordSize + kGuard, 0xAB);
  std::memcpy(record.data() + kDocumentContentPointerOffset, &kPointerSentinel, 4);
  g_allocations.clear();
  int32_t result = 0;
  auto call = [&] { result = m.importDocument(record.data(), &Allocate); };
  CaughtException caught;
  if (!RunGuarded(call, caught)) {
    ReportCaught("ImportDocument", caught);
    return false;
  }
  for (size_t i = kRecordSize; i < record.size(); ++i)
    if (record[i] != 0xAB) {
      Line("FAULT: the module wrote past the document record");
      break;
    }
  if (result == 2) {
    uint32_t pointer = 0;
    std::memcpy(&pointer, record.data() + kDocumentContentPointerOffset, 4);
    bool untouched = pointer == kPointerSentinel;
    for (size_t i = 0; i < kDocumentContentPointerOffset; ++i)
      if (record[i] != 0xAB) untouched = false;
    Line(std::string("ImportDocument -> 2") + (untouched ? "" : " FAULT: record changed"));
    return false;
  }
  int32_t level = 0;
  std::memcpy(&level, record.data() + kDocumentLevelOffset, 4);
  const char* title = reinterpret_cast<const char*>(record.data() + kDocumentTitleOffset);
  std::string line = "document " + std::to_string(index) + ": -> " + std::to_string(result) + " level " +
                     std::to_string(level) + " title " + Quote(title, strnlen(title, kDocumentTitleRoom));
  if (g_allocations.empty()) {
    uint32_t pointer = 0;
    std::memcpy(&pointer, record.data() + kDocumentContentPointerOffset, 4);
    line += " no content";
    if (pointer != kPointerSentinel) line += " FAULT: content pointer changed";
  } else if (g_allocations.size() > 1) {
    line += " FAULT: allocator called " + std::to_string(g_allocations.size()) + " times";
  } else {
    const AllocatorCall& a = g_allocations[0];
    if (a.record != record.data()) line += " FAULT: allocator got another record";
    if (a.one != 1) line += " FAULT: allocator's second argument is " + std::to_string(a.one);
    const char* content = a.buffer.get();
    size_t n = a.length >= 0 ? static_cast<size_t>(a.length) : 0;
    line += " content " + std::to_string(a.length) + " " + Quote(content, n);
    if (content[n] != '\0') line += " FAULT: no terminating zero";
    if (static_cast<unsigned char>(content[n + 1]) != 0xCD) line += " FAULT: wrote past the buffer";
  }
  Line(line);
  return true;
}

void StepSession(const Module& m, const std::string& path) {
  int32_t result = 0;
  auto begin = [&] { result = m.beginImportSession(path.c_str(), 0x11111111, 0x22222222); };
  CaughtException caught;
  const char* base = std::strrchr(path.c_str(), '\\');
  Line("session " + std::string(base ? base + 1 : path.c_str()));
  if (RunGuarded(begin, caught)) Line("BeginImportSession -> " + std::to_string(result));
  else ReportCaught("BeginImportSession", caught);
  for (int i = 1; i <= 10000 && ImportOne(m, i); ++i) {
  }
  Line("EndImportSession -> " + std::to_string(m.endImportSession()));
}

// ---------------------------------------------------------------------------
// Calling convention

void StepAbi(const Module& m, const std::string& path) {
  std::vector<unsigned char> info(kInfoSize, 0);
  std::vector<unsigned char> record(kRecordSize + kGuard, 0);
  struct Probe {
    const char* name;
    void* function;
    std::vector<uint32_t> arguments;
  };
  const Probe probes[] = {
      {"GetPluginInfo", reinterpret_cast<void*>(m.getPluginInfo), {reinterpret_cast<uint32_t>(info.data())}},
      {"BeginImportSession", reinterpret_cast<void*>(m.beginImportSession),
       {reinterpret_cast<uint32_t>(path.c_str()), 7, 9}},
      {"ImportDocument", reinterpret_cast<void*>(m.importDocument),
       {reinterpret_cast<uint32_t>(record.data()), reinterpret_cast<uint32_t>(&Allocate)}},
      {"EndImportSession", reinterpret_cast<void*>(m.endImportSession), {}},
  };
  for (const Probe& p : probes) {
    int32_t result = 0;
    uint32_t removed = MeasureArgumentBytes(p.function, p.arguments.data(),
                                            static_cast<uint32_t>(p.arguments.size()), &result);
    Line(std::string(p.name) + " removes " + std::to_string(removed) + " bytes, returns " + std::to_string(result));
  }
  g_allocations.clear();
}

template <class F>
F Export(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool Load(const char* path, Module& m) {
  m.handle = LoadLibraryA(path);
  if (!m.handle) return false;
  m.getPluginInfo = Export<GetPluginInfoFunction>(m.handle, "GetPluginInfo");
  m.beginImportSession = Export<BeginImportSessionFunction>(m.handle, "BeginImportSession");
  m.importDocument = Export<ImportDocumentFunction>(m.handle, "ImportDocument");
  m.endImportSession = Export<EndImportSessionFunction>(m.handle, "EndImportSession");
  return m.getPluginInfo && m.beginImportSession && m.importDocument && m.endImportSession;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <module> [--no-com] <step>...\n", argv[0]);
    return 2;
  }
  Module m;
  if (!Load(argv[1], m)) {
    Line("FAULT: cannot load the module or one of its four exports");
    return 1;
  }
  int i = 2;
  bool com = true;
  if (std::strcmp(argv[i], "--no-com") == 0) {
    com = false;
    ++i;
  }
  if (com && FAILED(CoInitialize(nullptr))) {
    Line("FAULT: CoInitialize failed");
    return 1;
  }
  for (; i < argc; ++i) {
    std::string step = argv[i];
    bool hasPath = (step == "abi" || step == "session") && i + 1 < argc;
    std::string path = hasPath ? argv[++i] : std::string();
    if (step == "info") StepInfo(m);
    else if (step == "abi" && hasPath) StepAbi(m, path);
    else if (step == "session" && hasPath) StepSession(m, path);
    else if (step == "import") ImportOne(m, 0);
    else if (step == "end") Line("EndImportSession -> " + std::to_string(m.endImportSession()));
    else {
      std::fprintf(stderr, "unknown step %s\n", step.c_str());
      return 2;
    }
  }
  if (com) CoUninitialize();
  return 0;
}
