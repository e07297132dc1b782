// How a boot-file line reads to COMMAND.COM, and the splice that puts a new command in place of the
// tool's words: a row per form.
#include <gtest/gtest.h>

#include <string>

#include "dos_command.h"
#include "lead_bytes.h"

namespace {

std::string Repeat(char c, size_t count) { return std::string(count, c); }

const DosLineKind Tool = DosLineKind::StartsTool, Prepares = DosLineKind::Prepares, Other = DosLineKind::Other;
const char TooLong[] = "(longer than DOS reads)";

struct LineCase {
    std::string line;
    DosLineKind kind;
    std::string spliced = "";  // with the command NEW, for tool lines
    LeadBytePredicate lead = IsCp949LeadByte;
};

TEST(ReadDosLine, FindsTheToolsWordsAsCommandComReadsThem) {
    const LineCase cases[] = {
        // The tool, in any folder and case; its words run to a pipe or the line's end, and the
        // redirections among them stay after the new command.
        {"kestro", Tool, "NEW"},
        {"c:\\windows\\kestro.exe dirq=5", Tool, "NEW"},
        {"windows\\Kestro.Exe", Tool, "NEW"},
        {"kestro;x", Tool, "NEW"},
        {"\"c:\\windows\\kestro.exe\" dirq=5 >nul", Tool, "NEW >nul"},
        {"kestro>nul", Tool, "NEW >nul"},
        {"kestro dirq=5 >nul dream=340 2>x <y dirq=7|more", Tool, "NEW >nul >x <y |more"},  // DOS has no 2>
        {"kestro a | kestro b", Tool, "NEW | NEW"},
        {"echo y|kestro", Tool, "echo y|NEW"},
        // What may stand before the command word.
        {">nul kestro", Tool, ">nul NEW"},
        {";c:\\windows\\kestro dirq=5", Tool, ";NEW"},
        {" \t@ loadhigh/l:1;2 /s  c:kestro dirq=5", Tool, " \t@ loadhigh/l:1;2 /s  NEW"},
        {"lh /l:1 c:\\kestro\\kestro.exe /q", Tool, "lh /l:1 NEW"},
        {"@if not errorlevel 2 if not \"%1\"==\"\" call lh /s kestro", Tool,
         "@if not errorlevel 2 if not \"%1\"==\"\" call lh /s NEW"},
        {"if \"%config%\"==\"games\" c:\\windows\\kestro dirq=5", Tool, "if \"%config%\"==\"games\" NEW"},
        {"if exist c:\\windows\\kestro.exe c:\\windows\\kestro.exe", Tool, "if exist c:\\windows\\kestro.exe NEW"},
        {"if a == b kestro", Tool, "if a == b NEW"},
        {"for %%a in (5,7) do kestro dirq=%%a", Tool, "for %%a in (5,7) do NEW"},
        {"command /c c:\\windows\\kestro dirq=5", Tool, "command /c NEW"},
        {"c:\\command.com c:\\ /e:1024/c kestro dirq=5", Tool, "c:\\command.com c:\\ /e:1024/c NEW"},
        {"%comspec% /c kestro", Tool, "%comspec% /c NEW"},
        {"\"%comspec%\" /c kestro", Tool, "\"%comspec%\" /c NEW"},
        // An internal command's arguments may follow its name without a blank; the new command
        // then gets one.
        {"call\\kestro", Tool, "call NEW"},
        {"lh\\kestro", Tool, "lh NEW"},
        {"if\"a\"==\"a\" kestro", Tool, "if\"a\"==\"a\" NEW"},

        // Internal commands end their names where a file name cannot go on: no tool there.
        {"cd\\kestro", Other},
        {"CD..\\KESTRO", Other},
        {"md\\kestro", Other},
        {"dir\\kestro", Other},
        {"echo.kestro", Prepares},
        // Quotes protect a pipe; '@' counts only at the line's start; a ':' names no file but a drive's.
        {"echo \"Sound|KESTRO DIRQ=5\" > C:\\MSG.TXT", Prepares},
        {"echo \"Sound|KESTRO\" and \"|kestro", Tool, "echo \"Sound|KESTRO\" and \"|NEW"},  // an unpaired quote
        {"\"kestro|\xA6\"", Tool, "NEW |\xA6\""},  // the lead byte takes the last quote: the first has no partner
        // A command word inside quotes, which COMMAND /C or a FOR set left open, starts nothing.
        {"command \"|/c kestro\"", Other},
        {"for %%a in (\"|) do kestro \")", Other},
        {"if exist c:\\windows\\kestro.exe @c:\\windows\\kestro.exe dirq=5", Other},
        {"@@kestro", Other},
        {"ab:\\kestro", Other},
        // COMMAND.COM refuses a redirection without a file, or with a quote in it: nothing runs ...
        {"kestro >", Other},
        {"<\"c:\\windows\\kestro\" dirq=5", Other},
        {">nul\"c:\\windows\\kestro.exe\"", Other},
        // ... and a pipe without a command on either side.
        {"kestro |", Other},
        {"kestro || more", Other},
        {">nul | kestro", Other},
        // Other lines naming the tool start nothing of it.
        {"kestro2", Other},
        {"c:\\kestro\\kestro.bat", Other},
        {"if kestro kestro", Other},  // no condition: DOS refuses the line
        {"for %%a in (1) do for %%b in (2) do kestro", Other},  // FOR cannot be nested
        {"for %a in (1) do kestro", Other},
        {"command", Other},
        {"%snd% dirq=5", Other},
        {":kestro", Other},
        {"::kestro", Prepares},
        {"rem c:\\windows\\kestro.exe", Prepares},
        {"rem x|kestro", Prepares},
        {"set kestro=c:\\kestro\\kestro.exe", Prepares},
        {"path c:\\windows;c:\\kestro", Prepares},
        {">kestro echo", Prepares},
        {"@echo off", Prepares},
        {"prompt $e[1;32m$p$g", Prepares},
        {" \t", Prepares},
        {"if exist c:\\windows\\kestro.exe echo y", Other},
        {"echo kestro|find \"x\"", Other},
        {"win", Other},
        // A trail byte is never a pipe (0x95 leads a double-byte character); without lead bytes it is one.
        {"echo \x95|kestro", Prepares},
        {"echo \x95|kestro", Tool, "echo \x95|NEW", IsNeverLeadByte},
        // DOS reads 127 characters of a line: a tool word past them never ran, and a tool line that
        // reaches past them cannot be edited without changing what runs.
        {"if exist " + Repeat('x', 110) + " kestro dirq=5", Tool, TooLong},
        {"if exist " + Repeat('x', 111) + " kestro", Tool, "if exist " + Repeat('x', 111) + " NEW"},
        {"if exist " + Repeat('x', 118) + " kestro", Other},
    };
    for (const LineCase& c : cases) {
        DosLineReading reading;
        ReadDosLine(c.line.c_str(), c.line.size(), c.lead, reading);
        EXPECT_EQ(reading.kind, c.kind) << c.line;
        if (c.kind != Tool) continue;
        DosLineEdit edit;
        const DosLineFit fit = SpliceDosLine(c.line.c_str(), c.line.size(), reading, "NEW", edit);
        EXPECT_EQ(fit == DosLineFit::Fits ? std::string(edit.text) : TooLong, c.spliced) << c.line;
    }
}

}  // namespace
