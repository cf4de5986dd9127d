#include "SimPlatform.h"

#include "ui/Forms.h"

namespace quorvel::sim {

int TSimDialogs::MessageBox(const std::string& caption, const std::string& text, int flags) {
    Messages.push_back({caption, text, flags});
    if (!Answers.empty()) {
        const int answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    return (flags & 0xF) == MB_YESNO ? IDNO : IDOK;
}

bool TSimDialogs::InputBox(const std::string&, const std::string&, bool, std::string& text) {
    if (Inputs.empty()) return false;
    text = Inputs.front();
    Inputs.pop_front();
    return true;
}

int TSimDialogs::RunModal(const std::string& caption) {
    Modals.push_back(caption);
    if (ModalResults.empty()) return IDCANCEL;
    const int result = ModalResults.front();
    ModalResults.pop_front();
    return result;
}

void TSimDialogs::RunModalForm(TForm& form) {
    Modals.push_back(form.Caption);
    if (ModalForms.empty()) return;
    const auto work = std::move(ModalForms.front());
    ModalForms.pop_front();
    work(form);
}

namespace {

// Takes the next answer queued for a dialog; false (cancel) when none is.
template <class T>
bool NextAnswer(std::deque<T>& queue, T& into) {
    if (queue.empty()) return false;
    into = std::move(queue.front());
    queue.pop_front();
    return true;
}

}  // namespace

bool TSimDialogs::OpenFile(const std::string& filter, std::string& path) {
    FileFilters.push_back(filter);
    return NextAnswer(Files, path);
}

bool TSimDialogs::ChooseFont(TFont& font) {
    FontsOffered.push_back(font);
    return NextAnswer(Fonts, font);
}

bool TSimDialogs::ChooseColor(TColor& colour) {
    ColoursOffered.push_back(colour);
    return NextAnswer(Colours, colour);
}

class TSimLibrary final : public ILibrary {
public:
    TSimLibrary(TSimLibraryLoader& loader, std::map<std::string, void*> symbols)
        : loader_(loader), symbols_(std::move(symbols)) {
        ++loader_.open_;
    }
    ~TSimLibrary() override { --loader_.open_; }
    void* Symbol(const char* name) const override {
        auto it = symbols_.find(name);
        return it == symbols_.end() ? nullptr : it->second;
    }

private:
    TSimLibraryLoader& loader_;
    std::map<std::string, void*> symbols_;
};

std::unique_ptr<ILibrary> TSimLibraryLoader::Load(const std::string& name) {
    auto it = libraries_.find(name);
    if (it == libraries_.end()) return nullptr;
    ++loads_[name];
    return std::make_unique<TSimLibrary>(*this, it->second);
}

int TSimLibraryLoader::LoadCount(const std::string& name) const {
    auto it = loads_.find(name);
    return it == loads_.end() ? 0 : it->second;
}

std::string TSimProcess::ModulePath(const std::string& moduleName) const {
    auto it = Modules.find(moduleName);
    return it == Modules.end() ? std::string() : it->second;
}

TSimPlatform::TSimPlatform() {
    ports_.Dispatcher = &Dispatcher;
    ports_.Windows = &Windows;
    ports_.Dialogs = &Dialogs;
    ports_.Clipboard = &Clipboard;
    ports_.Libraries = &Libraries;
    ports_.Process = &Process;
    ports_.Audio = &Audio;
    ports_.Shell = &Shell;
}

}  // namespace quorvel::sim
