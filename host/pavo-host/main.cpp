// pavo-host: the reference host. Loads a Pavo plug-in by path, gives it a
// session with every host interface, and plays a scripted session headless.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Headless.h"
#include "Host.h"
#include "HostText.h"
#include "LinuxLibraries.h"
#include "PluginModule.h"
#include "Script.h"

#ifndef PAVO_HOST_VERSION
#define PAVO_HOST_VERSION "0"
#endif

namespace {

using namespace pavohost;
namespace fs = std::filesystem;

constexpr const char* kUsage = R"(Usage: pavo-host [options] [PLUGIN.kpl]

Loads a Pavo plug-in (Quorvel.kpl beside pavo-host by default), gives it a
session with the host's settings, log, rig and new-QSO window, and plays a
session script on a virtual clock, printing a transcript.

Options:
  --data DIR      application-data folder (default: $XDG_DATA_HOME or ~/.local/share);
                  the host keeps DIR/Zentavo/pavo-host with its settings, its ADIF
                  log and the plug-ins' data, and its libraries use DIR too
  --script FILE   the session to play ("-" reads standard input); without one the
                  host opens the plug-in's window, shows it and releases it
  --headless      run without a window (the only front end of this build)
  --gui           run with windows
  --strict        an operator action the plug-in's window does not take fails the run
  --help          this text and the script reference
  --version       the host's version

Exit status: 0 done, 1 a session step failed, 2 bad option or script,
3 not a usable plug-in, 4 the data folder cannot be used.
)";

struct TOptions {
    std::string Plugin, Data, Script;
    bool Gui = false, Strict = false, Help = false, Version = false;
};

TOptions ParseOptions(int argc, char** argv) {
    TOptions o;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* option) -> std::string {
            if (i + 1 >= args.size()) throw THostError(kExitUsage, std::string(option) + " needs a value");
            return args[++i];
        };
        if (a == "--data") o.Data = value("--data");
        else if (a == "--script") o.Script = value("--script");
        else if (a == "--headless") o.Gui = false;
        else if (a == "--gui") o.Gui = true;
        else if (a == "--strict") o.Strict = true;
        else if (a == "--help" || a == "-h") o.Help = true;
        else if (a == "--version") o.Version = true;
        else if (a.rfind("--", 0) == 0) throw THostError(kExitUsage, "unknown option " + a + " (see --help)");
        else if (o.Plugin.empty()) o.Plugin = a;
        else throw THostError(kExitUsage, "more than one plug-in given: " + o.Plugin + " and " + a);
    }
    return o;
}

std::string ReadScript(const std::string& name) {
    std::ostringstream text;
    if (name == "-") {
        text << std::cin.rdbuf();
        return text.str();
    }
    std::ifstream in(name, std::ios::binary);
    if (!in) throw THostError(kExitUsage, "cannot read the script " + name);
    text << in.rdbuf();
    return text.str();
}

std::string DefaultPlugin() {
    const fs::path exe = quorvel::linux_platform::TLinuxProcess().ExecutablePath();
    return (exe.parent_path() / "Quorvel.kpl").string();
}

std::string Quoted(const std::string& cp1251) {
    std::string out;
    for (char c : ToUtf8(cp1251)) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return "\"" + out + "\"";
}

int RunHeadless(const TOptions& options, const std::vector<TScriptCommand>& commands) {
    TTranscript transcript(std::cout);
    THeadlessDesktop desktop(transcript);  // before the plug-in loads: it takes the process's desktop
    transcript.SetClock(&desktop.Dispatcher);

    const THostFolders folders = THostFolders::For(options.Data);
    transcript.Line(std::string("pavo-host ") + PAVO_HOST_VERSION + ", headless" +
                    (options.Script.empty() ? "" : ", script " + options.Script));
    transcript.Line("data folder: " + folders.AppData.string());

    const fs::path programFolder = fs::path(quorvel::linux_platform::TLinuxProcess().ExecutablePath()).parent_path();
    THost host(THostEnvironment{desktop.Windows, desktop.Dispatcher, folders, transcript, PAVO_HOST_VERSION,
                                programFolder});
    transcript.Line("host settings: " + host.Settings().File().string());
    transcript.Line("log: " + host.Log().File().string() + " (" + std::to_string(host.Log().Records().size()) +
                    " contacts)");

    const std::string plugin = options.Plugin.empty() ? DefaultPlugin() : options.Plugin;
    host.LoadPlugin(plugin);
    const PavoInfo& info = host.Plugin()->Info();
    transcript.Line("plug-in: " + plugin);
    transcript.Line("  interface version " + std::to_string(host.Plugin()->Version()) + ", flag " +
                    std::to_string(info.Flag));
    transcript.Line("  name: " + Quoted(info.Name != nullptr ? info.Name : ""));
    transcript.Line("  description: " + Quoted(info.Description != nullptr ? info.Description : ""));
    const TEngineSimulation* engines = host.Engines();
    transcript.Line(engines->Available() ? "modem engine: " + engines->Module() + " (remote stations simulated)"
                                         : "modem engine: no simulation of remote stations: " + engines->Reason());

    const std::size_t before = host.Log().Records().size();
    const std::string folder =
        options.Script.empty() || options.Script == "-" ? "." : fs::path(options.Script).parent_path().string();
    THeadlessSession session(host, desktop, transcript,
                             TSessionOptions{options.Script, folder.empty() ? "." : folder, options.Strict});
    session.Play(commands);
    session.Settle();
    host.Shutdown();
    const std::size_t logged = host.Log().Records().size() - before;
    transcript.Line("session ended: " + std::to_string(logged) + (logged == 1 ? " contact" : " contacts") +
                    " logged to " + host.Log().File().string());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const TOptions options = ParseOptions(argc, argv);
        if (options.Help) {
            std::cout << kUsage << '\n' << ScriptReference();
            return 0;
        }
        if (options.Version) {
            std::cout << "pavo-host " << PAVO_HOST_VERSION << " (host-interface version " << PAVO_VERSION << ")\n";
            return 0;
        }
        if (options.Gui) throw THostError(kExitUsage, "this build of pavo-host has no GUI; run it with --headless");

        std::vector<TScriptCommand> commands;
        if (!options.Script.empty()) {
            const std::string text = ReadScript(options.Script);
            try {
                commands = ParseScript(text);
            } catch (const TScriptError& e) {
                std::cerr << "pavo-host: " << options.Script << ":" << e.Line << ":" << e.Column << ": " << e.what()
                          << '\n';
                return kExitUsage;
            }
        } else {
            commands = ParseScript("run\nwait 1s\nshow\nrelease\n");
        }

        TOptions effective = options;
        if (!options.Data.empty()) {
            std::error_code ec;
            const fs::path data = fs::absolute(options.Data, ec);
            effective.Data = data.string();
        }
        return RunHeadless(effective, commands);
    } catch (const THostError& e) {
        std::cout.flush();
        std::cerr << "pavo-host: " << e.what() << '\n';
        return e.ExitCode();
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "pavo-host: " << e.what() << '\n';
        return kExitSessionFailed;
    }
}
