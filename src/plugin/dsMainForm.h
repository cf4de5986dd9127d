#pragma once
// The plug-in's one window, composed of one slice per subsystem. Each slice's
// folder holds, for the controls it drives, their design (captions, hints,
// ranges, initial state) and handler binding (Design*), their automation
// registration (Register*Automation), their handlers and engine reports, and
// their state as one struct member of the window:
//
//   src/plugin/dsMainForm.cpp        lifecycle: creation, show, settings,
//                                    appearance, message hook, close, destruction;
//                                    composes the slices, publishes the
//                                    persisted properties
//   src/plugin/dsMainFormWindow.cpp  bars, main menu, status bar, host
//                                    integration and contact fields   (Window)
//   src/modem/dsMainFormModem.cpp    mode, speed, AFC, NET, ATC, carriers (Modem)
//   src/modem/dsMainFormFilters.cpp  receive filters, notches, extra channels
//                                                                     (Filters)
//   src/modem/dsMainFormViews.cpp    spectrum and waterfall, transceiver panel
//                                                                     (Views)
//   src/modem/EngineEvents.*         the one adapter from the engine's events
//                                    to the slices' MMVARI1* handlers
//   src/modem/NullModemEngine.h      the engine when none is registered
//   src/rxtext/dsMainFormRxText.cpp  receive panes, capture, file reception (Rx)
//   src/rxtext/dsMainFormFileTransfer.cpp
//                                    sending and receiving text files (Rx)
//   src/tx/dsMainFormTransmit.cpp    transmit pane, TX/RX and tone     (Tx)
//   src/tx/dsMainFormMacros.cpp      macro pages and toolbars
//   src/audio/dsMainFormAudio.cpp    levels, sound card, setup wizard  (Audio)
//
// A subsystem still to be built is a member of its slice that does nothing
// yet (for example LoadMacroToolbars, RunAudioSetupDialog);
// it is filled in, in its folder, when the subsystem lands.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/AudioSlice.h"
#include "base/CodePage.h"
#include "modem/EngineEvents.h"
#include "modem/ModemEngine.h"
#include "modem/ModemSlice.h"
#include "audio/RsAudioMixer.h"
#include "audio/RsVolumes.h"
#include "modem/dsFiltersForm.h"
#include "ports/WindowSystem.h"
#include "rxtext/ReceivedText.h"
#include "rxtext/RxSlice.h"
#include "settings/ClassesX.h"
#include "settings/dsConfig.h"
#include "tx/TxSlice.h"
#include "ui/BalloonHint.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Images.h"
#include "ui/RichEdit.h"

struct IHostTransceiver;
struct INewQsoWindow;

namespace quorvel {

class TPluginLibrary;
class TMenuForm;

// A display control of the modem engine hosted in the window.
template <class T>
class TOleControl : public TControl {
public:
    explicit TOleControl(std::string name) : TControl(std::move(name)), ole_(std::make_unique<T>()) {}
    T* operator->() const { return ole_.get(); }
    T& Ole() const { return *ole_; }
    // The platform's own display in place of the plain one; it starts with
    // the view options the window has set so far.
    void Replace(std::unique_ptr<T> ole) {
        if (!ole) return;
        ole->T::operator=(*ole_);
        ole_ = std::move(ole);
    }

private:
    std::unique_ptr<T> ole_;
};

// The window's own state (src/plugin/).
struct TMainWindowState {
    std::int32_t DialFrequency = 0;  // Hz, 0 = unknown
    int ScrollBarWidth = 17;         // the system's vertical scroll bar; the view may set it
};

class TMainForm : public TSrzForm {
public:
    explicit TMainForm(TPluginLibrary& library);
    ~TMainForm() override;

    TPluginLibrary& Library() const { return library_; }
    // The modem engine; the null engine when none could be created.
    TModemEngine* MMVARI1() const { return engine_.get(); }
    dsConfig::TConfig& Settings() const;
    // The host's plug-ins data folder (IHostConfig); empty without a host.
    std::string PluginsDataFolder() const;

