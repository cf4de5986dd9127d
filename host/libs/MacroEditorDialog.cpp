#include "MacroEditorDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "MacroEditor.h"
#include "base/CodePage.h"
#include "tx/MacroTags.h"
#include "ui/Controls.h"

namespace pavohost {
namespace {

// The plug-in's five pages, matched exactly.
const char* const kPages[] = {"CQ", "QSO (Ru)", "Прочее (Ru)", "QSO (En)", "Прочее (En)"};
constexpr int kListTextCharacters = 200;  // a long macro shows its start in the list

enum Column { kDescription, kPage, kShortcut, kText };

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

// The packet keeps CR LF; the text editor has LF.
QString EditorText(const std::string& text) {
    QString s = Q(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string PacketText(const QString& editor) {
    QString s = editor;
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s.toStdString();
}

QString ListText(const std::string& text) {
    QString s = Q(text).left(kListTextCharacters);
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" \u21b5 "));
    s.replace(QLatin1Char('\n'), QStringLiteral(" \u21b5 "));
    s.replace(QLatin1Char('\r'), QStringLiteral(" \u21b5 "));
    return s;
}

}  // namespace

std::vector<std::string> TMacroEditorDialog::Warnings(const TMacro& macro) {
    std::vector<std::string> out = MacroTagWarnings(macro.Text);
    if (macro.Text.empty()) out.push_back("no text: pressing it sends nothing");
    if (quorvel::Cp1251ToUtf8(quorvel::Utf8ToCp1251(macro.Text)) != macro.Text)
        out.push_back("characters outside Windows-1251 go out as \"?\"");
    if (!macro.Page.empty() && std::none_of(std::begin(kPages), std::end(kPages),
                                            [&macro](const char* page) { return macro.Page == page; }))
        out.push_back("no page \"" + macro.Page + "\" (the names are exact, capitals too): the macro gets no button");
    if (!macro.Shortcut.empty()) {
        const quorvel::TShortCut key = quorvel::TextToShortCut(quorvel::Utf8ToCp1251(macro.Shortcut));
        if (key == 0)
            out.push_back("\"" + macro.Shortcut + "\" is not a shortcut the plug-in knows: no key presses it");
        else if ((key & (quorvel::scShift | quorvel::scCtrl | quorvel::scAlt)) != 0)
            out.push_back("\"" + macro.Shortcut +
                          "\" shows on the button, but a key with Shift, Ctrl or Alt never presses a macro");
    }
    return out;
}

TMacroEditorDialog::TMacroEditorDialog(std::string path, std::vector<TMacro> macros, const std::string& title,
                                       QWidget* parent)
    : QDialog(parent), path_(std::move(path)), macros_(std::move(macros)), original_(macros_) {
    // Widgets below are owned by the dialog through their parents.
    setObjectName(QStringLiteral("MacroEditor"));
    setWindowTitle(title.empty() ? QStringLiteral("Macros") : QStringLiteral("Macros \u2014 ") + Q(title));
    auto* column = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("macros"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QStringLiteral("Description"), QStringLiteral("Page"), QStringLiteral("Shortcut"),
                            QStringLiteral("Text")});
    list_->header()->setStretchLastSection(true);
    list_->setColumnWidth(kDescription, 160);
    list_->setColumnWidth(kPage, 90);
    list_->setColumnWidth(kShortcut, 70);
    top->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    auto* add = new QPushButton(QStringLiteral("&Add"), this);
    add->setObjectName(QStringLiteral("add"));
    remove_ = new QPushButton(QStringLiteral("&Delete"), this);
    remove_->setObjectName(QStringLiteral("delete"));
    up_ = new QPushButton(QStringLiteral("Move &up"), this);
    up_->setObjectName(QStringLiteral("up"));
    down_ = new QPushButton(QStringLiteral("Move d&own"), this);
    down_->setObjectName(QStringLiteral("down"));
    for (QPushButton* b : {add, remove_, up_, down_}) {
        b->setAutoDefault(false);
        side->addWidget(b);
    }
    side->addStretch();
    top->addLayout(side);
    column->addLayout(top, 1);

