// The reference host's side of the session: what a plug-in reads from and
// writes to it, and what the host tells the plug-in when its state changes.
#include <unistd.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Adif.h"
#include "Host.h"
#include "HostText.h"
#include "Locator.h"
#include "pavo/hostlibs.h"
#include "PavoHostRunSupport.h"
#include "SimPlatform.h"

namespace pavohost {
namespace {

namespace fs = std::filesystem;

using testing::ReadAll;

template <class Get>
std::string Text(Get get) {
    char buffer[256];
    const std::int32_t n = get(buffer, static_cast<std::int32_t>(sizeof buffer));
    EXPECT_LT(n, 256);
    return ToUtf8(buffer);
}

struct Events : IHostEvents {
    std::vector<std::string> lines;
    void HostEvent(const std::string& source, const std::string& utf8) override { lines.push_back(source + ": " + utf8); }
    bool Has(const std::string& part) const {
        for (const auto& l : lines)
            if (l.find(part) != std::string::npos) return true;
        return false;
    }
};

class ReferenceHost : public ::testing::Test {
protected:
    ReferenceHost() {
        data = fs::temp_directory_path() /
               ("pavo-host-if-" + std::to_string(::getpid()) + "-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(data);
    }
    ~ReferenceHost() override {
        host.reset();
        std::error_code ec;
        fs::remove_all(data, ec);
    }
    THost& Host() {
        if (!host) {
            host = std::make_unique<THost>(
                THostEnvironment{sim.Windows, sim.Dispatcher, THostFolders::For(data), events, "1.2.0", QUORVEL_BIN_DIR});
            host->Clock().Set(SecondsFromCivil({2024, 5, 4, 14, 30, 0}));
        }
        return *host;
    }
    // A window that records the messages it gets, as a plug-in's would.
    quorvel::THandle RecordingWindow() {
        return sim.Windows.CreateWindowHandle(0, [this](const quorvel::TMessage& m) {
            messages.push_back(m);
            return std::intptr_t{0};
        });
    }

    fs::path data;
    quorvel::sim::TSimPlatform sim;
    Events events;
    std::unique_ptr<THost> host;
    std::vector<quorvel::TMessage> messages;
};

TEST_F(ReferenceHost, ACopiedDataFolderUsesItsOwnFoldersAndKeepsChosenOnes) {
    std::string error;
    ASSERT_TRUE(Host().SetStation("call", "R3ABC", error)) << error;
    host.reset();
    const fs::path copy = data / "copy";
    fs::create_directories(copy);
    fs::copy(data / "Zentavo", copy / "Zentavo", fs::copy_options::recursive);
    THost copied(THostEnvironment{sim.Windows, sim.Dispatcher, THostFolders::For(copy), events, "1.2.0", QUORVEL_BIN_DIR});
    const fs::path hostData = copy / "Zentavo" / "pavo-host";
    EXPECT_EQ(copied.Settings().Get("PluginsDataPath"), (hostData / "Plugins Data").string());
    EXPECT_EQ(copied.Settings().Get("DBPath"), (hostData / "Profiles" / "Default" / "log.adi").string());
    EXPECT_EQ(copied.Settings().Get("Operator"), "R3ABC");
    // Saved, so the plug-in reading the file finds the copy's folders too.
    const std::string xml = ReadAll(hostData / "Profiles" / "Default" / "configuration.xml");
    EXPECT_NE(xml.find((hostData / "Plugins Data").string()), std::string::npos) << xml;
    EXPECT_EQ(xml.find((data / "Zentavo" / "pavo-host" / "Plugins Data").string() + "<"), std::string::npos) << xml;

    // A log the operator keeps elsewhere stays where it is.
    THostSettings settings(THostFolders::For(copy));
    ASSERT_TRUE(settings.Load());
    settings.Set("DBPath", (data / "logs" / "all.adi").string());
    EXPECT_FALSE(settings.DeriveFolders());
    EXPECT_EQ(settings.Get("DBPath"), (data / "logs" / "all.adi").string());
    settings.Set("DBPath", "/elsewhere/Zentavo/pavo-host/Profiles/Default/log.adi");
    EXPECT_TRUE(settings.DeriveFolders());
    EXPECT_EQ(settings.Get("DBPath"), (hostData / "Profiles" / "Default" / "log.adi").string());
}

TEST_F(ReferenceHost, FirstRunWritesItsSettingsAsAPropertyFileTheHostConfigReads) {
    THost& h = Host();
    const fs::path settings = data / "Zentavo" / "pavo-host" / "Profiles" / "Default" / "configuration.xml";
    ASSERT_TRUE(fs::exists(settings));
    EXPECT_TRUE(fs::is_directory(data / "Zentavo" / "pavo-host" / "Plugins Data"));
    const std::string xml = ReadAll(settings);
    EXPECT_NE(xml.find("<Configuration><Operator type=\"String\"></Operator>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<ImageStyle type=\"String\">По умолчанию</ImageStyle>"), std::string::npos);
    EXPECT_NE(xml.find("<ToolbarStyle type=\"Integer\">0</ToolbarStyle>"), std::string::npos);

    std::string error;
    ASSERT_TRUE(h.SetStation("call", "R3ABC", error)) << error;
    ASSERT_TRUE(h.SetStation("name", "Павел", error));
    ASSERT_TRUE(h.SetStation("grid", "KO85US", error));
    EXPECT_FALSE(h.SetStation("shoe-size", "44", error));
    IHostConfig* config = h.Session().Config;
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return config->Callsign(b, n); }), "R3ABC");
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return config->OperatorName(b, n); }), "Павел");
    char small[4];
    EXPECT_EQ(config->OperatorName(small, 4), 5) << "the full length in cp1251 comes back";
    EXPECT_EQ(ToUtf8(small), "Пав");
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return config->PluginsDataFolder(b, n); }),
              (data / "Zentavo" / "pavo-host" / "Plugins Data").string());

    // Another host version's property survives, and the values come back on the next start.
    std::string text = ReadAll(settings);
    text.replace(text.find("</Configuration>"), 16, "<FutureThing type=\"Integer\">7</FutureThing></Configuration>");
    std::ofstream(settings, std::ios::binary | std::ios::trunc) << text;
    host.reset();
    EXPECT_EQ(Host().Settings().Get("MyName"), "Павел");
    ASSERT_TRUE(Host().SetToolbarStyle(2, error));
    EXPECT_NE(ReadAll(settings).find("<FutureThing type=\"Integer\">7</FutureThing>"), std::string::npos);
    EXPECT_EQ(Host().Session().Config->ToolbarStyle(), 2);
}

