// The boot command and the rewrite of the boot file's text, over the in-memory file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bootfile.h"
#include "bootfile_fake_fs.h"
#include "settings.h"

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
        {"the tool's line is replaced, others upper-cased",
         "path c:\\windows\r\nc:\\windows\\kestro dirq=5\r\nset temp=c:\\temp\r\n", Auto,
         "PATH C:\\WINDOWS\r\n" + Auto + "\r\nSET TEMP=C:\\TEMP\r\n"},
        {"a REM line is kept and the command added", "rem c:\\windows\\kestro.exe\r\n", Auto,
         "REM C:\\WINDOWS\\KESTRO.EXE\r\n" + Auto + "\r\n"},
        {"a SET line naming the tool is kept", "set kestro=c:\\kestro\\kestro.exe\r\n", Auto,
         "SET KESTRO=C:\\KESTRO\\KESTRO.EXE\r\n" + Auto + "\r\n"},
        {"an empty file gets the command alone", "", Auto, Auto + "\r\n"},
        {"a last line without a line end gets one before the command", "path c:\\dos", Auto,
         "PATH C:\\DOS\r\n" + Auto + "\r\n"},
        {"the added command is replaced with a line end next time", "PATH\r\n" + Auto, Auto,
         "PATH\r\n" + Auto + "\r\n"},
        {"every tool line gets the command, one per menu entry",
         "goto %config%\r\n:win\r\nkestro a\r\ngoto end\r\n:games\r\nKeStRo b\r\n:end\r\n", Auto,
         "GOTO %CONFIG%\r\n:WIN\r\n" + Auto + "\r\nGOTO END\r\n:GAMES\r\n" + Auto + "\r\n:END\r\n"},
        {"a PATH line naming the tool's directory is kept", "PATH C:\\WINDOWS;C:\\KESTRO\r\n", Auto,
         "PATH C:\\WINDOWS;C:\\KESTRO\r\n" + Auto + "\r\n"},
        {"other lines naming the tool are kept",
         "echo loading kestro\r\nc:\\kestro\\kestro.bat\r\n:kestro\r\nkestro2\r\necho kestro>nul\r\n"
         "rem x|kestro\r\nif exist c:\\windows\\kestro.exe echo y\r\nif kestro kestro\r\n>kestro echo\r\n", Auto,
         "ECHO LOADING KESTRO\r\nC:\\KESTRO\\KESTRO.BAT\r\n:KESTRO\r\nKESTRO2\r\nECHO KESTRO>NUL\r\n"
         "REM X|KESTRO\r\nIF EXIST C:\\WINDOWS\\KESTRO.EXE ECHO Y\r\nIF KESTRO KESTRO\r\n>KESTRO ECHO\r\n" + Auto +
             "\r\n"},
        {"only the tool's words change: what stands before and after it stays",
         "c:\\windows\\kestro.exe>nul\r\nc:\\windows\\kestro|more\r\nc:\\windows\\kestro dirq=5 <nul\r\n"
         "call c:\\windows\\kestro dirq=5\r\nif exist c:\\windows\\kestro.exe c:\\windows\\kestro.exe\r\n"
         "if \"%config%\"==\"games\" c:\\windows\\kestro dirq=5\r\n", Auto,
         Auto + " >NUL\r\n" + Auto + " |MORE\r\n" + Auto + " <NUL\r\nCALL " + Auto +
             "\r\nIF EXIST C:\\WINDOWS\\KESTRO.EXE " + Auto + "\r\nIF \"%CONFIG%\"==\"GAMES\" " + Auto + "\r\n"},
        {"a quoted command word becomes the plain command", "@\"c:\\windows\\kestro.exe\" dirq=5 >nul\r\n", Auto,
         "@" + Auto + " >NUL\r\n"},
        {"the redirections among its arguments stay, the arguments after them go",
         "kestro dirq=5 >nul dream=340 2>x <y dirq=7|more\r\n", "C:\\WINDOWS\\KESTRO DIRQ=5 ",
         "C:\\WINDOWS\\KESTRO DIRQ=5 >NUL >X <Y |MORE\r\n"},  // DOS has no 2>
        {"conditions, CALL and redirections before the command word, and a later pipe element",
         "x\r\n@if not errorlevel 2 if not \"%1\"==\"\" call lh /s kestro\r\necho\r\n", Auto,
         "X\r\n@IF NOT ERRORLEVEL 2 IF NOT \"%1\"==\"\" CALL LH /S " + Auto + "\r\nECHO\r\n"},
        {"a redirection first", ">nul kestro\r\n", Auto, ">NUL " + Auto + "\r\n"},
        {"a pipe into the tool, and the tool twice in one pipe", "echo y|kestro\r\nkestro a | kestro b\r\n", Auto,
         "ECHO Y|" + Auto + "\r\n" + Auto + " | " + Auto + "\r\n"},
        {"a comparison with blanks", "if a == b kestro\r\n", Auto, "IF A == B " + Auto + "\r\n"},
        {"a blank ends the left side of a comparison", "if a /b == c kestro\r\n", Auto,
         "IF A /B == C KESTRO\r\n" + Auto + "\r\n"},
        {"LH with its options before the tool's path", "LH /L:1 C:\\KESTRO\\KESTRO.EXE /Q\r\n", Auto,
         "LH /L:1 " + Auto + "\r\n"},
        {"blanks, @, LOADHIGH and a drive-relative name",
         " \t@ loadhigh/l:1;2 /s  c:kestro dirq=5\r\nx\r\n@c:\\windows\\kestro.exe/q\r\n", Auto,
         " \t@ LOADHIGH/L:1;2 /S  " + Auto + "\r\nX\r\n@" + Auto + "\r\n"},
        {"the added line goes before the line that starts Windows",
         "path c:\\windows\r\nwin\r\necho bye\r\n", Auto, "PATH C:\\WINDOWS\r\n" + Auto + "\r\nWIN\r\nECHO BYE\r\n"},
        {"Windows started with a path, options or a condition; the first one counts",
         "echo win\r\nc:\\windows\\win.exe\r\nwindows\r\nrem win\r\nif exist x c:\\windows\\win.com/d:m\r\nwin",
         Auto, "ECHO WIN\r\nC:\\WINDOWS\\WIN.EXE\r\nWINDOWS\r\nREM WIN\r\n" + Auto +
                   "\r\nIF EXIST X C:\\WINDOWS\\WIN.COM/D:M\r\nWIN"},
        {"a file with a tool line adds nothing before Windows", "win\r\nkestro\r\n", Auto,
         "WIN\r\n" + Auto + "\r\n"},
        {"a matching last line without a line end gains one", "x\r\nkestro", Auto, "X\r\n" + Auto + "\r\n"},
        {"a Ctrl-Z ends the file", "echo a\r\n\x1A" "kestro\r\n", Auto, "ECHO A\r\n" + Auto + "\r\n"},
        {"a lone LF and a lone CR each end a line", "a\nb\rc\r\n", Auto, "A\r\nB\r\nC\r\n" + Auto + "\r\n"},
        {"CR CR LF is two line ends", "a\r\r\n", Auto, "A\r\n\r\n" + Auto + "\r\n"},
        {"a CR at the end ends the last line", "a\r", Auto, "A\r\n" + Auto + "\r\n"},
        {"a CR before a Ctrl-Z ends the last line", "a\r\x1A\r\n", Auto, "A\r\n" + Auto + "\r\n"},
        {"a file with CR line ends keeps its lines",
         "@echo off\rpath c:\\windows;c:\\kestro\rc:\\kestro\\kestro dirq=5\rset blaster=a220 i5\rwin\r", Auto,
         "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\KESTRO\r\n" + Auto + "\r\nSET BLASTER=A220 I5\r\nWIN\r\n"},
        {"the command is written as built", "kestro\r\n", "c:\\win\\KESTRO DIRQ=5 ",
         "c:\\win\\KESTRO DIRQ=5 \r\n"},
        {"non-letters and high bytes stay", "\x01\t@[`{~\x7F\xFF\r\n", Auto, "\x01\t@[`{~\x7F\xFF\r\n" + Auto + "\r\n",
         IsNeverLeadByte},
    };
    for (const TextCase& c : cases) ExpectRewrite(c);
}

