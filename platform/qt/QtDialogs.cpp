#include "QtDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "QtColors.h"
#include "QtText.h"
#include "ui/Forms.h"
#include "ui/InputBox.h"

namespace quorvel::qt {
namespace {

QString DisplayText(const std::string& cp1251) {
    QString s = ToQString(cp1251);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

// The system's OK and Cancel, closing the dialog with its result.
void AddOkCancel(QDialog& dialog, QBoxLayout& layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);  // owned by it
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("Отмена"));
    layout.addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
}

}  // namespace

QWidget* DialogOwner() { return QApplication::activeWindow(); }

int TQtDialogs::MessageBox(const std::string& caption, const std::string& text, int flags) {
    QMessageBox box(DialogOwner());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setWindowTitle(ToQString(caption));
    box.setTextFormat(Qt::PlainText);  // texts may hold "<CALL>" and the like
    box.setText(DisplayText(text));
    switch (flags & 0xF0) {
        case 0x10: box.setIcon(QMessageBox::Critical); break;
        case 0x20: box.setIcon(QMessageBox::Question); break;
        case 0x30: box.setIcon(QMessageBox::Warning); break;
        case 0x40: box.setIcon(QMessageBox::Information); break;
        default: box.setIcon(QMessageBox::NoIcon); break;
    }
    struct Button {
        QMessageBox::StandardButton button;
        const char* caption;
        int result;
    };
    static const Button kOk{QMessageBox::Ok, "ОК", IDOK};
    static const Button kCancel{QMessageBox::Cancel, "Отмена", IDCANCEL};
    static const Button kAbort{QMessageBox::Abort, "Прервать", 3};
    static const Button kRetry{QMessageBox::Retry, "Повтор", 4};
    static const Button kIgnore{QMessageBox::Ignore, "Пропустить", 5};
    static const Button kYes{QMessageBox::Yes, "Да", IDYES};
    static const Button kNo{QMessageBox::No, "Нет", IDNO};
    std::vector<Button> buttons;
    const Button* escape = nullptr;
    switch (flags & 0xF) {
        case 1: buttons = {kOk, kCancel}; escape = &kCancel; break;
        case 2: buttons = {kAbort, kRetry, kIgnore}; escape = &kIgnore; break;
        case 3: buttons = {kYes, kNo, kCancel}; escape = &kCancel; break;
        case MB_YESNO: buttons = {kYes, kNo}; escape = &kNo; break;
        case 5: buttons = {kRetry, kCancel}; escape = &kCancel; break;
        default: buttons = {kOk}; escape = &kOk; break;
    }
    std::vector<std::pair<QAbstractButton*, int>> results;
    for (const Button& b : buttons) {
        QPushButton* button = box.addButton(b.button);
        button->setText(QString::fromUtf8(b.caption));
        results.emplace_back(button, b.result);
    }
    const std::size_t defaultIndex = static_cast<std::size_t>((flags >> 8) & 0xF);
    box.setDefaultButton(static_cast<QPushButton*>(results[defaultIndex < results.size() ? defaultIndex : 0].first));
    box.setEscapeButton(box.button(escape->button));
    if ((flags & MB_TOPMOST) != 0) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    for (const auto& [button, result] : results)
        if (box.clickedButton() == button) return result;
    return escape->result;
}

bool TQtDialogs::InputBox(const std::string& caption, const std::string& prompt, bool useOwnerCentre,
                          std::string& text) {
    QWidget* owner = DialogOwner();
    QDialog dialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setObjectName(QStringLiteral("InputBox"));
    dialog.setWindowTitle(ToQString(caption));
    // Laid out in dialog units of the dialog's font, as every view of it is.
    const QFontMetrics fm(dialog.font());
    const int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int promptWidth = LayoutInputBox(letters, fm.height(), 0, 0).PromptMaxWidth;

    auto* label = new QLabel(&dialog);  // children of the dialog
    label->setObjectName(QStringLiteral("Prompt"));
    label->setTextFormat(Qt::PlainText);
    label->setText(DisplayText(prompt));
    label->setWordWrap(true);
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("Edit"));
    edit->setMaxLength(static_cast<int>(kInputBoxMaxLength));
    edit->setText(ToQString(text));
    edit->selectAll();
    const TInputBoxLayout layout =
        LayoutInputBox(letters, fm.height(), label->heightForWidth(promptWidth), edit->sizeHint().height());
    auto geometry = [](const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); };
    label->setGeometry(geometry(layout.Prompt));
    edit->setGeometry(geometry(layout.Edit));

    auto* ok = new QPushButton(QString::fromUtf8("&ОК"), &dialog);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    ok->setGeometry(geometry(layout.OkButton));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* cancel = new QPushButton(QString::fromUtf8("Отм&ена"), &dialog);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setGeometry(geometry(layout.CancelButton));
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    dialog.setFixedSize(layout.ClientWidth, layout.ClientHeight);
    QRect centreOn;
    if (useOwnerCentre && owner != nullptr)
        centreOn = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        centreOn = screen->geometry();
    dialog.move(centreOn.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
    edit->setFocus();

    if (dialog.exec() != QDialog::Accepted) return false;
    text = FromQString(edit->text());
    return true;
}