TEST_F(ReferenceHost, DataFolderThatCannotBeWrittenIsRefusedClearly) {
    fs::create_directories(data);
    std::ofstream(data / "file") << "x";
    try {
        THost h(THostEnvironment{sim.Windows, sim.Dispatcher, THostFolders::For(data / "file"), events, "1.2.0", {}});
        FAIL() << "a data folder below a file was accepted";
    } catch (const THostError& e) {
        EXPECT_EQ(e.ExitCode(), kExitData);
        EXPECT_NE(std::string(e.what()).find("cannot use the data folder"), std::string::npos) << e.what();
    }
}

TEST_F(ReferenceHost, SavedContactBecomesAnAdifRecordWithTheModeThePlugInWrote) {
    THost& h = Host();
    std::string error;
    h.SetStation("call", "R3ABC", error);
    h.SetStation("grid", "KO85US", error);
    h.Transceiver().Dial(14071500);
    INewQsoWindow* qso = &h.NewQso();
    auto set = [](IHostControl* c, const std::string& utf8) { c->SetText(ToCp1251(utf8).c_str()); };
    set(qso->ModeControl(), "BPSK31");
    EXPECT_EQ(qso->ModeControl()->FireChange(), 1);
    EXPECT_TRUE(events.Has("mode \"BPSK31\" logs as MODE PSK, SUBMODE PSK31"));
    set(qso->CallsignControl(), "DL1ABC");
    sim.Dispatcher.Advance(95000);  // the contact takes a while; it began with the callsign
    set(qso->RstSentControl(), "579");
    set(qso->RstReceivedControl(), "599");
    set(qso->NameControl(), "Иван");
    set(qso->QthControl(), "Москва");
    set(qso->LocatorControl(), "JO62QM");
    set(qso->QslManagerControl(), "DL1ABC");
    set(qso->EmailControl(), "dl1abc@example.org");
    set(qso->CommentControl(), "first PSK contact, кот");
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return qso->QsoTimeControl()->GetText(b, n); }), "14:30");
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return qso->DistanceText(b, n); }), "1616");
    // Local time at Berlin's longitude: UTC+1.
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return qso->GreetingText(b, n); }), "15:31");

    ASSERT_EQ(qso->Save(), 1);
    const TAdifFile log = ParseAdi(ReadAll(h.Log().File()));
    ASSERT_EQ(log.Records.size(), 1u);
    const TAdifRecord& r = log.Records[0];
    EXPECT_EQ(r.Get("CALL"), "DL1ABC");
    EXPECT_EQ(r.Get("QSO_DATE"), "20240504");
    EXPECT_EQ(r.Get("TIME_ON"), "143000");
    EXPECT_EQ(r.Get("BAND"), "20m");
    EXPECT_EQ(r.Get("FREQ"), "14.0715");
    EXPECT_EQ(r.Get("MODE"), "PSK");
    EXPECT_EQ(r.Get("SUBMODE"), "PSK31");
    EXPECT_EQ(r.Get("RST_SENT"), "579");
    EXPECT_EQ(r.Get("RST_RCVD"), "599");
    // ADI is ASCII: the Russian texts transliterated, in full in the ADX.
    EXPECT_EQ(r.Get("NAME"), "Ivan");
    EXPECT_EQ(r.Get("QTH"), "Moskva");
    EXPECT_EQ(r.Get("GRIDSQUARE"), "JO62QM");
    EXPECT_EQ(r.Get("QSL_VIA"), "DL1ABC");
    EXPECT_EQ(r.Get("EMAIL"), "dl1abc@example.org");
    EXPECT_EQ(r.Get("COMMENT"), "first PSK contact, kot");
    EXPECT_EQ(r.Get("NAME_INTL"), "");
    EXPECT_EQ(r.Get("STATION_CALLSIGN"), "R3ABC");
    const auto xml = ParseAdx(ReadAll(h.Log().XmlFile()));
    ASSERT_TRUE(xml);
    ASSERT_EQ(xml->Records.size(), 1u);
    EXPECT_EQ(xml->Records[0].Get("NAME_INTL"), "Иван");
    EXPECT_EQ(xml->Records[0].Get("QTH_INTL"), "Москва");
    EXPECT_EQ(xml->Records[0].Get("COMMENT_INTL"), "first PSK contact, кот");

    // The log's current record as the plug-in reads it for <LASTQSO>.
    IHostLog* hostLog = h.Session().Log;
    EXPECT_EQ(hostLog->IsOpen(), 1);
    EXPECT_EQ(hostLog->IsEmpty(), 0);
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return hostLog->FieldText(ToCp1251("Дата").c_str(), b, n); }),
              "04.05.2024");
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return hostLog->FieldText(ToCp1251("Диапазон").c_str(), b, n); }), "14");
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return hostLog->FieldText(ToCp1251("Вид").c_str(), b, n); }), "PSK31");
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return hostLog->FieldText("Other", b, n); }), "");

    // The next start reads its log back: the station's name comes in Russian.
    host.reset();
    TNewQsoWindow& next = Host().NewQso();
    next.CallsignControl()->SetText("DL1ABC");
    next.CallsignEntered();
    EXPECT_EQ(next.Name.Text(), "Иван");
    EXPECT_EQ(next.Qth.Text(), "Москва");
}

