#include "HostInterfaces.h"

#include <algorithm>
#include <cstdio>

#include "Adif.h"
#include "HostText.h"
#include "Locator.h"

namespace pavohost {
namespace {

std::string FrequencyText(std::int64_t hz) {
    if (hz <= 0) return "unknown";
    return AdifFrequency(hz) + " MHz";
}

std::string Quoted(const std::string& utf8) { return "\"" + utf8 + "\""; }

// Letters and digits with at least one of each, and "/" between parts.
bool PlausibleCallsign(const std::string& call) {
    if (call.size() < 3) return false;
    bool letter = false, digit = false;
    for (char c : call) {
        if (c >= 'A' && c <= 'Z') letter = true;
        else if (c >= '0' && c <= '9') digit = true;
        else if (c != '/') return false;
    }
    return letter && digit && call.front() != '/' && call.back() != '/';
}

}  // namespace

// ---- controls and windows ----

THostControl::THostControl(std::string label, bool runsHandlerOnSetText)
    : label_(std::move(label)), runsHandlerOnSetText_(runsHandlerOnSetText) {}

std::int32_t THostControl::GetText(char* buffer, std::int32_t size) { return CopyOut(ToCp1251(text_), buffer, size); }

void THostControl::SetText(const char* text) {
    text_ = ToUtf8(text != nullptr ? text : "");
    if (runsHandlerOnSetText_ && OnChange) OnChange();
}

std::int32_t THostControl::FireChange() {
    if (!OnChange) return 0;
    OnChange();
    return 1;
}

void THostControl::Assign(const std::string& utf8) {
    text_ = utf8;
    if (OnChange) OnChange();
}

void THostWindowObject::BringToFront() {
    windows_.SetVisible(handle_, true);
    windows_.SetActiveWindow(handle_);
    events_.HostEvent("host", name_ + " brought to the front");
}

std::int32_t THostApplicationObject::Title(char* buffer, std::int32_t size) {
    return CopyOut(ToCp1251(title_), buffer, size);
}

std::int32_t THostApplication::VersionText(char* buffer, std::int32_t size) {
    return CopyOut(version_, buffer, size);
}

// ---- configuration ----

std::int32_t THostConfig::Out(const char* property, char* buffer, std::int32_t size) {
    return CopyOut(ToCp1251(settings_.Get(property)), buffer, size);
}

std::int32_t THostConfig::PluginsDataFolder(char* buffer, std::int32_t size) {
    return Out("PluginsDataPath", buffer, size);
}

std::int32_t THostConfig::ToolbarStyle() { return settings_.GetInt("ToolbarStyle", 0); }

// ---- transceiver ----

THostTransceiver::THostTransceiver(quorvel::IWindowSystem& windows, IHostEvents& events, IRigPort& rig)
    : windows_(windows), events_(events), port_(&rig) {
    rig_ = rig.Known();
    heard_ = rig_.Connected;
    toldDial_ = rig_.DialHz;
    toldUpper_ = rig_.Upper;
    toldConnected_ = rig_.Connected;
    port_->OnStatus = [this](const TRigStatus& s) { RigReported(s); };
}

THostTransceiver::~THostTransceiver() { port_->OnStatus = nullptr; }

void THostTransceiver::UseRig(IRigPort& rig) {
    port_->OnStatus = nullptr;
    port_ = &rig;
    port_->OnStatus = [this](const TRigStatus& s) { RigReported(s); };
    events_.HostEvent("rig", "now " + rig.Description());
    toldConnected_ = false;  // the new rig's first answer is news
    RigReported(rig.Known());
    heard_ = false;
    if (ptt_) port_->SetPtt(true);
}

std::int32_t THostTransceiver::DialForPlugins() const {
    constexpr std::int64_t kLargest = 2147483647;
    return rig_.DialHz > 0 && rig_.DialHz <= kLargest ? static_cast<std::int32_t>(rig_.DialHz) : 0;
}

std::int32_t THostTransceiver::Frequency() {
    if (!rig_.Connected) return 0;
    return workingFrequency_ != 0 ? workingFrequency_ : DialForPlugins();
}

std::int64_t THostTransceiver::LogFrequency() const {
    return workingFrequency_ > 0 ? workingFrequency_ : rig_.DialHz;
}

void THostTransceiver::SwitchToTransmit() {
    if (ptt_) return;
    ptt_ = true;
    events_.HostEvent("rig", "PTT on, transmitting");
    port_->SetPtt(true);
}

void THostTransceiver::SwitchToReceive() {
    if (!ptt_) return;
    ptt_ = false;
    port_->SetPtt(false);
    events_.HostEvent("rig", "PTT off, receiving");
    if (OnReceive) OnReceive();
}

void THostTransceiver::TuneTo(std::int32_t hz) {
    if (!rig_.Connected) {
        events_.HostEvent("rig", "tune to " + FrequencyText(hz) + " ignored: the rig is off");
        return;
    }
    events_.HostEvent("rig", "tuned by the plug-in to " + FrequencyText(hz));
    toldDial_ = hz;
    port_->SetFrequency(hz);
}

void THostTransceiver::RegisterWindow(PavoHandle window) {
    if (std::find(registered_.begin(), registered_.end(), window) == registered_.end()) registered_.push_back(window);
    events_.HostEvent("rig", "window " + Hex(window) + " registered for rig messages");
    // The dial as it is now, so the window starts from it.
    if (rig_.Connected) TellOne(window, PAVO_MSG_TRX_FREQUENCY, DialForPlugins());
}

void THostTransceiver::UnregisterWindow(PavoHandle window) {
    std::erase(registered_, window);
    events_.HostEvent("rig", "window " + Hex(window) + " unregistered");
}

void THostTransceiver::SetWorkingFrequency(std::int32_t hz) {
    workingFrequency_ = hz;
    events_.HostEvent("rig", "working frequency set to " + FrequencyText(hz));
}

void THostTransceiver::SetPluginAttached(std::int32_t attached) {
    events_.HostEvent("rig", attached != 0 ? "plug-in attached" : "plug-in detached");
}

void THostTransceiver::TellOne(PavoHandle window, std::uint32_t message, std::intptr_t lParam) {
    // Posted: the plug-in hears of it after the current event, as from a CAT poll.
    windows_.PostMessage(window, message, 0, lParam);
}

void THostTransceiver::Tell(std::uint32_t message, std::intptr_t lParam) {
    for (PavoHandle window : registered_) TellOne(window, message, lParam);
}

void THostTransceiver::RigReported(const TRigStatus& status) {
    const TRigStatus before = rig_;
    rig_ = status;
    if (!status.Connected) {
        // A rig that stopped answering leaves its last dial known, for the log.
        if (status.DialHz == 0) {
            rig_.DialHz = before.DialHz;
            rig_.Upper = before.Upper;
        }
        const bool first = !heard_;
        heard_ = true;
        if (!before.Connected) {
            // A rig that is not there at all is news once.
            if (first) events_.HostEvent("rig", port_->Description() + " does not answer (" + status.Error + "); trying again");
            return;
        }
        if (toldConnected_) events_.HostEvent("rig", "the rig does not answer (" + status.Error + "); trying again");
        toldConnected_ = false;
        Tell(PAVO_MSG_TRX_GONE, 0);
        return;
    }
    heard_ = true;
    if (!before.Connected) {
        if (!toldConnected_)
            events_.HostEvent("rig", port_->Description() + " answers: dial " + FrequencyText(status.DialHz) + ", " +
                                         (status.Mode.empty() ? std::string("mode unknown") : status.Mode));
        toldConnected_ = true;
        toldDial_ = status.DialHz;
        toldUpper_ = status.Upper;
        if (status.DialHz != before.DialHz) workingFrequency_ = 0;
        Tell(PAVO_MSG_TRX_FREQUENCY, DialForPlugins());
        return;
    }
    if (status.DialHz != before.DialHz) {
        if (status.DialHz != toldDial_) events_.HostEvent("rig", "dial moved on the rig to " + FrequencyText(status.DialHz));
        toldDial_ = status.DialHz;
        // The plug-in sets the working frequency again from the new dial.
        workingFrequency_ = 0;
        Tell(PAVO_MSG_TRX_FREQUENCY, DialForPlugins());
    }
    if (status.Upper != before.Upper) {
        if (status.Upper != toldUpper_)
            events_.HostEvent("rig", "mode " + status.Mode + " on the rig: " + (status.Upper ? "upper" : "lower") + " sideband");
        toldUpper_ = status.Upper;
        Tell(PAVO_MSG_TRX_1161, status.Upper ? 1 : 0);
        // Plug-ins read the sideband when the dial is reported: it is reported
        // again, and the working frequency from the other sideband is stale.
        if (status.DialHz == before.DialHz) {
            workingFrequency_ = 0;
            Tell(PAVO_MSG_TRX_FREQUENCY, DialForPlugins());
        }
    }
}

void THostTransceiver::Dial(std::int64_t hz) {
    events_.HostEvent("rig", "dial set to " + FrequencyText(hz));
    toldDial_ = hz;
    port_->SetFrequency(hz);
}

void THostTransceiver::SetUpperSideband(bool upper) {
    events_.HostEvent("rig", upper ? "upper sideband" : "lower sideband");
    toldUpper_ = upper;
    port_->SetUpperSideband(upper);
}

void THostTransceiver::PowerOff() {
    if (!rig_.Connected) return;
    ptt_ = false;
    events_.HostEvent("rig", "rig off");
    toldConnected_ = false;
    port_->SetPower(false);
}

void THostTransceiver::PowerOn() {
    if (rig_.Connected) return;
    events_.HostEvent("rig", "rig on at " + FrequencyText(rig_.DialHz));
    toldConnected_ = true;
    port_->SetPower(true);
}

// ---- log ----

std::int32_t THostLog::FieldText(const char* field, char* buffer, std::int32_t size) {
    std::string value;
    if (field != nullptr && book_.IsOpen() && !book_.Records().empty()) {
        const TAdifRecord& last = book_.Records().back();
        const std::string name = ToUtf8(field);
        if (name == "Дата") {
            TCivilTime t;
            const std::string date = last.Get("QSO_DATE");
            if (date.size() == 8 &&
                ParseCivil(date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2), "00:00", t))
                value = DottedDate(t);
        } else if (name == "Диапазон") {
            value = AdifBandMHz(last.Get("BAND"));
        } else if (name == "Вид") {
            value = last.Get("SUBMODE").empty() ? last.Get("MODE") : last.Get("SUBMODE");
        }
    }
    return CopyOut(ToCp1251(value), buffer, size);
}

