#include "QtMainFormView.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

#include "QtBalloonHint.h"
#include "QtColors.h"
#include "QtCommandBar.h"
#include "QtControls.h"
#include "QtFiltersDialog.h"
#include "QtFormControls.h"
#include "QtFormView.h"
#include "QtIcons.h"
#include "QtModemDisplays.h"
#include "QtRichPane.h"
#include "QtText.h"
#include "plugin/dsMainForm.h"

namespace quorvel::qt {
namespace {

// The band: the first part of its splitter, at the panel's height. The
// operator's drag goes back to the panel, so the height saved is the one seen.
class TBandBinding final : public TBinding {
public:
    TBandBinding(TPanel& panel, QSplitter& split, TQtSync& sync) : TBinding(sync), panel_(panel), split_(&split) {
        panel_.Observe([this] { Changed(); });
        QObject::connect(&split, &QSplitter::splitterMoved, &split, [this](int, int index) {
            if (QSplitter* s = split_.data(); s != nullptr && index == 1) panel_.SetHeight(s->sizes()[0]);
        });
        Sync();
    }
    ~TBandBinding() override { panel_.Observe(nullptr); }
    void Sync() override {
        QSplitter* s = split_.data();
        if (s == nullptr) return;
        QWidget* band = s->widget(0);
        band->setMinimumHeight(panel_.MinHeight);
        band->setVisible(panel_.Visible());
        const QList<int> sizes = s->sizes();
        const int height = std::max(panel_.Height(), panel_.MinHeight);
        if (sizes[0] != height) s->setSizes({height, std::max(0, sizes[0] + sizes[1] - height)});
    }

private:
    TPanel& panel_;
    QPointer<QSplitter> split_;
};

QString PanelSheet(const TPanel& panel, const QPalette& palette) {
    const QColor top = ToQColor(panel.Color, palette);
    if (!panel.Gradient) return QStringLiteral("QFrame#%1 { background: %2; }").arg(ToQString(panel.Name), top.name());
    const QColor bottom = ToQColor(panel.GradientTo, palette);
    return QStringLiteral("QFrame#%1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %2, stop:1 %3); }")
        .arg(ToQString(panel.Name), top.name(), bottom.name());
}

// A panel shown or hidden with its control.
class TPanelBinding final : public TBinding {
public:
    TPanelBinding(TControl& control, QWidget& widget, TQtSync& sync) : TBinding(sync), control_(control), widget_(&widget) {
        control_.Observe([this] { Changed(); });
        Sync();
    }
    ~TPanelBinding() override { control_.Observe(nullptr); }
    void Sync() override {
        if (QWidget* w = widget_.data()) w->setVisible(control_.Visible());
    }

private:
    TControl& control_;
    QPointer<QWidget> widget_;
};

// The transfer animation with its label, in the transmit pane's place: shown
// while the clip runs, which is exactly while a file goes out or comes in and
// the pane is hidden. A busy bar stands in for the clip.
class TAnimateBinding final : public TBinding {
public:
    TAnimateBinding(TAnimate& animate, QWidget& panel, QProgressBar& clip, TQtSync& sync)
        : TBinding(sync), animate_(animate), panel_(&panel), clip_(&clip) {
        animate_.Observe([this] { Changed(); });
        Sync();
    }
    ~TAnimateBinding() override { animate_.Observe(nullptr); }
    void Sync() override {
        if (QProgressBar* clip = clip_.data()) clip->setRange(0, animate_.Active() ? 0 : 1);
        if (QWidget* w = panel_.data()) w->setVisible(animate_.Active());
    }

private:
    TAnimate& animate_;
    QPointer<QWidget> panel_;
    QPointer<QProgressBar> clip_;
};

// A bar of the bar manager shown or hidden with its control.
class TBarBinding final : public TBinding {
public:
    TBarBinding(TBar& bar, QWidget& widget, TQtSync& sync) : TBinding(sync), bar_(bar), widget_(&widget) {
        bar_.Observe([this] { Changed(); });
        Sync();
    }
    ~TBarBinding() override { bar_.Observe(nullptr); }
    void Sync() override {
        if (QWidget* w = widget_.data()) w->setVisible(bar_.Visible());
    }

private:
    TBar& bar_;
    QPointer<QWidget> widget_;
};

// The bars' look, after the host's toolbar style.
class TBarLookBinding final : public TBinding {
public:
    TBarLookBinding(TBarManager& manager, QMainWindow& root, TQtSync& sync)
        : TBinding(sync), manager_(manager), root_(&root) {
        manager_.Observe([this] { Changed(); });
        Sync();
    }
    ~TBarLookBinding() override { manager_.Observe(nullptr); }
    void Sync() override {
        QMainWindow* root = root_.data();
        if (root == nullptr) return;
        // The bars' frames by their mark, their buttons inside them.
        QString sheet;
        switch (manager_.Style()) {
            case TBarLook::Office2003:
                sheet = QStringLiteral("QFrame[commandBar=\"true\"] { border: none; background: qlineargradient(x1:0, "
                                       "y1:0, x2:0, y2:1, stop:0 #f6faff, stop:1 #c7dbf5); }");
                break;
            case TBarLook::Flat:
                sheet = QStringLiteral("QFrame[commandBar=\"true\"] { border: none; background: palette(window); } "
                                       "QToolButton { border: none; }");
                break;
            case TBarLook::Enhanced:
                sheet = QStringLiteral("QFrame[commandBar=\"true\"] { border: 1px solid palette(mid); border-radius: 3px; "
                                       "background: palette(button); }");
                break;
            case TBarLook::XP:
                sheet = QStringLiteral("QFrame[commandBar=\"true\"] { border: none; background: qlineargradient(x1:0, "
                                       "y1:0, x2:0, y2:1, stop:0 #fcfcf9, stop:1 #e1e1d6); }");
                break;
        }
        for (QFrame* bar : root->findChildren<QFrame*>())
            if (bar->property("commandBar").toBool()) bar->setStyleSheet(sheet);
    }

private:
    TBarManager& manager_;
    QPointer<QMainWindow> root_;
};

// Calls back when a widget changes size.
class TResizeWatcher final : public QObject {
public:
    TResizeWatcher(QWidget& widget, std::function<void()> resized) : widget_(&widget), resized_(std::move(resized)) {
        widget.installEventFilter(this);
    }
    ~TResizeWatcher() override {
        if (QWidget* w = widget_.data()) w->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_.data() && event->type() == QEvent::Resize) resized_();
        return false;
    }

private:
    QPointer<QWidget> widget_;
    std::function<void()> resized_;
};

class TQtMainFormView final : public TQtFormView {
public:
    TQtMainFormView(TMainForm& form, QWidget& window, TQtIcons& icons);
    ~TQtMainFormView() override;

private:
    QIcon Image(int index) const;
    QToolButton* Button(TButtonItem& item, QWidget* parent);

