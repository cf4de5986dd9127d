#include "Gui.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <memory>

#include <unistd.h>

#include "Adif.h"
#include "Desktop.h"
#include "HostText.h"
#include "MacroEditorDialog.h"
#include "QtDialogs.h"
#include "QtWindowSystem.h"
#include "SimDispatcher.h"
#include "SimMultimedia.h"

namespace pavohost {
namespace {

namespace qt = quorvel::qt;

constexpr int kRefreshMs = 200;     // the host's windows follow its state

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// The plug-in's message boxes and dialogs: answered from the script while it
// plays, so a run never stops for a window nobody sees; shown to the operator
// afterwards.
class TGuiDialogs final : public quorvel::IDialogs {
public:
    explicit TGuiDialogs(IHostEvents& events) : Scripted(events) {}
    int MessageBox(const std::string& caption, const std::string& text, int flags) override {
        return Scripting ? Scripted.MessageBox(caption, text, flags) : live_.MessageBox(caption, text, flags);
    }
    bool InputBox(const std::string& caption, const std::string& prompt, bool useOwnerCentre,
                  std::string& text) override {
        return Scripting ? Scripted.InputBox(caption, prompt, useOwnerCentre, text)
                         : live_.InputBox(caption, prompt, useOwnerCentre, text);
    }
    int RunModal(const std::string& caption) override {
        return Scripting ? Scripted.RunModal(caption) : live_.RunModal(caption);
    }
    void RunModalForm(quorvel::TForm& form) override {
        if (Scripting) Scripted.RunModalForm(form);
        else live_.RunModalForm(form);
    }
    bool OpenFile(const std::string& filter, std::string& path) override {
        return Scripting ? Scripted.OpenFile(filter, path) : live_.OpenFile(filter, path);
    }
    bool ChooseFont(quorvel::TFont& font) override {
        return Scripting ? Scripted.ChooseFont(font) : live_.ChooseFont(font);
    }
    bool ChooseColor(quorvel::TColor& colour) override {
        return Scripting ? Scripted.ChooseColor(colour) : live_.ChooseColor(colour);
    }

    TScriptedDialogs Scripted;
    bool Scripting = true;

private:
    qt::TQtDialogs live_;
};

// The rig settings: the simulated rig, or a Hamlib model and its port.
// Saved in the host's settings and used at once.
void ShowRigSettings(THost& host, QWidget& parent) {
    QDialog dialog(&parent);
    dialog.setWindowTitle("Rig");
    auto* layout = new QVBoxLayout(&dialog);  // the dialog owns every widget below
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const TRigChoice saved = host.SavedRigChoice();
    auto* model = new QSpinBox(&dialog);
    model->setRange(0, 9999999);
    model->setSpecialValueText("simulated");
    model->setValue(saved.Model);
    model->setToolTip("Hamlib's model number (rigctl -l): 1 its dummy rig, 2 a rigctld; 0 the simulated rig");
    auto* port = new QLineEdit(QString::fromStdString(saved.Port), &dialog);
    port->setPlaceholderText("/dev/ttyUSB0, or host:port for rigctld");
    form->addRow("Hamlib model", model);
    form->addRow("Port", port);
    auto* error = new QLabel(&dialog);
    error->setWordWrap(true);
    layout->addWidget(error);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        std::string reason;
        if (host.ChangeRig(TRigChoice{model->value(), port->text().trimmed().toStdString()}, reason))
            dialog.accept();
        else
            error->setText(QString::fromStdString(reason));
    });
    dialog.exec();
}