int TQtDialogs::RunModal(const std::string& caption) {
    QDialog dialog(DialogOwner());
    dialog.setObjectName(QStringLiteral("ModalWindow"));
    dialog.setWindowTitle(ToQString(caption));
    if (!modalContent_ || !modalContent_(caption, dialog)) {
        auto* layout = new QVBoxLayout(&dialog);  // owned by the dialog
        AddOkCancel(dialog, *layout);
    }
    return dialog.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void TQtDialogs::RunModalForm(TForm& form) {
    // The form's own window is shown, modal through its view; the operator
    // works it until it has a result.
    QEventLoop loop;
    form.OnModalResult = [&loop] { loop.quit(); };
    if (form.ModalResult() == mrNone) loop.exec();
    form.OnModalResult = nullptr;
}

QStringList NameFilters(const std::string& filter) {
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        // Qt reads the patterns from the parentheses of each entry.
        if (!description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        filters << description;
    }
    return filters;
}

bool TQtDialogs::OpenFile(const std::string& filter, std::string& path) {
    QFileDialog dialog(DialogOwner(), QString::fromUtf8("Открыть"));
    dialog.setObjectName(QStringLiteral("OpenFile"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = NameFilters(filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
    return true;
}

bool TQtDialogs::ChooseFont(TFont& font) {
    // The system's font dialog has the text colour among its effects.
    QDialog dialog(DialogOwner());
    dialog.setObjectName(QStringLiteral("ChooseFont"));
    dialog.setWindowTitle(QString::fromUtf8("Шрифт"));
    auto* layout = new QVBoxLayout(&dialog);  // children of the dialog
    auto* fonts = new QFontDialog(ToQFont(font), &dialog);
    fonts->setObjectName(QStringLiteral("Fonts"));
    fonts->setOptions(QFontDialog::NoButtons);
    fonts->setWindowFlags(Qt::Widget);
    layout->addWidget(fonts);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(QString::fromUtf8("Цвет:"), &dialog));
    auto* colourButton = new QPushButton(&dialog);
    colourButton->setObjectName(QStringLiteral("Colour"));
    TColor colour = font.Color;
    auto showColour = [colourButton, &colour] {
        QPixmap swatch(32, 12);
        swatch.fill(ToQColor(colour, colourButton->palette()));
        colourButton->setIcon(QIcon(swatch));
        colourButton->setIconSize(swatch.size());
    };
    showColour();
    QObject::connect(colourButton, &QPushButton::clicked, &dialog, [this, &colour, showColour] {
        if (ChooseColor(colour)) showColour();
    });
    colourRow->addWidget(colourButton);
    colourRow->addStretch();
    layout->addLayout(colourRow);
    AddOkCancel(dialog, *layout);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QFont chosen = fonts->currentFont();
    font.Name = FromQString(chosen.family());
    font.Size = chosen.pointSize() > 0 ? chosen.pointSize() : font.Size;
    font.Style = {};
    if (chosen.bold()) font.Style.Include(TFontStyle::fsBold);
    if (chosen.italic()) font.Style.Include(TFontStyle::fsItalic);
    if (chosen.underline()) font.Style.Include(TFontStyle::fsUnderline);
    if (chosen.strikeOut()) font.Style.Include(TFontStyle::fsStrikeOut);
    font.Color = colour;
    return true;
}

bool TQtDialogs::ChooseColor(TColor& colour) {
    if (!customColoursSet_) {
        for (int i = 0; i < QColorDialog::customCount(); ++i) QColorDialog::setCustomColor(i, QColor(Qt::white));
        customColoursSet_ = true;
    }
    QColorDialog dialog(ToQColor(colour, QApplication::palette()), DialogOwner());
    dialog.setObjectName(QStringLiteral("ChooseColor"));
    dialog.setWindowTitle(QString::fromUtf8("Цвет"));
    if (dialog.exec() != QDialog::Accepted) return false;
    const QColor chosen = dialog.selectedColor();
    colour = RGB(chosen.red(), chosen.green(), chosen.blue());
    return true;
}

bool TQtClipboard::HasText() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText();
}

std::string TQtClipboard::GetText() const {
    QString s = QGuiApplication::clipboard()->text();
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return FromQString(s);
}

void TQtClipboard::SetText(const std::string& text) {
    QString s = ToQString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));  // the desktop's own line breaks
    QGuiApplication::clipboard()->setText(s);
}

}  // namespace quorvel::qt