    TMainForm& main_;
    TQtIcons& icons_;
    std::unique_ptr<QMainWindow> root_;
    QPointer<QMainWindow> rootAlive_;  // the window may take it down first
    std::unique_ptr<TQtFormControls> controls_;
    std::unique_ptr<TResizeWatcher> watcher_, splitWatcher_;
    std::unique_ptr<TQtBalloonHint> balloon_;  // the macro preview
    bool rxRestored_ = false, rxFollows_ = false;
};

TQtMainFormView::TQtMainFormView(TMainForm& form, QWidget& window, TQtIcons& icons)
    : TQtFormView(form, window), main_(form), icons_(icons) {
    auto* layout = new QVBoxLayout(&window);  // owned by the window
    layout->setContentsMargins(0, 0, 0, 0);
    root_ = std::make_unique<QMainWindow>(nullptr, Qt::Widget);
    QMainWindow* root = root_.get();
    rootAlive_ = root;
    root->setObjectName(QStringLiteral("MainFormView"));
    layout->addWidget(root);
    controls_ = std::make_unique<TQtFormControls>(sync_, [this](int i) { return Image(i); }, root);
    main_.RunFiltersDialog = [root](TFiltersForm& dialog) { return RunFiltersDialog(dialog, root->window()); };
    TQtFormControls& c = *controls_;

    // Menu bar, the three toolbars, status bar.
    c.FillMenuBar(*root->menuBar(), main_.BarMainMenu);
    // The command bars side by side while they fit, wrapping as docked bars do.
    auto* bars = new QWidget(root);
    bars->setObjectName(QStringLiteral("CommandBars"));
    QSizePolicy barsPolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);  // as high as its rows
    barsPolicy.setHeightForWidth(true);
    bars->setSizePolicy(barsPolicy);
    auto* barFlow = new TFlowLayout(bars, 2);  // owned by the widget
    for (TBar* bar : {&main_.BarStandard, &main_.BarCommands, &main_.BarCommands2}) {
        auto* commandBar = new TQtCommandBar(ToQString(bar->Name), ToQString(bar->Caption), bars);
        c.FillToolBar(*commandBar, bar->ItemLinks);
        barFlow->addWidget(commandBar);
        c.Keep(std::make_unique<TBarBinding>(*bar, *commandBar, sync_));
    }
    c.Keep(std::make_unique<TBarLookBinding>(main_.dxBarManager1, *root, sync_));
    // Images come when the window is first shown, after the view is made.
    if (main_.ImagesModule) main_.ImagesModule->Observe([this] { controls_->ImagesChanged(); });
    // Every widget is made inside its window: one made without a parent shows
    // as a window of its own, and keeps a native window when it moves in.
    auto* status = new TQtStatusBar(main_.StatusBar1, sync_, root);
    root->setStatusBar(status);  // owned by the main window
    for (TPopupMenu* popup : {&main_.dxBarPopupMenu1, &main_.dxBarPopupMenu2, &main_.dxBarPopupMenu3,
                              &main_.dxBarPopupMenu4})
        c.BindPopup(*popup);

