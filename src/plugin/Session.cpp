#include "plugin/Session.h"

#include <stdexcept>

#include "base/CodePage.h"
#include "plugin/HostStrings.h"
#include "plugin/dsMainForm.h"
#include "settings/dsOptionsForm.h"
#include "ports/Dialogs.h"
#include "ports/WindowSystem.h"
#include "ui/Forms.h"
#include "ui/MessageBoxes.h"

namespace quorvel {
namespace {

// Static data of the library: the host may keep these pointers while it is loaded.
// "Цифровые виды связи" in cp1251.
constexpr char kName[] =
    "\xD6\xE8\xF4\xF0\xEE\xE2\xFB\xE5 \xE2\xE8\xE4\xFB \xF1\xE2\xFF\xE7\xE8";
// "Цифровые виды связи. Версия 1.2.0." CR LF CR LF and the credit line.
constexpr char kDescription[] =
    "\xD6\xE8\xF4\xF0\xEE\xE2\xFB\xE5 \xE2\xE8\xE4\xFB \xF1\xE2\xFF\xE7\xE8. "
    "\xC2\xE5\xF0\xF1\xE8\xFF 1.2.0.\r\n\r\n"
    "Modem: MMVARI control by Makoto Mori, JE3HHT.";
constexpr char kCloseId[] = PAVO_CLOSE_ID;

}  // namespace

TPluginLibrary::TPluginLibrary(const TPlatform& platform)
    : Application(platform), HostLibraries(platform.Libraries) {}

std::unique_ptr<suConfig::TConfig> TPluginLibrary::CreateHostConfig() {
    auto config = std::make_unique<suConfig::TConfig>(Application, HostLibraries);
    if (!Loaded()) return config;
    // A host library failing here is reported and the host's settings keep
    // their defaults: the plug-in still works without them.
    try {
        config->LoadProfile();
    } catch (const std::exception& e) {
        ShowException(e);
    }
    return config;
}

void TPluginLibrary::ShowException(const std::exception& e) {
    std::string text = e.what();
    // As the framework does: a message gets a full stop unless it ends in one
    // or in another punctuation mark.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    AppMessageBox(Application, text, MB_ICONERROR);
}

void TPluginLibrary::ShowException(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error(Ru("Неизвестная ошибка")));
    }
}

TPluginLibrary::~TPluginLibrary() { MainForm.reset(); }

void TPluginLibrary::GetInfo(PavoInfo* info) {
    if (info == nullptr) return;
    info->Name = kName;
    info->Description = kDescription;
    info->Flag = 1;
}

THandle TPluginLibrary::Run(HostSession* session, std::int32_t instanceValue) {
    if (!Loaded()) return 0;
    if (!MainForm) {
        if (session == nullptr || session->Application == nullptr) return 0;
        IHostApplication* hostApp = session->Application;
        IHostWindow* mainWindow = hostApp->MainWindow();
        HostMainWindow = mainWindow != nullptr ? mainWindow->Handle() : 0;
        SavedApplicationHandle = Application.Handle;
        if (IHostApplicationObject* appObject = hostApp->ApplicationObject()) {
            Application.Handle = appObject->Handle();
            Application.Title = HostString([&](char* b, std::int32_t n) { return appObject->Title(b, n); });
        }
        Host = session;
        MainForm = TForm::Create<TMainForm>(*this);
        HostInstanceValue = instanceValue;
    }
    const THandle handle = MainForm->Handle();
    MainForm->Show();
    return handle;
}

std::int32_t TPluginLibrary::SendNotify(std::int32_t type, std::int32_t kind) {
    if (!MainForm) return 0;
    const auto t = static_cast<std::uint16_t>(type);
    const auto k = static_cast<std::uint16_t>(kind);
    if (t == 1 && k == 26) {
        MainForm->ApplyHostAppearance();
    } else if (t == 1 && k == 44) {
        MainForm->UpdatePaneMenu();
        if (Host != nullptr && Host->NewQso != nullptr) MainForm->CopyReportsFromHost();
    } else if (t == 2 && k == 1) {
        MainForm->NewQsoWindowOpened();
    } else if (t == 3 && k == 1) {
        MainForm->NewQsoWindowClosing();
    } else if (t == 2 && k == 6) {
        MainForm->AwardsAvailable();
    } else if (t == 3 && k == 6) {
        MainForm->AwardsGone();
    }
    return 0;
}

void TPluginLibrary::ShowOptionsDialog(THandle parent, const char* dataPath) {
    if (!Loaded()) return;
    // Parented by handle: the host's plug-in manager, or the main window.
    auto dialog = TForm::Create<TOptionsForm>(Application, parent, Application.Platform().Audio, Config);
    dialog->OnHelp = [this] {
        try {
            ShowHelp(Application, "Quorvel");
        } catch (const std::exception& e) {
            ShowException(e);
        }
    };
    // Without a data folder there is no settings file: the path would land in
    // the root or the host's working folder. The dialog still runs and its
    // result is applied; the save is reported as failed.
    const std::string folder = dataPath != nullptr ? dataPath : "";
    if (!folder.empty()) Config.Load(dsConfig::ConfigurationPath(folder));
    if (dialog->ShowModal() != mrOk) return;
    if (folder.empty() || !Config.Save()) AppMessageBox(Application, Ru("Не удалось сохранить конфигурацию."), MB_ICONERROR);
    if (MainForm) MainForm->ApplySettings(true);
}

void TPluginLibrary::Release() {
    if (!MainForm) return;
    MainForm->SaveState();
    MainForm.reset();
    Application.Handle = SavedApplicationHandle;
}

void TPluginLibrary::PostCloseSignal() {
    if (IWindowSystem* windows = Application.Platform().Windows)
        windows->PostMessage(HostMainWindow, PAVO_MSG_CLOSE, reinterpret_cast<std::uintptr_t>(kCloseId),
                             HostInstanceValue);
}

}  // namespace quorvel
