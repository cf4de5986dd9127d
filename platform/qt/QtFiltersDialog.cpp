#include "QtFiltersDialog.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

#include "QtText.h"
#include "modem/dsFiltersForm.h"
#include "ports/Dialogs.h"

namespace quorvel::qt {
namespace {

// Buttons in the column right of the list, in dialog pixels.
constexpr int kMargin = 8;
constexpr int kButtonWidth = TFiltersForm::kClientWidth - TFiltersForm::kListWidth - 3 * kMargin;
constexpr int kButtonHeight = 25;

QPushButton* AddButton(QDialog& dialog, TButtonItem& model, int row) {
    auto* button = new QPushButton(ToQString(model.Caption()), &dialog);  // owned by the dialog
    button->setObjectName(ToQString(model.Name));
    button->setGeometry(TFiltersForm::kListWidth + 2 * kMargin, kMargin + row * (kButtonHeight + 6), kButtonWidth,
                        kButtonHeight);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, &dialog, [&model] { model.Click(); });
    return button;
}

}  // namespace

int RunFiltersDialog(TFiltersForm& form, QWidget* owner) {
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("TFiltersForm"));
    dialog.setWindowTitle(ToQString(form.Caption));
    dialog.setFixedSize(TFiltersForm::kClientWidth, TFiltersForm::kClientHeight);
    auto* list = new QListWidget(&dialog);  // owned by the dialog
    list->setObjectName(QStringLiteral("ListBox1"));
    list->setGeometry(0, 0, TFiltersForm::kListWidth, TFiltersForm::kClientHeight);
    // Long or odd names must not stall the list: each shows on one line, elided.
    list->setUniformItemSizes(true);
    list->setTextElideMode(Qt::ElideRight);
    QPushButton* ok = AddButton(dialog, form.btnOK, 0);
    QPushButton* cancel = AddButton(dialog, form.btnCancel, 1);
    QPushButton* del = AddButton(dialog, form.btnDelete, 2);
    QPushButton* save = AddButton(dialog, form.btnSave, 3);
    ok->setDefault(true);

    const auto fill = [&] {
        list->clear();
        for (const TFilterPreset& p : form.Entries()) list->addItem(ToQString(p.Name));
    };
    const auto sync = [&] {
        ok->setEnabled(form.btnOK.Enabled());
        del->setEnabled(form.btnDelete.Enabled());
        save->setEnabled(form.btnSave.Enabled());
        if (form.ModalResult == IDOK) dialog.accept();
        if (form.ModalResult == IDCANCEL) dialog.reject();
    };
    fill();
    sync();
    // The selection, not the current row: Qt makes the first row current when
    // the list takes the focus, with nothing chosen yet.
    QObject::connect(list, &QListWidget::itemSelectionChanged, &dialog, [&] {
        const QList<QListWidgetItem*> chosen = list->selectedItems();
        if (!chosen.isEmpty()) form.Select(list->row(chosen.front()));
        sync();
    });
    for (QPushButton* b : {ok, cancel, save}) QObject::connect(b, &QPushButton::clicked, &dialog, sync);
    QObject::connect(del, &QPushButton::clicked, &dialog, [&] {
        const QSignalBlocker quiet(list);
        fill();
        list->setCurrentRow(-1);
        sync();
    });
    if (owner != nullptr) {
        const QRect frame = owner->frameGeometry();
        dialog.move(frame.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
    }
    const int result = dialog.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
    form.ModalResult = result;
    return result;
}

}  // namespace quorvel::qt
