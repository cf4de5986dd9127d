#pragma once
// The host's macro editor's file: the macro table a plug-in reads, written as
// a client data set XML data packet (DATAPACKET, METADATA with the four
// fields, ROWDATA with one ROW per macro).
//
// The editor imports macros from a plain list, one macro a line:
//
//   PAGE | CAPTION | SHORTCUT | TEXT
//
// PAGE is the macro page ("CQ", "QSO (Ru)", "Прочее (Ru)", "QSO (En)",
// "Прочее (En)"), SHORTCUT may be empty (F5, Ctrl+F5), TEXT is everything
// after the third bar and may hold tags such as <CALL> and <SAVEQSO>; "\n"
// in it is a line break, "\\" a backslash. Blank lines and lines starting with
// # are skipped.
#include <stdexcept>
#include <string>
#include <vector>

namespace pavohost {

struct TMacro {
    std::string Page, Caption, Shortcut, Text;  // UTF-8; line breaks in Text are CR LF
    bool operator==(const TMacro&) const = default;
};

class TMacroListError : public std::runtime_error {
public:
    TMacroListError(int line, const std::string& message) : std::runtime_error(message), Line(line) {}
    int Line;
};

// What keeps a macro out of the packet (the widths of its fields); empty
// when it fits.
std::string MacroProblem(const TMacro& macro);

// Throws TMacroListError.
std::vector<TMacro> ParseMacroList(const std::string& text);
std::string FormatMacroPacket(const std::vector<TMacro>& macros);

}  // namespace pavohost
