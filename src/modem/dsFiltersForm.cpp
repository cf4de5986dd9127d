#include "modem/dsFiltersForm.h"

#include <utility>

#include "ports/Dialogs.h"
#include "ui/Design.h"
#include "ui/MessageBoxes.h"

namespace quorvel {

TFiltersForm::TFiltersForm(TApplication& app, std::string path)
    : Caption(Ru("Фильтры")), app_(app), path_(std::move(path)) {
    design::Design(btnOK, "&ОК");
    design::Design(btnCancel, "Отм&ена");
    design::Design(btnDelete, "У&далить");
    design::Design(btnSave, "&Сохранить");
    btnOK.SetEnabled(false);
    btnDelete.SetEnabled(false);
    btnSave.SetEnabled(false);
    btnOK.OnClick = [this](TComponent*) { OkClick(); };
    btnCancel.OnClick = [this](TComponent*) { CancelClick(); };
    btnDelete.OnClick = [this](TComponent*) { DeleteClick(); };
    btnSave.OnClick = [this](TComponent*) { SaveClick(); };
    if (auto presets = ReadPresetFile(path_)) {
        entries_ = std::move(*presets);
    } else {
        readFailed_ = true;
    }
}

std::optional<TFilterPreset> TFiltersForm::Chosen() const {
    if (ModalResult != IDOK || itemIndex_ < 0) return std::nullopt;
    return entries_[static_cast<std::size_t>(itemIndex_)];
}

void TFiltersForm::Select(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return;
    itemIndex_ = index;
    btnDelete.SetEnabled(true);
    btnOK.SetEnabled(true);
}

void TFiltersForm::DeleteClick() {
    if (itemIndex_ < 0) return;
    entries_.erase(entries_.begin() + itemIndex_);
    itemIndex_ = -1;
    btnDelete.SetEnabled(false);
    btnOK.SetEnabled(false);
    btnSave.SetEnabled(true);
}

void TFiltersForm::SaveClick() {
    // A file that could not be read is not replaced by the part we know of it.
    if (readFailed_ || !WritePresetFile(path_, entries_)) {
        AppMessageBox(app_, Ru("Не удалось сохранить список фильтров:\r\n") + path_, MB_ICONERROR);
        return;
    }
    btnSave.SetEnabled(false);
}

void TFiltersForm::OkClick() {
    if (itemIndex_ >= 0) ModalResult = IDOK;
}

void TFiltersForm::CancelClick() { ModalResult = IDCANCEL; }

}  // namespace quorvel
