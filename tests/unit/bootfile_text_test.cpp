// The boot command and the rewrite of the boot file's text, over the in-memory file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bootfile.h"
#include "bootfile_fake_fs.h"
#include "settings.h"
#include "lead_bytes.h"

using namespace std::string_literals;

namespace {

const std::string Auto = "C:\\WINDOWS\\KESTRO.EXE";
const std::string Bat = BootFilePath;

std::string Repeat(char c, size_t count) { return std::string(count, c); }

struct CommandCase {
    const char* directory;
    bool irqChanged, portChanged, autoDetect;
    const char* irq;
    const char* port;
    const char* expected;
};

TEST(BuildBootCommand, ThreeFormsWithTheirFieldWidths) {
    const CommandCase cases[] = {
        {"C:\\WINDOWS", true, true, true, "10", "340", "C:\\WINDOWS\\KESTRO.EXE"},
        {"C:\\WINDOWS", false, false, true, "10", "340", "C:\\WINDOWS\\KESTRO.EXE"},
        {"C:\\WINDOWS", true, true, false, "10", "340", "C:\\WINDOWS\\KESTRO DIRQ=10 DREAM=340"},
        {"C:\\WINDOWS", true, false, false, "10", "340", "C:\\WINDOWS\\KESTRO DIRQ=10"},
        {"C:\\WINDOWS", false, true, false, "10", "340", "C:\\WINDOWS\\KESTRO DREAM=340"},
        {"C:\\WINDOWS", false, false, false, "10", "330", "C:\\WINDOWS\\KESTRO DREAM=330"},
        // A one-character interrupt is padded to two; the port after " DREAM=" is not widened.
        {"C:\\WINDOWS", true, true, false, "5", "34", "C:\\WINDOWS\\KESTRO DIRQ=5  DREAM=34"},
        {"C:\\WINDOWS", true, false, false, "5", "340", "C:\\WINDOWS\\KESTRO DIRQ=5 "},
        // An option goes in only with a value, and without the card's leading blank.
        {"C:\\WINDOWS", true, false, false, "", "", "C:\\WINDOWS\\KESTRO.EXE"},
        {"C:\\WINDOWS", false, true, false, "5", "", "C:\\WINDOWS\\KESTRO.EXE"},
        {"C:\\WINDOWS", true, true, false, "", "340", "C:\\WINDOWS\\KESTRO DREAM=340"},
        {"C:\\WINDOWS", true, true, false, "10", " ", "C:\\WINDOWS\\KESTRO DIRQ=10"},
        {"C:\\WINDOWS", true, true, false, " 5", "330 ", "C:\\WINDOWS\\KESTRO DIRQ=5  DREAM=330"},
        {"C:\\WINDOWS", false, false, false, " 5", " 330", "C:\\WINDOWS\\KESTRO DREAM=330"},
        {"C:\\WINDOWS", false, true, false, "5", "3300", "C:\\WINDOWS\\KESTRO DREAM=3300"},
        {"", false, false, true, "", "", "\\KESTRO.EXE"},
        {"C:\\WIN%sDOWS", true, false, false, "%d", "", "C:\\WIN%sDOWS\\KESTRO DIRQ=%d"},
    };
    for (const CommandCase& c : cases) {
        CString command = BuildBootCommand(c.directory, c.irqChanged, c.portChanged, c.irq, c.port, c.autoDetect);
        EXPECT_STREQ(command.c_str(), c.expected);
    }
}

struct TextCase {
    const char* name;
    std::string input;
    std::string command;
    std::string expected;
    LeadBytePredicate lead = IsCp949LeadByte;
};

// Runs the rewrite over input, read in chunks of every given size, and checks the bytes written.
void ExpectRewrite(const TextCase& c) {
    for (size_t chunk : {size_t(4096), size_t(1), size_t(2), size_t(255)}) {
        FakeBootFiles fs;
        fs.files[Bat] = c.input;
        fs.readChunk = chunk;
        EXPECT_EQ(RewriteBootFile(fs, c.command.c_str(), c.lead), BootUpdateOutcome::Rewritten)
            << c.name << ", chunk " << chunk;
        EXPECT_EQ(fs.files[Bat], c.expected) << c.name << ", chunk " << chunk;
        EXPECT_EQ(fs.files.size(), 1u) << c.name << ": spare files left behind";
    }
}

TEST(BuildBootCommand, AValueIsTakenWithoutTheBlanksAroundIt) {
    const struct {
        const char* value;
        const char* taken;
    } cases[] = {
        {" 5", "5"},  // the card's form of interrupt 5
        {"10", "10"},
        {"330 ", "330"},
        {"  7  ", "7"},
        {"\t5\t", "5"},
        {"33 0", "33 0"},  // a blank inside stays
        {"   ", ""},
        {"", ""},
        {nullptr, ""},
    };
    for (const auto& c : cases) {
        char value[BootLineSize];
        CopyWithoutBlanks(c.value, value);
        EXPECT_STREQ(value, c.taken) << (c.value ? c.value : "(null)");
    }
}

TEST(RewriteBootFile, LinesAreReplacedKeptOrAdded) {
    const TextCase cases[] = {
        {"the tool's line is replaced, every other byte kept",
         "path c:\\windows\r\nc:\\windows\\kestro dirq=5\r\nset temp=c:\\temp\r\n", Auto,
         "path c:\\windows\r\n" + Auto + "\r\nset temp=c:\\temp\r\n"},
        // Case matters to many programs and to IF: a changed byte would change the boot.
        {"kept lines and the kept parts of a tool line are written as read",
         "loadlin c:\\linux\\vmlinuz root=/dev/hda2 ro\r\nprompt $e[1;32m$p$g\r\nver | find \"Windows 98\"\r\n"
         "if \"%config%\"==\"games\" c:\\windows\\kestro dirq=5 >nul\r\nnet logon bob s3Cr3t\r\necho Hello \xB0" "a\r\n",
         Auto,
         "loadlin c:\\linux\\vmlinuz root=/dev/hda2 ro\r\nprompt $e[1;32m$p$g\r\nver | find \"Windows 98\"\r\n"
         "if \"%config%\"==\"games\" " + Auto + " >nul\r\nnet logon bob s3Cr3t\r\necho Hello \xB0" "a\r\n"},
        {"every tool line gets the command, one per menu entry",
         "goto %config%\r\n:win\r\nkestro a\r\ngoto end\r\n:games\r\nKeStRo b\r\n:end\r\n", Auto,
         "goto %config%\r\n:win\r\n" + Auto + "\r\ngoto end\r\n:games\r\n" + Auto + "\r\n:end\r\n"},
        // Without a tool line the command runs once on every path, before anything can branch.
        {"the added line follows the opening lines that only prepare",
         "@echo off\r\n\r\nrem Boot\r\n:: menu\r\nset blaster=a220\r\npath c:\\windows\r\nprompt $p$g\r\necho.\r\n"
         "goto %config%\r\n:win\r\nwin\r\n", Auto,
         "@echo off\r\n\r\nrem Boot\r\n:: menu\r\nset blaster=a220\r\npath c:\\windows\r\nprompt $p$g\r\necho.\r\n" +
             Auto + "\r\ngoto %config%\r\n:win\r\nwin\r\n"},
        {"before a CHOICE, whose answer the next line tests",
         "@echo off\r\nchoice /c:wd\r\nif errorlevel 2 goto dos\r\nif errorlevel 1 win\r\n:dos\r\n", Auto,
         "@echo off\r\n" + Auto + "\r\nchoice /c:wd\r\nif errorlevel 2 goto dos\r\nif errorlevel 1 win\r\n:dos\r\n"},
        {"before a menu that starts Windows in two sections",
         "goto %config%\r\n:win\r\nwin\r\ngoto end\r\n:safe\r\nwin /d:m\r\n:end\r\n", Auto,
         Auto + "\r\ngoto %config%\r\n:win\r\nwin\r\ngoto end\r\n:safe\r\nwin /d:m\r\n:end\r\n"},
        {"before a batch file started without CALL, which never returns", "@echo off\r\nc:\\next.bat\r\n", Auto,
         "@echo off\r\n" + Auto + "\r\nc:\\next.bat\r\n"},
        {"a REM line is kept and the command added at the end", "rem c:\\windows\\kestro.exe\r\n", Auto,
         "rem c:\\windows\\kestro.exe\r\n" + Auto + "\r\n"},
        {"an empty file gets the command alone", "", Auto, Auto + "\r\n"},
        {"a last line without a line end gets one before the command", "path c:\\dos", Auto,
         "path c:\\dos\r\n" + Auto + "\r\n"},
        {"the added command is replaced with a line end next time", "PATH\r\n" + Auto, Auto,
         "PATH\r\n" + Auto + "\r\n"},
        {"a matching last line without a line end gains one", "x\r\nkestro", Auto, "x\r\n" + Auto + "\r\n"},
        {"a Ctrl-Z ends the file", "echo a\r\n\x1A" "kestro\r\n", Auto, "echo a\r\n" + Auto + "\r\n"},
        {"a lone LF and a lone CR each end a line", "echo a\nrem b\rset c\r\n", Auto,
         "echo a\r\nrem b\r\nset c\r\n" + Auto + "\r\n"},
        {"CR CR LF is two line ends", "echo a\r\r\n", Auto, "echo a\r\n\r\n" + Auto + "\r\n"},
        {"a CR at the end ends the last line", "echo a\r", Auto, "echo a\r\n" + Auto + "\r\n"},
        {"a CR before a Ctrl-Z ends the last line", "echo a\r\x1A\r\n", Auto, "echo a\r\n" + Auto + "\r\n"},
        {"a file with CR line ends keeps its lines",
         "@echo off\rpath c:\\windows;c:\\kestro\rc:\\kestro\\kestro dirq=5\rset blaster=a220 i5\rwin\r", Auto,
         "@echo off\r\npath c:\\windows;c:\\kestro\r\n" + Auto + "\r\nset blaster=a220 i5\r\nwin\r\n"},
        {"a lead byte at a line's end does not reach into the next line", "echo \xB0\r\nkestro\r\n", Auto,
         "echo \xB0\r\n" + Auto + "\r\n"},
        {"the command is written as built", "kestro\r\n", "c:\\win\\KESTRO DIRQ=5 ", "c:\\win\\KESTRO DIRQ=5 \r\n"},
    };
    for (const TextCase& c : cases) ExpectRewrite(c);
}

TEST(RewriteBootFile, LongLinesAreKeptWhole) {
    const std::string rem = "rem ";
    const TextCase cases[] = {
        {"a 300-character line survives", rem + Repeat('x', 296) + "\r\n", Auto,
         rem + Repeat('x', 296) + "\r\n" + Auto + "\r\n"},
        {"a line of exactly 255 characters", rem + Repeat('y', 251) + "\r\n", Auto,
         rem + Repeat('y', 251) + "\r\n" + Auto + "\r\n"},
        {"a full last piece without a line end", rem + Repeat('z', 506), Auto,
         rem + Repeat('z', 506) + "\r\n" + Auto + "\r\n"},
        {"a 600-character last line without a line end", rem + Repeat('z', 596), Auto,
         rem + Repeat('z', 596) + "\r\n" + Auto + "\r\n"},
        // DOS reads 127 characters of a line: the tool's name past them never ran.
        {"a tool word past what DOS reads", "c:\\" + Repeat('x', 280) + "\\kestro\r\n", Auto,
         Auto + "\r\nc:\\" + Repeat('x', 280) + "\\kestro\r\n"},
    };
    for (const TextCase& c : cases) ExpectRewrite(c);
}

TEST(RewriteBootFile, TellsWhetherTheNextBootStartsTheToolOtherwise) {
    const struct {
        const char* name;
        std::string input;
        std::string command;
        bool changed;
    } cases[] = {
        {"new options", "path c:\\dos\r\nkestro dirq=5\r\n", Auto, true},
        {"the same command", "path c:\\dos\r\n" + Auto + "\r\n", Auto, false},
        {"the same command in lower case", "c:\\windows\\kestro.exe\r\n", Auto, false},
        {"the same command with a condition and a redirection", "if a==a " + Auto + " >nul\r\n", Auto, false},
        {"the same options written as built", "C:\\WIN\\KESTRO DIRQ=5 \r\n", "c:\\win\\KESTRO DIRQ=5 ", false},
        {"blanks at the end aside", "c:\\windows\\kestro dirq=5  dream=340   \r\n",
         "C:\\WINDOWS\\KESTRO DIRQ=5  DREAM=340 ", false},
        {"other blanks between the words", "c:\\windows\\kestro dirq=5 dream=340\r\n",
         "C:\\WINDOWS\\KESTRO DIRQ=5  DREAM=340", true},
        {"a blank more inside a word", "c:\\windows\\kestro dirq= 5\r\n", "C:\\WINDOWS\\KESTRO DIRQ=5 ", true},
        {"one menu entry of two changes", Auto + "\r\n:games\r\nkestro dirq=5\r\n", Auto, true},
        {"a line added", "path c:\\dos\r\n", Auto, true},
    };
    for (const auto& c : cases) {
        FakeBootFiles fs;
        fs.files[Bat] = c.input;
        BootSaveReport report;
        EXPECT_EQ(RewriteBootFile(fs, c.command.c_str(), IsCp949LeadByte, &report), BootUpdateOutcome::Rewritten)
            << c.name;
        EXPECT_EQ(report.nextBootChanged, c.changed) << c.name;
    }
}

std::string Lines(size_t count, const char* line) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += line;
    return text;
}

