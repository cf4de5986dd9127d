#pragma once
// Modal dialogs the core asks the platform for. Text is cp1251.
#include <string>

#include "base/Graphics.h"

namespace quorvel {

class TForm;

// MessageBox flags and results in use.
constexpr int MB_OK = 0x0;
constexpr int MB_YESNO = 0x4;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONWARNING = 0x30;
constexpr int MB_TOPMOST = 0x40000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class IDialogs {
public:
    virtual ~IDialogs() = default;
    // A system message box; returns the button pressed (IDOK, IDYES, IDNO).
    virtual int MessageBox(const std::string& caption, const std::string& text, int flags) = 0;
    // The input box: true with the edited text on OK.
    virtual bool InputBox(const std::string& caption, const std::string& prompt, bool useOwnerCentre,
                          std::string& text) = 0;
    // Runs a window of the system modally (a dialog of the form model whose
    // view the platform shows); returns its modal result (1 OK, 2 cancel).
    virtual int RunModal(const std::string& caption) = 0;
    // Runs a shown window of the form model modally: returns once the form
    // has a modal result, or when the platform can run it no further.
    virtual void RunModalForm(TForm& form) = 0;
    // The system's file-open dialog for existing files in existing folders,
    // without a read-only box. filter: "Description|pattern;pattern|..." as
    // the framework writes it. True with the chosen file's path, which is in
    // the system's own file-name encoding (not cp1251).
    virtual bool OpenFile(const std::string& filter, std::string& path) = 0;
    // The system's font dialog preset with font, its colour included; true
    // with the choice in font.
    virtual bool ChooseFont(TFont& font) = 0;
    // The system's colour dialog preset with colour; its 16 custom colours
    // start white and keep what the operator puts there. True with the choice.
    virtual bool ChooseColor(TColor& colour) = 0;
};

class IClipboard {
public:
    virtual ~IClipboard() = default;
    virtual bool HasText() const = 0;
    virtual std::string GetText() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

}  // namespace quorvel
