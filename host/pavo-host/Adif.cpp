#include "Adif.h"

#include <array>
#include <charconv>
#include <initializer_list>

#include "HostText.h"

namespace pavohost {
namespace {

struct TBand {
    const char* Name;
    std::int64_t Low, High;  // Hz, inclusive
    const char* LowMHz;
};

constexpr std::array<TBand, 32> kBands = {{
    {"2190m", 135700, 137800, "0.1357"},
    {"630m", 472000, 479000, "0.472"},
    {"560m", 501000, 504000, "0.501"},
    {"160m", 1800000, 2000000, "1.8"},
    {"80m", 3500000, 4000000, "3.5"},
    {"60m", 5060000, 5450000, "5.06"},
    {"40m", 7000000, 7300000, "7"},
    {"30m", 10100000, 10150000, "10.1"},
    {"20m", 14000000, 14350000, "14"},
    {"17m", 18068000, 18168000, "18.068"},
    {"15m", 21000000, 21450000, "21"},
    {"12m", 24890000, 24990000, "24.89"},
    {"10m", 28000000, 29700000, "28"},
    {"8m", 40000000, 45000000, "40"},
    {"6m", 50000000, 54000000, "50"},
    {"5m", 54000001, 69900000, "54"},
    {"4m", 70000000, 71000000, "70"},
    {"2m", 144000000, 148000000, "144"},
    {"1.25m", 222000000, 225000000, "222"},
    {"70cm", 420000000, 450000000, "420"},
    {"33cm", 902000000, 928000000, "902"},
    {"23cm", 1240000000, 1300000000, "1240"},
    {"13cm", 2300000000, 2450000000, "2300"},
    {"9cm", 3300000000, 3500000000, "3300"},
    {"6cm", 5650000000, 5925000000, "5650"},
    {"3cm", 10000000000, 10500000000, "10000"},
    {"1.25cm", 24000000000, 24250000000, "24000"},
    {"6mm", 47000000000, 47200000000, "47000"},
    {"4mm", 75500000000, 81000000000, "75500"},
    {"2.5mm", 119980000000, 123000000000, "119980"},
    {"2mm", 134000000000, 149000000000, "134000"},
    {"1mm", 241000000000, 250000000000, "241000"},
}};

bool IsDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// Family prefix followed by a whole speed, e.g. ("BPSK", "31") from "BPSK31".
bool SplitSpeed(std::string_view name, std::string_view prefix, std::string_view& speed) {
    if (name.substr(0, prefix.size()) != prefix) return false;
    speed = name.substr(prefix.size());
    return IsDigits(speed);
}

}  // namespace

std::string TAdifRecord::Get(std::string_view name) const {
    for (const auto& field : Fields)
        if (EqualsNoCase(field.Name, name)) return field.Value;
    return {};
}

void TAdifRecord::Set(std::string_view name, std::string value) {
    for (auto it = Fields.begin(); it != Fields.end(); ++it)
        if (EqualsNoCase(it->Name, name)) {
            if (value.empty())
                Fields.erase(it);
            else
                it->Value = std::move(value);
            return;
        }
    if (!value.empty()) Fields.push_back({UpperAscii(name), std::move(value)});
}

TAdifFile ParseAdi(std::string_view text) {
    TAdifFile file;
    // A file that does not open with a tag has a header (free text, then fields, then <EOH>).
    const auto firstNonSpace = text.find_first_not_of(" \t\r\n");
    const bool expectHeader = firstNonSpace != std::string_view::npos && text[firstNonSpace] != '<';
    bool inHeader = expectHeader;
    TAdifRecord current;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto open = text.find('<', i);
        if (open == std::string_view::npos) break;
        const auto close = text.find('>', open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view tag = text.substr(open + 1, close - open - 1);
        i = close + 1;
        const auto parts = Split(tag, ':');
        const std::string name = UpperAscii(Trim(parts[0]));
        if (name.empty()) continue;
        if (name == "EOH") {
            if (inHeader) {
                file.HasHeader = true;
                file.Header = std::move(current.Fields);
                current = {};
                inHeader = false;
            }
            continue;
        }
        if (name == "EOR") {
            if (!inHeader && !current.Fields.empty()) file.Records.push_back(std::move(current));
            current = {};
            continue;
        }
        if (parts.size() < 2) continue;  // a field without a length carries no data
        std::size_t length = 0;
        const std::string lengthText = Trim(parts[1]);
        const auto [end, ec] = std::from_chars(lengthText.data(), lengthText.data() + lengthText.size(), length);
        if (ec != std::errc() || end != lengthText.data() + lengthText.size()) continue;
        const std::size_t available = text.size() - i;
        const std::size_t take = length < available ? length : available;
        current.Fields.push_back({name, std::string(text.substr(i, take))});
        i += take;
    }
    if (!inHeader && !current.Fields.empty()) file.Records.push_back(std::move(current));
    return file;
}

std::string FormatAdifField(std::string_view name, std::string_view value) {
    return "<" + UpperAscii(name) + ":" + std::to_string(value.size()) + ">" + std::string(value);
}

std::string FormatAdifRecord(const TAdifRecord& record) {
    std::string out;
    for (const auto& field : record.Fields) {
        if (field.Value.empty()) continue;
        out += FormatAdifField(field.Name, field.Value);
        out += ' ';
    }
    out += "<EOR>\n";
    return out;
}

std::string FormatAdifHeader(std::string_view programVersion) {
    std::string out = "Log of the pavo-host reference host\n";
    out += FormatAdifField("ADIF_VER", "3.1.4") + "\n";
    out += FormatAdifField("PROGRAMID", "pavo-host") + "\n";
    out += FormatAdifField("PROGRAMVERSION", programVersion) + "\n";
    out += "<EOH>\n";
    return out;
}

TAdifMode AdifModeFor(std::string_view modeName) {
    const std::string name = UpperAscii(Trim(modeName));
    if (name.empty()) return {};
    const std::string note = "mode " + std::string(Trim(modeName));
    std::string_view speed;
    auto in = [&speed](std::initializer_list<std::string_view> list) {
        for (std::string_view s : list)
            if (s == speed) return true;
        return false;
    };
    if (SplitSpeed(name, "BPSK", speed) || SplitSpeed(name, "PSK", speed)) {
        if (in({"31", "63", "125", "250", "500"})) return {"PSK", "PSK" + std::string(speed), ""};
        return {"PSK", "", note};
    }
    if (SplitSpeed(name, "QPSK", speed)) {
        if (in({"31", "63", "125", "250", "500"})) return {"PSK", name, ""};
        return {"PSK", "", note};
    }
    if (SplitSpeed(name, "MFSK", speed)) {
        // The engine's MFSK has 16 tones; on the air it is named by its tone spacing.
        if (in({"8", "16"})) return {"MFSK", name, ""};
        if (speed == "31") return {"MFSK", "MFSK32", ""};
        if (speed == "63") return {"MFSK", "MFSK64", ""};
        if (speed == "125") return {"MFSK", "MFSK128", ""};
        return {"MFSK", "", note};
    }
    if (name == "RTTY" || SplitSpeed(name, "RTTY", speed)) return {"RTTY", "", ""};
    if (name == "BPSK" || name == "QPSK") return {"PSK", "", note};
    for (std::string_view adif : {"AM", "CW", "FM", "SSB", "PSK", "MFSK", "OLIVIA", "CONTESTI", "HELL", "MT63", "THOR",
                                  "DOMINO", "FT8", "JT65", "JT9", "SSTV", "PKT", "PAC", "MSK144", "WSPR"})
        if (name == adif) return {name, "", ""};
    return {"", "", note};
}

std::string AdifBand(std::int64_t hz) {
    for (const auto& band : kBands)
        if (hz >= band.Low && hz <= band.High) return band.Name;
    return {};
}

std::string AdifBandMHz(std::string_view band) {
    for (const auto& b : kBands)
        if (EqualsNoCase(band, b.Name)) return b.LowMHz;
    return {};
}

std::string AdifFrequency(std::int64_t hz) {
    if (hz <= 0) return {};
    std::string fraction = std::to_string(hz % 1000000);
    fraction.insert(0, 6 - fraction.size(), '0');
    while (fraction.size() > 3 && fraction.back() == '0') fraction.pop_back();
    return std::to_string(hz / 1000000) + "." + fraction;
}

}  // namespace pavohost
