// The audio setup wizard over hand-built sound cards: its steps, the lists it
// offers and preselects, the cancel question and what it stores.
#include <gtest/gtest.h>

#include "SimMultimedia.h"
#include "SimPlatform.h"
#include "audio/dsSetupWizard.h"
#include "base/CodePage.h"

namespace quorvel {
namespace {

using sim::TSimMultimedia;

sim::TSimMixerDevice Card(std::string name, bool withMux) {
    sim::TSimMixerDevice device;
    device.Name = std::move(name);
    sim::TSimDestination recording;
    recording.Name = "Recording";
    recording.ComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    recording.Controls = {TSimMultimedia::Volume(100, 100)};
    if (withMux) recording.Controls.push_back(TSimMultimedia::Mux({0, 1}, {"Line", "Mic"}, 0));
    sim::TSimLine line, mic;
    line.Name = "Line";
    line.Controls = {TSimMultimedia::Volume(1, 1), TSimMultimedia::Mute(false)};
    mic.Name = "Mic";
    mic.Controls = {TSimMultimedia::Volume(2, 2), TSimMultimedia::Mute(true, 2, MIXERCONTROL_CONTROLF_DISABLED)};
    recording.Sources = {line, mic};
    device.Destinations = {recording};
    return device;
}

class AudioWizard : public ::testing::Test {
protected:
    AudioWizard() {
        mm.WaveOuts = {{"Speakers", 0, false}, {"Headset", 0, false}};
        mm.Mixers = {Card("Onboard", true), Card("USB", false)};
    }
    TAudioSetupForm& Open() {
        form = TForm::Create<TAudioSetupForm>(app, THandle{0}, mm, settings, nullptr);
        form->Show();
        return *form;
    }
    std::string Caption(const TButtonItem& b) const { return Cp1251ToUtf8(b.Caption()); }

