/*
 * The modem-engine module: a shared library that gives the plug-in its modem
 * engine, found the way a COM class is found by its class id.
 *
 * Registration. The plug-in reads "modem-engines.reg" in its own folder:
 *
 *     # comment
 *     {9C0D49DD-5C05-456D-916B-98C4CF63172F}=libquorvel-loopback.so
 *
 * One "class id = module" per line; blanks around both sides are ignored,
 * the class id is compared without regard to case, lines without "=" and
 * lines starting with "#" are skipped, a later line for the same class id
 * wins. A relative module path is relative to the file's folder. The modem
 * engine's class id is {9C0D49DD-5C05-456D-916B-98C4CF63172F}.
 *
 * Entry points. A module exports, with C linkage and default visibility:
 *
 *     std::int32_t QuorvelModemEngineVersion(void);
 *         QUORVEL_MODEM_ENGINE_VERSION of the header it was built with.
 *     quorvel::TModemEngine* QuorvelCreateModemEngine(quorvel::IDispatcher*);
 *         a new engine (the plug-in deletes it) raising its events on the
 *         given dispatcher's thread, or null (also for a null dispatcher).
 *
 * The engine is the C++ interface TModemEngine of src/modem/ModemEngine.h,
 * with its events IModemEngineEvents; the dispatcher is IDispatcher of
 * src/ports/Dispatcher.h. Module and plug-in must be built with the same
 * compiler and standard library. The plug-in checks the version before it
 * creates an engine: a module without the version export, or of another
 * version, is refused (the window tells the operator which module and which
 * versions, and works without a modem). The version goes up whenever
 * TModemEngine, IModemEngineEvents or IDispatcher change.
 *
 * A module adds the version export with one line in one of its sources:
 *
 *     #include "pavo/modem-engine.h"
 *     QUORVEL_MODEM_ENGINE_EXPORT_VERSION()
 */
#ifndef PAVO_MODEM_ENGINE_H
#define PAVO_MODEM_ENGINE_H

#define QUORVEL_MODEM_ENGINE_VERSION 1

#define QUORVEL_MODEM_ENGINE_REGISTRATION_FILE "modem-engines.reg"
#define QUORVEL_MODEM_ENGINE_VERSION_SYMBOL "QuorvelModemEngineVersion"
#define QUORVEL_MODEM_ENGINE_CREATE_SYMBOL "QuorvelCreateModemEngine"

#ifdef __cplusplus
#include <cstdint>

namespace quorvel {
class TModemEngine;
class IDispatcher;
}  // namespace quorvel

using QuorvelModemEngineVersionFn = std::int32_t (*)();
using QuorvelCreateModemEngineFn = quorvel::TModemEngine* (*)(quorvel::IDispatcher*);

#define QUORVEL_MODEM_ENGINE_EXPORT_VERSION()                                                              \
    extern "C" __attribute__((visibility("default"))) std::int32_t QuorvelModemEngineVersion() {          \
        return QUORVEL_MODEM_ENGINE_VERSION;                                                              \
    }
#endif /* __cplusplus */

#endif /* PAVO_MODEM_ENGINE_H */
