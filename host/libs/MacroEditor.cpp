#include "MacroEditor.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

#include "HostFiles.h"
#include "base/CodePage.h"
#include "ports/FileSystem.h"
#include "tx/MacroTags.h"
#include "tx/MacrosesDataModule.h"

namespace pavohost {
namespace {

std::string ListText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') out += "\\\\";
        else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') out += "\\n", ++i;
        else if (text[i] == '\n' || text[i] == '\r') out += "\\n";
        else out += text[i];
    }
    return out;
}

std::string ShellQuoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

std::vector<TMacro> ReadMacroPacketFile(const std::string& path) {
    // The path is the host's (UTF-8), not the plug-in's code page.
    const quorvel::TFileStatus status = quorvel::FileSystem().Status(path);
    if (status.Kind == quorvel::TFileKind::Missing) return {};
    if (status.Kind == quorvel::TFileKind::File && status.Size > quorvel::kMaxMacroFileBytes)
        throw std::runtime_error(path + " is larger than a macro packet may be");
    std::string error;
    const auto bytes = ReadWholeFile(path, error, quorvel::kMaxMacroFileBytes);
    if (!bytes) throw std::runtime_error(error.empty() ? "cannot read " + path : error);
    std::vector<TMacro> macros;
    try {
        for (const auto& r : quorvel::ReadMacroPacket(*bytes))
            macros.push_back({quorvel::Cp1251ToUtf8(r.Group), quorvel::Cp1251ToUtf8(r.Description),
                              quorvel::Cp1251ToUtf8(r.ShortCut), quorvel::Cp1251ToUtf8(r.Text)});
    } catch (const quorvel::EMacroPacket& e) {
        throw std::runtime_error(path + " is not a macro packet: " + e.what());
    }
    return macros;
}

std::string FormatMacroList(const std::vector<TMacro>& macros) {
    std::string out =
        "# One macro a line: PAGE | CAPTION | SHORTCUT | TEXT\n"
        "# Pages: CQ, QSO (Ru), Прочее (Ru), QSO (En), Прочее (En). \\n in TEXT is a line break.\n";
    for (const TMacro& m : macros)
        out += m.Page + " | " + m.Caption + " | " + m.Shortcut + " | " + ListText(m.Text) + "\n";
    return out;
}

std::vector<std::string> MacroTagWarnings(const std::string& text) {
    std::vector<std::string> lines;
    for (const auto& w : quorvel::LintMacroText(quorvel::Utf8ToCp1251(text)))
        lines.push_back(quorvel::Cp1251ToUtf8(w.Tag) +
                        (w.Unknown ? ": no such tag, sent as written"
                                   : ": a control tag steers only in capitals; this one is removed and does nothing"));
    return lines;
}

void WriteMacroPacketFile(const std::string& path, const std::vector<TMacro>& macros) {
    std::string error;
    const std::filesystem::path file = std::filesystem::absolute(path);
    if (!WriteFileAtomically(file, FormatMacroPacket(macros), error))
        throw std::runtime_error("cannot save " + path + ": " + error);
}

bool EditMacrosInTextEditor(const std::string& path, std::string& error) {
    try {
        const std::string before = FormatMacroList(ReadMacroPacketFile(path));
        const auto list = std::filesystem::temp_directory_path() /
                          ("pavo-macros-" + std::to_string(::getpid()) + ".txt");
        {
            std::ofstream out(list, std::ios::binary);
            out << before;
            if (!out) throw std::runtime_error("cannot write " + list.string());
        }
        const char* editor = std::getenv("VISUAL");
        if (editor == nullptr || *editor == '\0') editor = std::getenv("EDITOR");
        const std::string command = std::string(editor != nullptr && *editor != '\0' ? editor : "vi") + " " +
                                    ShellQuoted(list.string());
        const int status = std::system(command.c_str());
        std::ifstream in(list, std::ios::binary);
        std::stringstream after;
        after << in.rdbuf();
        in.close();
        std::filesystem::remove(list);
        if (status != 0) throw std::runtime_error("the editor (" + command + ") failed; nothing was saved");
        if (after.str() == before) return false;
        std::vector<TMacro> macros;
        try {
            macros = ParseMacroList(after.str());
        } catch (const TMacroListError& e) {
            throw std::runtime_error("line " + std::to_string(e.Line) + ": " + e.what() + "; nothing was saved");
        }
        WriteMacroPacketFile(path, macros);
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

}  // namespace pavohost
