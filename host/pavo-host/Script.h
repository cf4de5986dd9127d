#pragma once
// The session script: one command a line, words separated by blanks,
// "quoted text" with \" \\ \r \n \t escapes, # starts a comment. The whole
// script is read and checked before anything runs, so a mistake is reported
// with its line and column and nothing happens.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace pavohost {

struct TScriptWord {
    std::string Text;  // UTF-8, escapes resolved
    bool Quoted = false;
    int Column = 0;  // 1-based, in characters
};

struct TScriptCommand {
    int Line = 0;
    std::string Name;                // the command word
    std::vector<TScriptWord> Args;   // everything after it
    std::int64_t Number = 0;         // a checked number argument (channel, ms, Hz ...)
    std::int64_t Number2 = 0;
    double Real = 0.0;
};

// The text with what a terminal would act on (control bytes, bytes that are
// not UTF-8) written as \xNN, so an error can quote the script safely.
std::string EscapeForTerminal(const std::string& text);

// Byte offset of the first byte that is not valid UTF-8 or is a NUL; npos when none.
std::size_t FirstInvalidUtf8(const std::string& text);

class TScriptError : public std::runtime_error {
public:
    TScriptError(int line, int column, const std::string& message)
        : std::runtime_error(EscapeForTerminal(message)), Line(line), Column(column) {}
    int Line, Column;
};

// Throws TScriptError for the first mistake.
std::vector<TScriptCommand> ParseScript(const std::string& text);

// "250ms", "2s", "1.5s", "2m" -> milliseconds; -1 when not a duration.
std::int64_t ParseDuration(const std::string& text);

// The command reference, as --help prints it.
const char* ScriptReference();

}  // namespace pavohost
