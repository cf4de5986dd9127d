// editors: the host's macro editor. A host with windows gives its own dialog
// (esSetMacrosesEditorDialog), which this library calls with the plug-in's
// arguments; otherwise the plug-in's macro file opens as the plain macro list
// in the operator's text editor and is saved back as the packet the plug-in
// reads. The result tells the plug-in whether it changed.
//
// The dialog is the host's so that this library never brings a window
// toolkit into a process without windows.
#define PAVO_HOSTLIBS_BUILD
#include <cstdio>
#include <string>

#include "MacroEditor.h"
#include "base/CodePage.h"
#include "pavo/hostlibs.h"

namespace {

// What the host set lasts while the library stays loaded; the host keeps it
// loaded for that.
esMacrosesEditorDialogFn hostDialog = nullptr;
void* hostDialogContext = nullptr;

std::string Utf8(const char* cp1251) { return cp1251 != nullptr ? quorvel::Cp1251ToUtf8(cp1251) : std::string(); }

}  // namespace

extern "C" {

PAVO_HOSTLIB_API void PAVO_CALL esSetMacrosesEditorDialog(esMacrosesEditorDialogFn dialog, void* context) {
    hostDialog = dialog;
    hostDialogContext = dialog != nullptr ? context : nullptr;
}

PAVO_HOSTLIB_API int16_t PAVO_CALL esShowMacrosesEditor(PavoHandle parent, const char* title,
                                                       const char* macroFile, const char* helpPage,
                                                       int32_t /*reserved1*/, int32_t /*reserved2*/) {
    if (macroFile == nullptr) return 0;
    // The plug-in's path is Windows-style below its data folder.
    std::string path = Utf8(macroFile);
    for (char& c : path)
        if (c == '\\') c = '/';
    if (hostDialog != nullptr)
        return hostDialog(hostDialogContext, parent, Utf8(title).c_str(), path.c_str(), Utf8(helpPage).c_str()) != 0
                   ? 1
                   : 0;
    std::string error;
    const bool changed = pavohost::EditMacrosInTextEditor(path, error);
    if (!error.empty()) std::fprintf(stderr, "macro editor: %s\n", error.c_str());
    return changed ? 1 : 0;
}
}
