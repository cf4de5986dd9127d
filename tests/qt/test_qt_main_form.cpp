// The plug-in's main window on the Qt desktop: its view shows the form
// model and what the operator does there reaches the model and the engine.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QTimer>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>
#include <QToolBar>
#include <filesystem>
#include <functional>
#include <memory>

#include "FakeHost.h"
#include "FakeHostLibraries.h"
#include "LoopbackEngine.h"
#include "QtCommandBar.h"
#include "QtControls.h"
#include "QtDesktop.h"
#include "QtTestSupport.h"
#include "QtRichPane.h"
#include "SimPlatform.h"
#include "base/CodePage.h"
#include "pavo/pavo.h"
#include "plugin/PluginPlatform.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"
#include "rxtext/ReceivedText.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

class QtMainFormTest : public ::testing::Test {
protected:
    QtMainFormTest() {
        hostMain.setWindowTitle("Tarvik");
        host.application.mainWindow.handle =
            desktop.Windows.AdoptWindow(&hostMain, [](const TMessage&) { return std::intptr_t{0}; });
        host.config.dataFolder = temp.Folder();
        std::filesystem::create_directories(temp.Path("Quorvel"));
        RegisterHostLibraries(sim.Libraries);
        Open();
    }
    ~QtMainFormTest() override { library.reset(); }

    // Runs the plug-in, which opens its window with the stored state.
    void Open() {
        TPlatform ports = sim.Ports();
        ports.Dispatcher = &desktop.Dispatcher;
        ports.Windows = &desktop.Windows;
        ports.Dialogs = &desktop.Dialogs;
        ports.Clipboard = &desktop.Clipboard;
        ports.Engines = &engines;
        ports.Views = PluginViews();
        ports.Audio = nullptr;  // no sound card: the first start opens no wizard
        library = std::make_unique<TPluginLibrary>(ports);
        library->Run(&host.session, 1);
        window = desktop.Windows.Widget(Form().Handle());
        EXPECT_NE(window, nullptr);
        if (window != nullptr) {
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        }
        Turn();
    }

    TMainForm& Form() const { return *library->MainForm; }
    static void Turn() { QApplication::processEvents(); }
    template <class W>
    W* Find(const char* name) const {
        for (QObject* o : window->findChildren<QObject*>(QString::fromLatin1(name)))
            if (auto* w = dynamic_cast<W*>(o)) return w;
        return nullptr;
    }

    qt::TQtDesktop desktop;
    sim::TSimPlatform sim;  // libraries, process and sound card
    TLoopbackEngineFactory engines;
    FakeHost host;
    TempFolder temp;
    QWidget hostMain;
    std::unique_ptr<TPluginLibrary> library;
    QWidget* window = nullptr;
};

TEST_F(QtMainFormTest, TheWindowShowsItsBarsPanesAndStatusBarInRussian) {
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Цифровые виды связи"));
    EXPECT_EQ(window->parentWidget(), &hostMain);  // owned by the host's main window
    auto* root = Find<QMainWindow>("MainFormView");
    ASSERT_NE(root, nullptr);
    QStringList menus;
    for (QAction* a : root->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{QString::fromUtf8("Файл"), QString::fromUtf8("&Вид"), QString::fromUtf8("Настройки"),
                                  "QSO", QString::fromUtf8("Справка")}));
    QStringList bars;
    for (auto* bar : root->findChildren<QFrame*>())
        if (bar->property("commandBar").toBool()) bars << bar->windowTitle();
    EXPECT_EQ(bars, (QStringList{QString::fromUtf8("стандартная"), QString::fromUtf8("команды"),
                                 QString::fromUtf8("команды 2")}));
    auto* status = Find<qt::TQtStatusBar>("StatusBar1");
    ASSERT_NE(status, nullptr);
    ASSERT_NE(status->PanelLabel(4), nullptr);
    EXPECT_EQ(status->PanelLabel(2)->text(), "0.000");
    auto* channels = Find<QTabWidget>("RzPageControl1");
    ASSERT_NE(channels, nullptr);
    EXPECT_EQ(channels->count(), 5);
    EXPECT_EQ(channels->tabText(0), QString::fromUtf8("Основной канал"));
    EXPECT_TRUE(channels->isTabVisible(0));
    EXPECT_FALSE(channels->isTabVisible(1));
    auto* macros = Find<QTabWidget>("PageControl1");
    ASSERT_NE(macros, nullptr);
    EXPECT_EQ(macros->tabText(2), QString::fromUtf8("Прочее (Ru)"));
    // The modes the engine lists fill the mode combo.
    auto* modes = Find<QComboBox>("mnuModes");
    ASSERT_NE(modes, nullptr);
    EXPECT_EQ(modes->count(), static_cast<int>(Form().mnuModes.Items().size()));
    EXPECT_GT(modes->count(), 0);
}