    auto* central = new QWidget(root);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    root->setCentralWidget(central);
    column->addWidget(bars);

    // The band: level meter and tuning strip on the left, the spectrum or
    // waterfall over its scale, the transceiver panel below.
    const QuorvelModemDisplay* display = main_.Modem.Display;
    auto bandView = std::make_unique<TQtBandView>(display, main_.XMMVView1);
    auto scaleView = std::make_unique<TQtScaleView>(*bandView);
    auto tuningView = std::make_unique<TQtTuningView>(display);
    auto levelMeter = std::make_unique<TQtLevelMeter>(display);
    auto* band = new QWidget(central);
    band->setObjectName(ToQString(main_.Panel1.Name));
    auto* bandColumn = new QVBoxLayout(band);
    bandColumn->setContentsMargins(0, 0, 0, 0);
    bandColumn->setSpacing(0);
    auto* bandRow = new QHBoxLayout;
    bandRow->setSpacing(1);
    auto* left = new QVBoxLayout;
    left->setSpacing(1);
    QWidget* level = levelMeter->CreateCanvas(band);
    level->setFixedWidth(main_.XMMVLvl1.Width());
    level->setToolTip(ToQString(main_.XMMVLvl1.Hint()));
    left->addWidget(level, 1);
    QWidget* tuning = tuningView->CreateCanvas(band);
    tuning->setFixedSize(main_.XMMVLvl1.Width(), main_.AFCLvl.Height());
    tuning->setToolTip(ToQString(main_.AFCLvl.Hint()));
    left->addWidget(tuning);
    bandRow->addLayout(left);
    auto* mainArea = new QVBoxLayout;
    mainArea->setSpacing(0);
    mainArea->addWidget(bandView->CreateCanvas(band), 1);
    auto* scalePanel = new QFrame(band);
    scalePanel->setObjectName(ToQString(main_.RsPanel5.Name));
    scalePanel->setFixedHeight(main_.RsPanel5.Height());
    auto* scaleLayout = new QVBoxLayout(scalePanel);
    scaleLayout->setContentsMargins(0, 0, 0, 0);
    scaleLayout->addWidget(scaleView->CreateCanvas(scalePanel));
    c.Keep(std::make_unique<TPanelBinding>(main_.RsPanel5, *scalePanel, sync_));
    mainArea->addWidget(scalePanel);
    bandRow->addLayout(mainArea, 1);
    bandColumn->addLayout(bandRow, 1);
    TQtScaleView* scale = scaleView.get();
    bandView->Drawn = [scale] { scale->Follow(); };
    main_.XMMVView1.Replace(std::move(bandView));
    main_.XMMVView2.Replace(std::move(scaleView));
    main_.AFCLvl.Replace(std::move(tuningView));
    main_.XMMVLvl1.Replace(std::move(levelMeter));