struct LimitCase {
    const char* name;
    std::string input;
    BootUpdateOutcome outcome;
    const char* told = "";  // the line's first words when a tool line is longer than DOS reads
};

TEST(RewriteBootFile, ContentsBeyondTheStoreOrWhatDosReadsLeaveTheFileAsItIs) {
    const LimitCase cases[] = {
        {"999 lines and the added command fill the store", Lines(999, "a\r\n"), BootUpdateOutcome::Rewritten},
        {"1000 lines with the tool's line", Lines(999, "a\r\n") + "kestro\r\n", BootUpdateOutcome::Rewritten},
        {"1000 lines without it leave no entry for the command", Lines(1000, "a\r\n"),
         BootUpdateOutcome::TooManyLines},
        {"1001 lines", Lines(1000, "a\r\n") + "kestro\r\n", BootUpdateOutcome::TooManyLines},
        // C:\WINDOWS\KESTRO.EXE is 21 characters: these tool lines become 128 and 127 long.
        {"a tool line that the command makes longer than DOS reads", "if " + Repeat('x', 100) + "==y kestro\r\n",
         BootUpdateOutcome::LineTooLong, "if xxxxxxxxxxxxxxxxxxxxxxxxx..."},
        {"a tool line of exactly what DOS reads", "if " + Repeat('x', 99) + "==y kestro\r\n", BootUpdateOutcome::Rewritten},
        {"a tool line that DOS reads cut", "@c:\\windows\\kestro dirq=5 dream=340" + Repeat(' ', 100) + "x\r\n",
         BootUpdateOutcome::LineTooLong, "@c:\\windows\\kestro dirq=5 dr..."},
        {"a long line takes one entry per piece", Lines(998, "a\r\n") + Repeat('b', 300) + "\r\n",
         BootUpdateOutcome::TooLarge},
        {"long lines that fill the store before its end",
         Lines(600, "a\r\n") + Lines(250, (Repeat('b', 300) + "\r\n").c_str()), BootUpdateOutcome::TooLarge},
        {"more than 1000 lines found after the store is full", Lines(1500, "a\r\n") + "kestro",
         BootUpdateOutcome::TooManyLines},
        {"a zero byte cannot be kept in a line", "echo a\r\nset x=\0y\r\n"s, BootUpdateOutcome::NotText},
        {"a zero byte after a Ctrl-Z is not part of the text", "echo a\r\n\x1A\0"s, BootUpdateOutcome::Rewritten},
    };
    for (const LimitCase& c : cases) {
        FakeBootFiles fs;
        fs.files[Bat] = c.input;
        BootSaveReport report;
        EXPECT_EQ(RewriteBootFile(fs, Auto.c_str(), IsCp949LeadByte, &report), c.outcome) << c.name;
        if (c.outcome != BootUpdateOutcome::Rewritten) {
            EXPECT_EQ(fs.files[Bat], c.input) << c.name;
        }
        if (c.outcome == BootUpdateOutcome::LineTooLong) {
            EXPECT_EQ(report.failure.reason, SaveFailure::LineTooLong) << c.name;
            EXPECT_STREQ(report.failure.subject, c.told) << c.name;
        }
        EXPECT_EQ(fs.files.size(), 1u) << c.name;
    }
}

