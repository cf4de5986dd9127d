#include "ui/BalloonHint.h"

namespace quorvel {

TBalloonHint::~TBalloonHint() {
    if (timer_ != 0 && dispatcher_ != nullptr) dispatcher_->KillTimer(timer_);
}

void TBalloonHint::Show(std::string title, std::string text, TPoint position, std::uint32_t ms) {
    Hide();
    title_ = std::move(title);
    text_ = std::move(text);
    position_ = position;
    shown_ = true;
    if (dispatcher_ != nullptr) timer_ = dispatcher_->SetTimer(ms, [this] { Hide(); });
    Changed();
}

void TBalloonHint::Hide() {
    if (timer_ != 0 && dispatcher_ != nullptr) dispatcher_->KillTimer(timer_);
    timer_ = 0;
    if (!shown_) return;
    shown_ = false;
    Changed();
    if (OnHide) OnHide(this);
}

}  // namespace quorvel