TEST_F(QtMainFormTest, TypingIntoTheTransmitPaneReachesMemo1) {
    auto* memo = Find<qt::TQtMemo>("Memo1");
    ASSERT_NE(memo, nullptr);
    int changes = 0;
    Form().Memo1.OnChange = [&](TComponent*) { ++changes; };
    memo->setFocus();
    QTest::keyClicks(memo, "cq de ua3abc");
    const QString ru = QString::fromUtf8("пр");
    for (QChar c : ru) {
        QKeyEvent down(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(memo, &down);
    }
    EXPECT_EQ(Form().Memo1.Text(), Ru("cq de ua3abcпр"));
    EXPECT_EQ(changes, 14);
    EXPECT_TRUE(Form().Memo1.Focused());
}

TEST_F(QtMainFormTest, TheContactFieldsAreDisabledWithTheirGroup) {
    auto* edit = Find<qt::TQtLineEdit>("Edit2");
    auto* group = Find<QWidget>("GroupBox1");
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(group, nullptr);
    ASSERT_FALSE(Form().GroupBox1.Enabled());  // no new-QSO window linked
    EXPECT_FALSE(group->isEnabled());
    EXPECT_FALSE(edit->isEnabled());
    edit->setFocus();
    QTest::keyClicks(edit, "599");
    EXPECT_EQ(Form().Edit2.Text(), "");

    Form().GroupBox1.SetEnabled(true);
    Turn();
    EXPECT_TRUE(edit->isEnabled());
    edit->setFocus();
    QTest::keyClicks(edit, "599");
    EXPECT_EQ(Form().Edit2.Text(), "599");
    // A field disabled on its own stays so when its group comes back.
    Form().GroupBox1.SetEnabled(false);
    Form().Edit3.SetEnabled(false);
    Turn();
    Form().GroupBox1.SetEnabled(true);
    Turn();
    EXPECT_FALSE(Find<qt::TQtLineEdit>("Edit3")->isEnabled());
    EXPECT_TRUE(edit->isEnabled());
}

// The pop-up menus that open while act runs: their names and items; each is closed.
std::vector<std::pair<QString, QStringList>> MenusOpenedBy(const std::function<void()>& act) {
    std::vector<std::pair<QString, QStringList>> opened;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            QStringList items;
            for (QAction* a : popup->actions())
                if (!a->isSeparator())
                    items << a->text() + (a->isEnabled() ? "" : " (off)") +
                                 (a->shortcut().isEmpty() ? "" : " " + a->shortcut().toString());
            opened.emplace_back(popup->objectName(), items);
            popup->close();
        }
    });
    poll.start();
    act();
    SpinUntil([] { return false; }, 200);
    return opened;
}

TEST_F(QtMainFormTest, TheTransmitPaneOffersItsOwnMenuAndTheReceivePanesNoForeignOne) {
    auto* memo = Find<qt::TQtMemo>("Memo1");
    auto* pane = Find<qt::TQtRichPane>("RichEdit1");
    ASSERT_NE(memo, nullptr);
    ASSERT_NE(pane, nullptr);
    QApplication::clipboard()->clear();
    Form().Memo1.SetText("cq de ua3abc");
    Form().Memo1.SetSelStart(0);
    Form().Memo1.SetSelLength(2);
    Turn();
    const auto menus = MenusOpenedBy([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), memo->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(memo->viewport(), &event);
    });
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].first, "dxBarPopupMenu4");
    EXPECT_EQ(menus[0].second, (QStringList{QString::fromUtf8("Передать выделенный текст"),
                                            QString::fromUtf8("Выделить всё"), QString::fromUtf8("Копировать"),
                                            QString::fromUtf8("Вставить (off)")}));

    const auto none = MenusOpenedBy([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), pane->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(pane->viewport(), &event);
    });
    EXPECT_TRUE(none.empty()) << none[0].first.toStdString();
}