TEST(RewriteBootFile, ReadErrorLeavesTheFileAsItIs) {
    FakeBootFiles fs;
    const std::string input = Lines(50, "echo kestro\r\n");
    fs.files[Bat] = input;
    fs.readChunk = 64;
    fs.readFailAt = 300;
    EXPECT_EQ(RewriteBootFile(fs, Auto.c_str(), IsCp949LeadByte), BootUpdateOutcome::ReadFailed);
    EXPECT_EQ(fs.files[Bat], input);
    EXPECT_EQ(fs.files.size(), 1u);
}

TEST(ReadBootToolOptions, TheLastToolLineCountsInTheCardsTextForms) {
    struct Case {
        const char* name;
        std::string input;  // "-": no boot file
        const char* irq;
        const char* port;
        long readFailAt = -1;
    } cases[] = {
        {"no boot file", "-", "", ""},
        {"the plain tool line", "c:\\windows\\kestro.exe\r\n", "", ""},
        {"the command as written", "C:\\WINDOWS\\KESTRO DIRQ=5  DREAM=340\r\n", " 5", "340"},
        {"lower case, hexadecimal and leading zeros", "kestro/dirq=011,dream=03a0\r\n", "11", "3A0"},
        {"values the tool cannot take", "kestro dirq=5x dream=xyz\r\n", "", ""},
        {"out of range or empty", "kestro dirq=16 dream=10000\r\nkestro dirq= dream=0\r\n", "", ""},
        {"a value too long for a number", "kestro dirq=00000000000000000005\r\n", "", ""},
        {"the last tool line counts", "kestro dirq=5 dream=330\r\nkestro dirq=10\r\necho\r\n", "10", ""},
        {"REM, labels and other commands do not", "kestro dirq=5\r\nrem kestro dirq=7\r\n:kestro dirq=7\r\necho dirq=9\r\n",
         " 5", ""},
        {"after prefixes, around a redirection, up to a pipe",
         "@if exist x call kestro dirq=9 >nul dream=340|more dirq=7\r\n", " 9", "340"},
        {"a later option overrides an earlier one", "echo|kestro dirq=5 dirq=7\r\n", " 7", ""},
        {"what DOS does not read of a line does not count", "kestro dirq=5" + Repeat(' ', 114) + "dirq=7\r\n", " 5", ""},
        {"a read error gives nothing", "kestro dirq=5\r\n" + Lines(100, "echo\r\n"), "", "", 40},
    };
    for (const Case& c : cases) {
        FakeBootFiles fs;
        if (c.input != "-") fs.files[Bat] = c.input;
        fs.readChunk = 16;
        fs.readFailAt = c.readFailAt;
        const auto before = fs.files;
        BootToolOptions options = ReadBootToolOptions(fs, IsCp949LeadByte);
        EXPECT_STREQ(options.irq.c_str(), c.irq) << c.name;
        EXPECT_STREQ(options.port.c_str(), c.port) << c.name;
        EXPECT_EQ(fs.files, before) << c.name;
    }
}

