// pavo-host: the reference host. Loads a Pavo plug-in by path, gives it a
// session with every host interface, and plays a scripted session, headless or
// with windows.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "AlsaMixer.h"
#include "HamlibRig.h"
#include "Headless.h"
#ifdef PAVO_HOST_GUI
#include "Gui.h"
#endif
#include "Host.h"
#include "HostFiles.h"
#include "HostText.h"
#include "LinuxLibraries.h"
#include "MacroCommands.h"
#include "PluginModule.h"
#include "Script.h"
#include "modem/ModemEngine.h"

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
  --headless      run without windows (the default where there is no display)
  --gui           run with windows: the host's main window, its new-QSO window and
                  the plug-in's window (the default where there is a display); a
                  script plays at the real pace, then the windows are yours
  --screenshot FILE
                  with windows: play the script as fast as it goes, write a PNG of
                  the plug-in's window at its end and quit (draws off-screen
                  where there is no display)
  --until LINE    play the script up to line LINE only
  --fast          with windows: play the script as fast as it goes
  --rig [MODEL]   drive a real rig through Hamlib (rigctl -l lists the models);
                  without MODEL Hamlib's dummy rig (1); 2 is a rigctld, which
                  shares the rig with other programs; without --rig the rig
                  the host's settings name, the simulated rig unless set
  --rig-port PORT the rig's serial device (/dev/ttyUSB0) or, for rigctld,
                  host:port (default localhost:4532)
  --engine NAME   the modem engine the plug-in finds: "modem" (the default, the DSP
                  engine) or "loopback" (text without a signal)
  --audio live    the modem engine streams through the machine's sound cards (ALSA;
                  PulseAudio or PipeWire on a desktop) instead of the simulated band:
                  the devices the plug-in's settings choose (its audio wizard
                  lists these same devices); the session keeps to real time
  --audio list    prints the sound devices with the numbers the settings keep, and ends
  --audio-in FILE the modem engine hears this WAV file instead of the simulated band
  --audio-out FILE
                  the modem engine writes what it transmits to this WAV file
  --strict        an operator action the plug-in's window does not take fails the run
  --help          this text and the script reference
  --edit-macros PACKET [--to LIST | --from LIST]
                  the macro editor: opens the plug-in's macro file (DATA/Zentavo/
                  pavo-host/Plugins Data/Quorvel/macroses.config.xml) as a plain list
                  in $VISUAL or $EDITOR, or exports it to / imports it from LIST
                  ("-": standard output / input); one macro a line,
                  PAGE | CAPTION | SHORTCUT | TEXT
  --lint-macros PACKET
                  lists the tags of each macro the plug-in will not act on
                  (unknown tags, control tags not in capitals); exit status 1
                  when there are any
  --version       the host's version

Exit status: 0 done, 1 a session step failed, 2 bad option or script,
3 not a usable plug-in, 4 the data folder cannot be used.
)";

struct TOptions {
    std::string Plugin, Data, Script, Screenshot, AudioIn, AudioOut, Engine, Audio;
    enum class TFront { Default, Headless, Gui } Front = TFront::Default;
    int Until = 0;  // 0: the whole script
    std::optional<TRigChoice> Rig;
    std::string RigPort;
    bool Fast = false, Strict = false, Help = false, Version = false;
};

bool WindowsByDefault() {
#ifdef PAVO_HOST_GUI
    return DisplayAvailable();
#else
    return false;
#endif
}

int LineNumber(const std::string& text, const char* option) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < 1 || n > 1000000)
        throw THostError(kExitUsage, std::string(option) + " needs a line number, not \"" + text + "\"");
    return static_cast<int>(n);
}