    sim::TSimPlatform platform;
    TApplication app{platform.Ports()};
    TSimMultimedia mm;
    dsConfig::TConfig settings;
    std::unique_ptr<TAudioSetupForm> form;
};

TEST_F(AudioWizard, StepsMoveByOneWithTheButtonsAsTheyShouldBe) {
    TAudioSetupForm& w = Open();
    EXPECT_EQ(w.Step(), 0);
    EXPECT_FALSE(w.btnBack.Enabled());
    EXPECT_TRUE(w.btnNext.Enabled());
    EXPECT_EQ(Caption(w.btnNext), "Далее >");
    EXPECT_EQ(w.MixerModule(), nullptr);

    w.btnNext.Click();
    EXPECT_EQ(w.Step(), 1);
    EXPECT_EQ(w.PageControl1.ActivePageIndex(), 1);
    EXPECT_TRUE(w.btnBack.Enabled());
    EXPECT_TRUE(w.btnNext.Enabled());
    EXPECT_NE(w.MixerModule(), nullptr);
    w.btnNext.Click();
    EXPECT_EQ(w.Step(), 2);
    EXPECT_TRUE(w.btnNext.Enabled());
    w.btnNext.Click();
    EXPECT_EQ(w.Step(), 3);
    EXPECT_EQ(Caption(w.btnNext), "Финиш");
    w.btnBack.Click();
    EXPECT_EQ(Caption(w.btnNext), "Далее >");
    w.btnNext.Click();
    EXPECT_FALSE(w.Finished());
    w.btnNext.Click();
    EXPECT_EQ(w.ModalResult(), mrOk);
    EXPECT_EQ(w.MixerModule(), nullptr);  // freed on closing
    EXPECT_TRUE(platform.Dialogs.Messages.empty());
}

TEST_F(AudioWizard, ListsArePreselectedFromTheSettingsAndBackRebuildsThem) {
    settings.OutSoundCard = 1;
    settings.InSoundCard = 1;
    settings.SoundSource = 2;
    TAudioSetupForm& w = Open();
    w.btnNext.Click();
    ASSERT_EQ(w.cbTransmit.Items().size(), 3u);
    EXPECT_EQ(Cp1251ToUtf8(w.cbTransmit.Items()[0]), "Устройство по умолчанию");
    EXPECT_EQ(w.cbTransmit.ItemIndex(), 2);
    ASSERT_EQ(w.cbReceive.Items(), (std::vector<std::string>{"Onboard", "USB"}));
    EXPECT_EQ(w.cbReceive.ItemIndex(), 1);
    EXPECT_EQ(w.cbSource.Items(), (std::vector<std::string>{"Recording", "Line", "Mic"}));
    EXPECT_EQ(w.cbSource.ItemIndex(), 2);
    // The USB card has no multiplexer: the microphone's mute is its switch, marked disabled.
    EXPECT_EQ(Cp1251ToUtf8(w.chkSwitch.Caption()), "Отключить");
    EXPECT_FALSE(w.chkSwitch.Enabled());
    EXPECT_TRUE(w.chkSwitch.Down());

    w.btnNext.Click();
    w.cbReceive.Select(0);
    EXPECT_EQ(w.cbSource.ItemIndex(), 0);
    w.cbSource.Select(1);
    EXPECT_EQ(Cp1251ToUtf8(w.chkSwitch.Caption()), "Выбрать");
    EXPECT_TRUE(w.chkSwitch.Enabled());
    EXPECT_TRUE(w.chkSwitch.Down());  // line is the selected source
    w.btnBack.Click();
    EXPECT_EQ(w.cbTransmit.ItemIndex(), 2);
    EXPECT_EQ(w.cbReceive.ItemIndex(), 1);
    EXPECT_EQ(w.cbSource.ItemIndex(), 2);

    // Entries that no longer exist fall back to the first.
    settings.OutSoundCard = 3;
    settings.InSoundCard = 5;
    settings.SoundSource = 7;
    w.btnBack.Click();
    w.btnNext.Click();
    EXPECT_EQ(w.cbTransmit.ItemIndex(), 0);
    EXPECT_EQ(w.cbReceive.ItemIndex(), 0);
    EXPECT_EQ(w.cbSource.ItemIndex(), 0);
}

TEST_F(AudioWizard, FinishingGivesTheChoiceShown) {
    settings.InSoundCard = -1;
    settings.InMixerID = 9;
    TAudioSetupForm& w = Open();
    w.btnNext.Click();
    EXPECT_EQ(w.cbTransmit.ItemIndex(), 0);  // the default device
    w.btnNext.Click();
    w.cbReceive.Select(1);
    w.cbSource.Select(1);
    EXPECT_FALSE(w.chkSwitch.Down());  // the line is not muted
    w.chkSwitch.Click();               // the operator mutes it
    w.btnNext.Click();
    w.btnNext.Click();
    ASSERT_EQ(w.ModalResult(), mrOk);
    const TAudioSetupChoice choice = w.Choice();
    EXPECT_EQ(choice.OutSoundCard, -1);
    EXPECT_EQ(choice.InSoundCard, 1);
    EXPECT_EQ(choice.SoundSource, 1);
    EXPECT_EQ(choice.InMixerID, 1);
    EXPECT_EQ(choice.InDest, 0);
    EXPECT_TRUE(choice.EnabledRXLevel);
    EXPECT_EQ(choice.InSelect, 1);
}

TEST_F(AudioWizard, CancelBeforeTheFirstSetupAsksAndNoKeepsItOpen) {
    TAudioSetupForm& w = Open();
    w.btnNext.Click();
    platform.Dialogs.Answers = {IDNO};
    w.btnCancel.Click();
    ASSERT_EQ(platform.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Cp1251ToUtf8(platform.Dialogs.Messages[0].Text),
              "Звуковые устройства ещё не выбраны. Работа цифровыми видами\r\nсвязи будет невозможна. "
              "Завершить работу мастера?");
    EXPECT_EQ(platform.Dialogs.Messages[0].Flags & 0xFF, 52);
    EXPECT_FALSE(w.Finished());
    EXPECT_EQ(w.Step(), 1);
    EXPECT_NE(w.MixerModule(), nullptr);

    platform.Dialogs.Answers = {IDYES};
    w.Close();  // Esc or the system's close: the same question
    EXPECT_EQ(platform.Dialogs.Messages.size(), 2u);
    EXPECT_EQ(w.ModalResult(), mrCancel);
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(w.MixerModule(), nullptr);
}

TEST_F(AudioWizard, CancelAfterSetupClosesWithoutAQuestion) {
    settings.SetupComplete = true;
    TAudioSetupForm& w = Open();
    w.btnCancel.Click();
    EXPECT_EQ(w.ModalResult(), mrCancel);
    EXPECT_TRUE(platform.Dialogs.Messages.empty());
}

TEST_F(AudioWizard, WithoutDevicesTheWizardCanOnlyBeCancelled) {
    mm.WaveOuts.clear();
    TAudioSetupForm& w = Open();
    w.btnNext.Click();
    EXPECT_TRUE(w.cbTransmit.Items().empty());
    EXPECT_FALSE(w.btnNext.Enabled());

    mm.WaveOuts = {{"Speakers", 0, false}};
    mm.Mixers.clear();
    w.btnBack.Click();
    w.btnNext.Click();
    EXPECT_TRUE(w.btnNext.Enabled());
    EXPECT_TRUE(w.cbReceive.Items().empty());
    w.btnNext.Click();
    EXPECT_TRUE(w.cbSource.Items().empty());
    EXPECT_FALSE(w.btnNext.Enabled());

    // A receive device whose mixer cannot be opened offers no source.
    mm.Mixers = {Card("Onboard", true)};
    w.btnBack.Click();
    mm.Mixers[0].FailOpens = 3;
    w.cbReceive.Select(0);
    EXPECT_TRUE(w.cbSource.Items().empty());
    EXPECT_EQ(w.DestinationIndex(), -1);
}

TEST_F(AudioWizard, RunsModallyUntilItHasAResult) {
    form = TForm::Create<TAudioSetupForm>(app, THandle{0}, mm, settings, nullptr);
    platform.Dialogs.ModalForms.push_back([&](TForm& shown) {
        EXPECT_TRUE(shown.Visible());
        EXPECT_TRUE(shown.Modal);
        EXPECT_GT(app.ModalLevel, 0);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(shown.Automation.Run("click", "btnNext", "").Code, 1);
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->Modal);
    EXPECT_EQ(app.ModalLevel, 0);
    EXPECT_EQ(platform.Dialogs.Modals.back(), Ru("Мастер выбора аудиоустройств"));
    // Nobody works the next run: it ends as cancelled.
    EXPECT_EQ(form->ShowModal(), mrCancel);
}

TEST(AudioIcons, TheIconPictureComesOutOfAnIcoFile) {
    // One 2 x 2 picture of 32 bits with its mask: height counted twice.
    std::string ico = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 32, 0};
    auto put = [](std::string& s, std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const std::uint32_t size = 40 + 16 + 8;
    put(ico, size, 4);
    put(ico, 22, 4);
    put(ico, 40, 4);
    put(ico, 2, 4);
    put(ico, 4, 4);
    put(ico, 1, 2);
    put(ico, 32, 2);
    for (int i = 0; i < 6; ++i) put(ico, 0, 4);
    // Bottom row first: blue, green; then red, white on top.
    for (std::uint32_t p : {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu}) put(ico, p, 4);
    put(ico, 0, 8);
    const auto icon = DecodeIcon(ico, 48);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(icon->Width, 2);
    EXPECT_EQ(icon->Height, 2);
    EXPECT_EQ(icon->Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(icon->Pixel(0, 1), 0xFF0000FFu);

    EXPECT_FALSE(DecodeIcon(ico.substr(0, 30), 48).has_value());
    EXPECT_FALSE(DecodeIcon("", 48).has_value());
    std::string hostile = ico;
    hostile[18] = '\x7F';  // the picture's offset beyond the file
    EXPECT_FALSE(DecodeIcon(hostile, 48).has_value());
}

}  // namespace
}  // namespace quorvel
