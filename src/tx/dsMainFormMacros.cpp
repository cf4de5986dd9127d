// The macros slice of the main window: the five macro pages with their
// toolbars, the macro table they are built from, pressing and previewing a
// macro, its tags, and the macro editor's command.
#include <cstddef>
#include <initializer_list>

#include "base/CodePage.h"
#include "base/Files.h"
#include "modem/ModemText.h"
#include "plugin/FrequencyText.h"
#include "plugin/HostLibraries.h"
#include "plugin/HostStrings.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"
#include "tx/MacroTags.h"
#include "ui/Design.h"

namespace quorvel {
namespace {

constexpr std::uint32_t kPreviewMs = 8000;

// The caption's width in the window's font (MS Sans Serif 8: about five
// pixels a character); the view lays the buttons out by their own measure.
int CaptionWidth(const TFont& font, std::string_view caption) {
    const int perCharacter = (font.Size * 4 + 3) / 6;
    return static_cast<int>(caption.size()) * (perCharacter > 0 ? perCharacter : 1);
}

std::string ControlText(IHostControl* control) {
    if (control == nullptr) return {};
    return HostString([control](char* b, std::int32_t n) { return control->GetText(b, n); });
}

template <class Get>
std::string ConfigText(IHostConfig* config, Get get) {
    if (config == nullptr) return {};
    return HostString([config, get](char* b, std::int32_t n) { return (config->*get)(b, n); });
}

}  // namespace

void TMainForm::DesignMacros() {
    using design::Design;
    const char* const pages[] = {"CQ", "QSO (Ru)", "Прочее (Ru)", "QSO (En)", "Прочее (En)"};
    std::size_t page = 0;
    for (TTabSheet* t : {&MacroSheet1, &MacroSheet2, &MacroSheet3, &MacroSheet4, &MacroSheet5}) {
        Design(*t, pages[page++]);
        PageControl1.AddPage(*t);
    }
    for (TToolBar* bar : {&ToolBar1, &ToolBar2, &ToolBar3, &ToolBar4, &ToolBar5}) bar->SetHeight(21);
    Design(mnuEditMacros, "Редактировать текстовые заготовки");
    mnuEditMacros.OnClick = [this](TComponent* s) { mnuEditMacrosClick(s); };
    BalloonHint1.OnHide = [this](TComponent*) {
        if (Tx.PreviewButton != nullptr) Tx.PreviewButton->ShowHint = true;
        Tx.PreviewButton = nullptr;
    };
}

void TMainForm::RegisterMacrosAutomation() {
    for (TComponent* c :
         std::initializer_list<TComponent*>{&PageControl1, &ToolBar1, &ToolBar2, &ToolBar3, &ToolBar4, &ToolBar5})
        Automation.AddControl(*c);
}

void TMainForm::CreateMacrosDataModule() { Tx.MacrosesDataModule = std::make_unique<TMacrosesDataModule>(); }

void TMainForm::LoadMacroToolbars() {
    if (!Tx.MacrosesDataModule) return;
    const std::string path = JoinPath(PluginsDataFolder(), "\\Quorvel\\macroses.config.xml");
    if (!FileExists(path)) return;
    TClientDataSet& table = Tx.MacrosesDataModule->ClientDataSet1;
    try {
        table.LoadFromFile(path);
        table.LogChanges = false;
        BalloonHint1.Hide();  // its button goes now
        TToolBar* const bars[] = {&ToolBar1, &ToolBar2, &ToolBar3, &ToolBar4, &ToolBar5};
        for (TToolBar* bar : bars) bar->Clear();
        const TFont font;
        for (int r = 1; r <= table.RecordCount(); ++r) {
            const TMacroRecord& record = table.Record(r);
            const int page = MacroPageIndex(record.Group);
            if (page < 0) continue;
            auto button = std::make_unique<TToolButtonX>("");
            button->SetCaption(MacroCaption(record));
            button->Tag = r;
            button->ShortCut = TextToShortCut(record.ShortCut);
            button->SetHint(MacroHint(record));
            button->ShowHint = true;
            button->SetWidth(CaptionWidth(font, button->Caption()) + 14);
            button->SetHeight(21);
            button->OnClick = [this](TComponent* s) { MacroButtonClick(s); };
            button->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState shift, int x, int y) {
                MacroButtonMouseDown(s, b, shift, x, y);
            };
            bars[page]->AddButton(std::move(button));
        }
    } catch (const std::exception&) {
        // A macro file that cannot be read keeps what was built.
    }
}