// ---- new-QSO window ----

TNewQsoWindow::TNewQsoWindow(TDeps deps)
    : deps_(std::move(deps)), window_(deps_.Windows, deps_.Handle, "new-QSO window", deps_.Events) {
    Callsign.OnChange = [this] { CallsignChanged(); };
    Mode.OnChange = [this] { ModeChanged(); };
    RstSent.Assign("599");
    RstReceived.Assign("599");
}

std::vector<THostControl*> TNewQsoWindow::Controls() {
    return {&Callsign, &RstSent, &RstReceived, &Name, &Qth, &Locator, &QslVia, &Email, &Comment, &Mode, &QsoTime};
}

THostControl* TNewQsoWindow::ControlByLabel(const std::string& label) {
    for (THostControl* c : Controls())
        if (c->Label() == label) return c;
    return nullptr;
}

void TNewQsoWindow::CallsignChanged() {
    const std::string call = UpperAscii(Trim(Callsign.Text()));
    if (!call.empty() && startSeconds_ < 0) {
        // The contact begins when its callsign is first entered.
        startSeconds_ = deps_.Clock.UtcSeconds();
        QsoTime.Assign(ClockTime(CivilFromSeconds(startSeconds_)));
    }
    // Worked before on this band: the callsign shows in red.
    const std::string band = AdifBand(deps_.Transceiver.LogFrequency());
    bool dupe = false;
    if (!call.empty())
        for (const auto& r : deps_.Log.Records())
            if (EqualsNoCase(r.Get("CALL"), call) && EqualsNoCase(r.Get("BAND"), band)) dupe = true;
    Callsign.SetColors(dupe ? 0x0000FF : 0x000000, 0xFFFFFF);
}