TEST(UpdateBootFile, BootDirectoryThatMakesTheCommandLongerThanDosReads) {
    // "\KESTRO.EXE" is 11 characters: a 116-character directory makes a 127-character command, as
    // much as DOS reads of a line.
    struct Case {
        size_t directoryLength;
        bool failed;
        size_t offered;  // the length of the line offered when there is no boot file
    } cases[] = {{116, false, 127}, {117, true, 128}, {255, true, 255}, {256, true, 0}, {1000, true, 0}};
    for (const Case& c : cases) {
        FakeBootFiles fs;
        FakeBootEnvironment environment;
        environment.value = "C:\\" + Repeat('W', c.directoryLength - 3);
        fs.files[Bat] = "kestro\r\n";
        EXPECT_EQ(UpdateBootFile(fs, environment, IsCp949LeadByte, false, false, "", "", true), c.failed)
            << c.directoryLength;
        EXPECT_EQ(fs.files[Bat], c.failed ? "kestro\r\n" : environment.value + "\\KESTRO.EXE\r\n") << c.directoryLength;
        // Without a boot file the line is offered, cut when too long; creating it then refuses.
        FakeBootFiles none;
        BootSaveReport report;
        UpdateBootFile(none, environment, IsCp949LeadByte, false, false, "", "", true, &report);
        EXPECT_EQ(strlen(report.newFileLine), c.offered) << c.directoryLength;
        UpdateBootFile(none, environment, IsCp949LeadByte, false, false, "", "", true, &report, MissingBootFile::Create);
        EXPECT_EQ(none.files.count(Bat), c.failed ? 0u : 1u) << c.directoryLength;
    }
}