TEST_F(ReferenceHost, ASaveTheHostCannotLogLeavesTheContactInTheWindow) {
    THost& h = Host();
    INewQsoWindow* qso = &h.NewQso();
    EXPECT_EQ(qso->Save(), 0) << "no callsign";
    qso->CallsignControl()->SetText("599");
    EXPECT_EQ(qso->Save(), 0) << "not a callsign";
    EXPECT_TRUE(events.Has("not saved: \"599\" is not a callsign"));
    qso->CallsignControl()->SetText("DL1ABC");
    fs::create_directories(h.Log().File().string() + ".tmp");  // the write cannot happen
    const std::string before = ReadAll(h.Log().File());
    EXPECT_EQ(qso->Save(), 0);
    EXPECT_EQ(h.NewQso().Callsign.Text(), "DL1ABC");
    EXPECT_EQ(ReadAll(h.Log().File()), before);
    EXPECT_EQ(h.Session().Log->IsEmpty(), 1);
}

TEST_F(ReferenceHost, ResetStartsANewContactAndKeepsReportsWhenAsked) {
    THost& h = Host();
    TNewQsoWindow& qso = h.NewQso();
    qso.Callsign.Assign("DL1ABC");
    qso.RstSent.Assign("579");
    qso.Name.Assign("Hans");
    qso.Reset();
    EXPECT_EQ(qso.Callsign.Text(), "");
    EXPECT_EQ(qso.Name.Text(), "");
    EXPECT_EQ(qso.QsoTime.Text(), "");
    EXPECT_EQ(qso.RstSent.Text(), "599");
    EXPECT_EQ(qso.KeepReports(), 0);
    qso.SetKeepReports(true);
    EXPECT_EQ(qso.KeepReports(), 1);
    qso.RstSent.Assign("559");
    qso.Reset();
    EXPECT_EQ(qso.RstSent.Text(), "559");
}