void TNewQsoWindow::ModeChanged() {
    const TAdifMode m = AdifModeFor(Mode.Text());
    deps_.Events.HostEvent("new-QSO", "mode " + Quoted(Mode.Text()) +
                                          (m.Mode.empty() ? " has no ADIF mode: logged in NOTES"
                                                          : " logs as MODE " + m.Mode +
                                                                (m.Submode.empty() ? "" : ", SUBMODE " + m.Submode)));
}

void TNewQsoWindow::SetAward(const std::string& award, const std::string& value) {
    awards_[award] = value;
    deps_.Events.HostEvent("new-QSO", "award " + award + " = " + Quoted(value));
}

TAdifRecord TNewQsoWindow::Record() const {
    TAdifRecord r;
    const std::int64_t start = startSeconds_ >= 0 ? startSeconds_ : deps_.Clock.UtcSeconds();
    TCivilTime when = CivilFromSeconds(start);
    // The operator may have corrected the time in the window.
    TCivilTime typed;
    const std::string time = Trim(QsoTime.Text());
    if (time != ClockTime(when) && ParseCivil(AdifDate(when).insert(6, "-").insert(4, "-"), time, typed)) when = typed;
    const std::int64_t hz = deps_.Transceiver.LogFrequency();
    const TAdifMode mode = AdifModeFor(Mode.Text());
    r.Set("CALL", UpperAscii(Trim(Callsign.Text())));
    r.Set("QSO_DATE", AdifDate(when));
    r.Set("TIME_ON", AdifTime(when));
    // It ends as it is logged.
    const TCivilTime end = CivilFromSeconds(deps_.Clock.UtcSeconds());
    if (AdifDate(end) != AdifDate(when)) r.Set("QSO_DATE_OFF", AdifDate(end));
    r.Set("TIME_OFF", AdifTime(end));
    r.Set("BAND", AdifBand(hz));
    r.Set("FREQ", AdifFrequency(hz));
    r.Set("MODE", mode.Mode);
    r.Set("SUBMODE", mode.Submode);
    r.Set("RST_SENT", Trim(RstSent.Text()));
    r.Set("RST_RCVD", Trim(RstReceived.Text()));
    r.SetText("NAME", Trim(Name.Text()));
    r.SetText("QTH", Trim(Qth.Text()));
    r.SetText("GRIDSQUARE", Trim(Locator.Text()));
    r.SetText("QSL_VIA", Trim(QslVia.Text()));
    r.SetText("EMAIL", Trim(Email.Text()));
    r.SetText("COMMENT", Trim(Comment.Text()));
    r.Set("NOTES", mode.Note);
    for (const auto& [award, field] : THostAwards::List()) {
        auto it = awards_.find(award);
        if (it != awards_.end()) r.SetText(field, Trim(it->second));
    }
    r.Set("STATION_CALLSIGN", UpperAscii(Trim(deps_.Settings.Get("Operator"))));
    return r;
}