    // ===== Lifecycle and window (src/plugin/) ================================

    // Applies the plug-in settings to the engine, the sound card and the panes;
    // reapply is true after the options dialog and the audio wizard.
    void ApplySettings(bool reapply);
    // Toolbar and status-bar looks and the image list, from the host.
    void ApplyHostAppearance();
    // Notification 1/44: the floating pane menu follows the cursor.
    void UpdatePaneMenu();
    // The host's report texts into the report fields (1/44, every show).
    void CopyReportsFromHost();
    bool MessageHookInstalled() const { return hookId_ != 0; }
    TMenuForm* MenuForm() const { return menuForm_.get(); }

    void mnuOptionsClick(TComponent* Sender);
    void mnuHelpClick(TComponent* Sender);
    void mnuAboutClick(TComponent* Sender);
    void mnuStatusBarClick(TComponent* Sender);
    void btnClearClick(TComponent* Sender);

    // Persisted properties, published in this order (dsMainForm.cpp); those
    // named with "_" are kept in the window file, ScaleView is published but
    // not kept. Each is defined in the folder of the slice that owns it.
    bool GetATC() const;                     // modem/
    void SetATC(bool value);
    bool GetAFC() const;
    void SetAFC(bool value);
    bool GetNET() const;
    void SetNET(bool value);
    std::int16_t GetAFCWidth() const;
    void SetAFCWidth(std::int16_t value);
    std::int16_t GetAFCLevel() const;
    void SetAFCLevel(std::int16_t value);
    std::int16_t GetMode() const;
    void SetMode(std::int16_t value);
    double GetSpeed() const;
    void SetSpeed(double value);
    std::int16_t GetRxCarrier() const;
    void SetRxCarrier(std::int16_t value);
    std::int16_t GetTxCarrier() const;
    void SetTxCarrier(std::int16_t value);
    std::int32_t GetPanel1Height() const;    // modem/ views
    void SetPanel1Height(std::int32_t value);
    std::int16_t GetBPF() const;             // modem/ filters
    void SetBPF(std::int16_t value);
    bool GetDisplayWaterfall() const;        // modem/ views
    void SetDisplayWaterfall(bool value);
    bool GetTranslate() const;               // tx/
    void SetTranslate(bool value);
    std::int32_t GetInLevel() const;         // audio/
    void SetInLevel(std::int32_t value);
    std::int32_t GetOutLevel() const;
    void SetOutLevel(std::int32_t value);
    std::int32_t GetMacrosPageIndex() const;  // tx/ macros
    void SetMacrosPageIndex(std::int32_t value);
    bool GetStatusBarVisible() const;        // plugin/ window
    void SetStatusBarVisible(bool value);
    std::int32_t GetRxWndHeight() const;     // rxtext/
    void SetRxWndHeight(std::int32_t value);
    std::int32_t GetViewWidth() const;       // modem/ views
    void SetViewWidth(std::int32_t value);
    bool GetTrcvrView() const;
    void SetTrcvrView(bool value);
    bool GetScaleView() const;
    void SetScaleView(bool value);
    bool GetClickOnData() const;             // rxtext/
    void SetClickOnData(bool value);

    // ===== Contact hand-off (src/plugin/dsMainFormContact.cpp) ================
    // The contact fields mirrored into the host's new-QSO window, the
    // contact saved or cancelled there, the award list.

    void Edit1KeyPress(TComponent* Sender, char& Key);
    void Edit2KeyPress(TComponent* Sender, char& Key);  // Edit2 and Edit3
    void Edit1Change(TComponent* Sender);
    void Edit2Change(TComponent* Sender);
    void Edit3Change(TComponent* Sender);
    void Edit4Change(TComponent* Sender);
    void Edit5Change(TComponent* Sender);
    void Edit2Enter(TComponent* Sender);
    // Previewed keys of the window: Enter saves the contact.
    void FormKeyDown(TComponent* Sender, std::uint16_t& Key, TShiftState Shift);
    void mnuSaveQSOClick(TComponent* Sender);
    void mnuCancelQSOClick(TComponent* Sender);
    void mnuGoNewQSOClick(TComponent* Sender);
    void mnuSetModeClick(TComponent* Sender);
    void mnuAwardListChange(TComponent* Sender);
    // Empties the five fields; the host keeps its reports when it asks to.
    void ClearContactFields();
    void ReloadAwardList();
    // Notifications 2/1, 3/1, 2/6 and 3/6.
    void NewQsoWindowOpened();
    void NewQsoWindowClosing();
    void AwardsAvailable();
    void AwardsGone();