TEST_F(QtMainFormTest, TheWindowsStateGoesBackToTheFormWhichKeepsItsNormalBounds) {
    const int width = Form().Width, height = Form().Height;
    window->showMaximized();
    ASSERT_TRUE(SpinUntil([&] { return Form().WindowState == TWindowState::wsMaximized; }));
    SpinUntil([] { return false; }, 100);
    EXPECT_EQ(Form().Width, width);
    EXPECT_EQ(Form().Height, height);
    window->showNormal();
    EXPECT_TRUE(SpinUntil([&] { return Form().WindowState == TWindowState::wsNormal; }));
}

TEST_F(QtMainFormTest, TheSplitterMovesBothWaysAndAGrowingWindowFeedsTheReceivePane) {
    window->resize(780, 560);
    Turn();
    SpinUntil([] { return false; }, 100);
    auto* split = Find<QSplitter>("RxSplitter");
    ASSERT_NE(split, nullptr);
    EXPECT_GE(split->handleWidth(), 5);
    const int start = split->sizes()[0];
    for (int target : {start - 40, start - 10}) {
        auto sizes = split->sizes();
        const int total = sizes[0] + sizes[1];
        split->setSizes({target, total - target});
        Turn();
        EXPECT_EQ(split->sizes()[0], target) << "from " << start;
        EXPECT_EQ(Form().GetRxWndHeight(), split->sizes()[0]);
    }
    // A taller window gives its height to the receive pane.
    const int before = split->sizes()[0];
    window->resize(780, 760);
    SpinUntil([&] { return split->sizes()[0] > before + 150; });
    EXPECT_GT(split->sizes()[0], before + 150);
    EXPECT_EQ(Form().GetRxWndHeight(), split->sizes()[0]);
}

// The band's height is the operator's: dragged at its handle, kept in the
// state file, given back at the next start and never under its minimum.
TEST_F(QtMainFormTest, TheBandsHeightIsDraggedSavedAndRestored) {
    window->resize(780, 560);
    SpinUntil([] { return false; }, 100);
    auto* split = Find<QSplitter>("BandSplitter");
    ASSERT_NE(split, nullptr);
    EXPECT_GE(split->handleWidth(), 5);
    ASSERT_TRUE(split->handle(1)->isVisible());
    EXPECT_EQ(split->sizes()[0], 72);
    const auto drag = [&](int by) {
        QSplitterHandle* handle = split->handle(1);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(0, by)), handle->mapToGlobal(QPointF(grip + QPoint(0, by))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(0, by));
        Turn();
    };
    drag(78);
    EXPECT_EQ(split->sizes()[0], 150);
    EXPECT_EQ(Form().GetPanel1Height(), 150);
    // Never under 30, however far it is dragged.
    drag(-200);
    EXPECT_EQ(split->sizes()[0], 30);
    EXPECT_EQ(Form().GetPanel1Height(), 30);

    const auto reopenWith = [&](const std::string& height) {
        library->Release();
        library.reset();
        const std::string state = temp.Path("Quorvel/mainform.config.xml");
        std::string text = ReadAll(state);
        const std::string tag = "<_Panel1Height type=\"Integer\">";
        const auto at = text.find(tag);
        EXPECT_NE(at, std::string::npos) << text;
        if (at == std::string::npos) return;
        const auto end = text.find('<', at + tag.size());
        EXPECT_EQ(text.substr(at + tag.size(), end - at - tag.size()), "30") << "the height seen is the one saved";
        text.replace(at + tag.size(), end - at - tag.size(), height);
        WriteAll(state, text);
        Open();
        SpinUntil([] { return false; }, 100);
    };
    reopenWith("150");
    split = Find<QSplitter>("BandSplitter");
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->sizes()[0], 150);
    EXPECT_EQ(Form().GetPanel1Height(), 150);
    Form().SetPanel1Height(30);
    Turn();
    reopenWith("10");
    split = Find<QSplitter>("BandSplitter");
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->sizes()[0], 30);
    EXPECT_EQ(Form().GetPanel1Height(), 30);
}

