/*
 * The desktop module, libquorvel-desktop: the window system, UI thread,
 * dialogs and clipboard that every module of the process shares, as the OS
 * provides them on Windows. The program that owns the event loop (the host)
 * installs its desktop before it loads plug-ins; until then, and after
 * QuorvelInstallDesktop(nullptr), a built-in desktop on a virtual clock is in
 * place. A plug-in reads the desktop each time it needs it.
 *
 * Entry points (C linkage; the library exports nothing else):
 *
 *     std::int32_t QuorvelDesktopVersion(void);
 *         QUORVEL_DESKTOP_VERSION of the library.
 *     const quorvel::TDesktop* QuorvelDesktop(void);
 *         the installed desktop, never null.
 *     void QuorvelInstallDesktop(const quorvel::TDesktop*);
 *         installs the caller's desktop (it must outlive its use), or with
 *         null puts the built-in one back. Call it on the UI thread.
 *
 * TDesktop (platform/desktop/Desktop.h) holds the ports of src/ports/:
 * IDispatcher, IWindowSystem, IDialogs, IClipboard, all non-null, and IMultimedia,
 * the sound card, null unless the host simulates one (then plug-ins use it
 * instead of the machine's). The version
 * goes up whenever TDesktop or those ports change; host, plug-in and library
 * must be built with the same compiler and standard library.
 */
#ifndef PAVO_DESKTOP_H
#define PAVO_DESKTOP_H

#define QUORVEL_DESKTOP_VERSION 2

#ifdef __cplusplus
#include <cstdint>

#define QUORVEL_DESKTOP_API __attribute__((visibility("default")))

namespace quorvel {

struct TDesktop;

extern "C" {
QUORVEL_DESKTOP_API std::int32_t QuorvelDesktopVersion();
QUORVEL_DESKTOP_API const TDesktop* QuorvelDesktop();
QUORVEL_DESKTOP_API void QuorvelInstallDesktop(const TDesktop* desktop);
}

}  // namespace quorvel
#endif /* __cplusplus */

#endif /* PAVO_DESKTOP_H */