    auto* trcvr = new QFrame(band);
    trcvr->setObjectName(ToQString(main_.RsPanel3.Name));
    trcvr->setStyleSheet(PanelSheet(main_.RsPanel3, trcvr->palette()));
    trcvr->setFixedHeight(std::max(main_.RsPanel3.Height(), QFontMetrics(ToQFont(main_.Label7.Font)).height()));
    auto* trcvrRow = new QHBoxLayout(trcvr);
    trcvrRow->setContentsMargins(2, 0, 2, 0);
    trcvrRow->setSpacing(1);
    const auto stepButton = [trcvr](TSpeedButton& b) {
        // Not the item's action: a click would step once more on the release.
        auto* button = new QToolButton(trcvr);
        button->setObjectName(ToQString(b.Name));
        button->setText(ToQString(b.Caption()));
        button->setToolTip(ToQString(b.Hint()));
        button->setAutoRaise(true);
        // The buttons step while held: the press and the release are what count.
        QObject::connect(button, &QToolButton::pressed, button,
                         [&b] { b.MouseDown(TMouseButton::mbLeft, TShiftState{}, 0, 0); });
        QObject::connect(button, &QToolButton::released, button,
                         [&b] { b.MouseUp(TMouseButton::mbLeft, TShiftState{}, 0, 0); });
        return button;
    };
    for (TSpeedButton* b : {&main_.RsSpeedButton3, &main_.RsSpeedButton42, &main_.RsSpeedButton43})
        trcvrRow->addWidget(stepButton(*b));
    auto* frequency = new QLabel(trcvr);
    frequency->setObjectName(ToQString(main_.Label7.Name));
    frequency->setFont(ToQFont(main_.Label7.Font));
    frequency->setAlignment(Qt::AlignCenter);
    frequency->setMinimumWidth(QFontMetrics(frequency->font()).horizontalAdvance(QStringLiteral("888.888.888")));
    c.Keep(std::make_unique<TTextBinding>(main_.Label7, *frequency, sync_));
    trcvrRow->addWidget(frequency);
    for (TSpeedButton* b : {&main_.RsSpeedButton44, &main_.RsSpeedButton45, &main_.RsSpeedButton46})
        trcvrRow->addWidget(stepButton(*b));
    trcvrRow->addStretch(1);
    c.Keep(std::make_unique<TPanelBinding>(main_.RsPanel3, *trcvr, sync_));
    bandColumn->addWidget(trcvr);
    // The band over the panes, its height dragged at the handle below it.
    auto* bandSplit = new QSplitter(Qt::Vertical, central);
    bandSplit->setObjectName(QStringLiteral("BandSplitter"));
    bandSplit->setHandleWidth(5);
    bandSplit->setChildrenCollapsible(false);
    bandSplit->addWidget(band);

