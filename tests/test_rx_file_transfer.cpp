// Text files over the air: the frame on the air, the receiver's watch for it
// (against a search of the whole received text), what lands on disk and
// where, and the window's look while a file comes in or goes out.
#include <unistd.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "LoopbackEngine.h"
#include "PluginFixture.h"
#include "base/CodePage.h"
#include "rxtext/TextFileTransfer.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

const std::string kStart(kFileStartMarker), kEnd(kFileEndMarker);

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// ---- The frame and its parts -------------------------------------------------

TEST(FileFrame, FrameLinesAndParsedContent) {
    EXPECT_EQ(BuildFileFrame("a.txt", {"one", "two"}), "!ZQHWBSTS\r\na.txt\r\none\r\ntwo\r\n\r\n!ZQHWBENS");
    EXPECT_EQ(BuildFileFrame("e.txt", {}), "!ZQHWBSTS\r\ne.txt\r\n\r\n!ZQHWBENS");

    using L = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), L{});
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (L{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), L{"a"});          // a final line end adds no line
    EXPECT_EQ(SplitLines("a\n\r"), (L{"a", ""}));    // LF CR is two line ends
    EXPECT_EQ(SplitLines("\r\n\r\n"), (L{"", ""}));

    // What a receiver collects for a.txt: the name line, then the body with
    // the separator's empty last line.
    auto file = ParseReceivedFile("\r\na.txt\r\none\r\ntwo\r\n\r\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Name, "a.txt");
    EXPECT_EQ(ReceivedFileText(file->Lines), "one\r\ntwo\r\n\r\n");
    // Blank lines (spaces, tabs, other controls) before the name go; empty
    // lines at the start of the body stay.
    file = ParseReceivedFile(" \r\n\t\x01\r\n\r\nb.txt\r\n\r\n\r\nx\r\n\r\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Name, "b.txt");
    EXPECT_EQ(ReceivedFileText(file->Lines), "\r\n\r\nx\r\n\r\n");
    EXPECT_FALSE(ParseReceivedFile(" \r\n\t\r\n"));
    EXPECT_FALSE(ParseReceivedFile(""));
}

// ---- Detection against the whole-buffer rule ------------------------------------

// The receiver as the rule reads: every character kept, both markers searched
// for anywhere in everything collected.
struct TWholeBufferReceiver {
    bool receiving = false;
    std::string buffer;
    TFileFrameEvent Feed(char c, std::string& body) {
        buffer += c;
        if (!receiving && buffer.find(kStart) != std::string::npos) {
            receiving = true;
            buffer.clear();
            return TFileFrameEvent::Started;
        }
        if (receiving && buffer.find(kEnd) != std::string::npos) {
            body = buffer.substr(0, buffer.size() - kEnd.size());
            receiving = false;
            buffer.clear();
            return TFileFrameEvent::Ended;
        }
        return TFileFrameEvent::None;
    }
};

// Traffic that keeps coming close to a marker: pieces of both, markers with
// one letter wrong, whole markers, the letters they are made of and line ends.
std::string RandomTraffic(std::mt19937& rng, std::size_t length) {
    static const std::string letters = "!ZQHWBSTEN\r\n x";
    std::string s;
    while (s.size() < length) {
        switch (rng() % 6) {
        case 0: s += kStart.substr(0, rng() % (kStart.size() + 1)); break;
        case 1: s += kEnd.substr(rng() % kEnd.size()); break;
        case 2: {
            std::string m = rng() % 2 ? kStart : kEnd;
            m[rng() % m.size()] = letters[rng() % letters.size()];
            s += m;
            break;
        }
        case 3: s += rng() % 3 == 0 ? kStart : kEnd; break;
        default: s += letters[rng() % letters.size()]; break;
        }
    }
    return s;
}

TEST(FileFrameDetection, FiresAtTheSameCharacterAsAWholeBufferSearchAndKeepsLittleWhileIdle) {
    std::mt19937 rng(20240504);
    int starts = 0, ends = 0;
    for (int run = 0; run < 300; ++run) {
        const std::string traffic = RandomTraffic(rng, 1500);
        TWholeBufferReceiver reference;
        bool receiving = false;
        std::string buffer;
        for (std::size_t i = 0; i < traffic.size(); ++i) {
            // The operator stops now and then; both go back to idle.
            if (rng() % 500 == 0) {
                reference = {};
                receiving = false;
                buffer.clear();
            }
            std::string expectedBody;
            const TFileFrameEvent expected = reference.Feed(traffic[i], expectedBody);
            const TFileFrameEvent got = FeedFileFrame(buffer, receiving, traffic[i]);
            ASSERT_EQ(got, expected) << "run " << run << ", character " << i;
            if (got == TFileFrameEvent::Started) {
                ++starts;
                receiving = true;
                buffer.clear();
            } else if (got == TFileFrameEvent::Ended) {
                ++ends;
                ASSERT_EQ(buffer.substr(0, buffer.size() - kEnd.size()), expectedBody) << "run " << run;
                receiving = false;
                buffer.clear();
            }
            if (!receiving) {
                ASSERT_LT(buffer.size(), kStart.size());
            }
        }
    }
    // The traffic really did hold frames.
    EXPECT_GT(starts, 1000);
    EXPECT_GT(ends, 1000);
}

// ---- The window ------------------------------------------------------------------

class FileTransferTest : public PluginFixture {
protected:
    FileTransferTest() {
        root = fs::temp_directory_path() /
               ("quorvel-rcfiles-" + std::to_string(::getpid()) + "-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        data = root / "data" / "Plugins Data";
        received = data / "Quorvel" / "RcFiles";
        fs::create_directories(received);
        host.config.dataFolder = data.string();
        FakeLibs().unsolvedResult.clear();  // the name as announced: the plug-in alone keeps it safe
        library->Host = &host.session;
        form = TForm::Create<TMainForm>(*library);
        engine = engines.Last;
    }
    ~FileTransferTest() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    void Rx(std::string_view cp1251) {
        for (char c : cp1251) {
            const std::u16string one = Cp1251ToUtf16(std::string(1, c));
            form->MMVARI1RxChar(0, one, one[0]);
        }
    }
    std::string Pane() const { return form->RichEdit1.Text(); }
    // Every file below the test's folder, outside the received-files folder or not.
    std::vector<fs::path> FilesWritten() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (!e.is_directory()) out.push_back(e.path());
        return out;
    }
    void ExpectIdleLook() {
        EXPECT_FALSE(form->Rx.FileReceiving);
        EXPECT_TRUE(form->Rx.FileRxBuffer.size() < kStart.size());
        EXPECT_TRUE(form->RsSpeedButton1.Enabled());
        EXPECT_TRUE(form->RsSpeedButton2.Enabled());
        EXPECT_TRUE(form->PageControl1.Enabled());
        EXPECT_TRUE(form->Memo1.Visible());
        EXPECT_FALSE(form->RsAnimate1.Active());
        EXPECT_FALSE(form->mnuStopRx.Enabled());
    }

    fs::path root, data, received;
    std::unique_ptr<TMainForm> form;
    TLoopbackEngine* engine = nullptr;
};

TEST_F(FileTransferTest, AFrameAfterACallIsSavedAsTheSenderMeantWithTheWindowLockedMeanwhile) {
    ExpectIdleLook();
    EXPECT_EQ(Cp1251ToUtf8(form->Label6.Caption()), "Идёт приём файла...");
    EXPECT_EQ(form->mnuStopRx.ShortCut, TextToShortCut("Ctrl+I"));

    Rx("CQ de R3ABC " + kStart.substr(0, 5));
    EXPECT_FALSE(form->Rx.FileReceiving);
    Rx(kStart.substr(5) + "\r\n");
    EXPECT_TRUE(form->Rx.FileReceiving);
    EXPECT_FALSE(form->RsSpeedButton1.Enabled());
    EXPECT_FALSE(form->RsSpeedButton2.Enabled());
    EXPECT_FALSE(form->PageControl1.Enabled());
    EXPECT_FALSE(form->Memo1.Visible());
    EXPECT_TRUE(form->RsAnimate1.Active());
    EXPECT_TRUE(form->mnuStopRx.Enabled());

    Rx("a.txt\r\none\r\ntwo\r\n\r\n" + kEnd);
    ExpectIdleLook();
    EXPECT_EQ(ReadAll(received / "a.txt"), "one\r\ntwo\r\n\r\n");
    EXPECT_EQ(FilesWritten(), std::vector<fs::path>{received / "a.txt"});  // no temporary file left
    // Everything was shown as it came, the call before the frame included.
    EXPECT_EQ(Pane(), "CQ de R3ABC " + kStart + "\r\na.txt\r\none\r\ntwo\r\n\r\n" + kEnd);
    EXPECT_TRUE(sim.Shell.Opened.empty());  // AutoOpenRCFile is off by default

    // A second file of the same name replaces the first and, asked to, opens.
    library->Config.AutoOpenRCFile = true;
    Rx(kStart + "\r\n\r\n  \r\na.txt\r\n\r\n\r\nthree\r\n\r\n" + kEnd);
    EXPECT_EQ(ReadAll(received / "a.txt"), "\r\n\r\nthree\r\n\r\n");
    EXPECT_EQ(sim.Shell.Opened, std::vector<std::string>{(received / "a.txt").string()});
    form->mnuOpenRcFolder.Click();
    EXPECT_EQ(sim.Shell.Opened.back(), received.string());
}

TEST_F(FileTransferTest, AnEndMarkerInsideALineEndsTheFileAndAStopDiscardsWhatCameSoFar) {
    Rx(kStart + "\r\nb.txt\r\nabc" + kEnd + "def\r\n");
    EXPECT_EQ(ReadAll(received / "b.txt"), "abc\r\n");
    ExpectIdleLook();

    Rx(kStart + "\r\nc.txt\r\nfirst line\r\n");
    ASSERT_TRUE(form->Rx.FileReceiving);
    form->mnuStopRx.Click();
    EXPECT_TRUE(form->Rx.FileReceiving);  // until the next character comes
    Rx("s");
    ExpectIdleLook();
    const std::size_t shown = Pane().size();
    Rx("econd line\r\n\r\n" + kEnd);
    EXPECT_EQ(Pane().substr(shown), "econd line\r\n\r\n" + kEnd);  // the rest is ordinary text
    EXPECT_FALSE(fs::exists(received / "c.txt"));
    ExpectIdleLook();

    // A frame holding no name line saves nothing; a missing folder loses the
    // file without a word; both leave the receiver watching.
    Rx(kStart + "\r\n \r\n" + kEnd);
    ExpectIdleLook();
    fs::remove_all(received);
    Rx(kStart + "\r\nd.txt\r\nx\r\n\r\n" + kEnd);
    ExpectIdleLook();
    EXPECT_TRUE(FilesWritten().empty());
    EXPECT_TRUE(sim.Dialogs.Messages.empty());
}

TEST_F(FileTransferTest, NoAnnouncedNameWritesOutsideTheReceivedFilesFolder) {
    library->Config.SelectedRcvr = false;  // let NUL and other controls through
    const std::string hostile[] = {"../../x",        "/etc/passwd",          "C:\\x",
                                   std::string(10000, 'n') + ".txt",           std::string("a\0/../b", 7),
                                   "\x01../\x1F\x7Fz", "CON",                  "..",
                                   Ru("Длинное") + std::string(300, '\xE9')};
    for (const std::string& name : hostile) {
        Rx(kStart + "\r\n" + name + "\r\nbody\r\n\r\n" + kEnd);
        ExpectIdleLook();
        for (const fs::path& p : FilesWritten()) {
            EXPECT_EQ(p.parent_path(), received) << p;
            EXPECT_NE(p.extension(), ".tmp") << p;
        }
    }
    EXPECT_FALSE(fs::exists(root / "x"));
    EXPECT_FALSE(fs::exists(data / "x"));
    // Each either landed as a plain name in the folder or was given up.
    EXPECT_GE(FilesWritten().size(), 6u);
}

TEST_F(FileTransferTest, TheNextStartClearsAHalfWrittenReceptionButNoReceivedFile) {
    form.reset();
    const fs::path half = data / "Quorvel" / "RcFiles.tmp";
    std::ofstream(half, std::ios::binary) << "one\r\ntw";
    std::ofstream(received / "notes.tmp", std::ios::binary) << "sent as notes.tmp";
    form = TForm::Create<TMainForm>(*library);
    EXPECT_FALSE(fs::exists(half));
    EXPECT_EQ(ReadAll(received / "notes.tmp"), "sent as notes.tmp");

    // A received file may itself be called something.tmp; it lands whole.
    Rx(kStart + "\r\nnotes.tmp\r\nnew\r\n\r\n" + kEnd);
    EXPECT_EQ(ReadAll(received / "notes.tmp"), "new\r\n\r\n");
    EXPECT_FALSE(fs::exists(half));
}

TEST_F(FileTransferTest, SendingAFileFramesItEndsAnyReceptionAndTheEchoStartsNothing) {
    const fs::path file = root / "a.txt";
    std::ofstream(file, std::ios::binary) << "one\ntwo";
    Rx(kStart + "\r\nhalf.txt\r\n");
    ASSERT_TRUE(form->Rx.FileReceiving);

    sim.Dialogs.Files.push_back(file.string());
    form->mnuSendFile.Click();
    EXPECT_EQ(sim.Dialogs.FileFilters, std::vector<std::string>{Ru("Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*")});
    const std::string frame = kStart + "\r\na.txt\r\none\r\ntwo\r\n\r\n" + kEnd;
    EXPECT_FALSE(form->Rx.FileReceiving);
    EXPECT_EQ(form->Tx.PendingText, frame);
    EXPECT_TRUE(form->Tx.FileSending);
    EXPECT_FALSE(form->Memo1.Visible());
    EXPECT_TRUE(form->RsAnimate1.Active());
    EXPECT_EQ(Cp1251ToUtf8(form->Label6.Caption()), "Идёт передача файла...");
    EXPECT_TRUE(engine->bTX());

    sim.Dispatcher.Advance(static_cast<std::int64_t>(frame.size() + 4) * 208);
    EXPECT_FALSE(engine->bTX());  // the echo counted the frame down
    EXPECT_EQ(engine->SentText(), Cp1251ToUtf16(frame));
    EXPECT_FALSE(form->Tx.FileSending);
    EXPECT_TRUE(form->Memo1.Visible());
    EXPECT_FALSE(form->RsAnimate1.Active());
    EXPECT_FALSE(form->Rx.FileReceiving);  // its own echo is no file
    EXPECT_TRUE(FilesWritten() == std::vector<fs::path>{file});

    // A file that cannot be read: the box, nothing sent, the window as it was.
    sim.Dialogs.Files.push_back((root / "missing.txt").string());
    form->mnuSendFile.Click();
    ASSERT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Cp1251ToUtf8(sim.Dialogs.Messages[0].Text), "Не удалось открыть файл.");
    EXPECT_EQ(sim.Dialogs.Messages[0].Flags, MB_ICONERROR | MB_TOPMOST);
    EXPECT_FALSE(engine->bTX());
    EXPECT_FALSE(form->Tx.FileSending);
    EXPECT_TRUE(form->Memo1.Visible());
    // Cancelled: nothing at all.
    form->mnuSendFile.Click();
    EXPECT_EQ(sim.Dialogs.Messages.size(), 1u);
    EXPECT_FALSE(engine->bTX());
}

}  // namespace
}  // namespace quorvel::testing
