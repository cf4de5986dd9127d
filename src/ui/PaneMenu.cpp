#include "ui/PaneMenu.h"

#include "base/CodePage.h"

namespace quorvel {

TMenuForm::TMenuForm(TApplication& app, THandle owner) : TForm(app, owner) {
    Name = "MenuForm";
    BorderStyle = 0;
    AlphaBlend = true;
    Width = ButtonSize;
    Height = ButtonSize;
    btnClear.SetCaption(Ru("Очистить"));
    btnClear.SetHint(Ru("Очистить"));
    btnClear.ImageIndex = 6;
    btnAutoScroll.SetCaption(Ru("Запретить / разрешить автопрокрутку"));
    btnAutoScroll.SetHint(btnAutoScroll.Caption());
    btnAutoScroll.ImageIndex = 7;
    btnAutoScroll.SetVisible(false);
}

void TMenuForm::ShowAt(int left, int top) {
    Handle();
    SetBounds(left, top, Width, Height);
    Show();
}

}  // namespace quorvel