    // Receive panes under their channel tabs, then the macro pages, then the
    // transmit pane with the contact data.
    auto* split = new QSplitter(Qt::Vertical, bandSplit);
    split->setObjectName(QStringLiteral("RxSplitter"));
    std::vector<QWidget*> panes;
    for (TRichEdit* pane : {&main_.RichEdit1, &main_.RichEdit2, &main_.RichEdit3, &main_.RichEdit4, &main_.RichEdit5}) {
        auto* view = new TQtRichPane(*pane, sync_, central);  // until the tabs take it
        if (main_.SmileyPicture) view->SetPicture(TMainForm::kSmileyPictureId, ToPixmap(*main_.SmileyPicture));
        panes.push_back(view);
    }
    auto* channels = new TQtPageControl(main_.RzPageControl1, panes, sync_, split);  // takes the panes
    channels->setMinimumHeight(std::max(main_.RxPanel.MinHeight, 30));
    split->addWidget(channels);

    auto* lower = new QWidget(split);
    auto* lowerColumn = new QVBoxLayout(lower);
    lowerColumn->setContentsMargins(0, 0, 0, 0);
    lowerColumn->setSpacing(2);
    std::vector<QWidget*> macroPages;
    for (TToolBar* bar : {&main_.ToolBar1, &main_.ToolBar2, &main_.ToolBar3, &main_.ToolBar4, &main_.ToolBar5}) {
        // Each bar on a page of its own: the bar shows or hides as its model
        // says, the page as its tab does; a bar that were the page itself
        // would show over the current one.
        auto* page = new QWidget(lower);
        auto* pageColumn = new QVBoxLayout(page);
        pageColumn->setContentsMargins(0, 0, 0, 0);
        pageColumn->addWidget(c.MacroBar(*bar, page));
        macroPages.push_back(page);
    }
    auto* macros = new TQtPageControl(main_.PageControl1, macroPages, sync_, lower);
    macros->setFixedHeight(macros->tabBar()->sizeHint().height() + 30);
    lowerColumn->addWidget(macros);

