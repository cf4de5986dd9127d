#include <cstring>
#include <string>

#include "PluginFixture.h"
#include "base/CodePage.h"

namespace quorvel::testing {
namespace {

using EntryPoints = PluginFixture;

TEST_F(EntryPoints, InformationRecordWritesNamesAndFlagOnly) {
    PavoInfo info;
    std::memset(&info, 0xAB, sizeof info);
    TPluginLibrary::GetInfo(&info);
    EXPECT_EQ(Cp1251ToUtf8(info.Name), "Цифровые виды связи");
    const std::string description = Cp1251ToUtf8(info.Description);
    EXPECT_EQ(description.rfind("Цифровые виды связи. Версия 1.2.0.\r\n\r\n", 0), 0u);
    EXPECT_EQ(info.Flag, 1);
    for (std::uint8_t b : info.Unused) EXPECT_EQ(b, 0xAB);  // bytes 13 to 15 untouched
    EXPECT_EQ(TPluginLibrary::GetVersion(), 61);
}

TEST_F(EntryPoints, RunAdoptsTheHostApplicationAndShowsTheWindow) {
    library->Application.Handle = 0x77;
    const THandle h = library->Run(&host.session, 42);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(library->HostMainWindow, hostWindow);
    EXPECT_EQ(library->SavedApplicationHandle, 0x77u);
    EXPECT_EQ(library->Application.Handle, host.application.appObject.handle);
    EXPECT_EQ(library->Application.Title, "Tarvik");
    EXPECT_EQ(library->Host, &host.session);
    EXPECT_EQ(library->HostInstanceValue, 42);
    EXPECT_TRUE(sim.Windows.IsVisible(h));
    EXPECT_EQ(sim.Windows.Owner(h), hostWindow);
}

TEST_F(EntryPoints, SecondRunReturnsTheSameWindowAndKeepsTheSession) {
    const THandle h = library->Run(&host.session, 42);
    FakeHost other;
    library->MainForm->Close();
    EXPECT_FALSE(sim.Windows.IsVisible(h));
    EXPECT_EQ(library->Run(&other.session, 99), h);
    EXPECT_TRUE(sim.Windows.IsVisible(h));
    EXPECT_EQ(library->Host, &host.session);
    EXPECT_EQ(library->HostInstanceValue, 42);
    EXPECT_EQ(other.application.mainWindowCalls, 0);
}

TEST_F(EntryPoints, RunAfterReleaseMakesAFreshWindowAndReadsTheHostAgain) {
    library->Application.Handle = 0x77;
    library->Run(&host.session, 1);
    library->Release();
    EXPECT_EQ(library->MainForm, nullptr);
    EXPECT_EQ(library->Application.Handle, 0x77u);  // the library's own handle is back
    EXPECT_EQ(library->HostInstanceValue, 1);       // session values survive release

    host.application.appObject.handle = 0xB000;
    library->Run(&host.session, 2);
    ASSERT_NE(library->MainForm, nullptr);
    EXPECT_EQ(host.application.mainWindowCalls, 2);
    EXPECT_EQ(library->SavedApplicationHandle, 0x77u);
    EXPECT_EQ(library->Application.Handle, 0xB000u);
    EXPECT_EQ(library->HostInstanceValue, 2);
}

TEST_F(EntryPoints, CloseHidesAndPostsOneSignalPerCloseWithTheFirstInstanceValue) {
    const THandle h = library->Run(&host.session, 1234);
    library->MainForm->Close();
    EXPECT_TRUE(Received(PAVO_MSG_CLOSE).empty()) << "posted, not sent";
    sim.Dispatcher.Advance(0);
    auto signals = Received(PAVO_MSG_CLOSE);
    ASSERT_EQ(signals.size(), 1u);
    EXPECT_STREQ(reinterpret_cast<const char*>(signals[0].WParam), PAVO_CLOSE_ID);
    EXPECT_EQ(signals[0].LParam, 1234);
    EXPECT_TRUE(sim.Windows.IsWindow(h)) << "closing does not destroy";

    library->Run(&host.session, 5678);
    library->MainForm->Close();
    sim.Dispatcher.Advance(0);
    signals = Received(PAVO_MSG_CLOSE);
    ASSERT_EQ(signals.size(), 2u);
    EXPECT_EQ(signals[1].LParam, 1234);
}

TEST_F(EntryPoints, TheCloseBoxClosesAsTheWindowsOwnCloseDoes) {
    // The window manager's close (the close box, Alt+F4) reaches the window as WM_CLOSE.
    const THandle h = library->Run(&host.session, 77);
    sim.Windows.SendMessage(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(sim.Windows.IsVisible(h));
    EXPECT_FALSE(library->MainForm->Visible());
    sim.Dispatcher.Advance(0);
    const auto signals = Received(PAVO_MSG_CLOSE);
    ASSERT_EQ(signals.size(), 1u);
    EXPECT_EQ(signals[0].LParam, 77);
    EXPECT_TRUE(sim.Windows.IsWindow(h));
}

TEST_F(EntryPoints, WindowPropertyIsOneAfterCreationAndTwoOnceShown) {
    // Creation alone (as PavoRun does before showing).
    library->Host = &host.session;
    auto form = TForm::Create<TMainForm>(*library);
    EXPECT_EQ(sim.Windows.GetProp(form->Handle(), PAVO_WINDOW_PROP), 1u);
    form->Show();
    EXPECT_EQ(sim.Windows.GetProp(form->Handle(), PAVO_WINDOW_PROP), 2u);
}

TEST_F(EntryPoints, NotificationsWithoutAWindowOrUnknownDoNothing) {
    EXPECT_EQ(library->SendNotify(1, 26), 0);
    EXPECT_EQ(library->SendNotify(2, 1), 0);
    EXPECT_EQ(library->MainForm, nullptr);
    library->Run(&host.session, 1);
    EXPECT_EQ(library->SendNotify(1, 99), 0);
    EXPECT_EQ(library->SendNotify(4, 1), 0);
}

TEST_F(EntryPoints, BadCallsAreHarmless) {
    EXPECT_EQ(library->Run(nullptr, 1), 0u);
    EXPECT_EQ(library->MainForm, nullptr);
    library->Release();  // no window: nothing happens
    EXPECT_EQ(library->MainForm, nullptr);
    TPluginLibrary::GetInfo(nullptr);
}

TEST_F(EntryPoints, ReleaseRestoresTheTransceiverAndWorkingFrequency) {
    host.transceiver.frequency = 14070000;
    library->Run(&host.session, 1);
    EXPECT_EQ(host.transceiver.registered.size(), 1u);
    EXPECT_EQ(host.transceiver.attached, 1);
    library->Release();
    EXPECT_TRUE(host.transceiver.registered.empty());
    EXPECT_EQ(host.transceiver.attached, 0);
    EXPECT_EQ(host.transceiver.calls.back(), "rx");
    EXPECT_EQ(host.transceiver.workingFrequency, 14070000 - 1750);
}

TEST_F(EntryPoints, ZeroHostFrequencyLeavesTheWorkingFrequencyAlone) {
    library->Run(&host.session, 1);
    library->Release();
    EXPECT_EQ(host.transceiver.workingFrequencySets, 0);
}

}  // namespace
}  // namespace quorvel::testing
