#include "QtOptionsView.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "QtColors.h"
#include "QtControls.h"
#include "QtFormView.h"
#include "QtIcons.h"
#include "QtText.h"
#include "settings/dsOptionsForm.h"

namespace quorvel::qt {
namespace {

// A colour picker: every entry with its swatch; picking goes to the model,
// which may ask for a colour and keep the old selection.
class TQtColorBox final : public QComboBox, public TBinding {
public:
    TQtColorBox(TColorBox& model, TQtSync& sync, TQtIcons& icons, QWidget* parent)
        : QComboBox(parent), TBinding(sync), model_(model), icons_(icons) {
        setObjectName(ToQString(model.Name));
        connect(this, &QComboBox::activated, this, [this](int index) {
            model_.Select(index);
            Sync();
        });
        model_.Observe([this] { Changed(); });
        Sync();
    }
    ~TQtColorBox() override { model_.Observe(nullptr); }
    void Sync() override {
        if (count() != static_cast<int>(model_.Items().size())) {
            clear();
            for (const std::string& item : model_.Items()) addItem(ToQString(item));
        }
        for (int i = 0; i < count(); ++i) setItemIcon(i, Swatch(model_.Colors(i)));
        setCurrentIndex(model_.ItemIndex());
        setEnabled(model_.Enabled());
    }

private:
    // The same colour is the same icon in every dialog: Qt caches what it
    // draws of a new one under a key that is never asked for again.
    QIcon Swatch(TColor colour) const {
        TBitmap swatch{24, 12, {}};
        swatch.Pixels.assign(24 * 12, ToQColor(colour, palette()).rgba());
        return icons_.Icon(swatch);
    }
    TColorBox& model_;
    TQtIcons& icons_;
};

// "Образец" in the sample's font and colour on the sample's background.
class TQtFontSample final : public QLabel, public TBinding {
public:
    TQtFontSample(TFontSample& model, TQtSync& sync, QWidget* parent) : QLabel(parent), TBinding(sync), model_(model) {
        setObjectName(ToQString(model.Name));
        setAlignment(Qt::AlignCenter);
        setFrameShape(QFrame::StyledPanel);
        setFrameShadow(QFrame::Sunken);
        setAutoFillBackground(true);
        setMinimumHeight(32);
        model_.Observe([this] { Changed(); });
        Sync();
    }
    ~TQtFontSample() override { model_.Observe(nullptr); }
    void Sync() override {
        setText(ToQString(model_.Caption()));
        setFont(ToQFont(model_.Font()));
        QPalette p = palette();
        p.setColor(QPalette::Window, ToQColor(model_.Color, QGuiApplication::palette()));
        p.setColor(QPalette::WindowText, ToQColor(model_.Font().Color, QGuiApplication::palette()));
        setPalette(p);
    }

private:
    TFontSample& model_;
};

// The help link: a click lets go of the mouse over the label.
class TQtLink final : public QLabel {
public:
    TQtLink(TLabel& model, QWidget* parent) : QLabel(parent), model_(model) {
        setObjectName(ToQString(model.Name));
        setText(ToQString(model.Caption()));
        setFont(ToQFont(model.Font));
        setCursor(Qt::PointingHandCursor);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Link));
        setPalette(p);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            model_.MouseUp(TMouseButton::mbLeft, 0, 0, 0);
    }

private:
    TLabel& model_;
};

class TQtOptionsView final : public TQtFormView {
public:
    TQtOptionsView(TOptionsForm& form, QWidget& window, TQtIcons& icons);
    ~TQtOptionsView() override;

private:
    QLabel* Label(TLabel& label, QWidget* parent);
    QWidget* Spin(TSpinEdit& editor, QWidget* parent);
    QWidget* Picker(TColorBox& box, QWidget* parent);
    QWidget* MainPage();
    QWidget* AudioPage();
    QWidget* ViewPage();

    TOptionsForm& options_;
    TQtIcons& icons_;
    std::vector<std::unique_ptr<TBinding>> kept_;
};