std::int32_t TNewQsoWindow::Save() {
    const TAdifRecord record = Record();
    const std::string call = record.Get("CALL");
    if (!PlausibleCallsign(call)) {
        deps_.Events.HostEvent("new-QSO", "not saved: " + (call.empty() ? std::string("no callsign")
                                                                         : "\"" + call + "\" is not a callsign"));
        return 0;
    }
    std::string error;
    if (!deps_.Log.Append(record, error)) {
        // The contact stays in the window; nothing is lost.
        deps_.Events.HostEvent("new-QSO", "not saved: " + error);
        return 0;
    }
    std::string summary = call + " " + record.Get("QSO_DATE") + " " + record.Get("TIME_ON") + " " +
                          (record.Get("BAND").empty() ? "no band" : record.Get("BAND")) + " " + record.Get("MODE") +
                          (record.Get("SUBMODE").empty() ? "" : "/" + record.Get("SUBMODE"));
    deps_.Events.HostEvent("log", "contact " + std::to_string(deps_.Log.Records().size()) + " saved: " + summary);
    return 1;
}

void TNewQsoWindow::Reset() {
    for (THostControl* c : {&Callsign, &Name, &Qth, &Locator, &QslVia, &Email, &Comment, &QsoTime}) c->Assign("");
    if (!keepReports_) {
        RstSent.Assign("599");
        RstReceived.Assign("599");
    }
    startSeconds_ = -1;
    awards_.clear();
    deps_.Events.HostEvent("new-QSO", keepReports_ ? "reset for a new contact, reports kept" : "reset for a new contact");
}