TEST_F(ReferenceHost, AStationWorkedBeforeIsRecognised) {
    THost& h = Host();
    TNewQsoWindow& qso = h.NewQso();
    qso.Callsign.Assign("DL1ABC");
    qso.Name.Assign("Hans");
    qso.Qth.Assign("Berlin");
    qso.Locator.Assign("JO62QM");
    qso.Mode.Assign("BPSK31");
    ASSERT_EQ(qso.Save(), 1);
    qso.Reset();

    qso.CallsignControl()->SetText("DL1ABC");
    EXPECT_EQ(qso.CallsignControl()->FontColor(), 0x0000FF) << "worked before on this band: red";
    qso.CallsignEntered();
    EXPECT_EQ(qso.Name.Text(), "Hans");
    EXPECT_EQ(qso.Qth.Text(), "Berlin");
    EXPECT_EQ(qso.Locator.Text(), "JO62QM");
    qso.Name.Assign("Johann");
    qso.CallsignEntered();
    EXPECT_EQ(qso.Name.Text(), "Johann") << "what the operator typed stays";

    h.Transceiver().Dial(7035000);
    qso.CallsignControl()->SetText("DL1ABC");
    EXPECT_EQ(qso.CallsignControl()->FontColor(), 0x000000) << "a new band";
    qso.CallsignControl()->SetText("G4XYZ");
    qso.CallsignEntered();
    EXPECT_TRUE(events.Has("callsign entered: \"G4XYZ\", not in the log"));
}

TEST_F(ReferenceHost, RigTellsRegisteredWindowsOfFrequencySidebandAndLoss) {
    THost& h = Host();
    IHostTransceiver* trx = h.Session().Transceiver;
    const quorvel::THandle window = RecordingWindow();
    trx->RegisterWindow(window);
    EXPECT_EQ(trx->Frequency(), 14070000);
    EXPECT_EQ(trx->UpperSideband(), 1);
    h.Transceiver().Dial(7035000);
    trx->TuneTo(7036000);
    h.Transceiver().SetUpperSideband(false);
    h.Transceiver().PowerOff();
    EXPECT_TRUE(messages.empty()) << "posted, not sent";
    sim.Dispatcher.Advance(0);
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0].Msg, PAVO_MSG_TRX_FREQUENCY);
    EXPECT_EQ(messages[0].LParam, 14070000) << "the dial as the window registers";
    EXPECT_EQ(messages[1].Msg, PAVO_MSG_TRX_FREQUENCY);
    EXPECT_EQ(messages[1].LParam, 7035000);
    EXPECT_EQ(messages[2].LParam, 7036000);
    EXPECT_EQ(messages[3].Msg, PAVO_MSG_TRX_1161);
    EXPECT_EQ(messages[3].LParam, 0);
    EXPECT_EQ(messages[4].Msg, PAVO_MSG_TRX_FREQUENCY) << "the dial again, so the new sideband is read";
    EXPECT_EQ(messages[4].LParam, 7036000);
    EXPECT_EQ(messages[5].Msg, PAVO_MSG_TRX_GONE);
    EXPECT_EQ(trx->Frequency(), 0) << "no rig, no frequency";
    EXPECT_EQ(trx->UpperSideband(), 0);
    h.Transceiver().PowerOn();
    trx->UnregisterWindow(window);
    h.Transceiver().Dial(3580000);
    sim.Dispatcher.Advance(0);
    ASSERT_EQ(messages.size(), 7u) << "nothing after unregistering";
    EXPECT_EQ(messages[6].LParam, 7036000);

    trx->SwitchToTransmit();
    EXPECT_TRUE(h.Transceiver().Keyed());
    trx->SwitchToReceive();
    EXPECT_FALSE(h.Transceiver().Keyed());
    trx->SetWorkingFrequency(3578250);
    EXPECT_EQ(h.Transceiver().WorkingFrequency(), 3578250);
}

