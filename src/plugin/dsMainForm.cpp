// The main window's lifecycle: creation, every show, the settings and the
// host's appearance applied to it, the message hook, the floating pane menu,
// its own commands, close and destruction.
#include "plugin/dsMainForm.h"

#include <algorithm>
#include <exception>
#include <string>

#include "base/CodePage.h"
#include "base/Files.h"
#include "modem/FilterPresets.h"
#include "modem/NullModemEngine.h"
#include "plugin/FrequencyText.h"
#include "plugin/HostStrings.h"
#include "plugin/Session.h"
#include "ports/Dialogs.h"
#include "ports/Dispatcher.h"
#include "rxtext/TextFileTransfer.h"
#include "ui/MessageBoxes.h"
#include "ui/PaneMenu.h"

namespace quorvel {
namespace {

bool Contains(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

}  // namespace

TMainForm::TMainForm(TPluginLibrary& library)
    : TSrzForm(library.Application, library.HostMainWindow), library_(library) {
    Name = "MainForm";
    Caption = Ru("Цифровые виды связи");
    const TPlatform& p = Platform();
    if (p.Engines != nullptr && p.Dispatcher != nullptr) engine_ = p.Engines->CreateEngine(kModemEngineClassId, *p.Dispatcher);
    if (!engine_) {
        engine_ = std::make_unique<TNullModemEngine>();
        // A module that is there but refused (another version) is told.
        const std::string refusal = p.Engines != nullptr ? p.Engines->Refusal() : std::string();
        if (!refusal.empty()) AppMessageBox(Application(), refusal, MB_ICONERROR);
    }
    engine_->SetEvents(&engineEvents_);
    if (p.Engines != nullptr) Modem.Display = p.Engines->Display(kModemViewClassId);
    LoadDesign();
    BindTransceiverPanel();
    RegisterAutomation();
    PublishProperties();
    ScreenSnap = true;
    if (p.Audio != nullptr) {
        RsVolumeControl1 = std::make_unique<TRsVolumeControl>(*p.Audio);
        RsAudioMixer1 = std::make_unique<TRsAudioMixer>(*p.Audio);
        RsAudioMixer1->OnControlChange = [this](TRsAudioMixer& sender, HMIXER mixer, std::uint32_t id) {
            RsAudioMixer1ControlChange(sender, mixer, id);
        };
    }
}

TMainForm::~TMainForm() {
    ReleaseView();  // the view shows these controls: it goes first
    FormDestroy();
}

dsConfig::TConfig& TMainForm::Settings() const { return library_.Config; }

std::string TMainForm::PluginsDataFolder() const {
    HostSession* host = library_.Host;
    if (host == nullptr || host->Config == nullptr) return {};
    IHostConfig* config = host->Config;
    return HostString([config](char* b, std::int32_t n) { return config->PluginsDataFolder(b, n); });
}

void TMainForm::PublishProperties() {
    Property("_ATC", &TMainForm::GetATC, &TMainForm::SetATC);
    Property("_AFC", &TMainForm::GetAFC, &TMainForm::SetAFC);
    Property("_NET", &TMainForm::GetNET, &TMainForm::SetNET);
    Property("_AFCWidth", &TMainForm::GetAFCWidth, &TMainForm::SetAFCWidth);
    Property("_AFCLevel", &TMainForm::GetAFCLevel, &TMainForm::SetAFCLevel);
    Property("_Mode", &TMainForm::GetMode, &TMainForm::SetMode);
    Property("_Speed", &TMainForm::GetSpeed, &TMainForm::SetSpeed);
    Property("_RxCarrier", &TMainForm::GetRxCarrier, &TMainForm::SetRxCarrier);
    Property("_TxCarrier", &TMainForm::GetTxCarrier, &TMainForm::SetTxCarrier);
    Property("_Panel1Height", &TMainForm::GetPanel1Height, &TMainForm::SetPanel1Height);
    Property("_BPF", &TMainForm::GetBPF, &TMainForm::SetBPF);
    Property("_DisplayWaterfall", &TMainForm::GetDisplayWaterfall, &TMainForm::SetDisplayWaterfall);
    Property("_Translate", &TMainForm::GetTranslate, &TMainForm::SetTranslate);
    Property("_InLevel", &TMainForm::GetInLevel, &TMainForm::SetInLevel);
    Property("_OutLevel", &TMainForm::GetOutLevel, &TMainForm::SetOutLevel);
    Property("_MacrosPageIndex", &TMainForm::GetMacrosPageIndex, &TMainForm::SetMacrosPageIndex);
    Property("_StatusBarVisible", &TMainForm::GetStatusBarVisible, &TMainForm::SetStatusBarVisible);
    Property("_RxWndHeight", &TMainForm::GetRxWndHeight, &TMainForm::SetRxWndHeight);
    Property("_ViewWidth", &TMainForm::GetViewWidth, &TMainForm::SetViewWidth);
    Property("_TrcvrView", &TMainForm::GetTrcvrView, &TMainForm::SetTrcvrView);
    Property("ScaleView", &TMainForm::GetScaleView, &TMainForm::SetScaleView);
    Property("_ClickOnData", &TMainForm::GetClickOnData, &TMainForm::SetClickOnData);
}

// ---- Composition ------------------------------------------------------------
// The slices design their controls and bind their handlers in this order
// (controls shared between slices are designed by the first that shows them);
// the main menu's submenus are filled last.

void TMainForm::LoadDesign() {
    SetBounds(Left, Top, 780, 560);
    DesignWindow();    // plugin/dsMainFormWindow.cpp
    DesignModem();     // modem/dsMainFormModem.cpp
    DesignAudio();     // audio/dsMainFormAudio.cpp
    DesignFilters();   // modem/dsMainFormFilters.cpp
    DesignViews();     // modem/dsMainFormViews.cpp
    DesignRxText();    // rxtext/dsMainFormRxText.cpp
    DesignTransmit();  // tx/dsMainFormTransmit.cpp
    DesignMacros();    // tx/dsMainFormMacros.cpp
    DesignContact();   // plugin/dsMainFormContact.cpp: previews the edits' keys
    DesignMainMenu();  // plugin/dsMainFormWindow.cpp
}

// What the window offers to automation (pavo/automation.h): each slice
// registers the controls the operator sees and works with, in the window's
// order (the order of the description), and the menus, bars and views the
// operator's verbs reach.
void TMainForm::RegisterAutomation() {
    RegisterModemAutomation();
    RegisterViewsAutomation();
    RegisterFiltersAutomation();
    RegisterRxTextAutomation();
    RegisterContactAutomation();
    RegisterMacrosAutomation();
    RegisterTransmitAutomation();
    RegisterWindowAutomation();
}

// ---- Creation ----------------------------------------------------------------

void TMainForm::FormCreate() {
    if (Platform().Windows) Platform().Windows->SetProp(Handle(), PAVO_WINDOW_PROP, 1);
    const std::string data = PluginsDataFolder();

    // Without a data folder the window keeps no state: a bare file name
    // would land in whatever folder the host works in.
    if (!data.empty()) ConfigFileName = JoinPath(data, "Quorvel", "mainform.config.xml");
    FullPathGiven = true;
    NoSaveOnClose = true;
    ReleaseOnClose = false;

    ImagesModule = std::make_unique<TImagesModule>();
    Filters.CustomFilterType = -1;

    HostSession* host = library_.Host;
    if (host != nullptr && host->Transceiver != nullptr) {
        host->Transceiver->RegisterWindow(Handle());
        host->Transceiver->SetPluginAttached(1);
    }

    // Without a data folder there is no settings file to read.
    if (!data.empty()) Settings().Load(dsConfig::ConfigurationPath(data));
    // A save killed half-way leaves its temporary file; the presets are read only later.
    if (!data.empty()) RemoveStaleTemporary(FilterPresetsPath(data));
    RemoveStaleReceivedFile(ReceivedFilesFolder());

    CreateMacrosDataModule();

    XMMVView1->wType = 1;

    SmileyPicture = SmileyBitmap();
    Tx.FeedPosition = -1;
    try {
        RsAnimate1.SetResId(100);
    } catch (const std::exception&) {
        // Without the clip the transfer look simply has no animation.
    }
}

// ---- Show ------------------------------------------------------------------------

void TMainForm::FormShow() {
    if (Platform().Windows) Platform().Windows->SetProp(Handle(), PAVO_WINDOW_PROP, 2);
    ApplyHostAppearance();

    if (!Settings().SetupComplete) RunAudioSetupWizard();

    HostSession* host = library_.Host;
    IHostTransceiver* trx = host != nullptr ? host->Transceiver : nullptr;
    if (trx != nullptr) ShowDialFrequency(trx->Frequency());

    Modem.EngineHandle = engine_->dwHandle();
    {
        // A repeated show keeps the list when the engine still lists the same
        // modes (and so keeps the selection); otherwise the list is rebuilt.
        std::vector<std::string> names;
        const std::int16_t count = engine_->wModeMax();
        for (std::int16_t i = 0; i < count; ++i) names.push_back(Utf16ToCp1251(engine_->ModeName(i)));
        if (names != mnuModes.Items()) {
            mnuModes.ClearItems();
            for (auto& name : names) mnuModes.AddItem(std::move(name));
        }
    }

    ApplySettings(false);

    try {
        LoadMacroToolbars();
    } catch (const std::exception&) {
        // A macro file that cannot be read leaves the toolbars as they are.
    }

    mnuAFCClick(&mnuAFC);
    engine_->set_bNET(ToOle(mnuNET.Down()));
    engine_->set_Mode(0, Modem.SavedMode);
    engine_->set_Speed(0, Modem.SavedSpeed);

    if (host != nullptr && host->NewQso != nullptr) {
        host->NewQso->EnableForPlugin(1);
        for (TControl* c : std::initializer_list<TControl*>{&mnuSaveQSO, &mnuGoNewQSO, &mnuSetMode, &GroupBox1})
            c->SetEnabled(true);
        CopyReportsFromHost();
    }
    if (host != nullptr && host->Awards != nullptr) AwardsAvailable();

    InstallMessageHook();
}

// ---- Settings --------------------------------------------------------------------

void TMainForm::ApplySettings(bool reapply) {
    const dsConfig::TConfig& config = Settings();
    if (config.SetupComplete) {
        engine_->set_bActive(OleFalse);
        engine_->set_strSoundID(
            Cp1251ToUtf16(std::to_string(config.InSoundCard) + "," + std::to_string(config.OutSoundCard)));
        engine_->set_bActive(OleTrue);
        engine_->set_dblSampleFreq(config.FreqSample);
        engine_->set_wModGain(static_cast<std::uint16_t>(std::max<std::int16_t>(config.ModGain, 0)));
        engine_->set_dblTxOffset(config.TxOffset);
        if (config.EnabledRXLevel) mnuInLevel.SetEnabled(true);
        mnuOutLevel.SetEnabled(true);
        ApplyAudioLevels(reapply);
    }

    Memo1.Font = TFont{config.TXFontName, config.TXFontSize, config.TXFontStyle, config.TXFontColor};
    Memo1.Color = config.TXWndColor;
    TFont rx = RichEdit1.DefAttributes;
    rx.Name = config.RXFontName;
    rx.Size = config.RXFontSize;
    rx.Style = config.RXFontStyle;
    for (TRichEdit* pane : {&RichEdit1, &RichEdit2, &RichEdit3, &RichEdit4, &RichEdit5}) {
        pane->DefAttributes = rx;
        pane->Color = config.RXWndColor;
    }
    Timer1.SetInterval(static_cast<std::uint32_t>(std::max(config.TimeDoRx, 0)));
}

// ---- Host appearance ------------------------------------------------------------

void TMainForm::ApplyHostAppearance() {
    HostSession* host = library_.Host;
    const std::int32_t style = host != nullptr && host->Config != nullptr ? host->Config->ToolbarStyle() : 0;
    TBarLook bars = TBarLook::Office2003;
    TStatusBarLook status = TStatusBarLook::Office2003;
    switch (style) {
        case 1: bars = TBarLook::Flat, status = TStatusBarLook::Flat; break;
        case 2: bars = TBarLook::Enhanced, status = TStatusBarLook::Standard; break;
        case 3: bars = TBarLook::XP, status = TStatusBarLook::XP; break;
        default: break;
    }
    dxBarManager1.SetStyle(bars);
    StatusBar1.SetLook(status);

    if (!ImagesModule || !library_.HostConfig) return;
    const suConfig::TConfig& hostConfig = *library_.HostConfig;
    if (ImagesModule->AppliedStyle() == hostConfig.ImageStyle) return;
    std::string themeFile;
    try {
        themeFile = hostConfig.ThemeFile();
    } catch (const std::exception& e) {
        // No theme folder: the built-in strip, after the standard error box.
        library_.ShowException(e);
    }
    ImagesModule->ApplyStyle(hostConfig.ImageStyle, themeFile);
}

// ---- Message hook ----------------------------------------------------------------

void TMainForm::InstallMessageHook() {
    if (hookId_ != 0 || Platform().Windows == nullptr) return;
    hookId_ = Platform().Windows->SetMessageHook([this](int code, const TMessage& m) { MessageHook(code, m); });
}

void TMainForm::RemoveMessageHook() {
    if (hookId_ == 0 || Platform().Windows == nullptr) return;
    Platform().Windows->RemoveMessageHook(hookId_);
    hookId_ = 0;
}

void TMainForm::MessageHook(int code, const TMessage& message) {
    if (code != 0 || destroyed_ || !HandleAllocated()) return;
    if (Platform().Windows->ActiveWindow() != Handle()) return;
    if (message.Msg == WM_KEYDOWN) {
        const auto key = static_cast<std::uint16_t>(message.WParam);
        try {
            for (TToolBar* bar : {&ToolBar1, &ToolBar2, &ToolBar3, &ToolBar4, &ToolBar5})
                for (int i = 0; i < bar->ButtonCount(); ++i) {
                    TToolButtonX& button = bar->Buttons(i);
                    if (button.ShortCut == key && button.OnClick) button.OnClick(&button);
                }
        } catch (const std::exception& e) {
            library_.ShowException(e);
        }
    } else if (message.Msg == WM_MOUSEWHEEL) {
        try {
            auto* editor = dynamic_cast<TSpinEdit*>(Focus.Focused());
            const auto delta = static_cast<std::int16_t>((message.WParam >> 16) & 0xFFFF);
            if (editor != nullptr) editor->Step(delta < 0 ? -1 : 1);
        } catch (...) {
            // A failed step leaves the editor as it was.
        }
    }
}

// ---- Floating pane menu ------------------------------------------------------------

void TMainForm::UpdatePaneMenu() {
    IWindowSystem* windows = Platform().Windows;
    if (windows == nullptr || !HandleAllocated()) return;
    const TPoint cursor = windows->CursorPos();
    const THandle under = windows->WindowFromPoint(cursor);

    TControl* pane = nullptr;
    bool overTransmit = false;
    if (under == Handle() && Visible()) {
        if (Memo1.Visible() && Contains(Memo1.ScreenRect(), cursor)) {
            pane = &Memo1;
            overTransmit = true;
        } else if (Contains(CurrentPane().ScreenRect(), cursor)) {
            pane = &CurrentPane();
        }
    }
    const bool transmitting = engine_->bTX() != OleFalse;

    if (!menuForm_) {
        if (pane == nullptr) return;
        menuForm_ = std::make_unique<TMenuForm>(Application(), Handle());
        menuForm_->btnClear.OnClick = [this](TComponent* s) { btnClearClick(s); };
        menuForm_->OverTransmitPane = overTransmit;
        menuForm_->btnClear.SetEnabled(!overTransmit || !transmitting);
        menuForm_->AlphaBlendValue = 180;
        const TRect r = pane->ScreenRect();
        menuForm_->ShowAt(r.Right - menuForm_->Width - Window.ScrollBarWidth - 5, r.Top + 2);
        return;
    }
    if (under == menuForm_->Handle()) {
        menuForm_->AlphaBlendValue = 255;
    } else if (pane != nullptr) {
        menuForm_->AlphaBlendValue = 180;
    } else {
        menuForm_.reset();
        return;
    }
    if (menuForm_->OverTransmitPane) menuForm_->btnClear.SetEnabled(!transmitting);
}

void TMainForm::btnClearClick(TComponent*) {
    if (menuForm_ && menuForm_->OverTransmitPane) {
        Memo1.Clear();
        Tx.PendingText.clear();
    } else {
        CurrentPane().Clear();
    }
}

// ---- Commands --------------------------------------------------------------------

void TMainForm::mnuOptionsClick(TComponent*) {
    const std::string data = PluginsDataFolder();
    library_.ShowOptionsDialog(Handle(), data.c_str());
}

void TMainForm::mnuHelpClick(TComponent*) {
    try {
        ShowHelp(Application(), "Quorvel");
    } catch (const std::exception& e) {
        library_.ShowException(e);
    }
}

void TMainForm::mnuAboutClick(TComponent*) {
    const std::string text = Ru("Цифровые виды связи. Версия 1.2.0.") + "\r\n\r\n" +
                             Ru("Модуль цифровых видов связи для аппаратного журнала. Все права принадлежат "
                                "авторам модуля.") +
                             "\r\n" + Ru("Модем: MMVARI, автор Makoto Mori (JE3HHT).");
    AppMessageBoxCaption(Application(), text, Ru("О плагине..."), MB_OK);
}

// ---- Close and destruction ----------------------------------------------------------

void TMainForm::FormClose(TCloseAction& action) {
    // Closing only hides the window; the host decides when to release it.
    action = TCloseAction::caHide;
    menuForm_.reset();
    library_.PostCloseSignal();
}

void TMainForm::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    RemoveMessageHook();
    menuForm_.reset();
    engine_->set_bActive(OleFalse);

    HostSession* host = library_.Host;
    if (host != nullptr && host->Transceiver != nullptr) {
        IHostTransceiver* trx = host->Transceiver;
        trx->SwitchToReceive();
        if (HandleAllocated()) trx->UnregisterWindow(Handle());
        std::int32_t f = trx->Frequency();
        if (f != 0) {
            const std::int32_t carrier = engine_->RxCarrier(CurrentChannel());
            f = trx->UpperSideband() ? f - carrier : f + carrier;
            Window.DialFrequency = f;
            trx->SetWorkingFrequency(f);
        }
        trx->SetPluginAttached(0);
    }
    if (host != nullptr && host->NewQso != nullptr) host->NewQso->EnableForPlugin(0);

    RestoreAudioLevels();

    FreeMacrosDataModule();
    ImagesModule.reset();
    SmileyPicture.reset();
    engine_->SetEvents(nullptr);
}

}  // namespace quorvel
