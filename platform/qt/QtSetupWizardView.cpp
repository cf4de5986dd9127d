#include "QtSetupWizardView.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "QtColors.h"
#include "QtControls.h"
#include "QtFormView.h"
#include "QtText.h"
#include "audio/dsSetupWizard.h"

namespace quorvel::qt {
namespace {

class TStepsBinding final : public TBinding {
public:
    TStepsBinding(TPageControl& pages, QStackedWidget& stack, TQtSync& sync)
        : TBinding(sync), pages_(pages), stack_(&stack) {
        pages_.Observe([this] { Changed(); });
        Sync();
    }
    ~TStepsBinding() override { pages_.Observe(nullptr); }
    void Sync() override {
        if (QStackedWidget* s = stack_.data()) s->setCurrentIndex(pages_.ActivePageIndex());
    }

private:
    TPageControl& pages_;
    QPointer<QStackedWidget> stack_;
};

// A picture of the form, drawn as the model holds it (it arrives at show).
class TPictureArea final : public QWidget {
public:
    TPictureArea(const TBitmap& bitmap, QWidget* parent) : QWidget(parent), bitmap_(bitmap) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (bitmap_.Empty()) return;
        QImage image(bitmap_.Width, bitmap_.Height, QImage::Format_ARGB32);
        for (int y = 0; y < bitmap_.Height; ++y)
            for (int x = 0; x < bitmap_.Width; ++x) image.setPixel(x, y, bitmap_.Pixel(x, y));
        QPainter(this).drawImage(QPoint(0, 0), image);
    }

private:
    const TBitmap& bitmap_;
};

class TQtSetupWizardView final : public TQtFormView {
public:
    TQtSetupWizardView(TAudioSetupForm& form, QWidget& window);
    ~TQtSetupWizardView() override;

private:
    QLabel* Label(TLabel& label, QWidget* parent, bool wrap);
    QWidget* WindowArea(QWidget* parent);
    QWidget* PicturePage(TLabel& title, TLabel& text);
    QWidget* HeaderBand(TLabel& header, QWidget* parent);

    TAudioSetupForm& wizard_;
    QWidget& window_;
    std::vector<std::unique_ptr<TBinding>> kept_;
};

TQtSetupWizardView::TQtSetupWizardView(TAudioSetupForm& form, QWidget& window)
    : TQtFormView(form, window), wizard_(form), window_(window) {
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window.setWindowModality(Qt::ApplicationModal);
    window.setFixedSize(TAudioSetupForm::kClientWidth, TAudioSetupForm::kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->geometry().center() - QPoint(window.width() / 2, window.height() / 2));

    auto* column = new QVBoxLayout(&window);  // owned by the window
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* stack = new QStackedWidget(&window);
    stack->setObjectName(ToQString(form.PageControl1.Name));
    stack->setFixedHeight(TAudioSetupForm::kPageHeight);

    stack->addWidget(PicturePage(form.lblWelcomeTitle, form.lblWelcomeText));

    auto* transmit = new QWidget(stack);
    auto* transmitColumn = new QVBoxLayout(transmit);
    transmitColumn->setContentsMargins(0, 0, 0, 8);
    transmitColumn->addWidget(HeaderBand(form.lblTransmitHeader, transmit));
    auto* transmitGrid = new QGridLayout;
    transmitGrid->setContentsMargins(24, 12, 24, 0);
    transmitGrid->addWidget(Label(form.lblTransmit, transmit, false), 0, 0);
    transmitGrid->addWidget(new TQtComboBox(form.cbTransmit, sync_, transmit), 1, 0);
    transmitColumn->addLayout(transmitGrid);
    transmitColumn->addStretch(1);
    stack->addWidget(transmit);

    auto* receive = new QWidget(stack);
    auto* receiveColumn = new QVBoxLayout(receive);
    receiveColumn->setContentsMargins(0, 0, 0, 8);
    receiveColumn->addWidget(HeaderBand(form.lblReceiveHeader, receive));
    auto* receiveGrid = new QGridLayout;
    receiveGrid->setContentsMargins(24, 8, 24, 0);
    receiveGrid->addWidget(Label(form.lblReceive, receive, false), 0, 0, 1, 2);
    receiveGrid->addWidget(new TQtComboBox(form.cbReceive, sync_, receive), 1, 0, 1, 2);
    receiveGrid->addWidget(Label(form.lblSource, receive, false), 2, 0, 1, 2);
    receiveGrid->addWidget(new TQtComboBox(form.cbSource, sync_, receive), 3, 0);
    receiveGrid->addWidget(new TQtCheckBox(form.chkSwitch, sync_, receive), 3, 1);
    receiveColumn->addLayout(receiveGrid);
    receiveColumn->addStretch(1);
    stack->addWidget(receive);

    stack->addWidget(PicturePage(form.lblFinishTitle, form.lblFinishText));
    kept_.push_back(std::make_unique<TStepsBinding>(form.PageControl1, *stack, sync_));
    column->addWidget(stack);

    auto* line = new QFrame(&window);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    column->addWidget(line);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 8, 8, 8);
    buttons->addStretch(1);
    auto* back = new TQtPushButton(form.btnBack, sync_, &window);
    auto* next = new TQtPushButton(form.btnNext, sync_, &window);
    auto* cancel = new TQtPushButton(form.btnCancel, sync_, &window);
    next->setDefault(true);
    buttons->addWidget(back);
    buttons->addWidget(next);
    buttons->addSpacing(8);
    buttons->addWidget(cancel);
    column->addLayout(buttons);