TEST(UpdateBootFile, MissingBootDirectoryStartsAtTheRoot) {
    FakeBootFiles fs;
    FakeBootEnvironment environment;
    environment.set = false;
    fs.files[Bat] = "kestro\r\n";
    EXPECT_FALSE(UpdateBootFile(fs, environment, IsCp949LeadByte, true, true, "10", "340", false));
    EXPECT_EQ(fs.files[Bat], "\\KESTRO DIRQ=10 DREAM=340\r\n");
}

// A bus with cards at the given devices, each with the given BAR0 and interrupt line.
struct FakeCard {
    unsigned device;
    uint32_t bar0;
    uint32_t interrupt;
};
std::vector<FakeCard> Cards;

uint32_t ReadFakeBus(unsigned bus, unsigned device, unsigned function, unsigned reg) {
    for (const FakeCard& card : Cards) {
        if (bus != 0 || device != card.device) continue;
        if (function == 0 && reg == 0x00) return CardIdFunction0;
        if (function == 0 && reg == 0x10) return card.bar0;
        if (function == 1 && reg == 0x00) return CardIdFunction1;
        if (function == 1 && reg == 0x3C) return card.interrupt;
    }
    return 0xFFFFFFFF;
}

struct ApplyCase {
    const char* name;
    std::vector<FakeCard> cards;
    const char* irq;
    const char* port;
    bool autoDetect;
    std::string expected;
};