// A small window still gives the received text room; the designed size
// keeps the receive pane as designed and every contact field whole.
TEST_F(QtMainFormTest, TheReceivePaneKeepsRoomInASmallWindow) {
    const std::pair<QSize, int> sizes[] = {{QSize(780, 560), 159}, {QSize(640, 480), 100}};
    for (const auto& [size, least] : sizes) {
        window->resize(size);
        SpinUntil([&] { return window->size() == size; });
        SpinUntil([] { return false; }, 100);
        auto* channels = Find<QWidget>("RzPageControl1");
        ASSERT_NE(channels, nullptr);
        EXPECT_GE(channels->height(), least) << size.width() << "x" << size.height();
        EXPECT_EQ(Find<QSplitter>("BandSplitter")->sizes()[0], 72);
        // At the designed size the fields are at their full height.
        if (size == QSize(780, 560)) {
            EXPECT_EQ(Find<QLineEdit>("Edit1")->height(), Find<QLineEdit>("Edit1")->sizeHint().height());
        }
        for (const char* name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5"}) {
            auto* edit = Find<QLineEdit>(name);
            ASSERT_NE(edit, nullptr) << name;
            EXPECT_TRUE(edit->isVisible()) << name;
            EXPECT_GE(edit->height(), edit->fontMetrics().height() + 4) << name;
            const QRect at(edit->mapTo(window, QPoint(0, 0)), edit->size());
            EXPECT_TRUE(window->rect().contains(at)) << name;
        }
    }
}

// The command bars wrap as docked bars do: at the designed size and at a
// small one every button and editor is on the window, none on another.
TEST_F(QtMainFormTest, EveryCommandOfTheBarsIsInReachAtTheDesignedSizeAndSmaller) {
    const std::pair<QSize, int> sizes[] = {{QSize(780, 560), 2}, {QSize(640, 480), 3}, {QSize(1590, 560), 1}};
    for (const auto& [size, rows] : sizes) {
        window->resize(size);
        SpinUntil([&] { return window->size() == size; });
        SpinUntil([] { return false; }, 50);
        auto* bars = Find<QWidget>("CommandBars");
        ASSERT_NE(bars, nullptr);
        const QRect inside = QRect(bars->mapTo(window, QPoint(0, 0)), bars->size()) & window->rect();
        std::vector<std::pair<QString, QRect>> placed;
        for (const char* name : {"BarStandard", "BarCommands", "BarCommands2"}) {
            auto* bar = Find<qt::TQtCommandBar>(name);
            ASSERT_NE(bar, nullptr) << name;
            ASSERT_TRUE(bar->isVisible()) << name;
            int items = 0;
            for (QWidget* item : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (item->property("barSeparator").toBool() || item->isWindow() || !item->isVisibleTo(bar)) continue;
                ++items;
                const QRect at(item->mapTo(window, QPoint(0, 0)), item->size());
                EXPECT_TRUE(item->isVisible() && inside.contains(at))
                    << item->objectName().toStdString() << " at " << size.width() << "x" << size.height();
                EXPECT_GE(item->width(), item->minimumSizeHint().width()) << item->objectName().toStdString();
                for (const auto& [other, rect] : placed)
                    EXPECT_FALSE(rect.intersects(at)) << item->objectName().toStdString() << " on " << other.toStdString();
                placed.emplace_back(item->objectName(), at);
            }
            EXPECT_GT(items, 2) << name;
        }
        // Bars share a row while they fit; no row more than that.
        const int rowHeight = Find<qt::TQtCommandBar>("BarCommands2")->height() + 2;
        EXPECT_LE(bars->height(), rows * rowHeight) << size.width() << "x" << size.height();
        EXPECT_GT(bars->height(), (rows - 1) * rowHeight) << size.width() << "x" << size.height();
    }
    // A button with an image shows the image, its caption is its tooltip.
    auto* open = Find<QToolButton>("mnuOpenF");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(open->toolTip(), QString::fromUtf8("Загрузить параметры фильтра"));
}