    auto* txRow = new QHBoxLayout;
    auto* memo = new TQtMemo(main_.Memo1, sync_, lower);
    txRow->addWidget(memo, 1);
    auto* transfer = new QWidget(lower);
    auto* transferColumn = new QVBoxLayout(transfer);
    auto* transferLabel = new QLabel(transfer);
    transferLabel->setObjectName(ToQString(main_.Label6.Name));
    transferLabel->setAlignment(Qt::AlignCenter);
    c.Keep(std::make_unique<TTextBinding>(main_.Label6, *transferLabel, sync_));
    auto* clip = new QProgressBar(transfer);
    clip->setObjectName(ToQString(main_.RsAnimate1.Name));
    clip->setTextVisible(false);
    transferColumn->addStretch();
    transferColumn->addWidget(transferLabel);
    transferColumn->addWidget(clip);
    transferColumn->addStretch();
    c.Keep(std::make_unique<TAnimateBinding>(main_.RsAnimate1, *transfer, *clip, sync_));
    txRow->addWidget(transfer, 1);
    auto* txButtons = new QVBoxLayout;
    txButtons->addWidget(Button(main_.RsSpeedButton1, lower));
    txButtons->addWidget(Button(main_.RsSpeedButton2, lower));
    txButtons->addStretch();
    txRow->addLayout(txButtons);
    auto* group = new QGroupBox(lower);
    group->setObjectName(ToQString(main_.GroupBox1.Name));
    c.Keep(std::make_unique<TTextBinding>(main_.GroupBox1, *group, sync_));
    auto* grid = new QGridLayout(group);
    const std::pair<TLabel*, TEdit*> fields[] = {{&main_.Label1, &main_.Edit1}, {&main_.Label2, &main_.Edit2},
                                                 {&main_.Label3, &main_.Edit3}, {&main_.Label4, &main_.Edit4},
                                                 {&main_.Label5, &main_.Edit5}};
    // The rows share the group's height: spaced as designed when there is
    // room, closer and flatter in a small window rather than pressing the
    // receive pane to a line or two.
    grid->setVerticalSpacing(0);
    grid->setContentsMargins(grid->contentsMargins().left(), 2, grid->contentsMargins().right(), 2);
    int row = 0;
    for (const auto& [label, edit] : fields) {
        auto* caption = new QLabel(group);
        c.Keep(std::make_unique<TTextBinding>(*label, *caption, sync_));
        grid->addWidget(caption, row, 0, Qt::AlignVCenter);
        auto* field = new TQtLineEdit(*edit, sync_, group);
        field->setMinimumHeight(field->fontMetrics().height() + 4);
        field->setMaximumHeight(field->sizeHint().height());
        field->setSizePolicy(field->sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
        grid->addWidget(field, row, 1, Qt::AlignVCenter);
        grid->setRowStretch(row, 1);
        ++row;
    }
    txRow->addWidget(group);
    lowerColumn->addLayout(txRow, 1);
    split->addWidget(lower);
    // The receive pane takes what a growing window gives; the handle is one
    // a mouse can find, and neither side folds away.
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setHandleWidth(7);
    split->setChildrenCollapsible(false);
    bandSplit->addWidget(split);
    // A growing window gives its height to the panes, not to the band.
    bandSplit->setStretchFactor(0, 0);
    bandSplit->setStretchFactor(1, 1);
    c.Keep(std::make_unique<TBandBinding>(main_.Panel1, *bandSplit, sync_));
    column->addWidget(bandSplit, 1);
    // The receive pane's height as the operator leaves it is the one saved;
    // the saved one is given back once the splitter has its real size.
    QObject::connect(split, &QSplitter::splitterMoved, split, [this, split] { main_.RxPanel.SetHeight(split->sizes()[0]); });
    splitWatcher_ = std::make_unique<TResizeWatcher>(*split, [this, split, lower] {
        if (rxFollows_) {
            // A shrinking window takes from the macro and transmit panes
            // before it leaves the received text a line or two.
            QTimer::singleShot(0, split, [split, lower] {
                constexpr int kRoom = 100;
                const QList<int> sizes = split->sizes();
                const int spare = sizes[1] - lower->minimumSizeHint().height();
                if (sizes[0] >= kRoom || spare <= 0) return;
                const int give = std::min(kRoom - sizes[0], spare);
                split->setSizes({sizes[0] + give, sizes[1] - give});
            });
            return;
        }
        if (rxRestored_ || !split->isVisible()) return;
        rxRestored_ = true;
        QTimer::singleShot(0, split, [this, split] {
            const int saved = main_.RxPanel.Height();  // restored by now, or as designed
            const int total = split->sizes()[0] + split->sizes()[1];
            split->setSizes({saved, std::max(0, total - saved)});
            main_.RxPanel.SetHeight(split->sizes()[0]);
            rxFollows_ = true;
        });
    });
    watcher_ = std::make_unique<TResizeWatcher>(*channels, [this, channels] {
        if (rxFollows_ && channels->isVisible()) main_.RxPanel.SetHeight(channels->height());
    });
    balloon_ = std::make_unique<TQtBalloonHint>(main_.BalloonHint1, window, sync_);
}

TQtMainFormView::~TQtMainFormView() {
    main_.RunFiltersDialog = nullptr;
    if (main_.ImagesModule) main_.ImagesModule->Observe(nullptr);
    watcher_.reset();
    splitWatcher_.reset();
    balloon_.reset();
    // The bindings let go of the controls first, then the widgets go.
    controls_.reset();
    if (rootAlive_.isNull()) (void)root_.release();
    root_.reset();
}

QIcon TQtMainFormView::Image(int index) const {
    if (!main_.ImagesModule || index < 0 || index >= main_.ImagesModule->Images.Count()) return {};
    return icons_.Icon(main_.ImagesModule->Images.Image(index));
}

QToolButton* TQtMainFormView::Button(TButtonItem& item, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(ToQString(item.Name));
    button->setDefaultAction(controls_->ActionFor(item));
    button->setToolButtonStyle(item.Caption().empty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextOnly);
    return button;
}

}  // namespace

std::unique_ptr<IFormView> CreateMainFormView(TForm& form, QWidget& window, TQtIcons& icons) {
    auto* main = dynamic_cast<TMainForm*>(&form);
    if (main == nullptr) return nullptr;
    return std::make_unique<TQtMainFormView>(*main, window, icons);
}

}  // namespace quorvel::qt
