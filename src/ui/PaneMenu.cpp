#include "ui/PaneMenu.h"

#include "base/CodePage.h"

namespace quorvel {

TMenuForm::TMenuForm(TApplication& app, THandle owner) : TForm(app, owner) {
    Name = "MenuForm";
    BorderStyle = 0;
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

void TMenuForm::SetAlphaBlendValue(int alpha) { alpha_ = alpha < 0 ? 0 : alpha > 255 ? 255 : alpha; }

void TMenuForm::ShowAt(int left, int top) {
    Left = left;
    Top = top;
    const THandle h = Handle();
    if (Platform().Windows) Platform().Windows->SetWindowRect(h, TRect{Left, Top, Left + Width, Top + Height});
    Show();
}

}  // namespace quorvel
