#pragma once
// The "Фильтры" dialog: the presets of the preset file, to load one, delete
// entries and write the list back.
#include <optional>
#include <string>
#include <vector>

#include "modem/FilterPresets.h"
#include "ui/Application.h"
#include "ui/Controls.h"

namespace quorvel {

class TFiltersForm {
public:
    static constexpr int kClientWidth = 288;
    static constexpr int kClientHeight = 182;
    static constexpr int kListWidth = 201;

    // Reads the file at path; a missing file gives an empty list.
    TFiltersForm(TApplication& app, std::string path);

    std::string Caption;  // cp1251
    TButtonItem btnOK{"btnOK"};          // "&ОК", default
    TButtonItem btnCancel{"btnCancel"};  // "Отм&ена", cancel
    TButtonItem btnDelete{"btnDelete"};  // "У&далить"
    TButtonItem btnSave{"btnSave"};      // "&Сохранить"

    const std::vector<TFilterPreset>& Entries() const { return entries_; }
    int ItemIndex() const { return itemIndex_; }
    // The file existed but could not be read: saving would lose it.
    bool ReadFailed() const { return readFailed_; }
    // 0 while open, IDOK or IDCANCEL once closed.
    int ModalResult = 0;
    // The entry chosen with OK.
    std::optional<TFilterPreset> Chosen() const;

    // User actions.
    void Select(int index);
    void DeleteClick();
    void SaveClick();
    void OkClick();
    void CancelClick();

private:
    TApplication& app_;
    std::string path_;
    std::vector<TFilterPreset> entries_;
    int itemIndex_ = -1;
    bool readFailed_ = false;
};

}  // namespace quorvel
