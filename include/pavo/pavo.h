/*
 * Pavo plug-in ABI: what a host needs to load and drive a plug-in (.kpl).
 *
 * A plug-in is a shared library that exports six functions with C linkage and
 * undecorated names. The host calls every export on its user-interface thread.
 *
 *   PavoGetVersion         required. Host-interface version the plug-in was built
 *                          for; a host refuses anything but PAVO_VERSION. It is 0
 *                          when the plug-in cannot run in this installation (a
 *                          host library it is linked with, kvtlibb or sharepm of
 *                          pavo/hostlibs.h, is missing); the other exports then
 *                          do nothing.
 *   PavoGetInfo            required. Fills a caller-allocated PavoInfo record.
 *                          The strings are static data of the plug-in: valid until
 *                          the library is unloaded. Bytes 13-15 are not written.
 *   PavoRun                required. Opens (or shows again) the plug-in's window
 *                          for the given session; returns its native handle. The
 *                          session must outlive the window (until PavoRelease
 *                          returns). The instance value comes back in the close
 *                          signal. A second call while the window exists only
 *                          shows it again and ignores both arguments.
 *   PavoSendNotify         optional for the host to call. Host events (see
 *                          PAVO_NOTIFY_*); always returns 0. Before PavoRun it
 *                          does nothing.
 *   PavoShowOptionsDialog  optional. Modal options dialog; path = the host's
 *                          plug-ins data folder (cp1251, NUL-terminated).
 *   PavoRelease            required once per PavoRun. Saves the window state and
 *                          destroys the window. Without a window it does nothing.
 *
 * Closing the window only hides it: the plug-in posts PAVO_MSG_CLOSE to the
 * host's main window (wParam = pointer to PAVO_CLOSE_ID text, lParam = instance
 * value) and the host answers, when it chooses, with PavoRelease.
 *
 * Minimal host:
 *
 *   void* lib = dlopen("Quorvel.kpl", RTLD_NOW);
 *   auto version = (PavoGetVersionFn)dlsym(lib, "PavoGetVersion");
 *   if (version() != PAVO_VERSION) refuse();
 *   PavoInfo info; ((PavoGetInfoFn)dlsym(lib, "PavoGetInfo"))(&info);
 *   HostSession session = {...};            // see pavo/host.h
 *   ((PavoRunFn)dlsym(lib, "PavoRun"))(&session, 7);
 *   ... run the UI loop; on PAVO_MSG_CLOSE call PavoRelease ...
 *
 * All strings crossing this boundary are 8-bit Windows-1251 text.
 *
 * No exception crosses an export: an error inside one is shown to the
 * operator in an error message box and the export returns 0 / no window.
 */
#ifndef PAVO_PAVO_H
#define PAVO_PAVO_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define PAVO_CALL __stdcall
#else
#define PAVO_CALL
#endif

#if defined(_WIN32)
#define PAVO_EXPORT __declspec(dllexport)
#else
#define PAVO_EXPORT __attribute__((visibility("default")))
#endif

#define PAVO_VERSION 61

/* Close signal posted to the host's main window (WM_USER + 132). */
#define PAVO_MSG_CLOSE 1156
#define PAVO_CLOSE_ID "{03B9C4A7-74B5-4657-A887-F6F4B031168F}"
/* Window property set on the plug-in's window: 1 after creation, 2 once shown. */
#define PAVO_WINDOW_PROP "{8E5FED65-0336-4379-92FD-0E509B91320F}"

/* Transceiver messages the host sends to the window it registered. */
#define PAVO_MSG_TRX_FREQUENCY 1160 /* lParam = new dial frequency in Hz */
#define PAVO_MSG_TRX_1161 1161      /* ignored by plug-ins */
#define PAVO_MSG_TRX_GONE 1162

/* PavoSendNotify (type, kind) pairs. */
#define PAVO_NOTIFY_APPEARANCE_TYPE 1
#define PAVO_NOTIFY_APPEARANCE_KIND 26
#define PAVO_NOTIFY_CURSOR_KIND 44
#define PAVO_NOTIFY_OPENED 2
#define PAVO_NOTIFY_CLOSING 3
#define PAVO_NOTIFY_NEWQSO_KIND 1
#define PAVO_NOTIFY_AWARDS_KIND 6

/* Native window handle: an opaque pointer-sized value. */
typedef uintptr_t PavoHandle;

#pragma pack(push, 1)
/* Filled by PavoGetInfo. Packed; pointers are 4 bytes on the 32-bit host. */
typedef struct PavoInfo {
    const char* Name;        /* offset 0 */
    const char* Reserved;    /* offset 4 (32-bit): not written */
    const char* Description; /* offset 8 */
    uint8_t Flag;            /* offset 12: always 1 */
    uint8_t Unused[3];       /* offsets 13-15: not written */
} PavoInfo;
#pragma pack(pop)

struct HostSession;

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t(PAVO_CALL* PavoGetVersionFn)(void);
typedef void(PAVO_CALL* PavoGetInfoFn)(PavoInfo* info);
typedef PavoHandle(PAVO_CALL* PavoRunFn)(struct HostSession* session, int32_t instanceValue);
typedef int32_t(PAVO_CALL* PavoSendNotifyFn)(int32_t type, int32_t kind);
typedef void(PAVO_CALL* PavoShowOptionsDialogFn)(PavoHandle parent, const char* dataPath);
typedef void(PAVO_CALL* PavoReleaseFn)(void);

#ifdef PAVO_PLUGIN_BUILD
PAVO_EXPORT int32_t PAVO_CALL PavoGetVersion(void);
PAVO_EXPORT void PAVO_CALL PavoGetInfo(PavoInfo* info);
PAVO_EXPORT PavoHandle PAVO_CALL PavoRun(struct HostSession* session, int32_t instanceValue);
PAVO_EXPORT int32_t PAVO_CALL PavoSendNotify(int32_t type, int32_t kind);
PAVO_EXPORT void PAVO_CALL PavoShowOptionsDialog(PavoHandle parent, const char* dataPath);
PAVO_EXPORT void PAVO_CALL PavoRelease(void);
#endif

#ifdef __cplusplus
}
#endif

#if defined(__cplusplus) && (defined(_WIN32) && !defined(_WIN64))
#include <cstddef>
static_assert(offsetof(PavoInfo, Name) == 0, "PavoInfo.Name");
static_assert(offsetof(PavoInfo, Description) == 8, "PavoInfo.Description");
static_assert(offsetof(PavoInfo, Flag) == 12, "PavoInfo.Flag");
static_assert(sizeof(PavoInfo) == 16, "PavoInfo size");
#endif

#endif