// The operator's own station, as the plug-in reads it from the host's
// settings: saved when the dialog is accepted.
void ShowStationSettings(THost& host, QWidget& parent) {
    static const std::pair<const char*, const char*> kFields[] = {
        {"call", "Callsign"}, {"name", "Name"},        {"qth", "QTH"},    {"grid", "Locator"}, {"state", "State"},
        {"cq", "CQ zone"},    {"itu", "ITU zone"},     {"iota", "IOTA"},  {"power", "Power"},  {"rig", "Rig"}};
    QDialog dialog(&parent);
    dialog.setObjectName("StationDialog");
    dialog.setWindowTitle("Station");
    auto* layout = new QVBoxLayout(&dialog);  // the dialog owns every widget below
    auto* form = new QFormLayout;
    layout->addLayout(form);
    std::vector<std::pair<std::string, QLineEdit*>> edits;
    for (const auto& [key, label] : kFields) {
        const std::string setting = THostSettings::StationKeys().at(key);
        auto* edit = new QLineEdit(FromUtf8(host.Settings().Get(setting)), &dialog);
        edit->setObjectName(key);
        form->addRow(label, edit);
        edits.emplace_back(key, edit);
    }
    auto* error = new QLabel(&dialog);
    error->setWordWrap(true);
    layout->addWidget(error);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        std::string reason;
        for (const auto& [key, edit] : edits) {
            std::string value = edit->text().trimmed().toStdString();
            if (key == "call") std::transform(value.begin(), value.end(), value.begin(), [](unsigned char c) {
                return static_cast<char>(std::toupper(c));
            });
            if (!host.SetStation(key, value, reason)) {
                error->setText(FromUtf8("Cannot save the host settings: " + reason));
                return;
            }
        }
        dialog.accept();
    });
    dialog.exec();
}

// The main window's title names the station, or says that none is set.
QString MainWindowTitle(THost& host) {
    const std::string call = host.Settings().Get("Operator");
    return FromUtf8("pavo-host — " + (call.empty() ? std::string("no callsign set (Station…)") : call));
}

// The host's main window: the plug-in's menu command, the options, the
// new-QSO window's switch, the rig and the log. Every widget is a child of the
// host's native window and goes with it.
void FillMainWindow(THost& host, QWidget& window) {
    const std::string pluginName = host.Plugin() != nullptr && host.Plugin()->Info().Name != nullptr
                                       ? ToUtf8(host.Plugin()->Info().Name)
                                       : std::string("plug-in");
    window.setWindowTitle(MainWindowTitle(host));
    window.resize(640, 420);
    auto* layout = new QVBoxLayout(&window);  // Qt parents own every widget below

    auto* commands = new QHBoxLayout;
    auto* run = new QPushButton(FromUtf8(pluginName), &window);
    run->setToolTip("Open the plug-in's window (PavoRun)");
    auto* options = new QPushButton("Options…", &window);
    options->setToolTip("The plug-in's options (PavoShowOptionsDialog)");
    auto* newQso = new QPushButton("&New QSO", &window);
    newQso->setCheckable(true);
    auto* rigButton = new QPushButton("Rig…", &window);
    rigButton->setToolTip("The rig the host drives: simulated, or a Hamlib model and its port (saved)");
    commands->addWidget(run);
    commands->addWidget(options);
    commands->addWidget(newQso);
    auto* stationButton = new QPushButton("&Station…", &window);
    stationButton->setToolTip("Your own station: callsign, name, QTH, locator and the rest (saved)");
    commands->addWidget(rigButton);
    commands->addWidget(stationButton);
    commands->addStretch();
    layout->addLayout(commands);

    auto* status = new QLabel(&window);
    layout->addWidget(status);
    auto* log = new QPlainTextEdit(&window);
    log->setReadOnly(true);
    log->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(log, 1);

    // A second PavoRun brings the open window forward.
    QObject::connect(run, &QPushButton::clicked, &window, [&host] { host.Run(1); });
    QObject::connect(options, &QPushButton::clicked, &window, [&host] { host.ShowOptions(); });
    QObject::connect(rigButton, &QPushButton::clicked, &window, [&host, &window] { ShowRigSettings(host, window); });
    QObject::connect(stationButton, &QPushButton::clicked, &window, [&host, &window] {
        ShowStationSettings(host, window);
        window.setWindowTitle(MainWindowTitle(host));
    });
    QObject::connect(newQso, &QPushButton::toggled, &window, [&host](bool open) {
        if (open) host.OpenNewQso();
        else host.CloseNewQso();
    });

    auto refresh = [&host, &window, status, log, newQso, shown = std::size_t(-1)]() mutable {
        if (const QString title = MainWindowTitle(host); window.windowTitle() != title) window.setWindowTitle(title);
        THostTransceiver& rig = host.Transceiver();
        std::string text = "Station " + host.Settings().Get("Operator");
        text += "   rig: " + rig.RigDescription();
        text += rig.Connected() ? ", " + AdifFrequency(rig.Rig().DialHz) + " MHz " + rig.Rig().Mode
                                : ", not answering" + (rig.Rig().Error.empty() ? std::string() : " (" + rig.Rig().Error + ")");
        if (rig.Keyed()) text += "   TX";
        status->setText(FromUtf8(text));
        newQso->setChecked(host.NewQsoOpen());
        const auto& records = host.Log().Records();
        if (records.size() == shown) return;
        shown = records.size();
        QString lines = FromUtf8(host.Log().File().string() + ": " + std::to_string(shown) +
                                 (shown == 1 ? " contact\n" : " contacts\n"));
        for (const TAdifRecord& r : records) {
            lines += FromUtf8(FormatAdifRecord(r));
            if (const std::string intl = FormatIntlFields(r); !intl.empty()) lines += FromUtf8("    " + intl + "\n");
            lines += "\n";
        }
        log->setPlainText(lines);
    };
    refresh();
    auto* timer = new QTimer(&window);
    QObject::connect(timer, &QTimer::timeout, &window, refresh);
    timer->start(kRefreshMs);
}