TEST_F(ReferenceHost, TheHostsFrequencyIsTheWorkingFrequencyUntilTheDialMoves) {
    THost& h = Host();
    IHostTransceiver* trx = h.Session().Transceiver;
    trx->SetWorkingFrequency(14071750);
    EXPECT_EQ(trx->Frequency(), 14071750) << "what the plug-in reads back for its status bar";
    EXPECT_EQ(h.Transceiver().LogFrequency(), 14071750);
    h.Transceiver().Dial(14074000);
    EXPECT_EQ(trx->Frequency(), 14074000) << "a new dial makes the old working frequency stale";
    EXPECT_EQ(h.Transceiver().LogFrequency(), 14074000);

    // Beyond the interface's 32 bits the plug-in hears of an unknown dial;
    // the log keeps the rig's own.
    const quorvel::THandle window = RecordingWindow();
    trx->RegisterWindow(window);
    h.Transceiver().Dial(10368100000);
    sim.Dispatcher.Advance(0);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].Msg, PAVO_MSG_TRX_FREQUENCY);
    EXPECT_EQ(messages[1].LParam, 0);
    EXPECT_EQ(trx->Frequency(), 0);
    EXPECT_EQ(h.Transceiver().LogFrequency(), 10368100000);
    h.Transceiver().Dial(2147483647);
    EXPECT_EQ(trx->Frequency(), 2147483647) << "the largest dial the interface carries";

    // A rig that stops answering leaves its last dial for the log.
    h.Transceiver().Dial(7074000);
    h.Transceiver().PowerOff();
    EXPECT_EQ(h.Transceiver().LogFrequency(), 7074000);
}

TEST_F(ReferenceHost, ContactRunsFromItsFirstCallsignToItsSave) {
    THost& h = Host();
    h.OpenNewQso();
    INewQsoWindow& qso = *h.Session().NewQso;
    qso.CallsignControl()->SetText("DL1ABC");
    h.Clock().Set(SecondsFromCivil({2024, 5, 4, 14, 31, 31}));
    qso.CallsignControl()->SetText("DL1ABC/P");  // a correction keeps the start
    h.Session().Transceiver->SetWorkingFrequency(14071750);
    ASSERT_EQ(qso.Save(), 1);
    const TAdifRecord& r = h.Log().Records().back();
    EXPECT_EQ(r.Get("TIME_ON"), "143000");
    EXPECT_EQ(r.Get("TIME_OFF"), "143131");
    EXPECT_EQ(r.Get("QSO_DATE_OFF"), "") << "the same day";
    EXPECT_EQ(r.Get("FREQ"), "14.07175");
    EXPECT_EQ(r.Get("BAND"), "20m");

    // Over midnight the contact ends on the next day.
    qso.Reset();
    h.Clock().Set(SecondsFromCivil({2024, 5, 4, 23, 59, 0}));
    qso.CallsignControl()->SetText("G4XYZ");
    h.Clock().Set(SecondsFromCivil({2024, 5, 5, 0, 2, 10}));
    ASSERT_EQ(qso.Save(), 1);
    const TAdifRecord& late = h.Log().Records().back();
    EXPECT_EQ(late.Get("QSO_DATE"), "20240504");
    EXPECT_EQ(late.Get("TIME_ON"), "235900");
    EXPECT_EQ(late.Get("QSO_DATE_OFF"), "20240505");
    EXPECT_EQ(late.Get("TIME_OFF"), "000210");
}

TEST_F(ReferenceHost, AwardValuesGoToTheOpenContact) {
    THost& h = Host();
    h.SetAwardsAvailable(true);
    IHostAwards* awards = h.Session().Awards;
    ASSERT_NE(awards, nullptr);
    ASSERT_EQ(awards->AwardCount(), 3);
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return awards->AwardName(0, b, n); }), "IOTA");
    EXPECT_EQ(Text([&](char* b, std::int32_t n) { return awards->AwardName(7, b, n); }), "");
    awards->SetAwardValue("WAS", "MA");
    EXPECT_TRUE(events.Has("award WAS ignored: no contact is open"));
    h.OpenNewQso();
    awards->SetAwardValue("WAS", "MA");
    awards->SetAwardValue("Bogus", "1");
    h.NewQso().Callsign.Assign("K1ZZ");
    const TAdifRecord r = h.NewQso().Record();
    EXPECT_EQ(r.Get("STATE"), "MA");
    h.SetAwardsAvailable(false);
    EXPECT_EQ(h.Session().Awards, nullptr);
}

