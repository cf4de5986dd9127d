// The text-file transfer slice of the main window: sending a file as framed
// text, watching the received text for a frame and saving what it holds in
// the received-files folder, and the look of the window while a file comes in.
#include <filesystem>
#include <optional>

#include "base/CodePage.h"
#include "base/Files.h"
#include "plugin/HostLibraries.h"
#include "plugin/dsMainForm.h"
#include "ports/Dialogs.h"
#include "ports/FileSystem.h"
#include "ports/Shell.h"
#include "rxtext/TextFileTransfer.h"
#include "ui/MessageBoxes.h"

namespace quorvel {
namespace {

// At modem speeds a megabyte is days on the air: anything larger is not a
// text file meant for sending.
constexpr std::uintmax_t kMaxSentFileBytes = 1u << 20;

// The chosen file, whose path is in the system's own file-name encoding.
std::optional<std::string> ReadChosenFile(const std::filesystem::path& path) {
    std::string data;
    if (FileSystem().Read(path, kMaxSentFileBytes, data)) return std::nullopt;
    return data;
}

}  // namespace

std::string TMainForm::ReceivedFilesFolder() const {
    const std::string data = PluginsDataFolder();
    return data.empty() ? std::string() : JoinPath(data, "Quorvel", "RcFiles");
}

void TMainForm::TransferDisplay(bool normal) {
    RsSpeedButton1.SetEnabled(normal);
    RsSpeedButton2.SetEnabled(normal);
    PageControl1.SetEnabled(normal);
    Memo1.SetVisible(normal);
    RsAnimate1.SetActive(!normal);
    mnuStopRx.SetEnabled(!normal);
    Label6.SetCaption(Ru("Идёт приём файла..."));
}

void TMainForm::mnuSendFileClick(TComponent*) {
    IDialogs* dialogs = Platform().Dialogs;
    std::string chosen;
    if (dialogs == nullptr ||
        !dialogs->OpenFile(Ru("Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*"), chosen))
        return;
    Rx.FileRxBuffer.clear();
    Rx.FileReceiving = false;
    Rx.FileRxStopRequest = false;
    TransferDisplay(true);
    try {
        const std::filesystem::path path(chosen);
        const std::optional<std::string> bytes = ReadChosenFile(path);
        if (!bytes) throw EInOutError(chosen);
        const std::string name = Utf16ToCp1251(path.filename().u16string());
        Tx.PendingText = BuildFileFrame(name, SplitLines(*bytes));
        Timer1.SetEnabled(false);
        Tx.FileSending = true;
        Memo1.SetVisible(false);
        RsAnimate1.SetActive(true);
        Label6.SetCaption(Ru("Идёт передача файла..."));
        engine_->SendText(Cp1251ToUtf16(Tx.PendingText));
        StartTransmission();
    } catch (...) {
        // A transmission that never started leaves nothing to end it: the
        // window comes back as it was, without the frame queued for typing.
        if (Tx.FileSending && !Transmitting()) {
            Tx.FileSending = false;
            Tx.PendingText.clear();
            Memo1.SetVisible(true);
            RsAnimate1.SetActive(false);
        }
        AppMessageBox(Application(), Ru("Не удалось открыть файл."), MB_ICONERROR);
    }
}

void TMainForm::mnuStopRxClick(TComponent*) { Rx.FileRxStopRequest = true; }

void TMainForm::mnuOpenRcFolderClick(TComponent*) {
    const std::string folder = ReceivedFilesFolder();
    if (IShell* shell = Platform().Shell; shell != nullptr && !folder.empty()) shell->Open(folder);
}

void TMainForm::DetectTextFile(char c) {
    if (Rx.FileRxStopRequest) {
        Rx.FileRxStopRequest = false;
        Rx.FileReceiving = false;
        Rx.FileRxBuffer.clear();
        TransferDisplay(true);
    }
    switch (FeedFileFrame(Rx.FileRxBuffer, Rx.FileReceiving, c)) {
    case TFileFrameEvent::Started:
        Rx.FileReceiving = true;
        Rx.FileRxBuffer.clear();
        TransferDisplay(false);
        break;
    case TFileFrameEvent::Ended:
        SaveReceivedFile();
        break;
    case TFileFrameEvent::None:
        break;
    }
}

void TMainForm::SaveReceivedFile() {
    // Nothing is told to the operator: a file that cannot be stored is lost,
    // and reception goes back to watching for the next one in every case.
    try {
        const std::string_view body(Rx.FileRxBuffer.data(), Rx.FileRxBuffer.size() - kFileEndMarker.size());
        if (std::optional<TReceivedFile> file = ParseReceivedFile(body)) {
            const std::string folder = ReceivedFilesFolder();
            const std::string name = fsUnsolvedFileName(Platform().Libraries, file->Name);
            if (StoreReceivedFile(folder, name, ReceivedFileText(file->Lines)) && Settings().AutoOpenRCFile)
                if (IShell* shell = Platform().Shell) shell->Open(JoinPath(folder, name));
        }
    } catch (...) {
    }
    Rx.FileRxBuffer.clear();
    Rx.FileReceiving = false;
    TransferDisplay(true);
}

}  // namespace quorvel