TEST_F(QtMainFormTest, TypedCharactersGoToTheEngineWhenSentAsTyped) {
    library->Config.AutoSendChar = true;
    auto* memo = Find<qt::TQtMemo>("Memo1");
    ASSERT_NE(memo, nullptr);
    auto* engine = dynamic_cast<TLoopbackEngine*>(Form().MMVARI1());
    ASSERT_NE(engine, nullptr);
    memo->setFocus();
    QTest::keyClicks(memo, "cq");
    std::u16string queued = engine->SentText();
    for (char16_t c : engine->TxQueue()) queued += c;
    EXPECT_EQ(queued.substr(0, 2), u"cq");
    EXPECT_TRUE(Form().RsSpeedButton1.Down());  // transmitting
}

TEST_F(QtMainFormTest, TextTheEngineReceivesShowsInTheMainPaneInTheReceiveColour) {
    auto* engine = dynamic_cast<TLoopbackEngine*>(Form().MMVARI1());
    ASSERT_NE(engine, nullptr);
    engine->Receive(0, u"CQ UA3ABC");
    ASSERT_TRUE(SpinUntil([&] { return Form().RichEdit1.Text().find("UA3ABC") != std::string::npos; }, 5000));
    Turn();
    auto* pane = Find<qt::TQtRichPane>("RichEdit1");
    ASSERT_NE(pane, nullptr);
    const QImage shot = pane->viewport()->grab().toImage();
    int green = 0;
    for (int p = 0; p < 2; ++p) {
        const QRect box = pane->CharRect(Form().RichEdit1.Text().find("CQ") + p);
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                green += c.green() > c.red() + 40 && c.green() > c.blue() + 40;
            }
    }
    EXPECT_GT(green, 0);
}

TEST_F(QtMainFormTest, AReceivedCharacterAppearsInItsChannelsTabInItsColour) {
    auto* channels = Find<QTabWidget>("RzPageControl1");
    ASSERT_NE(channels, nullptr);
    Form().TabSheet2.SetTabVisible(true);
    ShowRxChar(Form().RichEdit2, 'K', clNavy, false, TMainForm::kSmileyPictureId);
    ShowRxChar(Form().RichEdit1, 'Q', clGreen, false, TMainForm::kSmileyPictureId);
    Form().RzPageControl1.SelectPage(1);
    Turn();
    EXPECT_EQ(channels->currentIndex(), 1);
    auto* pane = dynamic_cast<qt::TQtRichPane*>(channels->widget(1));
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(&pane->Model(), &Form().RichEdit2);
    const QImage shot = pane->viewport()->grab().toImage();
    const QRect box = pane->CharRect(0);
    int navy = 0, green = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            // Small type is smoothed: count the pixels leaning to each ink.
            navy += c.blue() > c.red() + 40 && c.blue() > c.green() + 40;
            green += c.green() > c.red() + 40 && c.green() > c.blue() + 40;
        }
    EXPECT_GT(navy, 0);
    EXPECT_EQ(green, 0);
}

TEST_F(QtMainFormTest, AnOpenedChannelsTabAppearsWithItsCloseButtonAndItsText) {
    auto* channels = Find<QTabWidget>("RzPageControl1");
    ASSERT_NE(channels, nullptr);
    EXPECT_FALSE(channels->isTabVisible(1));
    Form().dxBarPopupMenu2.Runner = [this](TPopupMenu&, TPoint) { Form().mnuSubChanel.Click(); };
    Form().XMMVView1.MouseDown(TMouseButton::mbRight, 0, 1200, 0);
    Turn();
    EXPECT_TRUE(channels->isTabVisible(1));
    EXPECT_EQ(channels->currentIndex(), 1);
    EXPECT_EQ(channels->tabText(1), QString::fromUtf8("Канал 1"));
    const auto side = static_cast<QTabBar::ButtonPosition>(
        channels->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, channels->tabBar()));
    QWidget* close = channels->tabBar()->tabButton(1, side);
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(close->isVisible());
    QWidget* mainClose = channels->tabBar()->tabButton(0, side);
    EXPECT_TRUE(mainClose == nullptr || !mainClose->isVisible());

    engines.Last->Receive(1, u"CQ");
    auto* pane = dynamic_cast<qt::TQtRichPane*>(channels->widget(1));
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(Form().RichEdit2.GetTextLen(), 2, 5000);
    EXPECT_EQ(Form().RichEdit1.GetTextLen(), 0);

    // Its close button closes the channel and the main tab comes back.
    QTest::mouseClick(close, Qt::LeftButton);
    Turn();
    EXPECT_FALSE(channels->isTabVisible(1));
    EXPECT_EQ(channels->currentIndex(), 0);
    EXPECT_FALSE(engines.Last->ChannelIsOpen(1));
}

