// The reference host's macro editor: the plain list to the packet and back,
// the editors library run with a scripted text editor and read by the
// plug-in's own reader, and the macro linter's findings and exit status.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "MacroCommands.h"
#include "MacroEditor.h"
#include "base/CodePage.h"
#include "pavo/hostlibs.h"
#include "test_settings_support.h"
#include "tx/MacrosesDataModule.h"

namespace quorvel::testing {
namespace {

using pavohost::RunMacroCommand;

class HostMacrosTest : public TempFolderTest {
protected:
    int Command(std::vector<std::string> args, const std::string& input = {}) {
        std::istringstream in(input);
        out.str({});
        err.str({});
        return RunMacroCommand(args, in, out, err).value_or(-1);
    }
    std::ostringstream out, err;
};

TEST_F(HostMacrosTest, TheListGoesToThePacketAndComesBackTheSame) {
    // Under a folder named as a Russian operator's may be.
    const std::string packet = Path("Радио/Quorvel/macroses.config.xml");
    const std::string list =
        "CQ | CQ | F5 | CQ CQ de <MYCALL> <TX>\n"
        "Прочее (Ru) | Аппаратура | Ctrl+1 | Трансивер <MYRIG>\\nАнтенна \\\\ диполь\n";
    ASSERT_EQ(Command({"--edit-macros", packet, "--from", "-"}, list), 0) << err.str();
    EXPECT_EQ(out.str(), "saved 2 macros to " + packet + "\n");
    const auto records = ReadMacroPacket(ReadAll(packet));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].Group, Ru("Прочее (Ru)"));
    EXPECT_EQ(records[1].ShortCut, "Ctrl+1");
    EXPECT_EQ(records[1].Text, Ru("Трансивер <MYRIG>\r\nАнтенна \\ диполь"));

    ASSERT_EQ(Command({"--edit-macros", packet, "--to", "-"}), 0);
    const std::string exported = out.str();
    ASSERT_EQ(Command({"--edit-macros", Path("copy.xml"), "--from", "-"}, exported), 0);
    EXPECT_EQ(ReadAll(Path("copy.xml")), ReadAll(packet));
}

TEST_F(HostMacrosTest, ABadListOrPacketChangesNothing) {
    const std::string packet = Path("m.xml");
    ASSERT_EQ(Command({"--edit-macros", packet, "--from", "-"}, "CQ | a | | b\n"), 0);
    const std::string before = ReadAll(packet);
    EXPECT_EQ(Command({"--edit-macros", packet, "--from", "-"}, "CQ | no text\n"), 2);
    EXPECT_NE(err.str().find(":1: "), std::string::npos);
    EXPECT_EQ(ReadAll(packet), before);
    WriteAll(Path("bad.xml"), "<DATAPACKET>");
    EXPECT_EQ(Command({"--edit-macros", Path("bad.xml"), "--to", "-"}), 4);
    EXPECT_EQ(Command({"--lint-macros", Path("bad.xml")}), 4);
    EXPECT_EQ(Command({"--edit-macros", packet, "--sideways", "x"}), 2);
    EXPECT_FALSE(RunMacroCommand({"--script", "x"}, std::cin, out, err));
}

TEST_F(HostMacrosTest, TheLinterNamesUnknownTagsAndControlTagsNotInCapitals) {
    const std::string packet = Path("m.xml");
    ASSERT_EQ(Command({"--edit-macros", packet, "--from", "-"},
                      "CQ | Call | | CQ de <MYCALL> <call> <CAL>\nQSO (En) | End | | 73 <tx><SAVEQSO> <MYLOC>\n"),
              0);
    EXPECT_EQ(Command({"--lint-macros", packet}), 1);
    EXPECT_EQ(out.str(), packet + ": macro 1 \"Call\": <CAL>: no such tag, sent as written\n" + packet +
                             ": macro 2 \"End\": <tx>: a control tag steers only in capitals; this one is removed "
                             "and does nothing\n" +
                             packet + ": macro 2 \"End\": <MYLOC>: no such tag, sent as written\n");
    ASSERT_EQ(Command({"--edit-macros", packet, "--from", "-"}, "CQ | Call | | CQ de <MYCALL> <call> <TX>\n"), 0);
    EXPECT_EQ(Command({"--lint-macros", packet}), 0);
    EXPECT_EQ(out.str(), "");
}

// The editors library as the plug-in calls it, with a text editor that
// rewrites the list.
TEST_F(HostMacrosTest, TheEditorsLibrarySavesAnEditedListAndReportsTheChange) {
    void* library = ::dlopen(QUORVEL_BIN_DIR "/editors.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    using Edit = int16_t(PAVO_CALL*)(PavoHandle, const char*, const char*, const char*, int32_t, int32_t);
    const auto edit = reinterpret_cast<Edit>(::dlsym(library, "esShowMacrosesEditor"));
    ASSERT_NE(edit, nullptr);
    const std::string packet = Path("macroses.config.xml");
    ASSERT_EQ(Command({"--edit-macros", packet, "--from", "-"}, "CQ | CQ | F5 | CQ CQ\n"), 0);

    const std::string script = Path("editor.sh");
    WriteAll(script, "#!/bin/sh\nprintf 'QSO (Ru) | Имя | F6 | Меня зовут <MYNAME>\\n' >> \"$1\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    ::setenv("VISUAL", script.c_str(), 1);
    EXPECT_EQ(edit(0, "Tarvik", packet.c_str(), "help.htm", 0, 0), 1);
    ::setenv("VISUAL", "true", 1);
    EXPECT_EQ(edit(0, "Tarvik", packet.c_str(), "help.htm", 0, 0), 0);  // left as it was
    ::unsetenv("VISUAL");
    ::dlclose(library);

    const auto records = ReadMacroPacket(ReadAll(packet));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].Description, Ru("Имя"));
    EXPECT_EQ(records[1].ShortCut, "F6");
    EXPECT_EQ(records[1].Text, Ru("Меня зовут <MYNAME>"));
}

}  // namespace
}  // namespace quorvel::testing