int RigModel(const std::string& text) {
    const long n = std::strtol(text.c_str(), nullptr, 10);
    if (n < 1 || n > 9999999) throw THostError(kExitUsage, "--rig needs a Hamlib model number, not \"" + text + "\"");
    return static_cast<int>(n);
}

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
        else if (a == "--headless") o.Front = TOptions::TFront::Headless;
        else if (a == "--gui") o.Front = TOptions::TFront::Gui;
        else if (a == "--screenshot") o.Screenshot = value("--screenshot");
        else if (a == "--until") o.Until = LineNumber(value("--until"), "--until");
        else if (a == "--fast") o.Fast = true;
        else if (a == "--audio-in") o.AudioIn = value("--audio-in");
        else if (a == "--audio") o.Audio = value("--audio");
        else if (a.rfind("--audio=", 0) == 0) o.Audio = a.substr(8);
        else if (a == "--engine") o.Engine = value("--engine");
        else if (a.rfind("--engine=", 0) == 0) o.Engine = a.substr(9);
        else if (a == "--audio-out") o.AudioOut = value("--audio-out");
        else if (a == "--strict") o.Strict = true;
        else if (a == "--rig") {
            o.Rig = TRigChoice{THamlibRig::kDummyModel, {}};
            if (i + 1 < args.size() && !args[i + 1].empty() &&
                args[i + 1].find_first_not_of("0123456789") == std::string::npos)
                o.Rig->Model = RigModel(args[++i]);
        } else if (a == "--rig-port") o.RigPort = value("--rig-port");
        else if (a == "--help" || a == "-h") o.Help = true;
        else if (a == "--version") o.Version = true;
        else if (a.rfind("--", 0) == 0) throw THostError(kExitUsage, "unknown option " + a + " (see --help)");
        else if (o.Plugin.empty()) o.Plugin = a;
        else throw THostError(kExitUsage, "more than one plug-in given: " + o.Plugin + " and " + a);
    }
    if (!o.RigPort.empty()) {
        if (!o.Rig) throw THostError(kExitUsage, "--rig-port needs --rig");
        o.Rig->Port = o.RigPort;
    }
    if (!o.Audio.empty() && o.Audio != "live" && o.Audio != "list")
        throw THostError(kExitUsage, "--audio wants live or list, not \"" + o.Audio + "\"");
    if (o.Audio == "live" && (!o.AudioIn.empty() || !o.AudioOut.empty()))
        throw THostError(kExitUsage, "--audio live and the audio files (--audio-in, --audio-out) exclude each other");
    if (!o.Screenshot.empty() && o.Front == TOptions::TFront::Headless)
        throw THostError(kExitUsage, "--screenshot needs windows: leave out --headless");
    if (o.Front == TOptions::TFront::Default)
        o.Front = !o.Screenshot.empty() || WindowsByDefault() ? TOptions::TFront::Gui : TOptions::TFront::Headless;
    return o;
}

// The numbers the plug-in's settings keep: InSoundCard and OutSoundCard.
void ListSoundDevices(std::ostream& out) {
    namespace lp = quorvel::linux_platform;
    const auto devices = lp::EnumerateSoundDevices();
    const auto recording = lp::CaptureDevices(devices);
    const auto playing = lp::PlaybackDevices(devices);
    out << "recording devices (receive, InSoundCard):\n";
    for (std::size_t i = 0; i < recording.size(); ++i)
        out << "  " << i << "  " << recording[i].Name << " (" << recording[i].Pcm << ")\n";
    if (recording.empty()) out << "  none\n";
    out << "wave-output devices (transmit, OutSoundCard):\n";
    if (!playing.empty()) out << "  -1  the system default\n";
    for (std::size_t i = 0; i < playing.size(); ++i)
        out << "  " << i << "  " << playing[i].Name << " (" << playing[i].Pcm << ")\n";
    if (playing.empty()) out << "  none\n";
}

std::string ReadScript(const std::string& name) {
    std::ostringstream text;
    if (name == "-") {
        text << std::cin.rdbuf();
        return text.str();
    }
    std::string error;
    std::optional<std::string> script = ReadWholeFile(name, error);
    if (!script) throw THostError(kExitUsage, "cannot read the script " + name + (error.empty() ? "" : ": " + error));
    return *script;
}

