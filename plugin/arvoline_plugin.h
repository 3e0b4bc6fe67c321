/*
 * Arvoline import plug-in: the interface between a host application and the
 * plug-in module (Arvoline.dll on Windows, Arvoline.so on Linux).
 *
 * The host drives the module through four functions with C linkage and
 * undecorated names:
 *
 *   GetPluginInfo(info)           fills the plug-in information record; 1
 *   BeginImportSession(path,a,b)  opens a session on a database file whose
 *                                 path is zero-terminated text in the active
 *                                 ANSI code page; a and b are never read; 1
 *   ImportDocument(doc, alloc)    delivers the next document into the
 *                                 document record: 1, or 2 when none is left
 *                                 (also when no session is open)
 *   EndImportSession()            closes the session; 1
 *
 * Calling order: GetPluginInfo at any time; per import BeginImportSession
 * once, ImportDocument until it returns 2, EndImportSession once. All calls
 * on one thread, one at a time. A BeginImportSession while a session is open
 * closes the earlier session first. The module keeps no address of either
 * record or of a content buffer after the call that received it returns.
 *
 * Records are host memory addressed by the byte offsets below; read and write
 * them by offset (memcpy), never through a struct: on 64-bit builds a struct
 * would pad the content pointer away from its offset. Integers are
 * little-endian. Titles and contents are UTF-8.
 *
 * Content allocator: ImportDocument calls it once per document with
 * non-empty content, as alloc(documentRecord, 1, byteLength), byteLength not
 * counting the terminating zero. Within the call the host stores in the
 * record's content pointer field (kDocumentContentPointerOffset,
 * sizeof(void*) bytes) the address of a buffer of at least byteLength + 1
 * bytes that stays valid until ImportDocument returns. The return value is
 * ignored; a null content pointer makes the module skip the copy.
 *
 * Errors (Linux build): a failure while a session opens or while a document
 * is served leaves the entry point as a C++ exception derived from
 * std::exception whose what() is the message in UTF-8; catch std::exception
 * around BeginImportSession and ImportDocument. After a failed
 * BeginImportSession the session is open with nothing queued: ImportDocument
 * returns 2 and EndImportSession closes it. The exception object's code lives
 * in the module: keep the module loaded until the handler has finished with
 * it.
 *
 * Errors (Windows build): no C++ exception leaves the module. A failure
 * leaves the entry point as a structured (OS) exception, raised with
 * RaiseException and EXCEPTION_NONCONTINUABLE:
 *
 *   ExceptionCode            ARVOLINE_ERROR_EXCEPTION_CODE (0xE0417276)
 *   NumberParameters         2
 *   ExceptionInformation[0]  address of the message: zero-terminated UTF-8
 *   ExceptionInformation[1]  its length in bytes, without the zero
 *
 * Catch it with the language's OS exception handling (__try/__except with
 * GetExceptionInformation, a vectored or frame-based handler) and copy the
 * message before the next call into the module; it stays readable until the
 * module raises its next error. The entry point returns no result; the
 * session behaves as described for the Linux build, and the module keeps
 * working. The host must have initialised COM (CoInitialize or
 * CoInitializeEx) on its calling thread before BeginImportSession: the
 * module reads databases through the DAO automation server and never
 * initialises COM itself; without it every database reads as empty and
 * BeginImportSession fails with "Cannot perform this operation on a closed
 * dataset".
 */
#ifndef ARVOLINE_PLUGIN_ARVOLINE_PLUGIN_H_
#define ARVOLINE_PLUGIN_ARVOLINE_PLUGIN_H_

#include <stddef.h>
#include <stdint.h>

/* The standard calling convention of 32-bit x86 Windows; nothing elsewhere
 * (other compilers only warn about the attribute and ignore it). */
#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#define ARVOLINE_STDCALL __stdcall
#else
#define ARVOLINE_STDCALL
#endif

/* Marks the four exports. The Windows build names them in a .def file. */
#if defined(_WIN32)
#define ARVOLINE_EXPORT
#else
#define ARVOLINE_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The host's content allocator; see above. */
typedef int32_t(ARVOLINE_STDCALL* ContentAllocator)(void* documentRecord, int32_t one, int32_t byteLength);

