// Boot files run in a real DOS command interpreter, DOSBox's, before and after the panel rewrote
// them: every other command runs as before, on the same menu entries, with the same text; the tool
// runs where it ran before, with the new options; a file without a tool line gets one that runs on
// every entry, once, after the opening lines that only prepare the batch.
//
// The programs are stand-ins (standin.asm) that log their command tails to C:\RUN.LOG. DOSBox's
// shell is not COMMAND.COM: it runs nothing for "LH /L:1 program" or a quoted command word, runs
// only the first element of a pipe, knows no FOR, skips "@" after leading blanks, refuses ";PROG",
// and reads a line whole where COMMAND.COM reads 127 characters, so those forms are left to the
// unit tests. Its CHOICE ignores /T: the stand-in KEY.COM puts the entry's first letter into the
// keyboard buffer before the boot file runs.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bootfile.h"
#include "bootfile_fake_fs.h"
#include "lead_bytes.h"

namespace fs = std::filesystem;

namespace {

const std::string Tool = "KESTRO:";  // the start of the tool stand-in's record
const std::string Marker = "END";    // written after the boot file returned

struct DosCase {
    const char* name;
    const char* bootFile;               // lines end in LF here, in CR LF on C:
    std::vector<const char*> entries;   // CONFIG values; CHOICE gets the first letter
    size_t openingRecords = 0;          // records the opening lines write, before an added tool line
};

const DosCase Cases[] = {
    {"GotoMenuWithAToolLinePerEntry", R"(@echo off
path c:\windows;c:\dos
goto %config%
:games
c:\windows\kestro dirq=5
echo games>>c:\run.log
goto end
:Work
Kestro.exe  dream=340
goto end
:plain
echo plain>>c:\run.log
:end
win
)", {"GAMES", "WORK", "PLAIN"}},
    {"ChoiceMenuWithAToolLinePerEntry", R"(@echo off
choice /c:ab Sound card
if errorlevel 2 goto quiet
c:\windows\kestro dirq=5
goto end
:quiet
c:\windows\Kestro /q
:end
c:\windows\win
)", {"A", "B"}},
    {"ConditionGuardsTheToolLine", R"(@echo off
if "%config%"=="GAMES" c:\windows\kestro dirq=5
if not "%config%"=="GAMES" echo other>>c:\run.log
c:\windows\win
)", {"GAMES", "WORK"}},
    {"RedirectionAfterTheOptions", R"(@c:\windows\kestro dirq=5>>c:\out.log
echo done>>c:\run.log
)", {"BOOT"}},
    {"ToolLineWithCall", R"(@echo off
path c:\windows;c:\dos
call kestro dirq=5 dream=330
echo Sound>>c:\run.log
win
)", {"BOOT"}},
    {"NoToolLineWinLast", R"(@echo off
path c:\windows;c:\dos
echo mouse>>c:\run.log
win
)", {"BOOT"}, 1},
    {"NoToolLineWinComWithOptions", R"(echo off
C:\Windows\Win.com /d:m
echo back>>c:\run.log
)", {"BOOT"}},
    {"NoToolLineNoWindows", R"(path c:\dos
echo mouse>>c:\run.log
)", {"BOOT"}, 1},
    {"ChoiceMenuWithoutAToolLine", R"(@echo off
path c:\windows
choice /c:dw Start DOS or Windows
if errorlevel 2 win
echo dos>>c:\run.log
)", {"D", "W"}},
    {"TwoSectionMenuWithoutAToolLine", R"(@echo off
path c:\windows
goto %config%
:win
win
goto end
:safe
echo safe>>c:\run.log
win /d:m
:end
)", {"WIN", "SAFE"}},
    {"IntoTheToolsFolder", R"(@echo off
cd\kestro
cd>>c:\run.log
c:\windows\kestro dirq=5
cd\
)", {"BOOT"}},
    {"LowerCaseKept", R"(@echo off
if "%config%"=="games" c:\windows\kestro dirq=5
echo Hello from %config%>>c:\run.log
if not "%config%"=="games" echo Other>>c:\run.log
)", {"games", "work"}},
};

std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// A record as compared: the tool's options with the blanks at their ends trimmed, anything else as
// it was written.
std::string Normal(const std::string& record) {
    const size_t at = record.find(Tool);
    if (at == std::string::npos) return record;
    return record.substr(0, at + Tool.size()) + " " + Trim(record.substr(at + Tool.size()));
}

// What one boot ran, a record per line: C:\RUN.LOG, then each other file the boot wrote on C:, its
// lines after its name.
std::string Boot(const std::string& bootFile, const std::string& entry) {
    std::string base = (fs::temp_directory_path() / "dos-boot-XXXXXX").string();
    if (!mkdtemp(base.data())) return "(no temporary folder)";
    struct Cleanup {
        fs::path root;
        ~Cleanup() { fs::remove_all(root); }
    } cleanup{base};
    const fs::path root = base, c = root / "C";
    fs::create_directories(c / "WINDOWS");
    fs::create_directories(c / "KESTRO");
    fs::create_directories(root / "HOME");  // DOSBox writes its user configuration there
    for (const char* program : {"KESTRO.EXE", "WIN.COM", "KEY.COM"})
        fs::copy_file(fs::path(DOS_STANDINS) / program, c / "WINDOWS" / program);
    Write(c / "AUTOEXEC.BAT", bootFile);
    // -exit alone does not end DOSBox 0.74 after [autoexec]: the section ends with EXIT.
    Write(root / "dosbox.conf", "[autoexec]\nmount c \"" + c.string() + "\"\nc:\nset CONFIG=" + entry +
                                    "\nc:\\windows\\key.com " + entry + "\ncall c:\\autoexec.bat\necho " +
                                    Marker + ">>c:\\run.log\nexit\n");
    const std::string command = "cd '" + base + "' && HOME='" + base +
                                "/HOME' SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "
                                "timeout -k 5 30 dosbox -conf dosbox.conf -exit >dosbox.out 2>&1";
    const int status = system(command.c_str());
    if (status != 0) {
        ADD_FAILURE() << "dosbox failed, exit status " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1)
                      << " (124: timed out; 127: missing, tools/setup.sh installs it):\n" << Read(root / "dosbox.out");
        return "";
    }