std::string DefaultPlugin() {
    const fs::path exe = quorvel::linux_platform::TLinuxProcess().ExecutablePath();
    return (exe.parent_path() / "Quorvel.kpl").string();
}

// The plug-in finds its engine only through the registration beside it, so
// another engine means another folder: the build's modules linked into a
// folder below the data folder, with a registration naming the engine.
std::string PluginWithEngine(const std::string& plugin, const std::string& engine, const fs::path& appData) {
    static const std::pair<const char*, const char*> kEngines[] = {{"modem", "libquorvel-modem-engine.so"},
                                                                   {"loopback", "libquorvel-loopback.so"}};
    const char* module = nullptr;
    for (const auto& [name, file] : kEngines)
        if (engine == name) module = file;
    if (module == nullptr) throw THostError(kExitUsage, "--engine wants modem or loopback, not \"" + engine + "\"");
    const fs::path from = fs::absolute(plugin).parent_path();
    const fs::path folder = appData / "pavo-host-engines" / engine;
    const auto refused = [&folder](const std::string& why) {
        return THostError(kExitData, "cannot prepare the engine folder " + folder.string() + ": " + why);
    };
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw refused(ec.message());
    // What is already right is left as it is, so that a full or read-only
    // disk keeps a folder an earlier run prepared.
    for (const auto& entry : fs::directory_iterator(from, ec)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name == "modem-engines.reg") continue;
        if (name.ends_with(".so") || name.ends_with(".kpl")) {
            std::error_code linkError;
            if (fs::read_symlink(folder / name, linkError) == entry.path()) continue;
            fs::remove(folder / name, linkError);
            fs::create_symlink(entry.path(), folder / name, linkError);
            if (linkError) throw refused(linkError.message());
        }
    }
    std::string reg = std::string("# Modem engines by class id, for the plug-in in this folder.\n") +
                      quorvel::kModemEngineClassId + "=" + module + "\n";
    // Only the signal-processing engine has a spectrum for the display controls.
    if (engine == "modem")
        for (const char* control : {quorvel::kModemViewClassId, quorvel::kModemLevelClassId})
            reg += std::string(control) + "=" + module + "\n";
    std::string error;
    const fs::path regFile = folder / "modem-engines.reg";
    const std::optional<std::string> existing = ReadWholeFile(regFile, error);
    if ((!existing || *existing != reg) && !WriteFileAtomically(regFile, reg, error)) throw refused(error);
    return (folder / fs::path(plugin).filename()).string();
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

