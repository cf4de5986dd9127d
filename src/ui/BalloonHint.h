#pragma once
// A closable balloon hint shown at a point of its window for a while: a
// caption and a text. A click on it, or the end of its time, hides it.
#include <cstdint>
#include <functional>
#include <string>

#include "ports/Dispatcher.h"
#include "ports/WindowSystem.h"
#include "ui/Controls.h"

namespace quorvel {

class TBalloonHint : public TComponent {
public:
    TBalloonHint(std::string name, IDispatcher* dispatcher) : TComponent(std::move(name)), dispatcher_(dispatcher) {}
    ~TBalloonHint() override;

    bool Shown() const { return shown_; }
    const std::string& Title() const { return title_; }
    const std::string& Text() const { return text_; }
    TPoint Position() const { return position_; }  // client coordinates of the window

    void Show(std::string title, std::string text, TPoint position, std::uint32_t ms);
    void Hide();
    // The user clicks the balloon.
    void Click() { Hide(); }
    TNotifyEvent OnHide;

private:
    IDispatcher* dispatcher_;
    IDispatcher::TimerId timer_ = 0;
    bool shown_ = false;
    std::string title_, text_;
    TPoint position_;
};

}  // namespace quorvel
