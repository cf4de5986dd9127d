// editors: the host's macro editor. This host has no editor of its own yet;
// the entry point is there so plug-ins find it, and it reports that nothing
// was changed.
#define PAVO_HOSTLIBS_BUILD
#include "pavo/hostlibs.h"

extern "C" {

PAVO_HOSTLIB_API int16_t PAVO_CALL esShowMacrosesEditor(PavoHandle /*parent*/, const char* /*title*/,
                                                       const char* /*macroFile*/, const char* /*helpPage*/,
                                                       int32_t /*reserved1*/, int32_t /*reserved2*/) {
    return 0;
}
}