void TNewQsoWindow::AfterCallsignCapture() {
    deps_.Events.HostEvent("new-QSO", "callsign captured: " + Quoted(Callsign.Text()));
}

void TNewQsoWindow::CallsignEntered() {
    const std::string call = UpperAscii(Trim(Callsign.Text()));
    const TAdifRecord* before = deps_.Log.LastWith(call);
    if (before == nullptr) {
        deps_.Events.HostEvent("new-QSO", "callsign entered: " + Quoted(call) + ", not in the log");
        return;
    }
    // What the station told last time fills what is still empty.
    if (Trim(Name.Text()).empty()) Name.Assign(before->Text("NAME"));
    if (Trim(Qth.Text()).empty()) Qth.Assign(before->Text("QTH"));
    if (Trim(Locator.Text()).empty()) Locator.Assign(before->Get("GRIDSQUARE"));
    deps_.Events.HostEvent("new-QSO", "callsign entered: " + Quoted(call) + ", worked before on " +
                                          before->Get("QSO_DATE") + " (" + before->Get("BAND") + ")");
}

void TNewQsoWindow::EnableForPlugin(std::int32_t enable) {
    enabledForPlugin_ = enable != 0;
    deps_.Events.HostEvent("new-QSO", enabledForPlugin_ ? "linked to the plug-in" : "unlinked from the plug-in");
}

std::string TNewQsoWindow::DistanceKm() const {
    const auto mine = LocatorCentre(Trim(deps_.Settings.Get("MyGridSquare")));
    const auto theirs = LocatorCentre(Trim(Locator.Text()));
    if (!mine || !theirs) return {};
    return std::to_string(pavohost::DistanceKm(*mine, *theirs));
}

std::string TNewQsoWindow::Greeting() const {
    const auto theirs = LocatorCentre(Trim(Locator.Text()));
    if (!theirs) return {};
    return ClockTime(CivilFromSeconds(deps_.Clock.UtcSeconds() + LocalOffsetMinutes(*theirs) * 60LL));
}

std::int32_t TNewQsoWindow::DistanceText(char* buffer, std::int32_t size) {
    return CopyOut(DistanceKm(), buffer, size);
}

std::int32_t TNewQsoWindow::GreetingText(char* buffer, std::int32_t size) {
    return CopyOut(Greeting(), buffer, size);
}

// ---- awards ----

const std::vector<std::pair<std::string, std::string>>& THostAwards::List() {
    static const std::vector<std::pair<std::string, std::string>> awards = {
        {"IOTA", "IOTA"}, {"RDA", "APP_PAVO-HOST_RDA"}, {"WAS", "STATE"}};
    return awards;
}

std::int32_t THostAwards::AwardCount() { return static_cast<std::int32_t>(List().size()); }

std::int32_t THostAwards::AwardName(std::int32_t index, char* buffer, std::int32_t size) {
    if (index < 0 || index >= AwardCount()) return CopyOut("", buffer, size);
    return CopyOut(List()[static_cast<std::size_t>(index)].first, buffer, size);
}

void THostAwards::SetAwardValue(const char* award, const char* value) {
    const std::string name = ToUtf8(award != nullptr ? award : "");
    const std::string text = ToUtf8(value != nullptr ? value : "");
    const bool known = std::any_of(List().begin(), List().end(), [&](const auto& a) { return a.first == name; });
    if (!known) {
        events_.HostEvent("awards", "unknown award " + Quoted(name) + " ignored");
        return;
    }
    TNewQsoWindow* window = openWindow_();
    if (window == nullptr) {
        events_.HostEvent("awards", "award " + name + " ignored: no contact is open");
        return;
    }
    window->SetAward(name, text);
}

}  // namespace pavohost