TEST(RewriteBootFile, LongLinesAreKeptOrReplacedWhole) {
    const TextCase cases[] = {
        {"a 300-character line survives", Repeat('x', 300) + "\r\n", Auto, Repeat('X', 300) + "\r\n" + Auto + "\r\n"},
        {"a line of exactly 255 characters", Repeat('y', 255) + "\r\n", Auto, Repeat('Y', 255) + "\r\n" + Auto + "\r\n"},
        {"a full last piece without a line end", Repeat('z', 510), Auto, Repeat('Z', 510) + "\r\n" + Auto + "\r\n"},
        {"a 600-character last line without a line end", Repeat('z', 600), Auto,
         Repeat('Z', 600) + "\r\n" + Auto + "\r\n"},
        // A piece-by-piece decision would glue the command to the first piece and drop the rest.
        {"KESTRO in the second piece replaces the whole line", "c:\\" + Repeat('x', 280) + "\\kestro\r\n", Auto,
         Auto + "\r\n"},
        {"KESTRO across the piece boundary", Repeat(' ', 230) + "\"c:\\" + Repeat('x', 30) + "\\kestro\"\r\n", Auto,
         Repeat(' ', 230) + Auto + "\r\n"},
        {"REM in the first piece keeps a line with KESTRO in the second",
         "rem " + Repeat('x', 300) + "kestro\r\n", Auto, "REM " + Repeat('X', 300) + "KESTRO\r\n" + Auto + "\r\n"},
        {"REM across the piece boundary", Repeat(' ', 253) + "rem kestro\r\n", Auto,
         Repeat(' ', 253) + "REM KESTRO\r\n" + Auto + "\r\n"},
    };
    for (const TextCase& c : cases) ExpectRewrite(c);
}