// The new-QSO window: one editor a field, the keep-reports option, Save and
// Reset, as the plug-in fills and uses them.
void FillNewQsoWindow(THost& host, QWidget& window) {
    window.setWindowTitle("New QSO");
    auto* layout = new QVBoxLayout(&window);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    TNewQsoWindow& qso = host.NewQso();
    std::vector<std::pair<THostControl*, QLineEdit*>> fields;
    for (THostControl* control : qso.Controls()) {
        auto* edit = new QLineEdit(&window);
        form->addRow(FromUtf8(control->Label()), edit);
        QObject::connect(edit, &QLineEdit::textEdited, &window,
                         [control](const QString& text) { control->Assign(text.toStdString()); });
        fields.emplace_back(control, edit);
    }
    auto* keep = new QCheckBox("Keep reports", &window);
    QObject::connect(keep, &QCheckBox::toggled, &window, [&qso](bool on) { qso.SetKeepReports(on); });
    layout->addWidget(keep);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton("Save", &window);
    auto* reset = new QPushButton("Reset", &window);
    buttons->addWidget(save);
    buttons->addWidget(reset);
    buttons->addStretch();
    layout->addLayout(buttons);
    QObject::connect(save, &QPushButton::clicked, &window, [&qso] {
        if (qso.Save() != 0) qso.Reset();
    });
    QObject::connect(reset, &QPushButton::clicked, &window, [&qso] { qso.Reset(); });

    // The plug-in writes the fields through the host interface: they show
    // here, except in the editor the operator is typing into.
    auto refresh = [fields, keep, &qso] {
        for (const auto& [control, edit] : fields) {
            const QString text = FromUtf8(control->Text());
            if (!edit->hasFocus() && edit->text() != text) edit->setText(text);
        }
        keep->setChecked(qso.KeepReports() != 0);
    };
    refresh();
    auto* timer = new QTimer(&window);
    QObject::connect(timer, &QTimer::timeout, &window, refresh);
    timer->start(kRefreshMs);
}

// At first start the plug-in's window opens at the work area's top left, as
// it was designed: the host's own windows stand at the right edge, one under
// the other, so none covers another. The plug-in's saved placement is its own.
void PlaceHostWindows(QWidget& main, QWidget& qso) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    // The frame is not known before the window is shown: room is left for
    // one, and the client areas are placed.
    constexpr int kTitle = 32, kBorder = 8;
    main.adjustSize();
    const QSize mainSize(std::max(main.width(), 640), std::max(main.height(), 420));
    main.setGeometry(area.right() + 1 - kBorder - mainSize.width(), area.top() + kTitle, mainSize.width(),
                     mainSize.height());
    qso.adjustSize();
    qso.setGeometry(area.right() + 1 - kBorder - qso.width(), area.top() + 2 * kTitle + kBorder + mainSize.height(),
                    qso.width(), qso.height());
}

// Ctrl+C or a polite kill ends the session as closing the host's window
// does, so the plug-in is released and keeps its settings.
volatile std::sig_atomic_t stopRequested = 0;
// Written by the signal handler so a sleeping event loop wakes for the stop.
int stopPipe[2] = {-1, -1};
extern "C" void RequestStop(int) {
    stopRequested = 1;
    if (stopPipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto written = write(stopPipe[1], &byte, 1);
    }
}

