#pragma once
// A host for tests: every interface of the session, recording what the
// plug-in asked of it.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "pavo/copyout.h"
#include "pavo/host.h"

namespace quorvel::testing {

inline std::int32_t CopyOut(const std::string& text, char* buffer, std::int32_t size) {
    return PavoCopyOut(text, buffer, size);
}

template <class I>
struct Counted : I {
    virtual ~Counted() = default;
    std::int32_t refs = 1;
    std::int32_t PAVO_CALL AddRef() override { return ++refs; }
    std::int32_t PAVO_CALL Release() override { return --refs; }
};

struct FakeControl : Counted<IHostControl> {
    std::string text;
    int changes = 0;
    bool hasHandler = true;
    std::int32_t PAVO_CALL GetText(char* b, std::int32_t n) override { return CopyOut(text, b, n); }
    void PAVO_CALL SetText(const char* t) override { text = t ? t : ""; }
    std::int32_t PAVO_CALL FontColor() override { return 0; }
    std::int32_t PAVO_CALL BackgroundColor() override { return 0xFFFFFF; }
    std::int32_t PAVO_CALL FireChange() override {
        if (!hasHandler) return 0;
        ++changes;
        return 1;
    }
};

struct FakeWindow : Counted<IHostWindow> {
    PavoHandle handle = 0;
    int broughtToFront = 0;
    PavoHandle PAVO_CALL Handle() override { return handle; }
    void PAVO_CALL BringToFront() override { ++broughtToFront; }
};

struct FakeAppObject : Counted<IHostApplicationObject> {
    PavoHandle handle = 0xA000;
    std::string title = "Tarvik";
    PavoHandle PAVO_CALL Handle() override { return handle; }
    std::int32_t PAVO_CALL Title(char* b, std::int32_t n) override { return CopyOut(title, b, n); }
};

struct FakeApplication : Counted<IHostApplication> {
    FakeWindow mainWindow;
    FakeAppObject appObject;
    int mainWindowCalls = 0, appObjectCalls = 0;
    IHostWindow* PAVO_CALL MainWindow() override {
        ++mainWindowCalls;
        return &mainWindow;
    }
    IHostApplicationObject* PAVO_CALL ApplicationObject() override {
        ++appObjectCalls;
        return &appObject;
    }
    std::int32_t PAVO_CALL VersionText(char* b, std::int32_t n) override { return CopyOut("2.1.0", b, n); }
};

struct FakeConfig : Counted<IHostConfig> {
    std::string dataFolder;
    std::int32_t toolbarStyle = 0;
    std::map<std::string, std::string> station{{"Callsign", "UA3ABC"}, {"Name", "Ivan"}, {"Qth", "Moscow"}};
    std::string Get(const char* k) const {
        auto it = station.find(k);
        return it == station.end() ? std::string() : it->second;
    }
    std::int32_t PAVO_CALL PluginsDataFolder(char* b, std::int32_t n) override { return CopyOut(dataFolder, b, n); }
    std::int32_t PAVO_CALL ToolbarStyle() override { return toolbarStyle; }
    std::int32_t PAVO_CALL Callsign(char* b, std::int32_t n) override { return CopyOut(Get("Callsign"), b, n); }
    std::int32_t PAVO_CALL OperatorName(char* b, std::int32_t n) override { return CopyOut(Get("Name"), b, n); }
    std::int32_t PAVO_CALL Qth(char* b, std::int32_t n) override { return CopyOut(Get("Qth"), b, n); }
    std::int32_t PAVO_CALL Locator(char* b, std::int32_t n) override { return CopyOut(Get("Locator"), b, n); }
    std::int32_t PAVO_CALL CqZone(char* b, std::int32_t n) override { return CopyOut(Get("CqZone"), b, n); }
    std::int32_t PAVO_CALL ItuZone(char* b, std::int32_t n) override { return CopyOut(Get("ItuZone"), b, n); }
    std::int32_t PAVO_CALL Iota(char* b, std::int32_t n) override { return CopyOut(Get("Iota"), b, n); }
    std::int32_t PAVO_CALL Power(char* b, std::int32_t n) override { return CopyOut(Get("Power"), b, n); }
    std::int32_t PAVO_CALL Rig(char* b, std::int32_t n) override { return CopyOut(Get("Rig"), b, n); }
    std::int32_t PAVO_CALL State(char* b, std::int32_t n) override { return CopyOut(Get("State"), b, n); }
};

struct FakeTransceiver : Counted<IHostTransceiver> {
    std::int32_t frequency = 0;
    bool upper = true;
    std::vector<std::string> calls;
    std::vector<PavoHandle> registered;
    std::int32_t workingFrequency = 0;
    int workingFrequencySets = 0;
    int attached = -1;
    void PAVO_CALL SwitchToTransmit() override { calls.push_back("tx"); }
    void PAVO_CALL SwitchToReceive() override { calls.push_back("rx"); }
    std::int32_t PAVO_CALL Frequency() override { return frequency; }
    std::vector<std::int32_t> tunes;
    void PAVO_CALL TuneTo(std::int32_t hz) override {
        frequency = hz;
        tunes.push_back(hz);
    }
    void PAVO_CALL RegisterWindow(PavoHandle w) override { registered.push_back(w); }
    void PAVO_CALL UnregisterWindow(PavoHandle w) override { std::erase(registered, w); }
    std::int32_t PAVO_CALL UpperSideband() override { return upper ? 1 : 0; }
    void PAVO_CALL SetWorkingFrequency(std::int32_t hz) override {
        workingFrequency = hz;
        ++workingFrequencySets;
    }
    void PAVO_CALL SetPluginAttached(std::int32_t a) override { attached = a; }
};

struct FakeNewQso : Counted<INewQsoWindow> {
    FakeWindow window;
    FakeControl mode, callsign, qth, name, rstSent, rstReceived, qslManager, locator, email, comment, qsoTime;
    int saves = 0, resets = 0, afterCapture = 0, callsignEntered = 0;
    bool keepReports = false;
    std::vector<bool> enables;
    std::string distance = "1234", greeting = "GE";
    IHostWindow* PAVO_CALL Window() override { return &window; }
    IHostControl* PAVO_CALL ModeControl() override { return &mode; }
    IHostControl* PAVO_CALL CallsignControl() override { return &callsign; }
    IHostControl* PAVO_CALL QthControl() override { return &qth; }
    IHostControl* PAVO_CALL NameControl() override { return &name; }
    IHostControl* PAVO_CALL RstSentControl() override { return &rstSent; }
    IHostControl* PAVO_CALL RstReceivedControl() override { return &rstReceived; }
    IHostControl* PAVO_CALL QslManagerControl() override { return &qslManager; }
    IHostControl* PAVO_CALL LocatorControl() override { return &locator; }
    std::int32_t PAVO_CALL Save() override {
        ++saves;
        return 1;
    }
    void PAVO_CALL Reset() override { ++resets; }
    void PAVO_CALL AfterCallsignCapture() override { ++afterCapture; }
    void PAVO_CALL CallsignEntered() override { ++callsignEntered; }
    std::int32_t PAVO_CALL KeepReports() override { return keepReports ? 1 : 0; }
    IHostControl* PAVO_CALL EmailControl() override { return &email; }
    void PAVO_CALL EnableForPlugin(std::int32_t e) override { enables.push_back(e != 0); }
    IHostControl* PAVO_CALL CommentControl() override { return &comment; }
    std::int32_t PAVO_CALL DistanceText(char* b, std::int32_t n) override { return CopyOut(distance, b, n); }
    std::int32_t PAVO_CALL GreetingText(char* b, std::int32_t n) override { return CopyOut(greeting, b, n); }
    IHostControl* PAVO_CALL QsoTimeControl() override { return &qsoTime; }
};

struct FakeAwards : Counted<IHostAwards> {
    std::vector<std::string> names{"RDA", "WAS"};
    std::vector<std::pair<std::string, std::string>> set;
    std::int32_t PAVO_CALL AwardCount() override { return static_cast<std::int32_t>(names.size()); }
    std::int32_t PAVO_CALL AwardName(std::int32_t i, char* b, std::int32_t n) override {
        return i >= 0 && i < AwardCount() ? CopyOut(names[static_cast<std::size_t>(i)], b, n) : -1;
    }
    void PAVO_CALL SetAwardValue(const char* a, const char* v) override { set.emplace_back(a, v); }
};

struct FakeLog : Counted<IHostLog> {
    bool open = true, empty = false;
    std::map<std::string, std::string> fields;
    std::int32_t PAVO_CALL IsOpen() override { return open; }
    std::int32_t PAVO_CALL IsEmpty() override { return empty; }
    std::int32_t PAVO_CALL FieldText(const char* f, char* b, std::int32_t n) override {
        auto it = fields.find(f ? f : "");
        return CopyOut(it == fields.end() ? std::string() : it->second, b, n);
    }
};

// The whole session record with every interface present except NewQso,
// which the host adds while its new-QSO window is open.
struct FakeHost {
    FakeConfig config;
    FakeLog log;
    FakeTransceiver transceiver;
    FakeApplication application;
    FakeNewQso newQso;
    FakeAwards awards;
    HostSession session{};
    // What the fakes record grows by design; long runs forget it between
    // cycles so that only the plug-in's own memory counts.
    void ForgetRecords() {
        transceiver.calls.clear();
        transceiver.registered.clear();
        transceiver.tunes.clear();
        newQso.enables.clear();
        awards.set.clear();
    }
    FakeHost() {
        session.Config = &config;
        session.Log = &log;
        session.Transceiver = &transceiver;
        session.Application = &application;
        session.NewQso = nullptr;
        session.Awards = nullptr;
    }
    void OpenNewQso() { session.NewQso = &newQso; }
    void CloseNewQso() { session.NewQso = nullptr; }
};

}  // namespace quorvel::testing
