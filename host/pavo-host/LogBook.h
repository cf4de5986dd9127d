#pragma once
// The host's log: an ADIF file that saved contacts are appended to.
#include <filesystem>
#include <string>
#include <vector>

#include "Adif.h"

namespace pavohost {

class TLogBook {
public:
    TLogBook(std::filesystem::path file, std::string programVersion);

    // Reads the file; a missing one is created with its header. False (and
    // the log stays closed) when it cannot be read or made.
    bool Open(std::string& error);
    bool IsOpen() const { return open_; }
    const std::vector<TAdifRecord>& Records() const { return records_; }
    const std::filesystem::path& File() const { return file_; }

    // Appends one record. The file is read again and rewritten whole through a
    // temporary file, so neither a failed write nor another program's
    // additions since Open are lost.
    bool Append(const TAdifRecord& record, std::string& error);

    // The most recent contact with the callsign, nullptr when none.
    const TAdifRecord* LastWith(const std::string& callsign) const;

private:
    std::filesystem::path file_;
    std::string programVersion_;
    bool open_ = false;
    std::vector<TAdifRecord> records_;
};

}  // namespace pavohost