    std::string trace;
    std::vector<fs::path> written;
    for (const auto& file : fs::directory_iterator(c)) {
        const std::string name = file.path().filename().string();
        if (file.is_regular_file() && name != "AUTOEXEC.BAT" && name != "RUN.LOG") written.push_back(file.path());
    }
    std::sort(written.begin(), written.end());
    written.insert(written.begin(), c / "RUN.LOG");
    for (const fs::path& file : written) {
        const std::string prefix = file.filename() == "RUN.LOG" ? "" : file.filename().string() + "> ";
        std::istringstream lines(Read(file));
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            trace += (trace.empty() ? "" : "\n") + Normal(prefix + line);
        }
    }
    EXPECT_NE((trace + "\n").find(Marker + "\n"), std::string::npos)
        << "the boot did not return to [autoexec]:\n" << Read(root / "dosbox.out");
    return trace;
}

// What the rewritten file must run, from what the original ran: the tool's records with the new
// options; or, when the tool ran on no entry, its record after those of the opening lines.
std::string Expected(const std::string& before, const std::string& options, bool toolRan, size_t openingRecords) {
    std::istringstream records(before);
    std::string expected;
    size_t index = 0;
    for (std::string record; std::getline(records, record); ++index) {
        const size_t at = record.find(Tool);
        if (at != std::string::npos) record = record.substr(0, at + Tool.size()) + " " + options;
        if (!toolRan && index == openingRecords) expected += Tool + " " + options + "\n";
        expected += record + "\n";
    }
    if (!expected.empty()) expected.pop_back();
    return expected;
}

void PrintTo(const DosCase& c, std::ostream* out) { *out << c.name; }

class BootFileInDos : public testing::TestWithParam<DosCase> {};

TEST_P(BootFileInDos, RunsAsBeforeWithTheNewOptions) {
    const DosCase& c = GetParam();
    std::string original;
    for (const char* p = c.bootFile; *p; ++p) original += *p == '\n' ? std::string("\r\n") : std::string(1, *p);

    const CString command = BuildBootCommand("C:\\WINDOWS", true, true, "11", "350", false);
    const std::string options = strchr(command.c_str(), ' ') + 1;
    FakeBootFiles files;
    files.files[BootFilePath] = original;
    ASSERT_EQ(RewriteBootFile(files, command, IsCp949LeadByte), BootUpdateOutcome::Rewritten);
    const std::string rewritten = files.files[BootFilePath];

    std::vector<std::string> before;
    for (const char* entry : c.entries) before.push_back(Boot(original, entry));
    if (HasFailure()) return;  // the original did not run
    const bool toolRan = std::any_of(before.begin(), before.end(),
                                     [](const std::string& trace) { return trace.find(Tool) != std::string::npos; });
    for (size_t i = 0; i < c.entries.size(); ++i) {
        EXPECT_EQ(Boot(rewritten, c.entries[i]), Expected(before[i], options, toolRan, c.openingRecords))
            << "entry " << c.entries[i] << "; the rewritten file:\n" << rewritten;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BootFileInDos, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<DosCase>& info) { return info.param.name; });

}  // namespace
