#pragma once
// The host's side of the session: every interface of pavo/host.h, over the
// host's own state (settings, log, rig, new-QSO window). Strings crossing to
// the plug-in are cp1251; the host keeps UTF-8.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "HostClock.h"
#include "HostSettings.h"
#include "LogBook.h"
#include "RigPort.h"
#include "pavo/host.h"
#include "ports/WindowSystem.h"

namespace pavohost {

// What the host reports about itself (the transcript, later the GUI's status).
class IHostEvents {
public:
    virtual ~IHostEvents() = default;
    virtual void HostEvent(const std::string& source, const std::string& utf8) = 0;
};

// Reference counts are kept, but the host owns every object for the whole
// session, so a count of 0 frees nothing.
template <class I>
class TCounted : public I {
public:
    virtual ~TCounted() = default;
    std::int32_t PAVO_CALL AddRef() override { return ++refs_; }
    std::int32_t PAVO_CALL Release() override { return --refs_; }

private:
    std::int32_t refs_ = 1;
};

// An edit or combo of a host window.
class THostControl final : public TCounted<IHostControl> {
public:
    // runsHandlerOnSetText: an edit runs its change handler when its text is
    // set; a combo (the mode control) only when told to.
    THostControl(std::string label, bool runsHandlerOnSetText);

    std::int32_t PAVO_CALL GetText(char* buffer, std::int32_t size) override;
    void PAVO_CALL SetText(const char* text) override;
    std::int32_t PAVO_CALL FontColor() override { return fontColor_; }
    std::int32_t PAVO_CALL BackgroundColor() override { return backgroundColor_; }
    std::int32_t PAVO_CALL FireChange() override;

    const std::string& Label() const { return label_; }
    const std::string& Text() const { return text_; }  // UTF-8
    void Assign(const std::string& utf8);               // as typed by the host's operator
    void SetColors(std::int32_t font, std::int32_t background) {
        fontColor_ = font;
        backgroundColor_ = background;
    }
    std::function<void()> OnChange;

private:
    std::string label_;
    bool runsHandlerOnSetText_;
    std::string text_;
    std::int32_t fontColor_ = 0x000000;        // black
    std::int32_t backgroundColor_ = 0xFFFFFF;  // white
};

class THostWindowObject final : public TCounted<IHostWindow> {
public:
    THostWindowObject(quorvel::IWindowSystem& windows, quorvel::THandle handle, std::string name, IHostEvents& events)
        : windows_(windows), handle_(handle), name_(std::move(name)), events_(events) {}
    PavoHandle PAVO_CALL Handle() override { return handle_; }
    void PAVO_CALL BringToFront() override;

private:
    quorvel::IWindowSystem& windows_;
    quorvel::THandle handle_;
    std::string name_;
    IHostEvents& events_;
};

class THostApplicationObject final : public TCounted<IHostApplicationObject> {
public:
    THostApplicationObject(quorvel::THandle handle, std::string title) : handle_(handle), title_(std::move(title)) {}
    PavoHandle PAVO_CALL Handle() override { return handle_; }
    std::int32_t PAVO_CALL Title(char* buffer, std::int32_t size) override;

private:
    quorvel::THandle handle_;
    std::string title_;
};

class THostConfig final : public TCounted<IHostConfig> {
public:
    explicit THostConfig(const THostSettings& settings) : settings_(settings) {}
    std::int32_t PAVO_CALL PluginsDataFolder(char* buffer, std::int32_t size) override;
    std::int32_t PAVO_CALL ToolbarStyle() override;
    std::int32_t PAVO_CALL Callsign(char* buffer, std::int32_t size) override { return Out("Operator", buffer, size); }
    std::int32_t PAVO_CALL OperatorName(char* buffer, std::int32_t size) override { return Out("MyName", buffer, size); }
    std::int32_t PAVO_CALL Qth(char* buffer, std::int32_t size) override { return Out("MyCity", buffer, size); }
    std::int32_t PAVO_CALL Locator(char* buffer, std::int32_t size) override { return Out("MyGridSquare", buffer, size); }
    std::int32_t PAVO_CALL CqZone(char* buffer, std::int32_t size) override { return Out("MyCQ", buffer, size); }
    std::int32_t PAVO_CALL ItuZone(char* buffer, std::int32_t size) override { return Out("MyITU", buffer, size); }
    std::int32_t PAVO_CALL Iota(char* buffer, std::int32_t size) override { return Out("MyIOTA", buffer, size); }
    std::int32_t PAVO_CALL Power(char* buffer, std::int32_t size) override { return Out("TxPWR", buffer, size); }
    std::int32_t PAVO_CALL Rig(char* buffer, std::int32_t size) override { return Out("MyRig", buffer, size); }
    std::int32_t PAVO_CALL State(char* buffer, std::int32_t size) override { return Out("MyCnty", buffer, size); }

private:
    std::int32_t Out(const char* property, char* buffer, std::int32_t size);
    const THostSettings& settings_;
};

// The rig as the host's CAT link sees it. Windows registered by plug-ins get
// 1160 (lParam: the dial in Hz) when they register and whenever the dial
// moves, 1161 and 1160 when the sideband changes (lParam 1 upper, 0 lower) and 1162
// when the rig goes away; 1160 again when it is back. The host's frequency is
// the working frequency a plug-in set since the dial last moved, else the
// dial. The interface carries signed 32-bit Hz: a dial above 2,147,483,647 Hz
// reads as unknown (0), and the log then keeps the rig's own frequency.
class THostTransceiver final : public TCounted<IHostTransceiver> {
public:
    THostTransceiver(quorvel::IWindowSystem& windows, IHostEvents& events, IRigPort& rig);
    ~THostTransceiver() override;

