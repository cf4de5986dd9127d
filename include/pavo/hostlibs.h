/*
 * The host's support libraries: what a host installs beside its executable
 * for plug-ins to use, besides the session interfaces of pavo/host.h.
 *
 * A plug-in names each library by its Windows file name ("kvtfsys.dll"); on
 * other platforms the file is the same name with the platform's suffix and no
 * prefix ("kvtfsys.so"). A plug-in looks for it in the folder of the host's
 * executable first, then on the system's library path.
 *
 *   kvtlibb     linked with the plug-in: a plug-in may refuse to run without it.
 *               lbReplaceChar          Russian letter typed -> its Latin letter
 *               lbReplaceIntegerChar   key typed into a number field -> itself or 0
 *   sharepm     linked with the plug-in, like kvtlibb.
 *               smGetProfile           the host's current user profile
 *   kvtfsys     loaded by name for one call and freed after it.
 *               fsGetAppDataPath       the user's application-data folder
 *               fsUnsolvedFileName     a received file name made safe to store
 *   kvthelpsys  loaded by name for one help request.
 *               hsShowHelp             opens a help page
 *               hsSetTitle             optional: title of the help viewer
 *   editors     loaded by name for one editor run.
 *               esShowMacrosesEditor   the host's modal macro editor
 *               esSetMacrosesEditorDialog  host side: the host's own dialog
 *   res         loaded once by a plug-in and kept until it unloads.
 *               resFindResource        pictures: bitmap "#102", 48 x 48 icon "#102"
 *
 * Strings are NUL-terminated Windows-1251 text. Buffers are the caller's and
 * have the sizes given below; a library never writes past them and always
 * terminates what it writes. "16-bit results" are nonzero for success (the
 * value is returned in a 32-bit register; read only the low 16 bits).
 *
 * Functions a host offers its own libraries only (a plug-in never calls them)
 * are marked "host side". What they set lasts while the library stays loaded
 * in the process; plug-ins load and free kvtfsys and kvthelpsys per call, so a
 * host that sets something keeps its own handle on the library.
 */
#ifndef PAVO_HOSTLIBS_H
#define PAVO_HOSTLIBS_H

#include "pavo/pavo.h"

#ifdef PAVO_HOSTLIBS_BUILD
#define PAVO_HOSTLIB_API PAVO_EXPORT
#else
#define PAVO_HOSTLIB_API
#endif

/* Buffer sizes in bytes, terminator included. */
#define PAVO_PROFILE_NAME_SIZE 256
#define PAVO_PATH_SIZE 261 /* 260 characters and the terminator */

/* Resource types of resFindResource (the Windows numbers). */
#define PAVO_RES_BITMAP 2     /* a complete BMP file */
#define PAVO_RES_GROUP_ICON 14 /* a complete ICO file */