TQtOptionsView::TQtOptionsView(TOptionsForm& form, QWidget& window, TQtIcons& icons)
    : TQtFormView(form, window), options_(form), icons_(icons) {
    window.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    window.setWindowModality(Qt::ApplicationModal);
    window.setFixedSize(TOptionsForm::kClientWidth, TOptionsForm::kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->geometry().center() - QPoint(window.width() / 2, window.height() / 2));
    // The pages hold many rows in a small frame: the dialog's font is the
    // system's small one, as dialogs of this size are drawn with.
    QFont small = window.font();
    small.setPointSizeF(std::min(small.pointSizeF(), 8.0));
    window.setFont(small);

    auto* column = new QVBoxLayout(&window);  // owned by the window
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    auto* pages = new TQtPageControl(form.PageControl1, {MainPage(), AudioPage(), ViewPage()}, sync_, &window);
    column->addWidget(pages, 1);

    auto* row = new QHBoxLayout;
    row->addWidget(new TQtLink(form.lblHelp, &window));
    row->addStretch(1);
    auto* ok = new TQtPushButton(form.btnOK, sync_, &window);
    auto* cancel = new TQtPushButton(form.btnCancel, sync_, &window);
    ok->setDefault(true);
    row->addWidget(ok);
    row->addWidget(cancel);
    column->addLayout(row);

    QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), &window), &QShortcut::activated, cancel,
                     [this] { options_.btnCancel.Click(); });
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F1), &window), &QShortcut::activated, ok,
                     [this] { options_.lblHelp.MouseUp(TMouseButton::mbLeft, 0, 0, 0); });
    for (auto key : {Qt::Key_Return, Qt::Key_Enter})
        QObject::connect(new QShortcut(QKeySequence(key), &window), &QShortcut::activated, ok,
                         [this] { options_.btnOK.Click(); });
}

TQtOptionsView::~TQtOptionsView() {
    // The pages live in the form's native window, which outlives this view,
    // and show the dialog's controls through its bindings: they go first.
    kept_.clear();
    if (QWidget* window = window_.data()) {
        for (QShortcut* shortcut : window->findChildren<QShortcut*>(Qt::FindDirectChildrenOnly)) delete shortcut;
        for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) delete child;
        delete window->layout();
    }
}

QLabel* TQtOptionsView::Label(TLabel& label, QWidget* parent) {
    auto* widget = new QLabel(parent);
    widget->setObjectName(ToQString(label.Name));
    widget->setWordWrap(true);
    kept_.push_back(std::make_unique<TTextBinding>(label, *widget, sync_));
    return widget;
}

QWidget* TQtOptionsView::Spin(TSpinEdit& editor, QWidget* parent) {
    auto* widget = new TQtSpinEdit(editor, sync_, parent);
    widget->setFixedWidth(72);
    return widget;
}

QWidget* TQtOptionsView::Picker(TColorBox& box, QWidget* parent) {
    auto* widget = new TQtColorBox(box, sync_, icons_, parent);
    // Narrow pages: the swatch and the start of the name are enough to choose by.
    widget->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    widget->setMinimumContentsLength(7);
    widget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return widget;
}

