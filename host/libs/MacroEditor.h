#pragma once
// The host's macro editor: the macro packet a plug-in reads, shown to the
// operator as the plain macro list of MacroTable.h (one macro a line,
// PAGE | CAPTION | SHORTCUT | TEXT) and saved back as a packet.
//
// The editor that opens the list is the operator's own: $VISUAL, else
// $EDITOR, else vi. The packet changes only when the edited list is valid and
// differs; an invalid list is reported and the packet stays as it was.
#include <string>
#include <vector>

#include "MacroTable.h"

namespace pavohost {

// The macros of a packet file; none when the file does not exist. Throws
// std::runtime_error for a file that is not a macro packet.
std::vector<TMacro> ReadMacroPacketFile(const std::string& path);

// The plain list of macros, the form ParseMacroList reads back.
std::string FormatMacroList(const std::vector<TMacro>& macros);

// Saves macros as the packet at path (atomically). Throws std::runtime_error.
void WriteMacroPacketFile(const std::string& path, const std::vector<TMacro>& macros);

// What the plug-in will not act on as the macro's author meant, one line per
// tag: "<CAL>: no such tag, sent as written". The text is UTF-8.
std::vector<std::string> MacroTagWarnings(const std::string& text);

// Runs the operator's text editor on the packet's list; true when a changed,
// valid list was saved. Problems are described in error.
bool EditMacrosInTextEditor(const std::string& path, std::string& error);

}  // namespace pavohost
