#pragma once
// The pieces of macro tag expansion that need no window: replacing one tag,
// the greeting for a time of day, and the time of day itself.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The runtime's conversion error ("'%s' is not a valid time").
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every occurrence of tag, in any letter case, replaced by value, or by
// emptyValue when value is empty.
void ReplaceTag(std::string_view tag, std::string_view value, std::string_view emptyValue, std::string& text);

// "GM" for hours 4 to 12, "GA" for 13 to 17, "GE" otherwise (the evening from
// 18:00 and the night to 03:59); empty for an empty text. Throws
// EConvertError when the text is not a time of day (H:mm or H:mm:ss).
std::string GreetingFor(std::string_view time);

// Seconds since midnight as the long time text, H:mm:ss.
std::string LongTimeText(int secondsOfDay);
// The local time of day, seconds since midnight.
int LocalSecondsOfDay();

// The tags the expander knows, as written in upper case; the last three are
// the control tags.
inline constexpr std::string_view kMacroTags[] = {
    "<CALL>",  "<RSTT>",    "<RSTR>",     "<NAME>",    "<NAMEX>",   "<QTH>",    "<DISTANCE>", "<QSOTIME>",
    "<MODE>",  "<QSLVIA>",  "<GREETINGX>", "<GREETING>", "<FREQ>",   "<SN>",     "<HOMETIME>", "<APPNAME>",
    "<LASTQSO>", "<MYCALL>", "<MYNAME>",  "<MYQTH>",   "<MYGRID>",  "<MYSTATE>", "<MYRIG>",   "<MYPWR>",
    "<MYIOTA>", "<MYCQ>",   "<MYITU>",    "<SAVEQSO>", "<TX>",      "<RX>"};
inline constexpr std::size_t kMacroControlTags = 3;

// What a macro text uses that the expander will not act on as meant.
struct TMacroTagWarning {
    std::string Tag;    // as written
    bool Unknown;       // no such tag (else: a control tag not in upper case)
};
std::vector<TMacroTagWarning> LintMacroText(std::string_view text);

}  // namespace quorvel