// Qt's off-screen platform says, for every window, which of a real screen's
// services it lacks; the reader of a run gains nothing from that. Qt takes a
// plain function, so the handler it replaces is kept here.
QtMessageHandler& ReplacedMessageHandler() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

void QuietOffscreenNotices(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith("This plugin does not support")) return;
    if (QtMessageHandler replaced = ReplacedMessageHandler()) replaced(type, context, message);
}

class TGuiFrontEnd final : public IFrontEnd {
public:
    TGuiFrontEnd(int& argc, char** argv, IHostEvents& events, TGuiOptions options)
        : app_(argc, argv),
          dialogs_(events),
          events_(events),
          options_(std::move(options)),
          desktop_{&clock_, &windows_, &dialogs_, &clipboard_,
                   options_.SoundCards != nullptr ? options_.SoundCards : &soundCard_} {
        if (QGuiApplication::platformName() == "offscreen") {
            ReplacedMessageHandler() = qInstallMessageHandler(QuietOffscreenNotices);
            quietened_ = true;
        }
        quorvel::QuorvelInstallDesktop(&desktop_);
        if (pipe(stopPipe) != 0) stopPipe[0] = stopPipe[1] = -1;
        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        real_.start();
    }
    ~TGuiFrontEnd() override {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        for (int& fd : stopPipe)
            if (fd >= 0) {
                close(fd);
                fd = -1;
            }
        quorvel::QuorvelInstallDesktop(nullptr);
        if (quietened_) qInstallMessageHandler(ReplacedMessageHandler());
    }

    const char* Name() const override { return "GUI"; }
    quorvel::IWindowSystem& WindowSystem() override { return windows_; }
    quorvel::sim::TSimDispatcher& Clock() override { return clock_; }
    TScriptedDialogs& ScriptedAnswers() override { return dialogs_.Scripted; }
    void MoveCursor(quorvel::TPoint p) override { QCursor::setPos(p.X, p.Y); }

    void Turn() override {
        QCoreApplication::processEvents();
        if (Stopping()) throw TSessionEnded{};
        if (!options_.Screenshot.empty() || options_.Fast) return;
        for (;;) {
            const qint64 ahead = clock_.Now() - real_.elapsed();
            if (ahead <= 0) return;
            QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(std::min<qint64>(ahead, 20)));
            if (Stopping()) throw TSessionEnded{};
            QThread::msleep(static_cast<unsigned long>(std::min<qint64>(ahead, 5)));
        }
    }

    void HostReady(THost& host) override {
        if (QWidget* main = windows_.Widget(host.MainWindowHandle())) FillMainWindow(host, *main);
        if (QWidget* qso = windows_.Widget(host.NewQsoWindowHandle())) FillNewQsoWindow(host, *qso);
        QWidget* main = windows_.Widget(host.MainWindowHandle());
        QWidget* qso = windows_.Widget(host.NewQsoWindowHandle());
        if (main != nullptr && qso != nullptr) PlaceHostWindows(*main, *qso);
        host.SupportLibraries().SetMacrosesEditorDialog(&TGuiFrontEnd::EditMacros, this);
        host.OnMainWindowClose = [this] {
            closed_ = true;
            QCoreApplication::exit(0);  // quit() would ask every window to close first
        };
    }

    // The editors library's macro editor with windows (held while the host lives).
    static int16_t PAVO_CALL EditMacros(void* context, PavoHandle parent, const char* title, const char* file,
                                        const char* /*helpPage*/) {
        auto& self = *static_cast<TGuiFrontEnd*>(context);
        // While a script plays nobody is there to edit: the macros stay as they are.
        if (self.dialogs_.Scripting) return 0;
        try {
            return RunMacroEditorDialog(file, title, self.windows_.Widget(parent)) ? 1 : 0;
        } catch (const std::exception& e) {
            self.events_.HostEvent("host", std::string("macro editor: ") + e.what());
            return 0;
        }
    }

    int ScriptDone(THost& host) override {
        if (!options_.Screenshot.empty()) return Screenshot(host);
        if (Stopping()) return 0;
        dialogs_.Scripting = false;
        // From here the clock keeps to real time, the session no longer being
        // scripted. The process sleeps until the plug-in's next timer falls
        // due or something happens: before each sleep the clock catches up
        // (running what the events posted) and the wake-up is set.
        const qint64 offset = clock_.Now() - real_.elapsed();
        QTimer wake;
        wake.setSingleShot(true);
        auto catchUp = [this, offset, &wake] {
            if (Stopping()) {
                QCoreApplication::exit(0);  // quit() would ask every window to close first
                return;
            }
            const std::int64_t due = real_.elapsed() + offset - clock_.Now();
            if (due > 0 || clock_.PendingMessages() > 0) clock_.Advance(std::max<std::int64_t>(due, 0));
            const std::int64_t next = clock_.NextDue();
            if (next < 0) {
                wake.stop();
                return;
            }
            const std::int64_t in = std::max<std::int64_t>(next - (real_.elapsed() + offset), 0);
            if (!wake.isActive() || wake.remainingTime() > in) wake.start(static_cast<int>(std::min<std::int64_t>(in, 1 << 30)));
        };
        QObject::connect(&wake, &QTimer::timeout, catchUp);
        const QMetaObject::Connection beforeSleep =
            QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, catchUp);
        std::unique_ptr<QSocketNotifier> stop;
        if (stopPipe[0] >= 0) {
            stop = std::make_unique<QSocketNotifier>(stopPipe[0], QSocketNotifier::Read);
            QObject::connect(stop.get(), &QSocketNotifier::activated, [] { QCoreApplication::exit(0); });
        }
        catchUp();
        if (!Stopping()) QApplication::exec();
        QObject::disconnect(beforeSleep);
        wake.stop();
        dialogs_.Scripting = true;  // the host shuts down without asking anyone
        return 0;
    }