    void PAVO_CALL SwitchToTransmit() override;
    void PAVO_CALL SwitchToReceive() override;
    std::int32_t PAVO_CALL Frequency() override;
    void PAVO_CALL TuneTo(std::int32_t hz) override;
    void PAVO_CALL RegisterWindow(PavoHandle window) override;
    void PAVO_CALL UnregisterWindow(PavoHandle window) override;
    std::int32_t PAVO_CALL UpperSideband() override { return rig_.Connected && rig_.Upper ? 1 : 0; }
    void PAVO_CALL SetWorkingFrequency(std::int32_t hz) override;
    void PAVO_CALL SetPluginAttached(std::int32_t attached) override;

    // The operator's side: the dial, the mode switch, the power switch.
    void Dial(std::int64_t hz);
    void SetUpperSideband(bool upper);
    void PowerOff();
    void PowerOn();

    bool Keyed() const { return ptt_; }
    bool Connected() const { return rig_.Connected; }
    // What the rig last reported (its dial as it is, however large).
    const TRigStatus& Rig() const { return rig_; }
    std::string RigDescription() const { return port_->Description(); }
    // Another rig from now on; the windows hear of it as of any rig.
    void UseRig(IRigPort& rig);
    std::int32_t WorkingFrequency() const { return workingFrequency_; }
    // The frequency a contact is logged on: the working frequency, else the
    // rig's dial (0 when neither is known).
    std::int64_t LogFrequency() const;
    const std::vector<PavoHandle>& Registered() const { return registered_; }
    // Called after the PTT is released (the runner prints what went on air).
    std::function<void()> OnReceive;

private:
    void RigReported(const TRigStatus& status);
    std::int32_t DialForPlugins() const;
    void Tell(std::uint32_t message, std::intptr_t lParam);
    void TellOne(PavoHandle window, std::uint32_t message, std::intptr_t lParam);
    quorvel::IWindowSystem& windows_;
    IHostEvents& events_;
    IRigPort* port_;
    TRigStatus rig_;
    // What the transcript has told already, so a change the host made itself
    // is not told twice when the rig confirms it.
    std::int64_t toldDial_ = -1;
    bool toldUpper_ = true;
    bool toldConnected_ = false;
    bool heard_ = false;  // the rig has reported since it was taken on
    bool ptt_ = false;
    std::int32_t workingFrequency_ = 0;
    std::vector<PavoHandle> registered_;
};

class THostApplication final : public TCounted<IHostApplication> {
public:
    THostApplication(THostWindowObject& mainWindow, THostApplicationObject& application, std::string version)
        : mainWindow_(mainWindow), application_(application), version_(std::move(version)) {}
    IHostWindow* PAVO_CALL MainWindow() override { return &mainWindow_; }
    IHostApplicationObject* PAVO_CALL ApplicationObject() override { return &application_; }
    std::int32_t PAVO_CALL VersionText(char* buffer, std::int32_t size) override;

private:
    THostWindowObject& mainWindow_;
    THostApplicationObject& application_;
    std::string version_;
};

// The log data set as the plug-in reads it: its current record is the last
// contact logged.
class THostLog final : public TCounted<IHostLog> {
public:
    explicit THostLog(const TLogBook& book) : book_(book) {}
    std::int32_t PAVO_CALL IsOpen() override { return book_.IsOpen() ? 1 : 0; }
    std::int32_t PAVO_CALL IsEmpty() override { return book_.Records().empty() ? 1 : 0; }
    // "Дата" dd.mm.yyyy, "Диапазон" band in MHz, "Вид" mode; other fields are empty.
    std::int32_t PAVO_CALL FieldText(const char* field, char* buffer, std::int32_t size) override;

private:
    const TLogBook& book_;
};

// The host's new-QSO window: the contact being worked.
class TNewQsoWindow final : public TCounted<INewQsoWindow> {
public:
    struct TDeps {
        quorvel::IWindowSystem& Windows;
        quorvel::THandle Handle;
        IHostEvents& Events;
        const THostSettings& Settings;
        TLogBook& Log;
        THostTransceiver& Transceiver;
        const THostClock& Clock;
        std::string ProgramVersion;
    };
    explicit TNewQsoWindow(TDeps deps);