QWidget* TQtOptionsView::MainPage() {
    TOptionsForm& f = options_;
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setVerticalSpacing(2);
    grid->addWidget(Label(f.lblDelayTX, page), 0, 0);
    grid->addWidget(Spin(f.seDelayTX, page), 0, 1);
    grid->addWidget(new TQtCheckBox(f.chkAutoSendChar, sync_, page), 1, 0, 1, 2);
    grid->addWidget(Label(f.lblTimeDoRx, page), 2, 0);
    grid->addWidget(Spin(f.seTimeDoRx, page), 2, 1);
    int row = 3;
    for (TButtonItem* check : {&f.chkAutoSendMacros, &f.chkSendOfEnter, &f.chkAutoEndTX, &f.chkAutoClearTXWnd,
                               &f.chkAutoClearRXWnd, &f.chkAutoOpenRCFile, &f.chkSelectedRcvr})
        grid->addWidget(new TQtCheckBox(*check, sync_, page), row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(0, 1);
    return page;
}

QWidget* TQtOptionsView::AudioPage() {
    TOptionsForm& f = options_;
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setVerticalSpacing(2);
    auto combo = [&](TComboBox& box) {
        auto* widget = new TQtComboBox(box, sync_, page);
        widget->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        widget->setMinimumContentsLength(12);
        return widget;
    };
    grid->addWidget(Label(f.lblOutSoundCard, page), 0, 0, 1, 3);
    grid->addWidget(combo(f.cbOutSoundCard), 1, 0, 1, 3);
    grid->addWidget(Label(f.lblInSoundCard, page), 2, 0, 1, 3);
    grid->addWidget(combo(f.cbInSoundCard), 3, 0, 1, 3);
    grid->addWidget(Label(f.lblSoundSource, page), 4, 0);
    grid->addWidget(combo(f.cbSoundSource), 4, 1);
    grid->addWidget(new TQtCheckBox(f.chkInSelect, sync_, page), 4, 2);
    grid->addWidget(Label(f.lblModGain, page), 5, 0, 1, 2);
    grid->addWidget(Spin(f.seModGain, page), 5, 2);
    grid->addWidget(Label(f.lblFreqSample, page), 6, 0, 1, 2);
    grid->addWidget(Spin(f.seFreqSample, page), 6, 2);
    grid->addWidget(Label(f.lblTxOffset, page), 7, 0, 1, 2);
    grid->addWidget(Spin(f.seTxOffset, page), 7, 2);
    grid->addWidget(new TQtPushButton(f.btnAudioDevices, sync_, page), 8, 0, 1, 3, Qt::AlignRight);
    grid->setRowStretch(9, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* TQtOptionsView::ViewPage() {
    TOptionsForm& f = options_;
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setVerticalSpacing(2);
    auto group = [&](TGroupBox& box, TFontSample& sample, TButtonItem& choose,
                     std::vector<std::pair<TLabel*, TColorBox*>> pickers) {
        auto* widget = new QGroupBox(page);
        widget->setObjectName(ToQString(box.Name));
        kept_.push_back(std::make_unique<TTextBinding>(box, *widget, sync_));
        auto* inner = new QGridLayout(widget);
        inner->setVerticalSpacing(2);
        inner->addWidget(new TQtFontSample(sample, sync_, widget), 0, 0, 1, 2);
        inner->addWidget(new TQtPushButton(choose, sync_, widget), 1, 0, 1, 2);
        int row = 2;
        for (auto& [label, picker] : pickers) {
            inner->addWidget(Label(*label, widget), row, 0);
            inner->addWidget(Picker(*picker, widget), row++, 1);
        }
        inner->setRowStretch(row, 1);
        return widget;
    };
    grid->addWidget(group(f.gbRXFont, f.pnlRXSample, f.btnRXFont,
                          {{&f.lblRXFontRxColor, &f.cbRXFontRxColor}, {&f.lblRXFontTxColor, &f.cbRXFontTxColor}}),
                    0, 0, 1, 2);
    grid->addWidget(group(f.gbTXFont, f.pnlTXSample, f.btnTXFont, {{&f.lblTXFontColor, &f.cbTXFontColor}}), 0, 2,
                    1, 2);
    grid->addWidget(new TQtCheckBox(f.chkHIToSml, sync_, page), 1, 0, 1, 4);
    grid->addWidget(Label(f.lblRXWndColor, page), 2, 0);
    grid->addWidget(Picker(f.cbRXWndColor, page), 2, 1);
    grid->addWidget(Label(f.lblTXWndColor, page), 2, 2);
    grid->addWidget(Picker(f.cbTXWndColor, page), 2, 3);
    grid->setRowStretch(3, 1);
    return page;
}

}  // namespace

std::unique_ptr<IFormView> CreateOptionsView(TForm& form, QWidget& window, TQtIcons& icons) {
    auto* options = dynamic_cast<TOptionsForm*>(&form);
    if (options == nullptr) return nullptr;
    return std::make_unique<TQtOptionsView>(*options, window, icons);
}

}  // namespace quorvel::qt