#ifdef __cplusplus
extern "C" {
#endif

/* ---- kvtlibb ---------------------------------------------------------- */

/* Writes the replacement of c to *out (c itself when c needs none). The
   result carries no meaning. Used for every key typed into the callsign field
   and, on request, into the text to send. */
typedef int32_t(PAVO_CALL* lbReplaceCharFn)(char c, char* out);
/* Writes c to *out when it belongs in a number field (digits, editing keys
   below 0x20), else 0: the key is dropped. Used for the report fields. */
typedef int32_t(PAVO_CALL* lbReplaceIntegerCharFn)(char c, char* out);

/* ---- sharepm ---------------------------------------------------------- */

/* name: PAVO_PROFILE_NAME_SIZE bytes; path: PAVO_PATH_SIZE bytes. Nonzero
   when a profile is current: name holds its name and path the text that,
   appended directly to the host's data folder, gives the profile's folder
   (it starts with a separator, e.g. "\Profiles\Home"). Zero: no profile. */
typedef int16_t(PAVO_CALL* smGetProfileFn)(char* name, char* path);
/* Host side: makes a profile current (name and path as smGetProfile returns
   them); null name clears it. Zero when name or path does not fit, or path
   holds a ".." part or a drive. */
typedef int16_t(PAVO_CALL* smSetProfileFn)(const char* name, const char* path);

/* ---- kvtfsys ---------------------------------------------------------- */

/* buffer: PAVO_PATH_SIZE bytes. Nonzero with the user's application-data
   folder in buffer (no trailing separator). appWindow is the caller's
   application window, for any prompt the library may show. */
typedef int16_t(PAVO_CALL* fsGetAppDataPathFn)(PavoHandle appWindow, char* buffer);
/* buffer: PAVO_PATH_SIZE bytes holding a file name announced by a remote
   station; rewritten in place into a plain name that can be created in any
   folder without leaving it: no folder parts, no "..", no control characters,
   no characters file systems reject, no device names, never empty. */
typedef void(PAVO_CALL* fsUnsolvedFileNameFn)(char* buffer);
/* Host side: the folder fsGetAppDataPath reports from now on; null or empty
   returns to the platform's own (on Linux $XDG_DATA_HOME, else
   $HOME/.local/share). */
typedef void(PAVO_CALL* fsSetAppDataPathFn)(const char* folder);

/* ---- kvthelpsys ------------------------------------------------------- */

/* Opens page (an HTML file) of the help system in helpFolder; id is the first
   line of helpFolder's "Id.dat". Nonzero when the viewer was started. */
typedef int32_t(PAVO_CALL* hsShowHelpFn)(const char* id, const char* helpFolder, const char* page);
/* Optional: the title of the help viewer's window. */
typedef void(PAVO_CALL* hsSetTitleFn)(const char* title);
/* Host side: the program hsShowHelp starts with the page as its one argument;
   null returns to the desktop's opener (xdg-open on Linux), empty opens
   nothing. */
typedef void(PAVO_CALL* hsSetViewerFn)(const char* program);

/* ---- editors ---------------------------------------------------------- */

/* Runs the macro editor modally over parent on macroFile; helpPage is its
   help. reserved1 and reserved2 are 0. Nonzero when the macros were changed
   and saved. */
typedef int16_t(PAVO_CALL* esShowMacrosesEditorFn)(PavoHandle parent, const char* title, const char* macroFile,
                                                   const char* helpPage, int32_t reserved1, int32_t reserved2);
/* Host side: the dialog esShowMacrosesEditor runs from now on, for a host
   with windows. It gets context back, then the arguments of the plug-in's
   call converted for the host: title, macroFile and helpPage as UTF-8, the
   file's path with '/' separators. Its result is esShowMacrosesEditor's.
   Null dialog returns to the library's own editor: the macro list as plain
   text in the operator's text editor ($VISUAL, else $EDITOR, else vi). */
typedef int16_t(PAVO_CALL* esMacrosesEditorDialogFn)(void* context, PavoHandle parent, const char* title,
                                                    const char* macroFile, const char* helpPage);
typedef void(PAVO_CALL* esSetMacrosesEditorDialogFn)(esMacrosesEditorDialogFn dialog, void* context);

/* ---- res -------------------------------------------------------------- */

/* The resource of the given type and name ("#102"): its bytes, valid while the
   library stays loaded, with their count in *size; null when there is none. */
typedef const uint8_t*(PAVO_CALL* resFindResourceFn)(int32_t type, const char* name, uint32_t* size);

#ifdef PAVO_HOSTLIBS_BUILD
PAVO_HOSTLIB_API int32_t PAVO_CALL lbReplaceChar(char c, char* out);
PAVO_HOSTLIB_API int32_t PAVO_CALL lbReplaceIntegerChar(char c, char* out);
PAVO_HOSTLIB_API int16_t PAVO_CALL smGetProfile(char* name, char* path);
PAVO_HOSTLIB_API int16_t PAVO_CALL smSetProfile(const char* name, const char* path);
PAVO_HOSTLIB_API int16_t PAVO_CALL fsGetAppDataPath(PavoHandle appWindow, char* buffer);
PAVO_HOSTLIB_API void PAVO_CALL fsUnsolvedFileName(char* buffer);
PAVO_HOSTLIB_API void PAVO_CALL fsSetAppDataPath(const char* folder);
PAVO_HOSTLIB_API int32_t PAVO_CALL hsShowHelp(const char* id, const char* helpFolder, const char* page);
PAVO_HOSTLIB_API void PAVO_CALL hsSetTitle(const char* title);
PAVO_HOSTLIB_API void PAVO_CALL hsSetViewer(const char* program);
PAVO_HOSTLIB_API int16_t PAVO_CALL esShowMacrosesEditor(PavoHandle parent, const char* title, const char* macroFile,
                                                       const char* helpPage, int32_t reserved1, int32_t reserved2);
PAVO_HOSTLIB_API const uint8_t* PAVO_CALL resFindResource(int32_t type, const char* name, uint32_t* size);
#endif

#ifdef __cplusplus
}
#endif

#endif