    auto* form = new QFormLayout;
    description_ = new QLineEdit(this);
    description_->setObjectName(QStringLiteral("description"));
    description_->setMaxLength(100);
    form->addRow(QStringLiteral("D&escription:"), description_);
    page_ = new QComboBox(this);
    page_->setObjectName(QStringLiteral("page"));
    page_->setEditable(true);
    page_->setInsertPolicy(QComboBox::NoInsert);
    for (const char* page : kPages) page_->addItem(QString::fromUtf8(page));
    page_->lineEdit()->setMaxLength(20);
    form->addRow(QStringLiteral("&Page:"), page_);
    shortcut_ = new QLineEdit(this);
    shortcut_->setObjectName(QStringLiteral("shortcut"));
    shortcut_->setMaxLength(10);
    shortcut_->setPlaceholderText(QStringLiteral("F5, Shift+F1, A"));
    form->addRow(QStringLiteral("S&hortcut:"), shortcut_);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("text"));
    text_->setTabChangesFocus(true);
    auto* tags = new QToolButton(this);
    tags->setObjectName(QStringLiteral("tags"));
    tags->setText(QStringLiteral("Insert ta&g"));
    tags->setPopupMode(QToolButton::InstantPopup);
    auto* tagMenu = new QMenu(tags);
    for (std::string_view tag : quorvel::kMacroTags) {
        const QString name = QString::fromLatin1(tag.data(), static_cast<int>(tag.size()));
        tagMenu->addAction(name, this, [this, name] {
            text_->insertPlainText(name);
            text_->setFocus();
        });
    }
    tags->setMenu(tagMenu);
    auto* textColumn = new QVBoxLayout;
    textColumn->addWidget(text_, 1);
    textColumn->addWidget(tags, 0, Qt::AlignLeft);
    auto* textLabel = new QLabel(QStringLiteral("&Text:"), this);
    textLabel->setBuddy(text_);  // a layout beside it takes no buddy of its own
    form->addRow(textLabel, textColumn);
    warnings_ = new QLabel(this);
    warnings_->setObjectName(QStringLiteral("warnings"));
    warnings_->setTextFormat(Qt::PlainText);
    warnings_->setWordWrap(true);
    warnings_->setStyleSheet(QStringLiteral("color: #a04000;"));
    form->addRow(QString(), warnings_);
    column->addLayout(form);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setTextFormat(Qt::PlainText);
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b00000;"));
    column->addWidget(problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setShortcut(QKeySequence::Save);
    column->addWidget(buttons);

    connect(list_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { ShowRow(item != nullptr ? list_->indexOfTopLevelItem(item) : -1); });
    connect(description_, &QLineEdit::textEdited, this, [this] { Edited(); });
    connect(page_, &QComboBox::editTextChanged, this, [this] { Edited(); });
    connect(shortcut_, &QLineEdit::textEdited, this, [this] { Edited(); });
    connect(text_, &QPlainTextEdit::textChanged, this, [this] { Edited(); });
    connect(add, &QPushButton::clicked, this, [this] { Add(); });
    connect(remove_, &QPushButton::clicked, this, [this] { Remove(); });
    connect(up_, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { Move(1); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Save(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    resize(720, 520);
    Fill();
    Select(macros_.empty() ? -1 : 0);
}

void TMacroEditorDialog::Fill() {
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < macros_.size(); ++i) items.append(new QTreeWidgetItem);  // the list takes them
    list_->addTopLevelItems(items);
    for (int r = 0; r < static_cast<int>(macros_.size()); ++r) {
        QTreeWidgetItem* item = Item(r);
        const TMacro& m = macros_[static_cast<std::size_t>(r)];
        item->setText(kDescription, Q(m.Caption));
        item->setText(kPage, Q(m.Page));
        item->setText(kShortcut, Q(m.Shortcut));
        item->setText(kText, ListText(m.Text));
        item->setIcon(kDescription, Warnings(m).empty() ? QIcon() : style()->standardIcon(QStyle::SP_MessageBoxWarning));
    }
}

QTreeWidgetItem* TMacroEditorDialog::Item(int row) const { return list_->topLevelItem(row); }

int TMacroEditorDialog::Current() const {
    QTreeWidgetItem* item = list_->currentItem();
    return item != nullptr ? list_->indexOfTopLevelItem(item) : -1;
}

void TMacroEditorDialog::Select(int row) {
    QTreeWidgetItem* item = row >= 0 ? Item(row) : nullptr;
    if (item != nullptr && list_->currentItem() == item) ShowRow(row);
    else list_->setCurrentItem(item);
    if (item == nullptr) ShowRow(-1);
}

void TMacroEditorDialog::ShowRow(int row) {
    showing_ = true;
    const bool any = row >= 0 && row < static_cast<int>(macros_.size());
    const TMacro empty;
    const TMacro& m = any ? macros_[static_cast<std::size_t>(row)] : empty;
    description_->setText(Q(m.Caption));
    page_->setEditText(Q(m.Page));
    shortcut_->setText(Q(m.Shortcut));
    text_->setPlainText(EditorText(m.Text));
    for (QWidget* w : std::initializer_list<QWidget*>{description_, page_, shortcut_, text_, remove_})
        w->setEnabled(any);
    up_->setEnabled(any && row > 0);
    down_->setEnabled(any && row + 1 < static_cast<int>(macros_.size()));
    QStringList lines;
    if (any)
        for (const std::string& w : Warnings(m)) lines << Q(w);
    warnings_->setText(lines.join(QLatin1Char('\n')));
    showing_ = false;
}

void TMacroEditorDialog::Edited() {
    const int row = Current();
    if (showing_ || row < 0) return;
    TMacro& m = macros_[static_cast<std::size_t>(row)];
    m.Caption = description_->text().toStdString();
    m.Page = page_->currentText().toStdString();
    m.Shortcut = shortcut_->text().toStdString();
    const std::string text = PacketText(text_->toPlainText());
    // Only what was typed changes a text: one read with lone CR or LF stays as it was.
    if (PacketText(EditorText(m.Text)) != text) m.Text = text;
    QTreeWidgetItem* item = Item(row);
    item->setText(kDescription, Q(m.Caption));
    item->setText(kPage, Q(m.Page));
    item->setText(kShortcut, Q(m.Shortcut));
    item->setText(kText, ListText(m.Text));
    const std::vector<std::string> found = Warnings(m);
    item->setIcon(kDescription, found.empty() ? QIcon() : style()->standardIcon(QStyle::SP_MessageBoxWarning));
    QStringList lines;
    for (const std::string& w : found) lines << Q(w);
    warnings_->setText(lines.join(QLatin1Char('\n')));
    problem_->clear();
}

void TMacroEditorDialog::Add() {
    const int current = Current();
    TMacro m;
    m.Page = current >= 0 ? macros_[static_cast<std::size_t>(current)].Page : std::string(kPages[0]);
    m.Caption = "New macro";
    const int row = current >= 0 ? current + 1 : static_cast<int>(macros_.size());
    macros_.insert(macros_.begin() + row, m);
    list_->insertTopLevelItem(row, new QTreeWidgetItem);  // the list takes it
    QTreeWidgetItem* item = Item(row);
    item->setText(kDescription, Q(m.Caption));
    item->setText(kPage, Q(m.Page));
    item->setIcon(kDescription, style()->standardIcon(QStyle::SP_MessageBoxWarning));
    Select(row);
    description_->setFocus();
    description_->selectAll();
}

void TMacroEditorDialog::Remove() {
    const int row = Current();
    if (row < 0) return;
    macros_.erase(macros_.begin() + row);
    std::unique_ptr<QTreeWidgetItem> gone(list_->takeTopLevelItem(row));
    gone.reset();
    Select(std::min(row, static_cast<int>(macros_.size()) - 1));
}

void TMacroEditorDialog::Move(int by) {
    const int row = Current(), to = row + by;
    if (row < 0 || to < 0 || to >= static_cast<int>(macros_.size())) return;
    std::swap(macros_[static_cast<std::size_t>(row)], macros_[static_cast<std::size_t>(to)]);
    QTreeWidgetItem* item = list_->takeTopLevelItem(row);
    list_->insertTopLevelItem(to, item);
    Select(to);
}

void TMacroEditorDialog::Save() {
    for (std::size_t i = 0; i < macros_.size(); ++i)
        if (const std::string problem = MacroProblem(macros_[i]); !problem.empty()) {
            Select(static_cast<int>(i));
            problem_->setText(QStringLiteral("Macro %1: %2; nothing was saved.").arg(i + 1).arg(Q(problem)));
            return;
        }
    if (Changed()) {
        try {
            WriteMacroPacketFile(path_, macros_);
        } catch (const std::exception& e) {
            problem_->setText(Q(e.what()) + QStringLiteral("; nothing was saved."));
            return;
        }
        saved_ = true;
    }
    accept();
}

void TMacroEditorDialog::done(int result) {
    if (result == QDialog::Rejected && Changed() && !saved_ &&
        QMessageBox::question(this, windowTitle(), QStringLiteral("Discard the changes to the macros?"),
                              QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel) != QMessageBox::Discard)
        return;
    QDialog::done(result);
}

bool RunMacroEditorDialog(const std::string& path, const std::string& title, QWidget* parent) {
    std::vector<TMacro> macros;
    try {
        macros = ReadMacroPacketFile(path);
    } catch (const std::exception& e) {
        QMessageBox::warning(parent, QStringLiteral("Macros"),
                             Q(e.what()) + QStringLiteral("\nThe file is left as it is."));
        return false;
    }
    TMacroEditorDialog dialog(path, std::move(macros), title, parent);
    dialog.exec();
    return dialog.Saved();
}

}  // namespace pavohost