TEST(ApplyBootSettings, ComparesTheAppliedTextsWithTheLastCard) {
    const ApplyCase cases[] = {
        {"nothing changed", {{3, 0x331, 5}}, " 5", "330", false, "C:\\WINDOWS\\KESTRO DREAM=330\r\n"},
        {"5 from the list differs from the probe's \" 5\"", {{3, 0x331, 5}}, "5", "330", false,
         "C:\\WINDOWS\\KESTRO DIRQ=5 \r\n"},
        {"both changed", {{3, 0x331, 5}}, "10", "340", false, "C:\\WINDOWS\\KESTRO DIRQ=10 DREAM=340\r\n"},
        {"a case difference counts", {{3, 0x3A1, 10}}, "10", "3a0", false, "C:\\WINDOWS\\KESTRO DREAM=3a0\r\n"},
        {"no card: every value changed", {}, "10", "340", false, "C:\\WINDOWS\\KESTRO DIRQ=10 DREAM=340\r\n"},
        {"no card and nothing applied", {}, "", "", false, "C:\\WINDOWS\\KESTRO.EXE\r\n"},
        {"the highest-numbered card counts", {{3, 0x331, 5}, {9, 0x341, 10}}, "10", "340", false,
         "C:\\WINDOWS\\KESTRO DREAM=340\r\n"},
        {"automatic detection", {{3, 0x331, 5}}, "10", "340", true, "C:\\WINDOWS\\KESTRO.EXE\r\n"},
    };
    CardSettings saved = AppliedSettings;
    for (const ApplyCase& c : cases) {
        Cards = c.cards;
        AppliedSettings.irq = c.irq;
        AppliedSettings.port = c.port;
        FakeBootFiles fs;
        FakeBootEnvironment environment;
        fs.files[Bat] = "kestro\r\n";
        EXPECT_FALSE(ApplyBootSettings(fs, environment, IsCp949LeadByte, ReadFakeBus, c.autoDetect)) << c.name;
        EXPECT_EQ(fs.files[Bat], c.expected) << c.name;
    }
    AppliedSettings = saved;
    Cards.clear();
}

}  // namespace