    // Enter presses the default button, Esc is "Отмена".
    for (auto key : {Qt::Key_Return, Qt::Key_Enter})
        QObject::connect(new QShortcut(QKeySequence(key), &window), &QShortcut::activated, next,
                         [this] { wizard_.btnNext.Click(); });
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), &window), &QShortcut::activated, cancel,
                     [this] { wizard_.btnCancel.Click(); });
}

TQtSetupWizardView::~TQtSetupWizardView() {
    // The pages live in the form's native window, which outlives this view,
    // and show the wizard's controls through its bindings: they go first.
    kept_.clear();
    for (QShortcut* shortcut : window_.findChildren<QShortcut*>(Qt::FindDirectChildrenOnly)) delete shortcut;
    for (QWidget* child : window_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) delete child;
}

QLabel* TQtSetupWizardView::Label(TLabel& label, QWidget* parent, bool wrap) {
    auto* widget = new QLabel(parent);
    widget->setObjectName(ToQString(label.Name));
    widget->setFont(ToQFont(label.Font));
    widget->setWordWrap(wrap);
    kept_.push_back(std::make_unique<TTextBinding>(label, *widget, sync_));
    return widget;
}

QWidget* TQtSetupWizardView::WindowArea(QWidget* parent) {
    auto* area = new QWidget(parent);
    area->setAutoFillBackground(true);
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    area->setPalette(palette);
    return area;
}

QWidget* TQtSetupWizardView::PicturePage(TLabel& title, TLabel& text) {
    auto* page = WindowArea(nullptr);
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    auto* picture = new TPictureArea(wizard_.Picture, page);
    picture->setFixedWidth(TAudioSetupForm::kPictureWidth);
    row->addWidget(picture);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(12, 12, 12, 12);
    QLabel* heading = Label(title, page, true);
    heading->setStyleSheet(QStringLiteral("font-size: 16px;"));
    column->addWidget(heading);
    QLabel* body = Label(text, page, true);
    body->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    column->addWidget(body, 1);
    row->addLayout(column, 1);
    return page;
}

QWidget* TQtSetupWizardView::HeaderBand(TLabel& header, QWidget* parent) {
    auto* band = WindowArea(parent);
    band->setFixedHeight(TAudioSetupForm::kHeaderHeight);
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(12, 4, 4, 4);
    row->addWidget(Label(header, band, true), 1);
    auto* icon = new TPictureArea(wizard_.Icon, band);
    icon->setFixedSize(TAudioSetupForm::kIconSize, TAudioSetupForm::kIconSize);
    row->addWidget(icon);
    return band;
}

}  // namespace

std::unique_ptr<IFormView> CreateSetupWizardView(TForm& form, QWidget& window) {
    auto* wizard = dynamic_cast<TAudioSetupForm*>(&form);
    if (wizard == nullptr) return nullptr;
    return std::make_unique<TQtSetupWizardView>(*wizard, window);
}

}  // namespace quorvel::qt