void TMainForm::FreeMacrosDataModule() {
    BalloonHint1.Hide();
    for (TToolBar* bar : {&ToolBar1, &ToolBar2, &ToolBar3, &ToolBar4, &ToolBar5}) bar->Clear();
    Tx.MacrosesDataModule.reset();
}

std::int32_t TMainForm::GetMacrosPageIndex() const { return PageControl1.ActivePageIndex(); }
void TMainForm::SetMacrosPageIndex(std::int32_t value) { PageControl1.SetActivePageIndex(value); }

// ---- Tags ---------------------------------------------------------------------

std::string TMainForm::ExpandMacro(std::int32_t r, bool send) {
    if (!Tx.MacrosesDataModule) return {};
    TClientDataSet& table = Tx.MacrosesDataModule->ClientDataSet1;
    if (!table.Active() || table.RecordCount() == 0 || r < 1 || r > table.RecordCount()) return {};
    table.SetRecNo(r);
    std::string text = table.Record().Text;
    if (text.empty()) return {};

    HostSession* host = Library().Host;
    if (INewQsoWindow* qso = host != nullptr ? host->NewQso : nullptr) {
        const std::string name = ControlText(qso->NameControl());
        ReplaceTag("<CALL>", ControlText(qso->CallsignControl()), "", text);
        ReplaceTag("<RSTT>", ControlText(qso->RstSentControl()), "", text);
        ReplaceTag("<RSTR>", ControlText(qso->RstReceivedControl()), "", text);
        ReplaceTag("<NAME>", name, "", text);
        ReplaceTag("<NAMEX>", name, "OM", text);
        ReplaceTag("<QTH>", ControlText(qso->QthControl()), "", text);
        const std::string distance = HostString([qso](char* b, std::int32_t n) { return qso->DistanceText(b, n); });
        ReplaceTag("<DISTANCE>", distance + " km", "", text);
        ReplaceTag("<QSOTIME>", ControlText(qso->QsoTimeControl()), "", text);
        ReplaceTag("<MODE>", ControlText(qso->ModeControl()), "", text);
        ReplaceTag("<QSLVIA>", ControlText(qso->QslManagerControl()), "", text);
        const std::string greeting = HostString([qso](char* b, std::int32_t n) { return qso->GreetingText(b, n); });
        ReplaceTag("<GREETINGX>", GreetingFor(greeting), "HELLO", text);
    }

    const int now = Tx.LocalTime ? Tx.LocalTime() : LocalSecondsOfDay();
    ReplaceTag("<GREETING>", GreetingFor(LongTimeText(now)), "", text);
    IHostTransceiver* trx = host != nullptr ? host->Transceiver : nullptr;
    std::int32_t frequency = 0;
    if (trx != nullptr && Window.DialFrequency != 0)
        frequency = SignalFrequency(Window.DialFrequency, engine_->RxCarrier(CurrentChannel()), trx->UpperSideband() != 0);
    ReplaceTag("<FREQ>", frequency != 0 ? FrequencyText(frequency) : std::string(), "", text);
    ReplaceTag("<SN>", "S/N=" + std::to_string(Rx.MaxSignalToNoise) + "dB", "", text);
    ReplaceTag("<HOMETIME>", LongTimeText(now), "", text);
    IHostApplication* application = host != nullptr ? host->Application : nullptr;
    const std::string version =
        application != nullptr
            ? HostString([application](char* b, std::int32_t n) { return application->VersionText(b, n); })
            : std::string();
    ReplaceTag("<APPNAME>", "Tarvik Ver:" + version, "", text);
    std::string lastQso;
    if (IHostLog* log = host != nullptr ? host->Log : nullptr; log != nullptr && log->IsOpen() && !log->IsEmpty()) {
        const auto field = [log](const std::string& name) {
            return HostString([log, &name](char* b, std::int32_t n) { return log->FieldText(name.c_str(), b, n); });
        };
        lastQso = field(Ru("Дата")) + "; " + field(Ru("Диапазон")) + " MHz; " + field(Ru("Вид"));
    }
    ReplaceTag("<LASTQSO>", lastQso, "", text);

    if (send) {
        // Only the tag as written in capitals steers; any spelling is removed.
        if (text.find("<SAVEQSO>") != std::string::npos) Tx.SaveQsoAfterTx = true;
        ReplaceTag("<SAVEQSO>", "", "", text);
        if (text.find("<TX>") != std::string::npos) Tx.TxTagSeen = true;
        ReplaceTag("<TX>", "", "", text);
        if (text.find("<RX>") != std::string::npos) Tx.RxTagSeen = true;
        ReplaceTag("<RX>", "", "", text);
    }

    IHostConfig* config = host != nullptr ? host->Config : nullptr;
    ReplaceTag("<MYCALL>", ConfigText(config, &IHostConfig::Callsign), "", text);
    ReplaceTag("<MYNAME>", ConfigText(config, &IHostConfig::OperatorName), "", text);
    ReplaceTag("<MYQTH>", ConfigText(config, &IHostConfig::Qth), "", text);
    ReplaceTag("<MYGRID>", ConfigText(config, &IHostConfig::Locator), "", text);
    ReplaceTag("<MYSTATE>", ConfigText(config, &IHostConfig::State), "", text);
    ReplaceTag("<MYRIG>", ConfigText(config, &IHostConfig::Rig), "", text);
    ReplaceTag("<MYPWR>", ConfigText(config, &IHostConfig::Power), "", text);
    ReplaceTag("<MYIOTA>", ConfigText(config, &IHostConfig::Iota), "", text);
    ReplaceTag("<MYCQ>", ConfigText(config, &IHostConfig::CqZone), "", text);
    ReplaceTag("<MYITU>", ConfigText(config, &IHostConfig::ItuZone), "", text);
    return text;
}