private:
    bool Stopping() const { return closed_ || stopRequested != 0; }

    int Screenshot(THost& host) {
        // Every view syncs on the event loop's next turn: let them catch up.
        for (int i = 0; i < 3; ++i) {
            clock_.Advance(0);
            QCoreApplication::processEvents();
        }
        QWidget* window = host.PluginWindowOpen() ? windows_.Widget(host.PluginWindow()) : nullptr;
        if (window == nullptr || !window->isVisible())
            throw THostError(kExitSessionFailed, "no screenshot: the plug-in's window is not open at the end of the script");
        const QPixmap picture = window->grab();
        if (!picture.save(QString::fromStdString(options_.Screenshot), "PNG"))
            throw THostError(kExitSessionFailed, "cannot write the screenshot " + options_.Screenshot);
        events_.HostEvent("host", "screenshot of the plug-in's window (" + std::to_string(picture.width()) + "x" +
                                      std::to_string(picture.height()) + ") written to " + options_.Screenshot);
        return 0;
    }

    QApplication app_;  // first in, last out: every widget below needs it
    quorvel::sim::TSimDispatcher clock_;
    qt::TQtWindowSystem windows_{clock_};
    TGuiDialogs dialogs_;
    qt::TQtClipboard clipboard_;
    IHostEvents& events_;
    TGuiOptions options_;
    // The simulated band comes with a simulated sound card.
    quorvel::sim::TSimMultimedia soundCard_ = quorvel::sim::TSimMultimedia::SoundCard("Pavo Sound Card");
    quorvel::TDesktop desktop_;
    QElapsedTimer real_;
    bool quietened_ = false;
    bool closed_ = false;
};

}  // namespace

bool DisplayAvailable() {
    return EnvironmentSet("DISPLAY") || EnvironmentSet("WAYLAND_DISPLAY") || EnvironmentSet("QT_QPA_PLATFORM");
}

std::unique_ptr<IFrontEnd> MakeGuiFrontEnd(int& argc, char** argv, IHostEvents& events, TGuiOptions options) {
    // A picture needs no screen: Qt draws it off-screen where there is none.
    if (!DisplayAvailable() && !options.Screenshot.empty()) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!DisplayAvailable())
        throw THostError(kExitUsage, "no display to show windows on (DISPLAY is not set); run with --headless, "
                                     "or give --screenshot FILE to draw off-screen");
    return std::make_unique<TGuiFrontEnd>(argc, argv, events, std::move(options));
}

}  // namespace pavohost