TEST_F(QtMainFormTest, AClickOnAWordPutsTheCaretWhereCaptureLooks) {
    AppendToPane(Form().RichEdit1, "de UA3ABC k");
    Turn();
    auto* pane = Find<qt::TQtRichPane>("RichEdit1");
    ASSERT_NE(pane, nullptr);
    int caret = -1;
    Form().RichEdit1.OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int, int) {
        caret = Form().RichEdit1.SelStart();
    };
    const QRect a = pane->CharRect(5);  // the "3" of UA3ABC
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, a.center() - QPoint(a.width() / 4, 0));
    EXPECT_EQ(caret, 5);
    EXPECT_EQ(Form().RichEdit1.SelStart(), 5);
}

TEST_F(QtMainFormTest, ToggleButtonsUpdateTheModelAndTheEngine) {
    auto* commands = Find<qt::TQtCommandBar>("BarCommands");
    ASSERT_NE(commands, nullptr);
    QAction* afc = nullptr;
    QAction* net = nullptr;
    for (QAction* a : commands->actions()) {
        if (a->objectName() == "mnuAFC") afc = a;
        if (a->objectName() == "mnuNET") net = a;
    }
    ASSERT_TRUE(afc && net);
    ASSERT_TRUE(afc->isChecked());
    ASSERT_NE(Form().MMVARI1(), nullptr);
    QTest::mouseClick(commands->WidgetForAction(afc), Qt::LeftButton);
    EXPECT_FALSE(Form().mnuAFC.Down());
    EXPECT_EQ(Form().MMVARI1()->Afc(0), 0);
    EXPECT_FALSE(Form().mnuAFCFreq.Enabled());
    Turn();
    EXPECT_FALSE(afc->isChecked());
    auto* afcFreq = Find<qt::TQtSpinEdit>("mnuAFCFreq");
    ASSERT_NE(afcFreq, nullptr);
    EXPECT_FALSE(afcFreq->isEnabled());
    QTest::mouseClick(commands->WidgetForAction(net), Qt::LeftButton);
    EXPECT_FALSE(Form().mnuNET.Down());
    EXPECT_EQ(Form().MMVARI1()->bNET(), OleFalse);
}

TEST_F(QtMainFormTest, ButtonsGetTheirImagesAndBarsFollowTheHostsToolbarStyle) {
    // The images arrive at the first show, after the view was made.
    auto* sendTone = Find<QToolButton>("RsSpeedButton2");
    ASSERT_NE(sendTone, nullptr);
    ASSERT_NE(sendTone->defaultAction(), nullptr);
    EXPECT_FALSE(sendTone->defaultAction()->icon().isNull());

    auto* standard = Find<qt::TQtCommandBar>("BarStandard");
    ASSERT_NE(standard, nullptr);
    const QString office = standard->styleSheet();
    EXPECT_TRUE(office.contains("gradient")) << office.toStdString();
    auto* status = Find<QStatusBar>("StatusBar1");
    ASSERT_NE(status, nullptr);
    auto* panel = status->findChild<QLabel*>("Panel0");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->frameShape(), QFrame::StyledPanel);

    host.config.toolbarStyle = 1;  // flat
    Form().Hide();
    Form().Show();
    Turn();
    EXPECT_NE(standard->styleSheet(), office);
    EXPECT_TRUE(standard->styleSheet().contains("border: none"));
    EXPECT_EQ(panel->frameShape(), QFrame::NoFrame);

    // Only the current macro page's bar shows, also after the images came
    // and each bar synced again (as when the macros are reloaded).
    for (TToolBar* b : {&Form().ToolBar1, &Form().ToolBar2, &Form().ToolBar3, &Form().ToolBar4, &Form().ToolBar5}) {
        b->SetEnabled(false);
        b->SetEnabled(true);
    }
    Turn();
    auto* macros = Find<QTabWidget>("PageControl1");
    ASSERT_NE(macros, nullptr);
    for (int i = 0; i < 5; ++i) {
        auto* bar = Find<QToolBar>(("ToolBar" + std::to_string(i + 1)).c_str());
        ASSERT_NE(bar, nullptr) << i;
        EXPECT_EQ(bar->isVisible(), i == macros->currentIndex()) << "macro bar " << i + 1;
    }
}