// The front end is made before the plug-in loads: the plug-in takes the
// process's desktop as it finds it.
int RunSession(const TOptions& options, const std::vector<TScriptCommand>& commands, IFrontEnd& front,
               TTranscript& transcript) {
    transcript.SetClock(&front.Clock());

    const THostFolders folders = THostFolders::For(options.Data);
    transcript.Line(std::string("pavo-host ") + PAVO_HOST_VERSION + ", " + front.Name() +
                    (options.Script.empty() ? "" : ", script " + options.Script));
    transcript.Line("data folder: " + folders.AppData.string());

    const fs::path programFolder = fs::path(quorvel::linux_platform::TLinuxProcess().ExecutablePath()).parent_path();
    THostEnvironment environment{front.WindowSystem(), front.Clock(), folders, transcript, PAVO_HOST_VERSION,
                                 programFolder};
    environment.Rig = options.Rig;
    THost host(std::move(environment));
    if (host.RigPort().Polled()) front.KeepRealPace();
    transcript.Line("host settings: " + host.Settings().File().string());
    transcript.Line("log: " + host.Log().File().string() + " (" + std::to_string(host.Log().Records().size()) +
                    " contacts)");

    std::string plugin = options.Plugin.empty() ? DefaultPlugin() : options.Plugin;
    if (!options.Engine.empty()) plugin = PluginWithEngine(plugin, options.Engine, folders.AppData);
    host.LoadPlugin(plugin);
    const PavoInfo& info = host.Plugin()->Info();
    transcript.Line("plug-in: " + plugin);
    transcript.Line("  interface version " + std::to_string(host.Plugin()->Version()) + ", flag " +
                    std::to_string(info.Flag));
    transcript.Line("  name: " + Quoted(info.Name != nullptr ? info.Name : ""));
    transcript.Line("  description: " + Quoted(info.Description != nullptr ? info.Description : ""));
    TEngineSimulation* engines = host.Engines();
    engines->SetAudioFiles(options.AudioIn, options.AudioOut);
    engines->SetSoundCards(options.Audio == "live");
    if (options.Audio == "live") {
        front.KeepRealPace();
        transcript.Line("audio: the machine's sound cards");
    }
    transcript.Line(engines->Available() ? "modem engine: " + engines->Module() + " (remote stations simulated)"
                                         : "modem engine: no simulation of remote stations: " + engines->Reason());

    const std::size_t before = host.Log().Records().size();
    const std::string folder =
        options.Script.empty() || options.Script == "-" ? "." : fs::path(options.Script).parent_path().string();
    TScriptSession session(host, front, transcript,
                             TSessionOptions{options.Script, folder.empty() ? "." : folder, options.Strict});
    front.HostReady(host);
    int status = 0;
    try {
        session.Play(commands);
        session.Settle();
        status = front.ScriptDone(host);
    } catch (const TSessionEnded&) {
        transcript.HostEvent("host", "the operator closed the host's window");
    }
    host.Shutdown();
    const std::size_t logged = host.Log().Records().size() - before;
    transcript.Line("session ended: " + std::to_string(logged) + (logged == 1 ? " contact" : " contacts") +
                    " logged to " + host.Log().File().string());
    return status;
}

int Run(int argc, char** argv, const TOptions& options, const std::vector<TScriptCommand>& commands) {
    TTranscript transcript(std::cout);
    // Live audio: the plug-in's device lists are the machine's, in the engine's order.
    std::unique_ptr<quorvel::linux_platform::TAlsaMultimedia> soundCards;
    if (options.Audio == "live") soundCards = std::make_unique<quorvel::linux_platform::TAlsaMultimedia>();
    if (options.Front == TOptions::TFront::Headless) {
        THeadlessDesktop desktop(transcript, soundCards.get());
        return RunSession(options, commands, desktop, transcript);
    }
#ifdef PAVO_HOST_GUI
    const auto front =
        MakeGuiFrontEnd(argc, argv, transcript, TGuiOptions{options.Screenshot, options.Fast, soundCards.get()});
    return RunSession(options, commands, *front, transcript);
#else
    (void)argc;
    (void)argv;
    throw THostError(kExitUsage, "this build of pavo-host has no windows (Qt 6 was not found); run it with --headless");
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = RunMacroCommand(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout,
                                            std::cerr))
        return *status;
    try {
        const TOptions options = ParseOptions(argc, argv);
        if (options.Help) {
            std::cout << kUsage << '\n' << ScriptReference();
            return 0;
        }
        if (options.Audio == "list") {
            ListSoundDevices(std::cout);
            return 0;
        }
        if (options.Version) {
            std::cout << "pavo-host " << PAVO_HOST_VERSION << " (host-interface version " << PAVO_VERSION << ")\n";
            return 0;
        }

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
        } else if (options.Front == TOptions::TFront::Gui) {
            commands = ParseScript("run\n");
        } else {
            commands = ParseScript("run\nwait 1s\nshow\nrelease\n");
        }
        if (options.Until > 0)
            std::erase_if(commands, [&](const TScriptCommand& c) { return c.Line > options.Until; });

        TOptions effective = options;
        if (!options.Data.empty()) {
            std::error_code ec;
            const fs::path data = fs::absolute(options.Data, ec);
            effective.Data = data.string();
        }
        return Run(argc, argv, effective, commands);
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
