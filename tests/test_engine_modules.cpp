// Modem-engine modules found through the registration file
// (pavo/modem-engine.h): the registration format, the version check that
// refuses another version with the operator's message, and the window working
// on without a modem after a refusal.
#include <gtest/gtest.h>

#include <string>

#include "PluginFixture.h"
#include "RegisteredEngines.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "pavo/modem-engine.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

using linux_platform::ParseEngineRegistration;
using linux_platform::TRegisteredEngines;

const std::string kLoopback = std::string(QUORVEL_BIN_DIR) + "/libquorvel-loopback.so";
const std::string kModem = std::string(QUORVEL_BIN_DIR) + "/libquorvel-modem-engine.so";
const std::string kOtherVersion = std::string(QUORVEL_TEST_PLUGINS_DIR) + "/libfake-engine-other-version.so";
const std::string kNoVersion = std::string(QUORVEL_TEST_PLUGINS_DIR) + "/libfake-engine-no-version.so";

class EngineModules : public TempFolderTest {
protected:
    void Register(const std::string& module) {
        WriteAll(Path(QUORVEL_MODEM_ENGINE_REGISTRATION_FILE),
                 std::string("# engines\n") + kModemEngineClassId + "=" + module + "\n");
    }
    sim::TSimPlatform sim;
};

TEST(EngineRegistration, ClassIdsAreTrimmedAndCaseInsensitiveCommentsAndBrokenLinesSkipped) {
    const auto registry = ParseEngineRegistration(
        "# comment\n  {abc-def} = engine.so \r\nno equals sign\n=nothing\n{X}=\n{ABC-DEF}=later.so\n");
    ASSERT_EQ(registry.size(), 1u);
    EXPECT_EQ(registry.at("{ABC-DEF}"), "later.so");
}

TEST_F(EngineModules, AModuleOfThisVersionMakesTheEngine) {
    Register(kLoopback);
    TRegisteredEngines engines(Folder());
    auto engine = engines.CreateEngine(kModemEngineClassId, sim.Dispatcher);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->wModeMax(), 11);
    EXPECT_EQ(engines.Refusal(), "");
}

TEST_F(EngineModules, AModuleOfAnotherVersionIsRefusedWithTheReason) {
    Register(kOtherVersion);
    TRegisteredEngines engines(Folder());
    EXPECT_EQ(engines.CreateEngine(kModemEngineClassId, sim.Dispatcher), nullptr);
    EXPECT_EQ(engines.Refusal(), Ru("Модуль модема ") + kOtherVersion + Ru(" имеет версию интерфейса 2, а плагину "
                                                                        "нужна версия 1. Модуль не загружен, "
                                                                        "плагин работает без модема."));
}

TEST_F(EngineModules, AModuleWithoutTheVersionExportIsRefused) {
    Register(kNoVersion);
    TRegisteredEngines engines(Folder());
    EXPECT_EQ(engines.CreateEngine(kModemEngineClassId, sim.Dispatcher), nullptr);
    EXPECT_NE(engines.Refusal().find(Ru("не сообщает версию интерфейса")), std::string::npos);
    // A later lookup that finds nothing registered has nothing to tell.
    WriteAll(Path(QUORVEL_MODEM_ENGINE_REGISTRATION_FILE), "");
    EXPECT_EQ(engines.CreateEngine(kModemEngineClassId, sim.Dispatcher), nullptr);
    EXPECT_EQ(engines.Refusal(), "");
}

TEST_F(EngineModules, TheViewsFetchTheirEnginesDataFromTheModuleRegisteredForThem) {
    WriteAll(Path(QUORVEL_MODEM_ENGINE_REGISTRATION_FILE), std::string(kModemEngineClassId) + "=" + kModem + "\n" +
                                                               kModemViewClassId + "=" + kModem + "\n");
    TRegisteredEngines engines(Folder());
    auto engine = engines.CreateEngine(kModemEngineClassId, sim.Dispatcher);
    ASSERT_NE(engine, nullptr);
    const QuorvelModemDisplay* display = engines.Display(kModemViewClassId);
    ASSERT_NE(display, nullptr);
    EXPECT_GE(display->Version, 1u);
    const std::int32_t handle = engine->dwHandle();
    engine->set_RxCarrier(0, 1500);
    QuorvelModemDisplayFrame frame{};
    ASSERT_EQ(display->Frame(handle, 0, &frame), 1);
    EXPECT_EQ(frame.RxCarrier[0], 1500);
    EXPECT_EQ(frame.RxCarrier[1], 0) << "closed";
    EXPECT_EQ(display->Frame(handle + 1, 0, &frame), 0) << "no engine of the module has that handle";
    EXPECT_EQ(display->Frame(handle, 5, &frame), 0);
    // A click moves the channel's carrier in the engine itself.
    EXPECT_EQ(display->Tune(handle, 0, 1234), 1);
    EXPECT_EQ(engine->RxCarrier(0), 1234);
    EXPECT_EQ(display->Tune(handle, 0, 3001), 0) << "above the carriers' range";
    EXPECT_EQ(display->Tune(handle, -1, 1000), 0);
    EXPECT_EQ(engine->RxCarrier(0), 1234);
    engine.reset();
    EXPECT_EQ(display->Frame(handle, 0, &frame), 0) << "the engine has gone";

    // The loopback module has no display data; nothing registered, nothing found.
    WriteAll(Path(QUORVEL_MODEM_ENGINE_REGISTRATION_FILE), std::string(kModemViewClassId) + "=" + kLoopback + "\n");
    EXPECT_EQ(engines.Display(kModemViewClassId), nullptr);
    EXPECT_EQ(engines.Display(kModemLevelClassId), nullptr);
}

class RefusedEngineWindow : public PluginFixture {
protected:
    TempFolder temp;
};

TEST_F(RefusedEngineWindow, TheWindowTellsTheOperatorAndWorksWithoutAModem) {
    WriteAll(temp.Path(QUORVEL_MODEM_ENGINE_REGISTRATION_FILE),
             std::string(kModemEngineClassId) + "=" + kOtherVersion + "\n");
    TRegisteredEngines registered(temp.Folder());
    sim.Ports().Engines = &registered;
    library.reset();
    library = std::make_unique<TPluginLibrary>(sim.Ports());
    library->Host = &host.session;
    auto form = TForm::Create<TMainForm>(*library);
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(sim.Dialogs.Messages[0].Text, registered.Refusal());
    EXPECT_EQ(sim.Dialogs.Messages[0].Flags & MB_ICONERROR, MB_ICONERROR);
    form->Show();
    EXPECT_TRUE(form->mnuModes.Items().empty());
    EXPECT_EQ(form->MMVARI1()->bTX(), OleFalse);
}

}  // namespace
}  // namespace quorvel::testing