TEST_F(QtMainFormTest, TheBandHoldsTheDisplaysAndTheStepButtonsStepWhileHeld) {
    ASSERT_NE(Find<QWidget>("XMMVView1"), nullptr);
    ASSERT_NE(Find<QWidget>("XMMVView2"), nullptr);
    ASSERT_NE(Find<QWidget>("XMMVLvl1"), nullptr);
    ASSERT_NE(Find<QWidget>("AFCLvl"), nullptr);
    QWidget* band = nullptr;  // the status bar's first panel has the name too
    for (QWidget* w : window->findChildren<QWidget*>("Panel1"))
        if (QString(w->metaObject()->className()) == "QWidget") band = w;
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->height(), Form().Panel1.Height());
    auto* panel = Find<QFrame>("RsPanel3");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->styleSheet().contains("#88aee4")) << "the readout's gradient ends in RGB(136, 174, 228)";

    // The press steps at once; the release stops the repeat.
    desktop.Windows.PostMessage(Form().Handle(), PAVO_MSG_TRX_FREQUENCY, 0, 14070000);
    ASSERT_TRUE(SpinUntil([&] { return Form().Window.DialFrequency == 14070000; }));
    host.transceiver.tunes.clear();
    auto* plus100 = Find<QToolButton>("RsSpeedButton44");
    ASSERT_NE(plus100, nullptr);
    QTest::mousePress(plus100, Qt::LeftButton);
    EXPECT_EQ(host.transceiver.tunes, std::vector<std::int32_t>{14070100});
    EXPECT_TRUE(Form().Timer2.Enabled());
    QTest::mouseRelease(plus100, Qt::LeftButton);
    EXPECT_FALSE(Form().Timer2.Enabled());
    EXPECT_EQ(host.transceiver.tunes.size(), 1u);
}

TEST_F(QtMainFormTest, WhileAFileComesInTheAnimationAndItsLabelTakeTheTransmitPanesPlace) {
    auto* engine = dynamic_cast<TLoopbackEngine*>(Form().MMVARI1());
    ASSERT_NE(engine, nullptr);
    auto* memo = Find<qt::TQtMemo>("Memo1");
    auto* label = Find<QLabel>("Label6");
    auto* clip = Find<QProgressBar>("RsAnimate1");
    ASSERT_TRUE(memo != nullptr && label != nullptr && clip != nullptr);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_FALSE(label->isVisible());
    EXPECT_FALSE(clip->isVisible());

    engine->Receive(0, u"!ZQHWBSTS\r\n");
    ASSERT_TRUE(SpinUntil([&] { return Form().Rx.FileReceiving; }, 5000));
    Turn();
    EXPECT_FALSE(memo->isVisible());
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), QString::fromUtf8("Идёт приём файла..."));
    EXPECT_TRUE(clip->isVisible());
    EXPECT_EQ(clip->maximum(), 0);  // running

    Form().mnuStopRx.Click();
    engine->Receive(0, u" ");
    ASSERT_TRUE(SpinUntil([&] { return !Form().Rx.FileReceiving; }, 5000));
    Turn();
    EXPECT_TRUE(memo->isVisible());
    EXPECT_FALSE(clip->isVisible());
}

TEST_F(QtMainFormTest, ReleaseTakesTheViewDownBeforeTheControls) {
    const THandle handle = Form().Handle();
    AppendToPane(Form().RichEdit1, "73");
    library->Release();
    EXPECT_FALSE(desktop.Windows.IsWindow(handle));
    Turn();  // nothing left to sync
}

}  // namespace
}  // namespace quorvel::testing
