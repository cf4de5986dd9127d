#include "MacroCommands.h"

#include <filesystem>
#include <iostream>
#include <sstream>

#include "HostFiles.h"
#include "MacroEditor.h"

namespace pavohost {
namespace {

constexpr int kDone = 0, kFound = 1, kUsage = 2, kFailed = 4;

int Lint(const std::string& packet, std::ostream& out) {
    const auto macros = ReadMacroPacketFile(packet);
    int found = 0;
    for (std::size_t i = 0; i < macros.size(); ++i) {
        for (const std::string& warning : MacroTagWarnings(macros[i].Text)) {
            out << packet << ": macro " << i + 1 << " \"" << macros[i].Caption << "\": " << warning << '\n';
            ++found;
        }
    }
    return found > 0 ? kFound : kDone;
}

}  // namespace

std::optional<int> RunMacroCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                                   std::ostream& err) {
    if (args.empty() || (args[0] != "--edit-macros" && args[0] != "--lint-macros")) return std::nullopt;
    const auto usage = [&err](const std::string& message) {
        err << "pavo-host: " << message << '\n';
        return kUsage;
    };
    if (args.size() < 2) return usage(args[0] + " needs a macro packet file");
    const std::string& packet = args[1];
    try {
        if (args[0] == "--lint-macros") {
            if (args.size() != 2) return usage("--lint-macros takes one packet file");
            return Lint(packet, out);
        }
        if (args.size() == 2) {
            std::string error;
            const bool changed = EditMacrosInTextEditor(packet, error);
            if (!error.empty()) {
                err << "pavo-host: " << error << '\n';
                return kFailed;
            }
            out << (changed ? "saved " + packet : std::string("no change")) << '\n';
            return kDone;
        }
        if (args.size() != 4 || (args[2] != "--to" && args[2] != "--from"))
            return usage("--edit-macros PACKET takes --to LIST or --from LIST");
        const std::string& list = args[3];
        if (args[2] == "--to") {
            const std::string text = FormatMacroList(ReadMacroPacketFile(packet));
            if (list == "-") {
                out << text;
                return kDone;
            }
            std::string error;
            if (!WriteFileAtomically(std::filesystem::absolute(list), text, error)) throw std::runtime_error("cannot write " + list + ": " + error);
            return kDone;
        }
        std::string text;
        if (list == "-") {
            char chunk[4096];
            while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
                text.append(chunk, static_cast<std::size_t>(in.gcount()));
        } else {
            std::string error;
            const auto read = ReadWholeFile(list, error);
            if (!read) throw std::runtime_error("cannot read " + list + (error.empty() ? "" : ": " + error));
            text = *read;
        }
        std::vector<TMacro> macros;
        try {
            macros = ParseMacroList(text);
        } catch (const TMacroListError& e) {
            err << "pavo-host: " << list << ":" << e.Line << ": " << e.what() << '\n';
            return kUsage;
        }
        WriteMacroPacketFile(packet, macros);
        out << "saved " << macros.size() << " macros to " << packet << '\n';
        return kDone;
    } catch (const std::exception& e) {
        err << "pavo-host: " << e.what() << '\n';
        return kFailed;
    }
}

}  // namespace pavohost
