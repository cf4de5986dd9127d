#pragma once
// "Мастер выбора аудиоустройств": four steps that choose the transmit device,
// the receive device and the recording source the transceiver is wired to,
// with that source's select-or-mute switch. The settings are only read here;
// the caller stores the choice after OK.
#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioSlice.h"
#include "audio/dsMixerModule.h"
#include "settings/ClassesX.h"
#include "settings/dsConfig.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Images.h"

namespace quorvel {

class THostResources;

class TAudioSetupForm : public TForm {
public:
    // resources: the host's resource library, for the pictures; may be null.
    TAudioSetupForm(TApplication& app, THandle parentWindow, IMultimedia& multimedia,
                    const dsConfig::TConfig& settings, const THostResources* resources);
    ~TAudioSetupForm() override;

    static constexpr int kClientWidth = 429, kClientHeight = 247, kPageHeight = 201;
    static constexpr int kPictureWidth = 93, kHeaderHeight = 57, kIconSize = 48;

    // The steps, one page each; the tabs are not shown.
    TPageControl PageControl1{"PageControl1"};
    TTabSheet TabSheet1{"TabSheet1"}, TabSheet2{"TabSheet2"}, TabSheet3{"TabSheet3"}, TabSheet4{"TabSheet4"};
    // Step 0.
    TLabel lblWelcomeTitle{"lblWelcomeTitle"};
    TLabel lblWelcomeText{"lblWelcomeText"};
    // Step 1.
    TLabel lblTransmitHeader{"lblTransmitHeader"};
    TLabel lblTransmit{"lblTransmit"};
    TComboBox cbTransmit{"cbTransmit"};
    // Step 2.
    TLabel lblReceiveHeader{"lblReceiveHeader"};
    TLabel lblReceive{"lblReceive"};
    TComboBox cbReceive{"cbReceive"};
    TLabel lblSource{"lblSource"};
    TComboBox cbSource{"cbSource"};
    TButtonItem chkSwitch{"chkSwitch"};  // a check box: Down is its check mark
    // Step 3.
    TLabel lblFinishTitle{"lblFinishTitle"};
    TLabel lblFinishText{"lblFinishText"};
    // The button row.
    TButtonItem btnBack{"btnBack"};
    TButtonItem btnNext{"btnNext"};      // the default button
    TButtonItem btnCancel{"btnCancel"};  // also the Esc key

    // The band on the left of the first and last steps and the icon of the
    // two middle ones; empty without the resource library.
    TBitmap Picture;
    TBitmap Icon;

    int Step() const { return step_; }
    // Whether the window is done (a modal result is set).
    bool Finished() const { return ModalResult() != mrNone; }

    // The mixer numbers of the receive entries and the recording destination
    // of the selected one.
    const TIntegerList& MixerNumbers() const { return mixerNumbers_; }
    std::int32_t DestinationIndex() const { return destination_; }
    const TMixerModule* MixerModule() const { return mixerModule_.get(); }

    // What the operator chose: the entries shown when OK was pressed.
    TAudioSetupChoice Choice() const;

    void btnBackClick(TComponent* Sender);
    void btnNextClick(TComponent* Sender);
    void btnCancelClick(TComponent* Sender);
    void cbTransmitChange(TComponent* Sender);
    void cbReceiveChange(TComponent* Sender);
    void cbSourceChange(TComponent* Sender);

protected:
    void FormShow() override;
    void FormClose(TCloseAction& action) override;

private:
    void Design();
    void EnterStep();
    void FillDevices();

    IMultimedia& multimedia_;
    const dsConfig::TConfig& settings_;
    const THostResources* resources_;
    TFocusScope focus_;
    int step_ = 0;
    TIntegerList mixerNumbers_;
    std::int32_t destination_ = -1;
    std::unique_ptr<TMixerModule> mixerModule_;
};

}  // namespace quorvel
