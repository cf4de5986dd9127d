#include "Host.h"

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <filesystem>
#include <system_error>

#include "HamlibRig.h"
#include "HostFiles.h"
#include "HostText.h"
#include "pavo/automation.h"

namespace pavohost {
namespace fs = std::filesystem;
namespace {

constexpr std::uint32_t kCloseBox = 0x0010;  // WM_CLOSE: a window's close box

// The settings of the profile, with the folders they name made ready.
THostSettings PreparedSettings(const THostFolders& folders, IHostEvents& events) {
    std::string error;
    if (!EnsureWritableFolder(folders.Profile, error))
        throw THostError(kExitData, "cannot use the data folder " + folders.AppData.string() + ": " + error);
    THostSettings settings(folders);
    std::error_code ec;
    const bool exists = fs::exists(settings.File(), ec);
    if (exists && !settings.Load())
        events.HostEvent("host", "settings file " + settings.File().string() + " is damaged; defaults fill the rest");
    // A copied data folder is used whole: its folders are its own, saved so
    // the plug-in reads them too.
    if ((!exists || settings.DeriveFolders()) && !settings.Save(error))
        throw THostError(kExitData, "cannot use the data folder " + folders.AppData.string() + ": " + error);
    if (!EnsureWritableFolder(settings.Get("PluginsDataPath"), error))
        throw THostError(kExitData, "cannot use the plug-ins data folder: " + error);
    return settings;
}

constexpr std::uint32_t kRigDeliveryMs = 50;
constexpr auto kRigFirstAnswer = std::chrono::seconds(3);

std::unique_ptr<IRigPort> MakeRig(const TRigChoice& choice) {
    if (choice.Model == 0) return std::make_unique<TSimulatedRig>();
    if (choice.Model < 0) throw THostError(kExitUsage, "no rig model " + std::to_string(choice.Model));
    try {
        return std::make_unique<THamlibRig>(choice.Model, choice.Port);
    } catch (const std::invalid_argument& e) {
        throw THostError(kExitUsage, e.what());
    }
}

TRigChoice ChoiceFromSettings(const THostSettings& settings) {
    return TRigChoice{settings.GetInt("RigModel", 0), settings.Get("RigPort")};
}

}  // namespace

THost::THost(THostEnvironment env)
    : env_(std::move(env)),
      clock_([this] { return env_.Dispatcher.Now(); }),
      libraries_(env_.LibraryFolder, env_.Folders, env_.Events),
      settings_(PreparedSettings(env_.Folders, env_.Events)),
      log_(settings_.Get("DBPath"), env_.Version),
      mainWindowHandle_(env_.Windows.CreateWindowHandle(0, [this](const quorvel::TMessage& m) { return MainWindowProc(m); })),
      applicationHandle_(env_.Windows.CreateWindowHandle(0, nullptr)),
      newQsoHandle_(env_.Windows.CreateWindowHandle(mainWindowHandle_,
                                                    [this](const quorvel::TMessage& m) { return NewQsoWindowProc(m); })),
      mainWindow_(env_.Windows, mainWindowHandle_, "main window", env_.Events),
      applicationObject_(applicationHandle_, env_.Title),
      config_(settings_),
      hostLog_(log_),
      rig_(MakeRig(env_.Rig ? *env_.Rig : ChoiceFromSettings(settings_))),
      transceiver_(env_.Windows, env_.Events, *rig_),
      application_(mainWindow_, applicationObject_, env_.Version),
      newQso_(TNewQsoWindow::TDeps{env_.Windows, newQsoHandle_, env_.Events, settings_, log_, transceiver_, clock_,
                                   env_.Version}),
      awards_([this] { return NewQsoOpen() ? &newQso_ : nullptr; }, env_.Events) {
    std::string error;
    if (!log_.Open(error)) throw THostError(kExitData, "cannot open the log: " + error);
    env_.Windows.SetVisible(mainWindowHandle_, true);
    session_.Config = &config_;
    session_.Log = &hostLog_;
    session_.Transceiver = &transceiver_;
    session_.Application = &application_;
    session_.NewQso = nullptr;
    session_.Awards = nullptr;
    if (auto* hamlib = dynamic_cast<THamlibRig*>(rig_.get())) {
        // The session starts from what the rig says, if it says it soon.
        hamlib->WaitForFirstReport(kRigFirstAnswer);
        rig_->Deliver();
    }
    StartRigDelivery();
}

void THost::StartRigDelivery() {
    if (rigDelivery_ != 0) env_.Dispatcher.KillTimer(rigDelivery_);
    rigDelivery_ = 0;
    if (rig_->Polled()) rigDelivery_ = env_.Dispatcher.SetTimer(kRigDeliveryMs, [this] { rig_->Deliver(); });
}

bool THost::ChangeRig(const TRigChoice& choice, std::string& error) {
    std::unique_ptr<IRigPort> next;
    try {
        next = MakeRig(choice);
    } catch (const THostError& e) {
        error = e.what();
        return false;
    }
    if (!SaveRigChoice(choice, error)) return false;
    transceiver_.UseRig(*next);
    rig_ = std::move(next);  // the old rig's thread ends here
    StartRigDelivery();
    return true;
}

bool THost::SaveRigChoice(const TRigChoice& choice, std::string& error) {
    settings_.SetInt("RigModel", choice.Model);
    settings_.Set("RigPort", choice.Port);
    return settings_.Save(error);
}

TRigChoice THost::SavedRigChoice() const { return ChoiceFromSettings(settings_); }

THost::~THost() {
    Shutdown();
    if (rigDelivery_ != 0) env_.Dispatcher.KillTimer(rigDelivery_);
    for (quorvel::THandle h : {newQsoHandle_, applicationHandle_, mainWindowHandle_}) env_.Windows.DestroyWindowHandle(h);
}

void THost::LoadPlugin(const std::string& path) {
    if (plugin_) throw THostError(kExitUsage, "a plug-in is already loaded");
    // The engine module first: the plug-in finds the same file and shares it.
    engines_ = std::make_unique<TEngineSimulation>(fs::absolute(path).parent_path().string());
    plugin_ = std::make_unique<TPluginModule>(path);
    // A plug-in keeps its files in a folder of its own name below the
    // plug-ins data folder, received text files in its RcFiles, and makes no
    // folders itself: the host's installer does, so the host makes them here.
    std::string error;
    // The plug-in is handed its folder in Windows-1251: a letter outside it
    // (Greek, Chinese) gives a path that names no folder.
    const std::string data = settings_.Get("PluginsDataPath");
    if (ToUtf8(ToCp1251(data)) != data)
        env_.Events.HostEvent("host", "the plug-ins data folder " + data +
                                          " has letters outside Windows-1251, which the plug-in cannot use, so it keeps "
                                          "no settings");
    const fs::path own = fs::path(data) / fs::path(path).stem();
    if (!EnsureWritableFolder(own, error))
        env_.Events.HostEvent("host", "the plug-in's data folder cannot be used, so it keeps no settings: " + error);
    else if (!EnsureWritableFolder(own / "RcFiles", error))
        env_.Events.HostEvent("host", "the plug-in's received-files folder cannot be used: " + error);
}

PavoHandle THost::Run(std::int32_t instanceValue) {
    if (!plugin_) return 0;
    const bool first = pluginWindow_ == 0;
    const PavoHandle window = plugin_->Run(&session_, instanceValue);
    if (first) instanceValue_ = instanceValue;
    pluginWindow_ = window;
    env_.Events.HostEvent("host", "PavoRun(instance " + std::to_string(instanceValue) + ") -> window " + Hex(window));
    return window;
}

void THost::Release() {
    if (!plugin_ || pluginWindow_ == 0) return;
    pluginWindow_ = 0;
    env_.Events.HostEvent("host", "PavoRelease");
    plugin_->Release();
}

std::intptr_t THost::MainWindowProc(const quorvel::TMessage& message) {
    if (message.Msg == kCloseBox) {
        if (OnMainWindowClose) OnMainWindowClose();
        return 0;
    }
    if (message.Msg != PAVO_MSG_CLOSE) return 0;
    const auto* id = reinterpret_cast<const char*>(message.WParam);
    if (id == nullptr || std::strcmp(id, PAVO_CLOSE_ID) != 0 || message.LParam != instanceValue_ || pluginWindow_ == 0)
        return 0;  // not the close signal of our plug-in's window
    env_.Events.HostEvent("host", "close signal from the plug-in (instance " + std::to_string(message.LParam) + ")");
    Release();
    return 0;
}

std::intptr_t THost::NewQsoWindowProc(const quorvel::TMessage& message) {
    if (message.Msg == kCloseBox) CloseNewQso();  // the plug-in hears of it first
    return 0;
}

void THost::Notify(std::int32_t type, std::int32_t kind, const char* what) {
    if (!plugin_ || plugin_->SendNotify == nullptr || pluginWindow_ == 0) return;
    env_.Events.HostEvent("host", "PavoSendNotify(" + std::to_string(type) + ", " + std::to_string(kind) + "): " + what);
    plugin_->SendNotify(type, kind);
}

void THost::OpenNewQso() {
    if (NewQsoOpen()) return;
    env_.Windows.SetVisible(newQsoHandle_, true);
    session_.NewQso = &newQso_;
    env_.Events.HostEvent("host", "new-QSO window opened");
    Notify(PAVO_NOTIFY_OPENED, PAVO_NOTIFY_NEWQSO_KIND, "new-QSO window opened");
}

void THost::CloseNewQso() {
    if (!NewQsoOpen()) return;
    // The plug-in still uses the window while it hears of the closing.
    Notify(PAVO_NOTIFY_CLOSING, PAVO_NOTIFY_NEWQSO_KIND, "new-QSO window closing");
    session_.NewQso = nullptr;
    env_.Windows.SetVisible(newQsoHandle_, false);
    env_.Events.HostEvent("host", "new-QSO window closed");
}

void THost::SetAwardsAvailable(bool available) {
    if (available == (session_.Awards != nullptr)) return;
    if (available) {
        session_.Awards = &awards_;
        Notify(PAVO_NOTIFY_OPENED, PAVO_NOTIFY_AWARDS_KIND, "awards available");
    } else {
        Notify(PAVO_NOTIFY_CLOSING, PAVO_NOTIFY_AWARDS_KIND, "awards going away");
        session_.Awards = nullptr;
    }
}

bool THost::SetToolbarStyle(int style, std::string& error) {
    settings_.SetInt("ToolbarStyle", style);
    if (!settings_.Save(error)) return false;
    Notify(PAVO_NOTIFY_APPEARANCE_TYPE, PAVO_NOTIFY_APPEARANCE_KIND, ("toolbar style " + std::to_string(style)).c_str());
    return true;
}

void THost::MoveCursor(int x, int y) {
    // The desktop's cursor belongs to the front end; the host only tells the plug-in.
    Notify(PAVO_NOTIFY_APPEARANCE_TYPE, PAVO_NOTIFY_CURSOR_KIND,
           ("cursor at " + std::to_string(x) + "," + std::to_string(y)).c_str());
}

bool THost::SetStation(const std::string& key, const std::string& utf8, std::string& error) {
    const auto& keys = THostSettings::StationKeys();
    const auto it = keys.find(key);
    if (it == keys.end()) {
        error = "unknown station field \"" + key + "\"";
        return false;
    }
    settings_.Set(it->second, utf8);
    return settings_.Save(error);
}

void THost::ShowOptions() {
    if (!plugin_ || plugin_->ShowOptionsDialog == nullptr) return;
    const std::string folder = ToCp1251(settings_.Get("PluginsDataPath"));
    env_.Events.HostEvent("host", "PavoShowOptionsDialog");
    plugin_->ShowOptionsDialog(mainWindowHandle_, folder.c_str());
}

std::string THost::SaveMacros(const std::vector<TMacro>& macros, std::string& error) {
    if (!plugin_) {
        error = "no plug-in is loaded";
        return {};
    }
    const fs::path file =
        fs::path(settings_.Get("PluginsDataPath")) / fs::path(plugin_->Path()).stem() / "macroses.config.xml";
    if (!WriteFileAtomically(file, FormatMacroPacket(macros), error)) return {};
    return file.string();
}

bool THost::ActivatePluginWindow() {
    if (pluginWindow_ == 0) return false;
    env_.Windows.SetActiveWindow(pluginWindow_);
    return true;
}

bool THost::PostKeyDown(std::uint16_t virtualKey) {
    return pluginWindow_ != 0 && env_.Windows.PostMessage(pluginWindow_, quorvel::WM_KEYDOWN, virtualKey, 0);
}

int THost::Automate(const std::string& verb, const std::string& target, const std::string& argument,
                    std::string& reply) {
    reply.clear();
    if (pluginWindow_ == 0) return 0;
    const std::string targetText = ToCp1251(target), argumentText = ToCp1251(argument);
    PavoAutomationRequest request{};
    request.Size = sizeof request;
    request.Verb = verb.c_str();
    request.Target = targetText.c_str();
    request.Argument = argumentText.c_str();
    request.ReplyContext = &reply;
    request.Reply = [](void* context, const char* text, std::int32_t length) {
        if (text != nullptr && length > 0) static_cast<std::string*>(context)->assign(text, static_cast<std::size_t>(length));
    };
    const auto result = static_cast<int>(
        env_.Windows.SendMessage(pluginWindow_, PAVO_MSG_AUTOMATION, reinterpret_cast<std::uintptr_t>(&request), 0));
    // The description is UTF-8 already; every other reply is the plug-in's cp1251.
    if (verb != "describe" || result != PAVO_AUTOMATION_DONE) reply = ToUtf8(reply);
    return result;
}

void THost::Shutdown() {
    Release();
    // What the plug-in and its engine queued while closing runs while their
    // code is still loaded.
    env_.Dispatcher.ProcessMessages();
    if (NewQsoOpen()) session_.NewQso = nullptr;
    if (plugin_) {
        plugin_.reset();
        env_.Events.HostEvent("host", "plug-in unloaded");
    }
    engines_.reset();
}

}  // namespace pavohost