TEST_F(ReferenceHost, HostStateChangesReachThePlugInInTheRightOrder) {
    THost& h = Host();
    h.LoadPlugin(QUORVEL_TEST_PLUGINS_DIR "/fake-recording.kpl");
    auto calls = reinterpret_cast<const char* (*)()>(dlsym(RTLD_DEFAULT, "FakePluginCalls"));
    if (calls == nullptr) {
        void* self = dlopen(QUORVEL_TEST_PLUGINS_DIR "/fake-recording.kpl", RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(self, nullptr);
        calls = reinterpret_cast<const char* (*)()>(dlsym(self, "FakePluginCalls"));
        dlclose(self);
    }
    ASSERT_NE(calls, nullptr);
    const std::string before = calls();
    h.OpenNewQso();  // before the window exists the plug-in hears nothing
    EXPECT_EQ(h.Run(5), 0x4242u);
    h.CloseNewQso();
    h.OpenNewQso();
    sim.Windows.SendMessage(h.NewQsoWindowHandle(), 0x0010, 0, 0);  // its close box
    EXPECT_FALSE(h.NewQsoOpen());
    h.OpenNewQso();
    h.SetAwardsAvailable(true);
    h.SetAwardsAvailable(false);
    std::string error;
    h.SetToolbarStyle(3, error);
    h.MoveCursor(10, 20);
    h.ShowOptions();
    h.Release();
    h.OpenNewQso();
    EXPECT_EQ(std::string(calls()).substr(before.size()),
              "run 5;notify 3/1 qso no-awards;notify 2/1 qso no-awards;notify 3/1 qso no-awards;"
              "notify 2/1 qso no-awards;notify 2/6 qso awards;"
              "notify 3/6 qso awards;notify 1/26 qso no-awards;notify 1/44 qso no-awards;options " +
                  h.Settings().Get("PluginsDataPath") + ";release;");
}

TEST_F(ReferenceHost, PlugInsLoadingTheSupportLibrariesFindTheProfileAndTheDataFolder) {
    Host();
    // As a plug-in does: by name, for one call.
    void* sharepm = dlopen(QUORVEL_BIN_DIR "/sharepm.so", RTLD_NOW | RTLD_LOCAL);
    void* kvtfsys = dlopen(QUORVEL_BIN_DIR "/kvtfsys.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(sharepm, nullptr);
    ASSERT_NE(kvtfsys, nullptr);
    auto getProfile = reinterpret_cast<smGetProfileFn>(dlsym(sharepm, "smGetProfile"));
    auto getAppData = reinterpret_cast<fsGetAppDataPathFn>(dlsym(kvtfsys, "fsGetAppDataPath"));
    char name[PAVO_PROFILE_NAME_SIZE], path[PAVO_PATH_SIZE], folder[PAVO_PATH_SIZE];
    ASSERT_NE(getProfile(name, path), 0);
    EXPECT_STREQ(name, "Default");
    EXPECT_STREQ(path, "\\Profiles\\Default");
    ASSERT_NE(getAppData(0, folder), 0);
    EXPECT_EQ(std::string(folder), data.string());
    host.reset();
    EXPECT_EQ(getProfile(name, path), 0) << "the host's profile ends with the host";
    dlclose(sharepm);
    dlclose(kvtfsys);
}

TEST(Locator, CentresDistancesAndLocalTime) {
    const auto ko85 = LocatorCentre("KO85");
    ASSERT_TRUE(ko85);
    EXPECT_DOUBLE_EQ(ko85->Lat, 55.5);
    EXPECT_DOUBLE_EQ(ko85->Lon, 37.0);
    const auto jo62qm = LocatorCentre("jo62qm");
    ASSERT_TRUE(jo62qm);
    EXPECT_NEAR(jo62qm->Lat, 52.520833, 1e-6);
    EXPECT_NEAR(jo62qm->Lon, 13.375, 1e-6);
    EXPECT_TRUE(LocatorCentre("FN42aa12"));
    for (const char* bad : {"", "K", "ZZ00", "KO8", "KO85Z1", "KO85UZ", "12AB", "KO85us1x"})
        EXPECT_FALSE(LocatorCentre(bad)) << bad;
    EXPECT_EQ(DistanceKm(*ko85, *ko85), 0);
    EXPECT_NEAR(DistanceKm(*LocatorCentre("KO85US"), *jo62qm), 1610, 20);
    EXPECT_EQ(LocalOffsetMinutes({0, 37.6}), 180);
    EXPECT_EQ(LocalOffsetMinutes({0, -71.0}), -300);
}

}  // namespace
}  // namespace pavohost