    IHostWindow* PAVO_CALL Window() override { return &window_; }
    IHostControl* PAVO_CALL ModeControl() override { return &Mode; }
    IHostControl* PAVO_CALL CallsignControl() override { return &Callsign; }
    IHostControl* PAVO_CALL QthControl() override { return &Qth; }
    IHostControl* PAVO_CALL NameControl() override { return &Name; }
    IHostControl* PAVO_CALL RstSentControl() override { return &RstSent; }
    IHostControl* PAVO_CALL RstReceivedControl() override { return &RstReceived; }
    IHostControl* PAVO_CALL QslManagerControl() override { return &QslVia; }
    IHostControl* PAVO_CALL LocatorControl() override { return &Locator; }
    std::int32_t PAVO_CALL Save() override;
    void PAVO_CALL Reset() override;
    void PAVO_CALL AfterCallsignCapture() override;
    void PAVO_CALL CallsignEntered() override;
    std::int32_t PAVO_CALL KeepReports() override { return keepReports_ ? 1 : 0; }
    IHostControl* PAVO_CALL EmailControl() override { return &Email; }
    void PAVO_CALL EnableForPlugin(std::int32_t enable) override;
    IHostControl* PAVO_CALL CommentControl() override { return &Comment; }
    std::int32_t PAVO_CALL DistanceText(char* buffer, std::int32_t size) override;
    std::int32_t PAVO_CALL GreetingText(char* buffer, std::int32_t size) override;
    IHostControl* PAVO_CALL QsoTimeControl() override { return &QsoTime; }

    THostControl Mode{"mode", false};
    THostControl Callsign{"callsign", true};
    THostControl Qth{"qth", true};
    THostControl Name{"name", true};
    THostControl RstSent{"rst-sent", true};
    THostControl RstReceived{"rst-rcvd", true};
    THostControl QslVia{"qsl-via", true};
    THostControl Locator{"grid", true};
    THostControl Email{"email", true};
    THostControl Comment{"comment", true};
    THostControl QsoTime{"time", true};

    // Every field, in the window's order.
    std::vector<THostControl*> Controls();
    THostControl* ControlByLabel(const std::string& label);

    void SetKeepReports(bool keep) { keepReports_ = keep; }
    bool EnabledForPlugin() const { return enabledForPlugin_; }
    const std::map<std::string, std::string>& Awards() const { return awards_; }
    void SetAward(const std::string& award, const std::string& value);
    // The contact as it would be logged now.
    TAdifRecord Record() const;
    std::string DistanceKm() const;  // "" when either locator is unknown
    std::string Greeting() const;    // local time at the station's locator, "" when unknown

private:
    void CallsignChanged();
    void ModeChanged();
    TDeps deps_;
    THostWindowObject window_;
    bool keepReports_ = false;
    bool enabledForPlugin_ = false;
    std::int64_t startSeconds_ = -1;  // UTC when the contact began, -1 none yet
    std::map<std::string, std::string> awards_;
};

class THostAwards final : public TCounted<IHostAwards> {
public:
    // The award value goes to the contact in the new-QSO window, if one is open.
    THostAwards(std::function<TNewQsoWindow*()> openWindow, IHostEvents& events)
        : openWindow_(std::move(openWindow)), events_(events) {}
    std::int32_t PAVO_CALL AwardCount() override;
    std::int32_t PAVO_CALL AwardName(std::int32_t index, char* buffer, std::int32_t size) override;
    void PAVO_CALL SetAwardValue(const char* award, const char* value) override;

    // Awards and the ADIF field each one fills.
    static const std::vector<std::pair<std::string, std::string>>& List();

private:
    std::function<TNewQsoWindow*()> openWindow_;
    IHostEvents& events_;
};

}  // namespace pavohost
