#pragma once
// "Настройки": every plug-in setting on three pages. The dialog reads the
// settings when it is shown and writes them only on OK; saving and applying
// them is the caller's.
#include <cstdint>
#include <functional>
#include <memory>

#include "audio/RsAudioMixer.h"
#include "settings/ClassesX.h"
#include "settings/dsConfig.h"
#include "ui/ColorBox.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

namespace quorvel {

// A panel that shows a font on its own background.
class TFontSample : public TPanel {
public:
    using TPanel::TPanel;
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font) {
        font_ = font;
        Changed();
    }

private:
    TFont font_;
};

class TOptionsForm : public TForm {
public:
    // multimedia may be null: no sound devices are offered then.
    TOptionsForm(TApplication& app, THandle parentWindow, IMultimedia* multimedia, dsConfig::TConfig& settings);
    ~TOptionsForm() override;

    static constexpr int kClientWidth = 386, kClientHeight = 295;

    TPageControl PageControl1{"PageControl1"};
    TTabSheet TabSheet1{"TabSheet1"}, TabSheet2{"TabSheet2"}, TabSheet3{"TabSheet3"};

    // "Основные".
    TLabel lblDelayTX{"lblDelayTX"};
    TSpinEdit seDelayTX{"seDelayTX", &focus_};
    TButtonItem chkAutoSendChar{"chkAutoSendChar"};
    TLabel lblTimeDoRx{"lblTimeDoRx"};
    TSpinEdit seTimeDoRx{"seTimeDoRx", &focus_};
    TButtonItem chkAutoSendMacros{"chkAutoSendMacros"};
    TButtonItem chkSendOfEnter{"chkSendOfEnter"};
    TButtonItem chkAutoEndTX{"chkAutoEndTX"};
    TButtonItem chkAutoClearTXWnd{"chkAutoClearTXWnd"};
    TButtonItem chkAutoClearRXWnd{"chkAutoClearRXWnd"};
    TButtonItem chkAutoOpenRCFile{"chkAutoOpenRCFile"};
    TButtonItem chkSelectedRcvr{"chkSelectedRcvr"};

    // "Параметры аудио".
    TLabel lblOutSoundCard{"lblOutSoundCard"};
    TComboBox cbOutSoundCard{"cbOutSoundCard"};
    TLabel lblModGain{"lblModGain"};
    TSpinEdit seModGain{"seModGain", &focus_};
    TLabel lblInSoundCard{"lblInSoundCard"};
    TComboBox cbInSoundCard{"cbInSoundCard"};
    TLabel lblSoundSource{"lblSoundSource"};
    TComboBox cbSoundSource{"cbSoundSource"};
    TButtonItem chkInSelect{"chkInSelect"};
    TButtonItem btnAudioDevices{"btnAudioDevices"};
    TLabel lblFreqSample{"lblFreqSample"};
    TSpinEdit seFreqSample{"seFreqSample", &focus_};
    TLabel lblTxOffset{"lblTxOffset"};
    TSpinEdit seTxOffset{"seTxOffset", &focus_};

    // "Вид".
    TGroupBox gbRXFont{"gbRXFont"};
    TFontSample pnlRXSample{"pnlRXSample"};
    TButtonItem btnRXFont{"btnRXFont"};
    TLabel lblRXFontRxColor{"lblRXFontRxColor"};
    TColorBox cbRXFontRxColor;
    TLabel lblRXFontTxColor{"lblRXFontTxColor"};
    TColorBox cbRXFontTxColor;
    TGroupBox gbTXFont{"gbTXFont"};
    TFontSample pnlTXSample{"pnlTXSample"};
    TButtonItem btnTXFont{"btnTXFont"};
    TLabel lblTXFontColor{"lblTXFontColor"};
    TColorBox cbTXFontColor;
    TButtonItem chkHIToSml{"chkHIToSml"};
    TLabel lblRXWndColor{"lblRXWndColor"};
    TColorBox cbRXWndColor;
    TLabel lblTXWndColor{"lblTXWndColor"};
    TColorBox cbTXWndColor;

    // Below the pages.
    TLabel lblHelp{"lblHelp"};        // a link: underlined, hand cursor
    TButtonItem btnOK{"btnOK"};       // the default button
    TButtonItem btnCancel{"btnCancel"};  // also the Esc key

    // The mixer numbers of the receive entries and the recording destination
    // of the selected one.
    const TIntegerList& MixerNumbers() const { return mixerNumbers_; }
    std::int32_t DestinationIndex() const { return destination_; }
    const TRsAudioMixer* Mixer() const { return mixer_.get(); }

    // Opens the plug-in's help page (the link and F1); set by the entry point.
    std::function<void()> OnHelp;

    void chkAutoSendCharClick(TComponent* Sender);
    void cbInSoundCardChange(TComponent* Sender);
    void cbSoundSourceChange(TComponent* Sender);
    void btnAudioDevicesClick(TComponent* Sender);
    void btnRXFontClick(TComponent* Sender);
    void btnTXFontClick(TComponent* Sender);
    void cbTXFontColorChange(TComponent* Sender);
    void lblHelpClick(TComponent* Sender);
    void btnOKClick(TComponent* Sender);
    void btnCancelClick(TComponent* Sender);

protected:
    void FormShow() override;

private:
    void Design();
    void Fill();
    void Store();
    void ShowNoSwitch();
    void ChooseFont(TFontSample& sample);

    IMultimedia* multimedia_;
    dsConfig::TConfig& settings_;
    TFocusScope focus_;
    std::unique_ptr<TRsAudioMixer> mixer_;
    TIntegerList mixerNumbers_;
    std::int32_t destination_ = -1;
};

// ModGain (0 ... 32767) as the percent the dialog shows and back, each
// rounded to the nearest integer.
int ModGainPercent(std::int16_t modGain);
std::int16_t ModGainFromPercent(int percent);

}  // namespace quorvel