ARVOLINE_EXPORT int32_t ARVOLINE_STDCALL GetPluginInfo(void* pluginInfoRecord);
ARVOLINE_EXPORT int32_t ARVOLINE_STDCALL BeginImportSession(const char* ansiPath, int32_t unused1, int32_t unused2);
ARVOLINE_EXPORT int32_t ARVOLINE_STDCALL ImportDocument(void* documentRecord, ContentAllocator allocator);
ARVOLINE_EXPORT int32_t ARVOLINE_STDCALL EndImportSession(void);

/* Types of the exports, for hosts that look them up at run time. */
typedef int32_t(ARVOLINE_STDCALL* GetPluginInfoFunction)(void*);
typedef int32_t(ARVOLINE_STDCALL* BeginImportSessionFunction)(const char*, int32_t, int32_t);
typedef int32_t(ARVOLINE_STDCALL* ImportDocumentFunction)(void*, ContentAllocator);
typedef int32_t(ARVOLINE_STDCALL* EndImportSessionFunction)(void);

#ifdef __cplusplus
}
#endif

/* Plug-in information record. Each text is written with its terminating
 * zero and nothing more; the bytes after a terminator and the four bytes at
 * kPluginInfoReservedOffset keep what the host put there. */
enum {
  kPluginInfoVersionOffset = 0x000,     /* room 256 */
  kPluginInfoNameOffset = 0x100,        /* room 256 */
  kPluginInfoDescriptionOffset = 0x200, /* room 1001 */
  kPluginInfoVendorOffset = 0x5E9,      /* room 256 */
  kPluginInfoCopyrightOffset = 0x6E9,   /* room 259 */
  kPluginInfoFirstIntegerOffset = 0x7EC,
  kPluginInfoSecondIntegerOffset = 0x7F0,
  kPluginInfoThirdIntegerOffset = 0x7F4,
  kPluginInfoReservedOffset = 0x7F8, /* 4 bytes, never written */
  kPluginInfoExtensionsOffset = 0x7FC, /* room 51 */
  kPluginInfoFilterOffset = 0x82F,
  /* A record of this size has room for every text the module writes, the
   * filter text included (at most 256 bytes with its zero). */
  kPluginInfoRecordSize = 0x82F + 256
};

/* Document record. */
enum {
  kDocumentLevelOffset = 0x0000, /* 32-bit signed */
  kDocumentTitleOffset = 0x0004, /* zero-terminated UTF-8 */
  kDocumentContentPointerOffset = 0x31A4, /* sizeof(void*) bytes, set by the host */
  /* Bytes available to the title and its zero; a longer title is cut at a
   * UTF-8 character boundary. */
  kDocumentTitleRoom = 0x31A4 - 0x0004
};
/* 0x31A8 on 32-bit builds, 0x31AC on 64-bit ones. */
#define ARVOLINE_DOCUMENT_RECORD_SIZE ((size_t)kDocumentContentPointerOffset + sizeof(void*))

/* The code of the structured exception that carries an error (Windows). */
#define ARVOLINE_ERROR_EXCEPTION_CODE 0xE0417276u

#if defined(__cplusplus) && defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#include <type_traits>
/* The host's view of the 32-bit module: the content pointer is 4 bytes at
 * 0x31A4, and each export has the standard calling convention (part of the
 * function type on this target, so a cdecl declaration would not match). */
static_assert(sizeof(void*) == 4, "32-bit module");
static_assert(kDocumentContentPointerOffset == 0x31A4, "content pointer offset");
static_assert(ARVOLINE_DOCUMENT_RECORD_SIZE == 0x31A8, "document record size");
static_assert(std::is_same<decltype(&GetPluginInfo), GetPluginInfoFunction>::value, "GetPluginInfo is stdcall");
static_assert(std::is_same<decltype(&BeginImportSession), BeginImportSessionFunction>::value,
              "BeginImportSession is stdcall");
static_assert(std::is_same<decltype(&ImportDocument), ImportDocumentFunction>::value, "ImportDocument is stdcall");
static_assert(std::is_same<decltype(&EndImportSession), EndImportSessionFunction>::value,
              "EndImportSession is stdcall");
static_assert(std::is_same<ContentAllocator, int32_t(__stdcall*)(void*, int32_t, int32_t)>::value,
              "the content allocator is stdcall");
#endif

#endif /* ARVOLINE_PLUGIN_ARVOLINE_PLUGIN_H_ */