// ---- Buttons ------------------------------------------------------------------

void TMainForm::MacroButtonClick(TComponent* Sender) {
    if (Sender == nullptr) return;
    try {
        MacroPress(Sender->Tag);
    } catch (const std::exception& e) {
        library_.ShowException(e);
    }
}

void TMainForm::MacroPress(std::int32_t r) {
    const std::string text = ExpandMacro(r, true);
    if (text.empty()) return;
    if (Tx.FeedPosition == -1) {
        Memo1.SetSelStart(Memo1.GetTextLen());
        Tx.FeedPosition = Memo1.GetTextLen();
    }
    const std::string& pane = Memo1.Text();
    const bool freshLine = pane.empty() || pane.back() == '\n' || pane.back() == '\r';
    Memo1.SetSelStart(Memo1.GetTextLen());
    Memo1.SetSelText(freshLine ? text + "\r\n" : "\r\n" + text);
    Memo1.SetFocus();
    Timer1.SetEnabled(false);
    Tx.FeedMode = true;
    if (Settings().AutoSendMacros || Tx.TxTagSeen) {
        engine_->SendText(u" ");
        StartTransmission();
    }
}

void TMainForm::MacroButtonMouseDown(TComponent* Sender, TMouseButton button, TShiftState, int x, int y) {
    auto* macro = dynamic_cast<TToolButtonX*>(Sender);
    if (button != TMouseButton::mbRight || macro == nullptr) return;
    // The balloon goes where the mouse is, in the window's client coordinates.
    TPoint at{x, y};
    const TRect r = macro->ScreenRect();
    at.X += r.Left;
    at.Y += r.Top;
    if (Platform().Windows != nullptr && HandleAllocated()) {
        const TRect window = Platform().Windows->GetWindowRect(Handle());
        at.X -= window.Left;
        at.Y -= window.Top;
    }
    try {
        MacroPreview(*macro, at);
    } catch (const std::exception& e) {
        library_.ShowException(e);
    }
}

void TMainForm::MacroPreview(TToolButtonX& button, TPoint at) {
    BalloonHint1.Hide();
    Tx.PreviewButton = &button;
    button.ShowHint = false;
    std::string text;
    try {
        text = ExpandMacro(button.Tag, false);
    } catch (...) {
        button.ShowHint = true;
        Tx.PreviewButton = nullptr;
        throw;
    }
    BalloonHint1.Show(Ru("Текст:"), std::move(text), at, kPreviewMs);
}

void TMainForm::mnuEditMacrosClick(TComponent*) {
    try {
        ShowMacrosesEditor(Application(), Handle(), PluginsDataFolder(), [this] { LoadMacroToolbars(); });
    } catch (const std::exception& e) {
        library_.ShowException(e);
    }
}

}  // namespace quorvel
