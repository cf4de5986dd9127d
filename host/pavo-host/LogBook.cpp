#include "LogBook.h"

#include <deque>
#include <map>
#include <optional>

#include "HostFiles.h"
#include "HostText.h"

namespace pavohost {
namespace {

std::string ContactKey(const TAdifRecord& r) {
    return UpperAscii(r.Get("CALL")) + "|" + r.Get("QSO_DATE") + "|" + r.Get("TIME_ON");
}

// The ADI records with the international texts of their ADX twins.
std::vector<TAdifRecord> WithIntlFields(std::vector<TAdifRecord> records, const std::optional<TAdifFile>& xml) {
    if (!xml) return records;
    std::map<std::string, std::deque<const TAdifRecord*>> twins;
    for (const auto& r : xml->Records) twins[ContactKey(r)].push_back(&r);
    for (auto& r : records) {
        auto it = twins.find(ContactKey(r));
        if (it == twins.end() || it->second.empty()) continue;
        for (const auto& field : it->second.front()->Fields)
            if (IsIntlField(field.Name)) r.Set(field.Name, field.Value);
        it->second.pop_front();
    }
    return records;
}

}  // namespace

TLogBook::TLogBook(std::filesystem::path file, std::string programVersion)
    : file_(std::move(file)), programVersion_(std::move(programVersion)) {
    xmlFile_ = file_;
    xmlFile_.replace_extension(".adx");
    if (xmlFile_ == file_) xmlFile_ += ".adx";
}

bool TLogBook::Open(std::string& error) {
    open_ = false;
    records_.clear();
    RemoveStaleTemporary(file_);
    RemoveStaleTemporary(xmlFile_);
    const auto text = ReadWholeFile(file_, error);
    if (!text && !error.empty()) return false;
    if (!text && !WriteFileAtomically(file_, FormatAdifHeader(programVersion_), error)) return false;
    // The ADX only adds texts: one that cannot be read leaves the ASCII ones.
    std::string xmlError;
    const auto xml = ReadWholeFile(xmlFile_, xmlError);
    if (text) records_ = WithIntlFields(ParseAdi(*text).Records, xml ? ParseAdx(*xml) : std::nullopt);
    // A log without its twin (a new one, or one kept before there were twins) gets it now.
    if (!xml && xmlError.empty() &&
        !WriteFileAtomically(xmlFile_, FormatAdx(AdifHeader(programVersion_), records_), error))
        return false;
    open_ = true;
    return true;
}

bool TLogBook::Append(const TAdifRecord& record, std::string& error) {
    const auto existing = ReadWholeFile(file_, error);
    if (!existing && !error.empty()) return false;  // never replace a log that could not be read
    const auto existingXml = ReadWholeFile(xmlFile_, error);
    if (!existingXml && !error.empty()) return false;
    std::optional<TAdifFile> xml;
    if (existingXml) {
        xml = ParseAdx(*existingXml);
        if (!xml && !WriteFileAtomically(xmlFile_.string() + ".damaged", *existingXml, error)) return false;
    }
    std::string content = existing ? *existing : FormatAdifHeader(programVersion_);
    if (!content.empty() && content.back() != '\n') content += '\n';
    std::vector<TAdifRecord> all = WithIntlFields(ParseAdi(content).Records, xml);
    content += FormatAdifRecord(record);
    // Kept as it reads back: ASCII, and the international texts beside it.
    TAdifRecord logged = record;
    for (auto& field : logged.Fields)
        if (!IsIntlField(field.Name)) field.Value = AdifAscii(field.Value);
    all.push_back(std::move(logged));
    // The ADX first: should the ADI then fail, the next save rebuilds the ADX
    // from the ADI, so no contact is ever logged twice.
    if (!WriteFileAtomically(xmlFile_, FormatAdx(AdifHeader(programVersion_), all), error)) return false;
    if (!WriteFileAtomically(file_, content, error)) return false;
    records_ = std::move(all);
    open_ = true;
    return true;
}

const TAdifRecord* TLogBook::LastWith(const std::string& callsign) const {
    if (callsign.empty()) return nullptr;
    for (auto it = records_.rbegin(); it != records_.rend(); ++it)
        if (EqualsNoCase(it->Get("CALL"), callsign)) return &*it;
    return nullptr;
}

}  // namespace pavohost