    // ===== Contact capture (src/rxtext/dsMainFormCapture.cpp) =================
    // A word of a receive pane taken by a click or a selection into the
    // contact fields or the host's other contact controls.

    void RichEditMouseDown(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RichEditMouseUp(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void dxBarPopupMenu3Popup(TComponent* Sender);
    void mnuCaptureInfoClick(TComponent* Sender);
    void mnuIsCallsignClick(TComponent* Sender);
    void mnuIsRSTTClick(TComponent* Sender);
    void mnuIsRSTRClick(TComponent* Sender);
    void mnuIsNameClick(TComponent* Sender);
    void mnuIsQTHClick(TComponent* Sender);
    void mnuIsQSLClick(TComponent* Sender);
    void mnuIsLocatorClick(TComponent* Sender);
    void mnuIsEmailClick(TComponent* Sender);
    void mnuIsCommentClick(TComponent* Sender);

    // ===== Modem parameters (src/modem/dsMainFormModem.cpp) ==================
    // Toolbar handlers acting on the current channel, and the engine's reports
    // shown in the toolbars and the status bar.

    void mnuModesChange(TComponent* Sender);
    void mnuSpeedChange(TComponent* Sender);
    void mnuAFCClick(TComponent* Sender);
    void mnuNETClick(TComponent* Sender);
    void mnuATCClick(TComponent* Sender);
    void mnuAFCFreqCurChange(TComponent* Sender);
    void mnuAFCLevelCurChange(TComponent* Sender);
    void mnuRXFreqCurChange(TComponent* Sender);
    void mnuTXFreqCurChange(TComponent* Sender);

    void MMVARI1Mode(std::int16_t nIndex, std::int16_t mIndex, const std::u16string& strMode);
    void MMVARI1Speed(std::int16_t nIndex, double dblSpeed);
    void MMVARI1RxCarrier(std::int16_t nIndex, std::uint16_t wFreq);
    void MMVARI1TxCarrier(std::uint16_t wFreq);
    void MMVARI1NET(TOleBool bNET);
    void MMVARI1Timing(std::int16_t nIndex, std::int32_t dwTiming, std::int16_t wUnit);

    // Dial frequency and the current channel's carrier to the host as the
    // working frequency; the host's frequency read back into the status bar.
    // askHost: an unknown dial frequency is read from the host first.
    void UpdateSignalFrequency(bool askHost = true);
    // The host's mode name to its new-QSO window, when that is open.
    void UpdateNewQsoMode();

    // ===== Receive filters and extra channels (src/modem/dsMainFormFilters.cpp)

    void mnuBPFButtonClick(TComponent* Sender);  // mnuF1 to mnuF4
    void mnuFilterTypeClick(TComponent* Sender);  // mnuLPF, mnuHPF, mnuBPF
    void mnuKFCurChange(TComponent* Sender);
    void mnuFWidthCurChange(TComponent* Sender);
    void mnuOpenFClick(TComponent* Sender);
    void mnuSaveFilterClick(TComponent* Sender);
    void mnuNotchFilterClick(TComponent* Sender);
    void mnuDeleteAllNotchClick(TComponent* Sender);
    void dxBarPopupMenu2Popup(TComponent* Sender);
    // Sets the custom receive filter again around the current channel's
    // carrier; nothing while no filter type is chosen.
    void ReapplyCustomFilter();
    // The chosen preset of the dialog: its type pressed, then steepness and width.
    void ApplyFilterPreset(const TFilterPreset& preset);
    // Runs the preset dialog modally; the platform's view may replace it.
    std::function<int(TFiltersForm&)> RunFiltersDialog;

    void mnuSubChanelClick(TComponent* Sender);  // at the clicked frequency
    void mnuCloseAllChanelClick(TComponent* Sender);
    void mnuFreqTXHereClick(TComponent* Sender);
    void RzPageControl1Change(TComponent* Sender);  // a tab chosen
    void RzPageControl1Close(TComponent* Sender);   // the active tab's close button
    // The parameter controls, custom filter, close button and signal
    // frequency follow the now current channel.
    void ChannelSwitch();
    // The channel of the active receive tab, and its pane.
    std::int16_t CurrentChannel() const { return static_cast<std::int16_t>(RzPageControl1.ActivePageIndex()); }
    TRichEdit& PaneForChannel(int channel);
    TRichEdit& CurrentPane() { return PaneForChannel(CurrentChannel()); }

    // ===== Spectrum views, transceiver panel (src/modem/dsMainFormViews.cpp) ==

    void mnuViewTypeClick(TComponent* Sender);   // "Водопад", "Анализатор"
    void mnuViewWidthClick(TComponent* Sender);  // the span buttons
    void mnuTrcvrViewClick(TComponent* Sender);
    void mnuScaleViewClick(TComponent* Sender);
    // Right button on the spectrum: a notch marker under the pointer is
    // deleted, anywhere else the spectrum's pop-up opens for wFreq.
    void XMMVView1RMouseDown(std::uint16_t wFreq);
    void MMVARI1DrawFFT(std::uint16_t wCount, const std::int16_t* pArray);
    void MMVARI1DrawWave(std::uint16_t wCount, const std::int16_t* pArray1, const std::int16_t* pArray2);

    // ===== Received text (src/rxtext/dsMainFormRxText.cpp) ====================

    // The engine's received-character event: decoded text, and the echo of
    // what is being transmitted, into the pane of the channel.
    void MMVARI1RxChar(std::int16_t nIndex, const std::u16string& strChar, std::uint16_t wChar);

    // ===== Text-file transfer (src/rxtext/dsMainFormFileTransfer.cpp) =========

    void mnuSendFileClick(TComponent* Sender);
    void mnuStopRxClick(TComponent* Sender);  // takes effect with the next character
    void mnuOpenRcFolderClick(TComponent* Sender);
    // The normal look, or the one of a file being received: no transmitting
    // and no macros, the animation behind the hidden transmit pane.
    void TransferDisplay(bool normal);
    // "{plug-ins data}\Quorvel\RcFiles"; empty without a host.
    std::string ReceivedFilesFolder() const;

    // ===== Transmit (src/tx/dsMainFormTransmit.cpp) ===========================

    // Keys the transceiver and, DelayTX ms later, the engine; nothing while
    // transmitting.
    void StartTransmission();
    void MMVARI1GetTxChar(std::uint16_t& wChar);
    void MMVARI1TxState(std::int16_t wState);
    void Memo1KeyPress(TComponent* Sender, char& Key);
    void Memo1KeyDown(TComponent* Sender, std::uint16_t& Key, TShiftState Shift);
    void Timer1Timer(TComponent* Sender);
    void RsSpeedButton1Click(TComponent* Sender);  // TX/RX
    void RsSpeedButton2Click(TComponent* Sender);  // tone
    void mnuSendSelectedClick(TComponent* Sender);
    void mnuSelectAllClick(TComponent* Sender);
    void mnuCopyClick(TComponent* Sender);
    void mnuPasteClick(TComponent* Sender);
    void mnuTranslateClick(TComponent* Sender);
    void dxBarPopupMenu4Popup(TComponent* Sender);

    // ===== Macros (src/tx/dsMainFormMacros.cpp) ===============================

    // The macro table's record r with its tags filled in: to send (the
    // control tags set their flags and go) or to preview (they stay).
    // Throws EConvertError for a greeting time that is not a time.
    std::string ExpandMacro(std::int32_t r, bool send);
    void MacroButtonClick(TComponent* Sender);
    void MacroButtonMouseDown(TComponent* Sender, TMouseButton button, TShiftState shift, int x, int y);
    void MacroPress(std::int32_t r);
    void MacroPreview(TToolButtonX& button, TPoint at);
    void mnuEditMacrosClick(TComponent* Sender);

    // ===== Audio (src/audio/dsMainFormAudio.cpp) ===============================

    // Levels: percent of the editors <-> 0..65535.
    static std::int32_t LevelFromPercent(int percent);
    static int PercentFromLevel(std::int32_t level);
    void mnuInLevelCurChange(TComponent* Sender);
    void mnuOutLevelCurChange(TComponent* Sender);
    void mnuWizardClick(TComponent* Sender);
    // Changes made in the system's mixer while the window runs are not shown.
    void RsAudioMixer1ControlChange(TRsAudioMixer& Sender, HMIXER MixerH, std::uint32_t ID);
    // Runs the audio setup wizard; after OK stores, saves and re-applies.
    void RunAudioSetupWizard();
    // Stores the wizard's choice, saves the settings and re-applies them; a
    // failed save is reported and applies nothing.
    void ApplyAudioSetupChoice(const TAudioSetupChoice& choice);

    // ===== Transceiver panel (src/modem/dsMainFormTransceiver.cpp) ===========

    // A step button held down steps the dial at once and then on every tick
    // of Timer2 until it is released.
    void TuneButtonMouseDown(TComponent* Sender);
    void TuneButtonMouseUp(TComponent* Sender);
    void TuneStep();
    // A dial the host reports: the readout, the scale and both views'
    // sideband (message 1160, and the start-up without the status panel).
    void ShowDialFrequency(std::int32_t hz);

    // ===== Controls =========================================================

    TFocusScope Focus;  // which control has the keyboard focus

    // -- Window: bars, menus, status bar --
    TBarManager dxBarManager1{"dxBarManager1"};
    TBar BarMainMenu{"BarMainMenu", ""};
    TBar BarStandard{"BarStandard", Ru("стандартная")};
    TBar BarCommands{"BarCommands", Ru("команды")};
    TBar BarCommands2{"BarCommands2", Ru("команды 2")};
    TSubItem mnuFile{"mnuFile"};         // "Файл"
    TSubItem mnuView{"mnuView"};         // "&Вид"
    TSubItem mnuSettings{"mnuSettings"}; // "Настройки"
    TSubItem mnuQSO{"mnuQSO"};           // "QSO"
    TSubItem mnuHelpMenu{"mnuHelpMenu"}; // "Справка"
    TStatusBar StatusBar1{"StatusBar1"};  // signal/noise, timing, signal frequency, Ru/En, free

    // -- Host integration (lifecycle, contact hand-off) --
    TButtonItem mnuOptions{"mnuOptions"};       // "Параметры"
    TButtonItem mnuWizard{"mnuWizard"};         // "Мастер выбора аудиоустройств"
    TButtonItem mnuHelp{"mnuHelp"};             // "Вызов справки"
    TButtonItem mnuAbout{"mnuAbout"};           // "О плагине..."
    TButtonItem mnuStatusBar{"mnuStatusBar"};   // "Строка состояния"
    TButtonItem mnuSaveQSO{"mnuSaveQSO"};       // "Сохранить QSO"
    TButtonItem mnuCancelQSO{"mnuCancelQSO"};   // "Отменить QSO", Ctrl+L
    TButtonItem mnuGoNewQSO{"mnuGoNewQSO"};     // "Перейти в окно "Новое QSO"", F12
    TButtonItem mnuSetMode{"mnuSetMode"};       // "Установить вид модуляции в окне "Новое QSO""
    TSubItem mnuAwards{"mnuAwards"};            // "Штат для диплома"
    TComboBox mnuAwardList{"mnuAwardList"};     // "Список дипломов"
    TGroupBox GroupBox1{"GroupBox1"};           // the contact-data fields
    TLabel Label1{"Label1"}, Label2{"Label2"}, Label3{"Label3"}, Label4{"Label4"}, Label5{"Label5"};
    TEdit Edit1{"Edit1", &Focus};  // callsign
    TEdit Edit2{"Edit2", &Focus};  // RST sent
    TEdit Edit3{"Edit3", &Focus};  // RST received
    TEdit Edit4{"Edit4", &Focus};  // name
    TEdit Edit5{"Edit5", &Focus};  // QTH

    // -- Modem parameters (toolbars "стандартная" and "команды") --
    TComboBox mnuModes{"mnuModes"};
    TComboBox mnuSpeed{"mnuSpeed"};
    TButtonItem mnuAFC{"mnuAFC"};
    TSpinEdit mnuAFCFreq{"mnuAFCFreq", &Focus};
    TSpinEdit mnuAFCLevel{"mnuAFCLevel", &Focus};
    TButtonItem mnuNET{"mnuNET"};
    TButtonItem mnuATC{"mnuATC"};
    TSpinEdit mnuRXFreq{"mnuRXFreq", &Focus};
    TSpinEdit mnuTXFreq{"mnuTXFreq", &Focus};
    TSubItem mnuLevels{"mnuLevels"};
    TSpinEdit mnuInLevel{"mnuInLevel", &Focus};
    TSpinEdit mnuOutLevel{"mnuOutLevel", &Focus};

    // -- Receive filters and notches (toolbar "команды 2", spectrum popup) --
    TBarStatic dxBarStatic1{"dxBarStatic1"};
    TButtonGroup BPFGroup;
    TButtonItem mnuF1{"mnuF1"}, mnuF2{"mnuF2"}, mnuF3{"mnuF3"}, mnuF4{"mnuF4"};
    TButtonGroup FilterTypeGroup{true};
    TButtonItem mnuLPF{"mnuLPF"}, mnuBPF{"mnuBPF"}, mnuHPF{"mnuHPF"};
    TSpinEdit mnuKF{"mnuKF", &Focus};
    TSpinEdit mnuFWidth{"mnuFWidth", &Focus};
    TButtonItem mnuOpenF{"mnuOpenF"};
    TButtonItem mnuSaveFilter{"mnuSaveFilter"};
    TButtonItem mnuNotchFilter{"mnuNotchFilter"};
    TButtonItem mnuDeleteAllNotch{"mnuDeleteAllNotch"};
    TButtonItem mnuCancel{"mnuCancel"};
    TPopupMenu dxBarPopupMenu2{"dxBarPopupMenu2"};  // over the spectrum view

    // -- Extra receive channels --
    TPageControl RzPageControl1{"RzPageControl1"};
    TTabSheet TabSheet1{"TabSheet1"}, TabSheet2{"TabSheet2"}, TabSheet3{"TabSheet3"}, TabSheet4{"TabSheet4"},
        TabSheet5{"TabSheet5"};
    TButtonItem mnuSubChanel{"mnuSubChanel"};
    TButtonItem mnuCloseAllChanel{"mnuCloseAllChanel"};
    TButtonItem mnuFreqTXHere{"mnuFreqTXHere"};
    TPopupMenu dxBarPopupMenu1{"dxBarPopupMenu1"};  // over the channel tabs

    // -- Spectrum and waterfall views, transceiver panel --
    TPanel Panel1{"Panel1"};
    TOleControl<TXMMVLvl> XMMVLvl1{"XMMVLvl1"};
    TOleControl<TXMMVView> AFCLvl{"AFCLvl"};
    TOleControl<TXMMVView> XMMVView1{"XMMVView1"};
    TPanel RsPanel5{"RsPanel5"};
    TOleControl<TXMMVView> XMMVView2{"XMMVView2"};
    TPanel RsPanel3{"RsPanel3"};
    TLabel Label7{"Label7"};
    TSpeedButton RsSpeedButton3{"RsSpeedButton3"}, RsSpeedButton42{"RsSpeedButton42"},
        RsSpeedButton43{"RsSpeedButton43"}, RsSpeedButton44{"RsSpeedButton44"}, RsSpeedButton45{"RsSpeedButton45"},
        RsSpeedButton46{"RsSpeedButton46"};
    TTimer Timer2{"Timer2", Platform().Dispatcher};
    TSubItem mnuViewType{"mnuViewType"};  // "Вид анализатора"
    TButtonGroup ViewTypeGroup;
    TButtonItem mnuWaterfall{"mnuWaterfall"}, mnuAnalyzer{"mnuAnalyzer"};
    TSubItem mnuViewWidth{"mnuViewWidth"};  // "Полоса обзора"
    TButtonGroup ViewWidthGroup;
    TButtonItem mnu05{"mnu05"}, mnu10{"mnu10"}, mnu15{"mnu15"}, mnu20{"mnu20"}, mnu25{"mnu25"}, mnu30{"mnu30"};
    TButtonItem mnuScaleView{"mnuScaleView"};  // "Шкала"
    TButtonItem mnuTrcvrView{"mnuTrcvrView"};  // "Панель управления трансивером"

    // -- Received text and contact capture --
    TPanel RxPanel{"RxPanel"};  // the receive-text panel: the channel tabs
    TRichEdit RichEdit1{"RichEdit1", &Focus}, RichEdit2{"RichEdit2", &Focus}, RichEdit3{"RichEdit3", &Focus},
        RichEdit4{"RichEdit4", &Focus}, RichEdit5{"RichEdit5", &Focus};
    TPopupMenu dxBarPopupMenu3{"dxBarPopupMenu3"};  // capture menu of the receive panes
    TBarStatic mnuCaptureInfo{"mnuCaptureInfo"};
    TButtonItem mnuIsCallsign{"mnuIsCallsign"}, mnuIsRSTR{"mnuIsRSTR"}, mnuIsRSTT{"mnuIsRSTT"},
        mnuIsName{"mnuIsName"}, mnuIsQTH{"mnuIsQTH"}, mnuIsQSL{"mnuIsQSL"}, mnuIsLocator{"mnuIsLocator"},
        mnuIsEmail{"mnuIsEmail"}, mnuIsComment{"mnuIsComment"};
    TButtonItem mnuCopy{"mnuCopy"};  // "Копировать", also in the transmit pane's menu
    TButtonItem mnuClickOnData{"mnuClickOnData"};

    // -- Text-file transfer --
    TButtonItem mnuSendFile{"mnuSendFile"};
    TButtonItem mnuStopRx{"mnuStopRx"};
    TButtonItem mnuOpenRcFolder{"mnuOpenRcFolder"};
    TLabel Label6{"Label6"};
    TAnimate RsAnimate1{"RsAnimate1"};

    // -- Transmit --
    TMemo Memo1{"Memo1", &Focus};
    TButtonGroup TxGroup{true};
    TSpeedButton RsSpeedButton1{"RsSpeedButton1"};  // TX/RX
    TSpeedButton RsSpeedButton2{"RsSpeedButton2"};  // tone
    TPopupMenu dxBarPopupMenu4{"dxBarPopupMenu4"};  // transmit pane menu
    TButtonItem mnuSendSelected{"mnuSendSelected"};
    TButtonItem mnuSelectAll{"mnuSelectAll"};
    TButtonItem mnuPaste{"mnuPaste"};
    TButtonItem mnuTranslate{"mnuTranslate"};
    TTimer Timer1{"Timer1", Platform().Dispatcher};

    // -- Macros --
    TPageControl PageControl1{"PageControl1"};
    TTabSheet MacroSheet1{"MacroSheet1"}, MacroSheet2{"MacroSheet2"}, MacroSheet3{"MacroSheet3"},
        MacroSheet4{"MacroSheet4"}, MacroSheet5{"MacroSheet5"};
    TToolBar ToolBar1{"ToolBar1"}, ToolBar2{"ToolBar2"}, ToolBar3{"ToolBar3"}, ToolBar4{"ToolBar4"},
        ToolBar5{"ToolBar5"};
    TButtonItem mnuEditMacros{"mnuEditMacros"};
    TBalloonHint BalloonHint1{"BalloonHint1", Platform().Dispatcher};  // the macro preview

    // -- Audio devices: the window's volume control and mixer (audio/) --
    // Both exist when the platform has a sound card; the mixer stays open on
    // InMixerID once the settings are applied.
    std::unique_ptr<TRsVolumeControl> RsVolumeControl1;
    std::unique_ptr<TRsAudioMixer> RsAudioMixer1;

    // ===== Slice state ========================================================

    TMainWindowState Window;  // plugin/
    TModemState Modem;    // modem/ parameters
    TFiltersState Filters;  // modem/ filters and channels
    TViewsState Views;    // modem/ views
    TRxState Rx;          // rxtext/
    TTxState Tx;          // tx/
    TAudioState Audio;    // audio/
    // Lifecycle resources.
    std::unique_ptr<TImagesModule> ImagesModule;
    std::optional<TBitmap> SmileyPicture;  // bitmap 101
    static constexpr int kSmileyPictureId = 101;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction& action) override;
    // The host transceiver's messages.
    std::intptr_t WndProc(const TMessage& message) override;

private:
    // Composition (dsMainForm.cpp) of the slices' design and automation.
    void LoadDesign();
    void RegisterAutomation();
    void BindTransceiverPanel();
    void PublishProperties();
    void FormDestroy();
    void InstallMessageHook();
    void RemoveMessageHook();
    void MessageHook(int code, const TMessage& message);

    // Window (plugin/dsMainFormWindow.cpp).
    void DesignWindow();
    void DesignMainMenu();  // after every slice: the main menu's submenus
    void RegisterContactAutomation();
    void RegisterWindowAutomation();
    // Modem (modem/).
    void DesignModem();
    void RegisterModemAutomation();
    void DesignFilters();
    void RegisterFiltersAutomation();
    void DesignViews();
    void RegisterViewsAutomation();
    // Received text (rxtext/).
    void DesignRxText();
    void RegisterRxTextAutomation();
    void ProcessRxChar(char c, TRxOrigin origin, bool countEcho);
    // Text-file detection: every received character (never the echo), after
    // it has been shown.
    void DetectTextFile(char c);
    // A completed frame saved into the received-files folder.
    void SaveReceivedFile();
    // Transmit (tx/).
    void DesignTransmit();
    void RegisterTransmitAutomation();
    void CountEcho();
    IHostTransceiver* HostTransceiver() const;
    bool Transmitting() const;
    void KeyTransmitter();
    void WaitDelayTX();
    // Saves the contact through the host's new-QSO window ("Сохранить QSO",
    // Enter, and the end of a transmission whose macro held "<SAVEQSO>").
    void SaveContact();
    // Macros (tx/dsMainFormMacros.cpp).
    void DesignMacros();
    void RegisterMacrosAutomation();
    void CreateMacrosDataModule();
    void LoadMacroToolbars();
    void FreeMacrosDataModule();
    // The host's mode name for the mode and speed lists to its new-QSO
    // window; a speed that is not a number is reported and nothing is sent.
    void SendModeNameToHost();
    // Contact hand-off and capture (plugin/dsMainFormContact.cpp,
    // rxtext/dsMainFormCapture.cpp).
    void DesignContact();
    void DesignCapture();
    INewQsoWindow* NewQsoWindow() const;
    // Audio (audio/).
    void DesignAudio();
    void ApplyAudioLevels(bool reapply);
    void RestoreAudioLevels();
    // The modal wizard: the choice on OK, nothing on cancel.
    std::optional<TAudioSetupChoice> RunAudioSetupDialog();

    TPluginLibrary& library_;
    TMainFormEngineEvents engineEvents_{*this};  // outlives the engine
    std::unique_ptr<TModemEngine> engine_;       // never null: the null engine stands in
    std::unique_ptr<TMenuForm> menuForm_;
    IWindowSystem::HookId hookId_ = 0;
    bool destroyed_ = false;
};

}  // namespace quorvel
