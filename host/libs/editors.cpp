// editors: the host's macro editor. The plug-in's macro file opens as the
// plain macro list in the operator's text editor and is saved back as the
// packet the plug-in reads; the result tells the plug-in whether it changed.
#define PAVO_HOSTLIBS_BUILD
#include <cstdio>
#include <string>

#include "MacroEditor.h"
#include "base/CodePage.h"
#include "pavo/hostlibs.h"

extern "C" {

PAVO_HOSTLIB_API int16_t PAVO_CALL esShowMacrosesEditor(PavoHandle /*parent*/, const char* /*title*/,
                                                       const char* macroFile, const char* /*helpPage*/,
                                                       int32_t /*reserved1*/, int32_t /*reserved2*/) {
    if (macroFile == nullptr) return 0;
    // The plug-in's path is Windows-style below its data folder.
    std::string path = quorvel::Cp1251ToUtf8(macroFile);
    for (char& c : path)
        if (c == '\\') c = '/';
    std::string error;
    const bool changed = pavohost::EditMacrosInTextEditor(path, error);
    if (!error.empty()) std::fprintf(stderr, "macro editor: %s\n", error.c_str());
    return changed ? 1 : 0;
}
}
