// The designed state of the main window: every control's caption, hint,
// size, range and initial state, the bars and menus that show them, and the
// handlers the lifecycle binds. Behaviour lives with the subsystems.
#include <initializer_list>
#include <utility>

#include "base/CodePage.h"
#include "plugin/dsMainForm.h"

namespace quorvel {
namespace {

void Design(TControl& c, const char* caption, const char* hint = nullptr) {
    c.SetCaption(Ru(caption));
    c.SetHint(hint != nullptr ? Ru(hint) : Ru(caption));
}

void Spin(TSpinEdit& s, const char* caption, const char* hint, int width, int lo, int hi, int step, int value) {
    Design(s, caption, hint);
    s.SetWidth(width);
    s.MinValue = lo;
    s.MaxValue = hi;
    s.Increment = step;
    s.SetValue(value);
}

void Check(TButtonItem& b, bool down) {
    b.ButtonStyle = TButtonStyle::bsChecked;
    b.SetDown(down);
}

}  // namespace

void TMainForm::LoadDesign() {
    SetBounds(Left, Top, 780, 560);

    // ---- Bars and main menu ----
    for (TBar* bar : {&BarMainMenu, &BarStandard, &BarCommands, &BarCommands2}) dxBarManager1.AddBar(*bar);
    Design(mnuFile, "Файл");
    Design(mnuView, "&Вид");
    Design(mnuSettings, "Настройки");
    Design(mnuQSO, "QSO");
    Design(mnuHelpMenu, "Справка");
    for (TSubItem* m : {&mnuFile, &mnuView, &mnuSettings, &mnuQSO, &mnuHelpMenu}) BarMainMenu.ItemLinks.Add(*m);

    // ---- Host integration ----
    Design(mnuOptions, "Параметры");
    Design(mnuWizard, "Мастер выбора аудиоустройств");
    Design(mnuHelp, "Вызов справки");
    mnuHelp.ShortCut = TextToShortCut("F1");
    mnuHelp.ImageIndex = 4;
    Design(mnuAbout, "О плагине...");
    Design(mnuStatusBar, "Строка состояния");
    Check(mnuStatusBar, true);
    Design(mnuSaveQSO, "Сохранить QSO");
    mnuSaveQSO.ImageIndex = 8;
    mnuSaveQSO.SetEnabled(false);
    Design(mnuCancelQSO, "Отменить QSO");
    mnuCancelQSO.ShortCut = TextToShortCut("Ctrl+L");
    mnuCancelQSO.ImageIndex = 9;
    Design(mnuGoNewQSO, "Перейти в окно \"Новое QSO\"");
    mnuGoNewQSO.ShortCut = TextToShortCut("F12");
    mnuGoNewQSO.SetEnabled(false);
    Design(mnuSetMode, "Установить вид модуляции в окне \"Новое QSO\"");
    mnuSetMode.SetEnabled(false);
    Design(mnuAwards, "Штат для диплома");
    mnuAwards.SetEnabled(false);
    Design(mnuAwardList, "Список дипломов");
    mnuAwards.ItemLinks.Add(mnuAwardList);
    GroupBox1.SetEnabled(false);
    Label1.SetCaption(Ru("Позывной:"));
    Label2.SetCaption(Ru("RST(T):"));
    Label3.SetCaption(Ru("RST(R):"));
    Label4.SetCaption(Ru("Имя:"));
    Label5.SetCaption(Ru("QTH:"));
    Edit1.CharCase = TEditCharCase::ecUpperCase;
    Edit2.MaxLength = 3;

    // ---- Modem parameters ----
    Design(mnuModes, "Вид:", "Вид");
    mnuModes.SetWidth(70);
    Design(mnuSpeed, "Скорость:", "Скорость");
    mnuSpeed.SetWidth(60);
    for (const char* speed : {"15.625", "20", "31.25", "45.45", "62.5", "75", "93.75", "100", "110", "125", "150",
                              "200", "250", "500"})
        mnuSpeed.AddItem(speed);
    Design(mnuAFC, "AFC", "Автоматическая подстройка частоты");
    Check(mnuAFC, true);
    Spin(mnuAFCFreq, "Гц:", "Частота AFC", 55, 10, 1000, 10, 50);
    Spin(mnuAFCLevel, "dB:", "Уровень AFC", 40, 10, 60, 2, 16);
    Design(mnuNET, "NET", "NET (совместить частоты TX/RX)");
    Check(mnuNET, true);
    Design(mnuATC, "ATC", "Автоматический контроль синхронизации");
    Check(mnuATC, false);
    Spin(mnuRXFreq, "RX:", "Частота приёма", 55, 0, 3000, 1, 1750);
    Spin(mnuTXFreq, "TX:", "Частота передачи", 55, 0, 3000, 1, 1750);
    Design(mnuLevels, "Уровни", "Уровни сигналов");
    // Half way until the stored levels are read: a fresh start neither mutes
    // the transmitter nor drives the recording line at full scale.
    Spin(mnuInLevel, "RX", "RX", 50, 0, 100, 1, 50);
    Spin(mnuOutLevel, "TX", "TX", 50, 0, 100, 1, 50);
    mnuInLevel.SetEnabled(false);
    mnuOutLevel.SetEnabled(false);
    mnuLevels.ItemLinks.Add(mnuInLevel);
    mnuLevels.ItemLinks.Add(mnuOutLevel);
    for (TControl* c : std::initializer_list<TControl*>{&mnuModes, &mnuSpeed, &mnuLevels})
        BarStandard.ItemLinks.Add(*c);
    for (TControl* c : std::initializer_list<TControl*>{&mnuAFC, &mnuAFCFreq, &mnuAFCLevel, &mnuNET, &mnuATC,
                                                         &mnuRXFreq, &mnuTXFreq})
        BarCommands.ItemLinks.Add(*c, c == &mnuNET || c == &mnuRXFreq);
    StatusBar1.AddPanel(80);
    StatusBar1.AddPanel(80);
    StatusBar1.AddPanel(80, true, "0.000");
    StatusBar1.AddPanel(30, false, "Ru");
    StatusBar1.AddPanel(-1);

    // ---- Receive filters and notches ----
    Design(dxBarStatic1, "BPF:");
    int tag = 0;
    for (TButtonItem* b : {&mnuF1, &mnuF2, &mnuF3, &mnuF4}) {
        BPFGroup.Add(*b);
        b->Tag = tag++;
        b->SetCaption("BPF" + std::to_string(tag));
        b->SetHint(b->Caption());
        b->OnClick = [this](TComponent* s) { mnuBPFButtonClick(s); };
    }
    mnuF1.SetDown(true);
    Design(mnuLPF, "ФНЧ", "Фильтр нижних частот");
    mnuLPF.Tag = 0;
    Design(mnuBPF, "ПФ", "Полосовой фильтр");
    mnuBPF.Tag = 2;
    Design(mnuHPF, "ФВЧ", "Фильтр верхних частот");
    mnuHPF.Tag = 1;
    for (TButtonItem* b : {&mnuLPF, &mnuBPF, &mnuHPF}) FilterTypeGroup.Add(*b);
    Spin(mnuKF, "П:", "Прямоугольность фильтра", 40, 1, 50, 1, 5);
    mnuKF.SetEnabled(false);
    Spin(mnuFWidth, "Ш:", "Ширина фильтра, Гц", 50, 20, 3000, 10, 50);
    mnuFWidth.SetEnabled(false);
    Design(mnuOpenF, "Загрузить параметры фильтра");
    mnuOpenF.ShortCut = TextToShortCut("Ctrl+O");
    mnuOpenF.ImageIndex = 2;
    Design(mnuSaveFilter, "Сохранить параметры фильтра");
    mnuSaveFilter.ShortCut = TextToShortCut("Ctrl+S");
    mnuSaveFilter.ImageIndex = 3;
    mnuSaveFilter.SetEnabled(false);
    for (TControl* c : std::initializer_list<TControl*>{&dxBarStatic1, &mnuF1, &mnuF2, &mnuF3, &mnuF4, &mnuLPF,
                                                         &mnuBPF, &mnuHPF, &mnuKF, &mnuFWidth, &mnuOpenF,
                                                         &mnuSaveFilter})
        BarCommands2.ItemLinks.Add(*c, c == &mnuLPF || c == &mnuOpenF);
    Design(mnuNotchFilter, "Установить Notch - фильтр");
    Design(mnuDeleteAllNotch, "Удалить все Notch - фильтры");
    Design(mnuCancel, "Отмена");

    // ---- Extra receive channels ----
    Design(TabSheet1, "Основной канал");
    int channel = 0;
    for (TTabSheet* t : {&TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4, &TabSheet5}) {
        RzPageControl1.AddPage(*t);
        if (channel > 0) {
            std::string caption = "Канал ";
            caption += std::to_string(channel);
            Design(*t, caption.c_str());
            t->SetTabVisible(false);
        }
        ++channel;
    }
    Design(mnuSubChanel, "Открыть дополнительный канал приёма");
    Design(mnuCloseAllChanel, "Закрыть все дополнительные каналы");
    mnuCloseAllChanel.SetEnabled(false);
    Design(mnuFreqTXHere, "Установить частоту передачи на открытом канале");
    mnuFreqTXHere.ShortCut = TextToShortCut("Ctrl+F");
    mnuFreqTXHere.SetEnabled(false);
    dxBarPopupMenu2.ItemLinks.Add(mnuNotchFilter);
    dxBarPopupMenu2.ItemLinks.Add(mnuDeleteAllNotch);
    dxBarPopupMenu2.ItemLinks.Add(mnuSubChanel, true);
    dxBarPopupMenu2.ItemLinks.Add(mnuCloseAllChanel);
    dxBarPopupMenu2.ItemLinks.Add(mnuCancel, true);
    dxBarPopupMenu1.ItemLinks.Add(mnuCloseAllChanel);
    dxBarPopupMenu1.ItemLinks.Add(mnuFreqTXHere);
    RzPageControl1.PopupMenu = &dxBarPopupMenu1;

    // ---- Spectrum and waterfall views, transceiver panel ----
    Panel1.MinHeight = 30;
    Panel1.SetHeight(72);
    XMMVLvl1.SetWidth(25);
    XMMVLvl1.SetHint(Ru("Уровень сигнала, порог шумоподавителя"));
    AFCLvl.SetHeight(17);
    AFCLvl.SetHint(Ru("Точность настройки"));
    RsPanel5.SetHeight(17);
    RsPanel3.SetHeight(17);
    RsPanel3.Color = clWhite;  // a gradient from white to RGB(136, 174, 228)
    Label7.SetCaption("0.000");
    Label7.Font = TFont{"Arial", 12, TFontStyles{TFontStyle::fsBold}, clWindowText};  // 16 pixels
    const std::pair<TSpeedButton*, int> steps[] = {{&RsSpeedButton3, 5},  {&RsSpeedButton42, 4},
                                                   {&RsSpeedButton43, 3}, {&RsSpeedButton44, 2},
                                                   {&RsSpeedButton45, 1}, {&RsSpeedButton46, 0}};
    const char* const stepCaptions[] = {"-1", "-10", "-100", "+100", "+10", "+1"};
    for (std::size_t i = 0; i < 6; ++i) {
        steps[i].first->Tag = steps[i].second;
        steps[i].first->SetCaption(stepCaptions[i]);
        steps[i].first->SetHint(std::string(stepCaptions[i]) + Ru(" Гц"));
    }
    Timer2.SetEnabled(false);
    Timer2.SetInterval(3000);
    Design(mnuViewType, "Вид анализатора");
    Design(mnuWaterfall, "Водопад");
    Design(mnuAnalyzer, "Анализатор");
    ViewTypeGroup.Add(mnuWaterfall);
    ViewTypeGroup.Add(mnuAnalyzer);
    mnuWaterfall.SetDown(true);
    mnuWaterfall.OnClick = [this](TComponent* s) { mnuViewTypeClick(s); };
    mnuAnalyzer.OnClick = [this](TComponent* s) { mnuViewTypeClick(s); };
    mnuViewType.ItemLinks.Add(mnuWaterfall);
    mnuViewType.ItemLinks.Add(mnuAnalyzer);
    Design(mnuViewWidth, "Полоса обзора");
    const std::pair<TButtonItem*, int> spans[] = {{&mnu05, 500},  {&mnu10, 1000}, {&mnu15, 1500},
                                                  {&mnu20, 2000}, {&mnu25, 2500}, {&mnu30, 3000}};
    for (const auto& [button, hz] : spans) {
        ViewWidthGroup.Add(*button);
        button->Tag = hz;
        std::string caption = std::to_string(hz);
        caption += " Гц";
        Design(*button, caption.c_str());
        button->OnClick = [this](TComponent* s) { mnuViewWidthClick(s); };
        mnuViewWidth.ItemLinks.Add(*button);
    }
    mnu30.SetDown(true);
    Design(mnuScaleView, "Шкала");
    Check(mnuScaleView, true);
    Design(mnuTrcvrView, "Панель управления трансивером");
    Check(mnuTrcvrView, true);
    mnuView.ItemLinks.Add(mnuViewType);
    mnuView.ItemLinks.Add(mnuViewWidth);
    mnuView.ItemLinks.Add(mnuScaleView, true);
    mnuView.ItemLinks.Add(mnuTrcvrView);
    mnuView.ItemLinks.Add(mnuStatusBar);

    // ---- Received text and capture ----
    RxPanel.MinHeight = 30;
    RxPanel.SetHeight(160);
    for (TRichEdit* pane : {&RichEdit1, &RichEdit2, &RichEdit3, &RichEdit4, &RichEdit5}) {
        pane->ReadOnly = true;
        pane->PopupMenu = &dxBarPopupMenu3;
    }
    mnuCaptureInfo.SetCaption(Ru("Отмена"));
    Design(mnuIsCallsign, "Позывной");
    Design(mnuIsRSTR, "RST(R)");
    Design(mnuIsRSTT, "RST(T)");
    Design(mnuIsName, "Имя");
    Design(mnuIsQTH, "QTH");
    Design(mnuIsQSL, "QSL - менеджер");
    Design(mnuIsLocator, "QTH - локатор");
    Design(mnuIsEmail, "E-mail");
    Design(mnuIsComment, "Комментарий");
    Design(mnuCopy, "Копировать");
    mnuCopy.ShortCut = TextToShortCut("Ctrl+C");
    for (TControl* c : std::initializer_list<TControl*>{&mnuCaptureInfo, &mnuIsCallsign, &mnuIsRSTR, &mnuIsRSTT,
                                                         &mnuIsName, &mnuIsQTH, &mnuIsQSL, &mnuIsLocator,
                                                         &mnuIsEmail, &mnuIsComment, &mnuAwards})
        dxBarPopupMenu3.ItemLinks.Add(*c);
    dxBarPopupMenu3.ItemLinks.Add(mnuCopy, true);
    Design(mnuClickOnData, "Захват данных одним щелчком");
    Check(mnuClickOnData, true);

    // ---- Text-file transfer ----
    Design(mnuSendFile, "Передать текстовый файл");
    mnuSendFile.ImageIndex = 10;
    Design(mnuStopRx, "Остановить приём файла");
    mnuStopRx.ShortCut = TextToShortCut("Ctrl+I");
    mnuStopRx.ImageIndex = 11;
    mnuStopRx.SetEnabled(false);
    Design(mnuOpenRcFolder, "Открыть папку с принятыми файлами");
    mnuOpenRcFolder.ImageIndex = 2;
    Label6.SetCaption(Ru("Идёт приём файла..."));

    // ---- Transmit ----
    Memo1.WantReturns = false;
    TxGroup.Add(RsSpeedButton1);
    RsSpeedButton1.SetCaption("TX/RX");
    RsSpeedButton1.SetHint("TX/RX");
    RsSpeedButton1.ImageIndex = 0;
    RsSpeedButton2.SetHint(Ru("Тон"));
    RsSpeedButton2.ImageIndex = 1;
    Design(mnuSendSelected, "Передать выделенный текст");
    Design(mnuSelectAll, "Выделить всё");
    mnuSelectAll.ShortCut = TextToShortCut("Ctrl+A");
    Design(mnuPaste, "Вставить");
    mnuPaste.ShortCut = TextToShortCut("Ctrl+V");
    for (TButtonItem* b : {&mnuSendSelected, &mnuSelectAll, &mnuCopy, &mnuPaste}) dxBarPopupMenu4.ItemLinks.Add(*b);
    Memo1.PopupMenu = &dxBarPopupMenu4;
    Design(mnuTranslate, "Транслировать Ru в En");
    Check(mnuTranslate, false);
    Timer1.SetEnabled(false);
    Timer1.SetInterval(1000);

    // ---- Macros ----
    const char* const pages[] = {"CQ", "QSO (Ru)", "Прочее (Ru)", "QSO (En)", "Прочее (En)"};
    std::size_t page = 0;
    for (TTabSheet* t : {&MacroSheet1, &MacroSheet2, &MacroSheet3, &MacroSheet4, &MacroSheet5}) {
        Design(*t, pages[page++]);
        PageControl1.AddPage(*t);
    }
    for (TToolBar* bar : {&ToolBar1, &ToolBar2, &ToolBar3, &ToolBar4, &ToolBar5}) bar->SetHeight(21);
    Design(mnuEditMacros, "Редактировать текстовые заготовки");

    // ---- Menus of the main menu bar ----
    mnuFile.ItemLinks.Add(mnuSendFile);
    mnuFile.ItemLinks.Add(mnuStopRx);
    mnuFile.ItemLinks.Add(mnuOpenRcFolder);
    mnuSettings.ItemLinks.Add(mnuOptions);
    mnuSettings.ItemLinks.Add(mnuWizard);
    mnuSettings.ItemLinks.Add(mnuEditMacros, true);
    mnuSettings.ItemLinks.Add(mnuTranslate, true);
    mnuSettings.ItemLinks.Add(mnuClickOnData);
    mnuQSO.ItemLinks.Add(mnuSaveQSO);
    mnuQSO.ItemLinks.Add(mnuCancelQSO);
    mnuQSO.ItemLinks.Add(mnuGoNewQSO, true);
    mnuQSO.ItemLinks.Add(mnuSetMode);
    mnuQSO.ItemLinks.Add(mnuAwards, true);
    mnuHelpMenu.ItemLinks.Add(mnuHelp);
    mnuHelpMenu.ItemLinks.Add(mnuAbout, true);

    // ---- Handlers of the lifecycle and of the persisted properties ----
    mnuOptions.OnClick = [this](TComponent* s) { mnuOptionsClick(s); };
    mnuWizard.OnClick = [this](TComponent* s) { mnuWizardClick(s); };
    mnuHelp.OnClick = [this](TComponent* s) { mnuHelpClick(s); };
    mnuAbout.OnClick = [this](TComponent* s) { mnuAboutClick(s); };
    mnuStatusBar.OnClick = [this](TComponent* s) { mnuStatusBarClick(s); };
    mnuTrcvrView.OnClick = [this](TComponent* s) { mnuTrcvrViewClick(s); };
    mnuScaleView.OnClick = [this](TComponent* s) { mnuScaleViewClick(s); };
    mnuATC.OnClick = [this](TComponent* s) { mnuATCClick(s); };
    mnuAFC.OnClick = [this](TComponent* s) { mnuAFCClick(s); };
    mnuNET.OnClick = [this](TComponent* s) { mnuNETClick(s); };
    mnuTranslate.OnClick = [this](TComponent* s) { mnuTranslateClick(s); };
}

}  // namespace quorvel