TEST(RewriteBootFile, DoubleByteCharactersKeepTheirTrailBytes) {
    const TextCase cases[] = {
        {"a trail byte that equals a letter", "echo \xB0" "a\xC7" "b c\r\n", Auto,
         "ECHO \xB0" "a\xC7" "b C\r\n" + Auto + "\r\n"},
        // The lead byte ends the first 255-character piece; its trail byte starts the second.
        {"a character split by the piece boundary", Repeat('a', 254) + "\xB0" "b" "c\r\n", Auto,
         Repeat('A', 254) + "\xB0" "bC\r\n" + Auto + "\r\n"},
        {"the same bytes in a single-byte code page", Repeat('a', 254) + "\xB0" "b" "c\r\n", Auto,
         Repeat('A', 254) + "\xB0" "BC\r\n" + Auto + "\r\n", IsNeverLeadByte},
        {"a lead byte at the line's end does not reach into the next line", "\xB0\r\nab\r\n", Auto,
         "\xB0\r\nAB\r\n" + Auto + "\r\n"},
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
};

TEST(RewriteBootFile, ContentsBeyondTheStoreLeaveTheFileAsItIs) {
    const LimitCase cases[] = {
        {"999 lines and the added command fill the store", Lines(999, "a\r\n"), BootUpdateOutcome::Rewritten},
        {"1000 lines with the tool's line", Lines(999, "a\r\n") + "kestro\r\n", BootUpdateOutcome::Rewritten},
        {"1000 lines without it leave no entry for the command", Lines(1000, "a\r\n"),
         BootUpdateOutcome::TooManyLines},
        {"1001 lines", Lines(1000, "a\r\n") + "kestro\r\n", BootUpdateOutcome::TooManyLines},
        {"a tool line that the command makes longer than an entry", "if " + Repeat('x', 240) + "==y kestro\r\n",
         BootUpdateOutcome::TooLarge},
        {"a tool line of exactly an entry", "if " + Repeat('x', 226) + "==y kestro\r\n", BootUpdateOutcome::Rewritten},
        {"a long line takes one entry per piece", Lines(998, "a\r\n") + Repeat('b', 300) + "\r\n",
         BootUpdateOutcome::TooLarge},
        {"long lines that fill the store before its end", Lines(600, "a\r\n") + Lines(250, (Repeat('b', 300) + "\r\n").c_str()),
         BootUpdateOutcome::TooLarge},
        {"more than 1000 lines found after the store is full", Lines(1500, "a\r\n") + "kestro", BootUpdateOutcome::TooManyLines},
        {"a zero byte cannot be kept in a line", "echo a\r\nset x=\0y\r\n"s, BootUpdateOutcome::NotText},
        {"a zero byte after a Ctrl-Z is not part of the text", "echo a\r\n\x1A\0"s, BootUpdateOutcome::Rewritten},
    };
    for (const LimitCase& c : cases) {
        FakeBootFiles fs;
        fs.files[Bat] = c.input;
        EXPECT_EQ(RewriteBootFile(fs, Auto.c_str(), IsCp949LeadByte), c.outcome) << c.name;
        if (c.outcome != BootUpdateOutcome::Rewritten) {
            EXPECT_EQ(fs.files[Bat], c.input) << c.name;
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

TEST(UpdateBootFile, BootDirectoryThatLeavesNoRoomForTheLineEnd) {
    // "\KESTRO.EXE" is 11 characters: a 243-character directory makes a 254-character command,
    // which with its line end fills an entry exactly.
    struct Case {
        size_t directoryLength;
        bool failed;
        size_t offered;  // the length of the line offered when there is no boot file
    } cases[] = {{243, false, 254}, {244, true, 255}, {255, true, 255}, {256, true, 0}, {1000, true, 0}};
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
