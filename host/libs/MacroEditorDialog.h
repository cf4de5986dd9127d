#pragma once
// The host's macro editor with windows: the macros of a plug-in's packet in a
// list (description, page, shortcut, text), edited one at a time below it,
// with what the plug-in will not act on as meant shown as the operator types.
// Saving writes the packet as MacroEditor.h does; the dialog is the host's,
// handed to the editors library (esSetMacrosesEditorDialog).
#include <QDialog>
#include <string>
#include <vector>

#include "MacroTable.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pavohost {

class TMacroEditorDialog final : public QDialog {
public:
    // macros: what the packet at path holds now.
    TMacroEditorDialog(std::string path, std::vector<TMacro> macros, const std::string& title, QWidget* parent);

    const std::vector<TMacro>& Macros() const { return macros_; }
    // The list differs from the one the dialog was opened with.
    bool Changed() const { return macros_ != original_; }
    // True once a changed list was written to the packet.
    bool Saved() const { return saved_; }

    // Everything a macro does differently from what it seems to say: its
    // tags (as the linter has them), its page, its shortcut, its text.
    static std::vector<std::string> Warnings(const TMacro& macro);

    void done(int result) override;

private:
    void Fill();
    void ShowRow(int row);
    void Select(int row);
    void Edited();
    void Add();
    void Remove();
    void Move(int by);
    void Save();
    int Current() const;
    QTreeWidgetItem* Item(int row) const;

    std::string path_;
    std::vector<TMacro> macros_, original_;
    bool saved_ = false;
    bool showing_ = false;  // the editors are being filled, not typed into

    QTreeWidget* list_;
    QLineEdit* description_;
    QComboBox* page_;
    QLineEdit* shortcut_;
    QPlainTextEdit* text_;
    QLabel* warnings_;
    QLabel* problem_;
    QPushButton *remove_, *up_, *down_;
};

// Opens the dialog on the packet at path (UTF-8) over parent; true when a
// changed list was saved. A file that is not a macro packet is reported and
// left alone.
bool RunMacroEditorDialog(const std::string& path, const std::string& title, QWidget* parent);

}  // namespace pavohost
