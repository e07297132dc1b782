// Replacing the boot file under injected faults: the user's boot file, old or new, survives whole.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>

#include "bootfile.h"
#include "bootfile_fake_fs.h"
#include "lead_bytes.h"

namespace {

const std::string Bat = BootFilePath;
const std::string Command = "C:\\WINDOWS\\KESTRO.EXE";
// Long enough that the new contents go out in more than one write.
const std::string LongLine = std::string(5000, 'x') + "\r\n";
const std::string Old = "path c:\\dos\r\nc:\\windows\\kestro dirq=5\r\n" + LongLine;
const std::string New = "path c:\\dos\r\n" + Command + "\r\n" + LongLine;
const std::string Created = Command + "\r\n";  // a boot file created where there was none

std::string NewName(unsigned i) {
    char name[BootNameSize];
    BootNewFileName(i, name);
    return name;
}
std::string BackupName(unsigned i) {
    char name[BootNameSize];
    BootBackupFileName(i, name);
    return name;
}

bool HoldsACompleteCopy(const FakeBootFiles& fs) {
    for (const auto& file : fs.files)
        if (file.second == Old || file.second == New) return true;
    return false;
}

// At every moment the boot file holds the old, the new or the created contents whole, or, while it
// is missing, a file beside it holds the old or the new ones (when there was a boot file to keep).
void ExpectCompleteCopy(const FakeBootFiles& fs, const char* name, bool hadCopy) {
    auto bat = fs.files.find(Bat);
    if (bat != fs.files.end()) {
        EXPECT_TRUE(bat->second == Old || bat->second == New || bat->second == Created)
            << name << ": boot file partly written";
        return;
    }
    EXPECT_TRUE(!hadCopy || HoldsACompleteCopy(fs)) << name << ": no complete boot file anywhere";
}

enum class Expect { Old, New, Missing, Created };

struct FaultCase {
    const char* name;
    std::function<void(FakeBootFiles&)> inject;
    BootUpdateOutcome outcome;
    Expect bat;
    std::map<std::string, std::string> others;  // every file besides the boot file afterwards
    std::string refused = "";                   // the file the report blames; none when nothing failed
    std::string restoredFrom = "";              // the backup the missing boot file came back from
    MissingBootFile missing = MissingBootFile::Leave;
};

// Files under spare names, as interrupted updates leave them: every name, and the first nine of them.
std::map<std::string, std::string> Leftovers(std::string (*name)(unsigned), unsigned count = BootSpareNameCount) {
    std::map<std::string, std::string> files;
    for (unsigned i = 0; i < count; ++i) files[name(i)] = "left over";
    return files;
}

// Makes the given files exist and refuse removal.
void Stuck(FakeBootFiles& fs, const std::map<std::string, std::string>& files) {
    for (const auto& file : files) {
        fs.files.insert(file);
        fs.failRemoves.insert(file.first);
    }
}

TEST(RewriteBootFile, UserBootFileSurvivesEveryFault) {
    const auto allNew = Leftovers(NewName), allBackups = Leftovers(BackupName);
    auto allButLast = Leftovers(NewName, BootSpareNameCount - 1);
    const auto backupsButLast = Leftovers(BackupName, BootSpareNameCount - 1);
    allButLast.insert(backupsButLast.begin(), backupsButLast.end());
    const FaultCase cases[] = {
        {"no fault", [](FakeBootFiles&) {}, BootUpdateOutcome::Rewritten, Expect::New, {}},
        {"cannot be opened", [](FakeBootFiles& fs) { fs.failOpenRead = true; }, BootUpdateOutcome::ReadFailed,
         Expect::Old, {}, Bat},  // another program holds it
        {"read-only", [](FakeBootFiles& fs) { fs.readOnly.insert(Bat); }, BootUpdateOutcome::ReadOnly,
         Expect::Old, {}, Bat},  // renames would replace it regardless
        {"new file cannot be created", [](FakeBootFiles& fs) { fs.failCreate = true; },
         BootUpdateOutcome::WriteFailed, Expect::Old, {}, NewName(9)},  // the last spare name tried
        {"write fails midway", [](FakeBootFiles& fs) { fs.writeFailAfter = 4100; }, BootUpdateOutcome::WriteFailed,
         Expect::Old, {}, NewName(0)},
        {"write fails midway, partial file cannot be removed",
         [](FakeBootFiles& fs) {
             fs.writeFailAfter = 10;
             fs.failRemoves.insert(NewName(0));
         },
         BootUpdateOutcome::WriteFailed, Expect::Old, {{NewName(0), New.substr(0, 10)}}, NewName(0)},
        {"closing the new file fails", [](FakeBootFiles& fs) { fs.failCloseWrite = true; },
         BootUpdateOutcome::WriteFailed, Expect::Old, {}, NewName(0)},
        {"old file cannot step aside", [](FakeBootFiles& fs) { fs.failMovesFrom.insert(Bat); },
         BootUpdateOutcome::ReplaceFailed, Expect::Old, {}, Bat},
        {"new file cannot take the name", [](FakeBootFiles& fs) { fs.failMovesFrom.insert(NewName(0)); },
         BootUpdateOutcome::ReplaceFailed, Expect::Old, {}, NewName(0)},
        {"neither file can take the name",
         [](FakeBootFiles& fs) {
             fs.failMovesFrom.insert(NewName(0));
             fs.failMovesFrom.insert(BackupName(0));
         },
         BootUpdateOutcome::RollbackFailed, Expect::Missing, {{NewName(0), New}, {BackupName(0), Old}}, NewName(0)},
        {"backup cannot be removed", [](FakeBootFiles& fs) { fs.failRemoves.insert(BackupName(0)); },
         BootUpdateOutcome::Rewritten, Expect::New, {{BackupName(0), Old}}},
        {"leftovers under every spare name are cleared",
         [&](FakeBootFiles& fs) {
             fs.files.insert(allNew.begin(), allNew.end());
             fs.files.insert(allBackups.begin(), allBackups.end());
         },
         BootUpdateOutcome::Rewritten, Expect::New, {}},
        {"a missing boot file comes back from its backup first",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.files[BackupName(0)] = Old;
             fs.files[NewName(0)] = New;
         },
         BootUpdateOutcome::Rewritten, Expect::New, {}, "", BackupName(0)},
        {"the latest of two backups comes back",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.files[BackupName(1)] = "older";
             fs.files[BackupName(4)] = Old;
         },
         BootUpdateOutcome::Rewritten, Expect::New, {}, "", BackupName(4)},
        {"a folder under a later backup name is passed over",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.files[BackupName(0)] = Old;
             fs.folders.insert(BackupName(3));
         },
         BootUpdateOutcome::Rewritten, Expect::New, {}, "", BackupName(0)},
        {"a folder alone is no backup: the boot file stays missing",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.folders.insert(BackupName(0));
         },
         BootUpdateOutcome::NoBootFile, Expect::Missing, {}},
        {"a read-only backup comes back, and is then left as it is",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.files[BackupName(0)] = Old;
             fs.readOnly.insert(BackupName(0));
         },
         BootUpdateOutcome::ReadOnly, Expect::Old, {}, Bat, BackupName(0)},
        {"a missing boot file without a backup stays missing",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.files[NewName(0)] = New;
         },
         BootUpdateOutcome::NoBootFile, Expect::Missing, {{NewName(0), New}}},
        {"a backup that cannot take the name stays beside the missing boot file",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.files[BackupName(0)] = Old;
             fs.failMovesFrom.insert(BackupName(0));
         },
         BootUpdateOutcome::RollbackFailed, Expect::Missing, {{BackupName(0), Old}}, BackupName(0)},
        {"leftovers that cannot be removed are passed over", [&](FakeBootFiles& fs) { Stuck(fs, allButLast); },
         BootUpdateOutcome::Rewritten, Expect::New, allButLast},
        // The file that refused is named, not the boot file: the last new name kept its leftover.
        {"every new name stuck", [&](FakeBootFiles& fs) { Stuck(fs, allNew); }, BootUpdateOutcome::WriteFailed,
         Expect::Old, allNew, NewName(9)},
        {"every backup name stuck", [&](FakeBootFiles& fs) { Stuck(fs, allBackups); },
         BootUpdateOutcome::ReplaceFailed, Expect::Old, allBackups, BackupName(9)},

        // Creating a missing boot file, as the user may ask.
        {"no boot file: one is created with the command", [](FakeBootFiles& fs) { fs.files.erase(Bat); },
         BootUpdateOutcome::Created, Expect::Created, {}, "", "", MissingBootFile::Create},
        {"no boot file: the new file cannot be written",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.writeFailAfter = 3;
         },
         BootUpdateOutcome::WriteFailed, Expect::Missing, {}, NewName(0), "", MissingBootFile::Create},
        {"no boot file: the new file cannot take the name",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.failMovesFrom.insert(NewName(0));
         },
         BootUpdateOutcome::ReplaceFailed, Expect::Missing, {}, NewName(0), "", MissingBootFile::Create},
        {"a boot file there is rewritten, not created anew", [](FakeBootFiles&) {}, BootUpdateOutcome::Rewritten,
         Expect::New, {}, "", "", MissingBootFile::Create},
        {"a folder under the boot file's name is no boot file to create",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.folders.insert(Bat);
         },
         BootUpdateOutcome::ReadFailed, Expect::Missing, {}, Bat, "", MissingBootFile::Create},
    };
    for (const FaultCase& c : cases) {
        FakeBootFiles fs;
        fs.files[Bat] = Old;
        c.inject(fs);
        const bool hadCopy = HoldsACompleteCopy(fs);
        const std::set<std::string> folders = fs.folders;
        fs.afterChange = [&c, hadCopy](const FakeBootFiles& files) { ExpectCompleteCopy(files, c.name, hadCopy); };
        BootSaveReport report;
        EXPECT_EQ(RewriteBootFile(fs, Command.c_str(), IsCp949LeadByte, &report, c.missing), c.outcome) << c.name;
        EXPECT_EQ(fs.folders, folders) << c.name << ": a folder was moved";

        // The user is told which file refused, and where the old boot file is: in place, back from
        // a backup, or, when the boot file could not get its name back, beside it.
        EXPECT_EQ(report.failure.subject, c.refused) << c.name;
        EXPECT_EQ(report.failure.reason == SaveFailure::None, c.refused.empty()) << c.name;
        std::map<std::string, std::string> others = fs.files;
        if (c.outcome == BootUpdateOutcome::RollbackFailed) {
            EXPECT_EQ(report.old, OldBootFile::Missing) << c.name;
            EXPECT_EQ(others[report.spareFile], Old) << c.name;
        } else {
            EXPECT_EQ(report.old, c.restoredFrom.empty() ? OldBootFile::InPlace : OldBootFile::Restored) << c.name;
            EXPECT_EQ(report.spareFile, c.restoredFrom) << c.name;
        }
        auto bat = others.find(Bat);
        switch (c.bat) {
        case Expect::Old:
            ASSERT_NE(bat, others.end()) << c.name;
            EXPECT_EQ(bat->second, Old) << c.name;
            break;
        case Expect::New:
            ASSERT_NE(bat, others.end()) << c.name;
            EXPECT_EQ(bat->second, New) << c.name;
            break;
        case Expect::Missing:
            EXPECT_EQ(bat, others.end()) << c.name;
            break;
        case Expect::Created:
            ASSERT_NE(bat, others.end()) << c.name;
            EXPECT_EQ(bat->second, Created) << c.name;
            EXPECT_EQ(fs.attributes[Bat], 0u) << c.name;
            break;
        }
        if (bat != others.end()) others.erase(bat);
        EXPECT_EQ(others, c.others) << c.name;
    }
}

TEST(RewriteBootFile, InterruptedUpdatesNeverBlockTheNext) {
    // A power cut after any change of an update, a dozen updates in a row, then one that runs to
    // its end: that one finds the boot file (old or new) and leaves no spare file behind.
    for (long cut = 0;; ++cut) {
        FakeBootFiles fs;
        fs.files[Bat] = Old;
        fs.afterChange = [cut](const FakeBootFiles& files) {
            ExpectCompleteCopy(files, ("cut after " + std::to_string(cut) + " changes").c_str(), true);
        };
        bool completed = false;
        for (unsigned run = 0; run < BootSpareNameCount + 2; ++run) {
            fs.stopAfter = fs.changes + cut;
            completed = RewriteBootFile(fs, Command.c_str(), IsCp949LeadByte) == BootUpdateOutcome::Rewritten;
        }
        fs.stopAfter = -1;
        EXPECT_EQ(RewriteBootFile(fs, Command.c_str(), IsCp949LeadByte), BootUpdateOutcome::Rewritten) << cut;
        EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{Bat, New}})) << "cut after " << cut << " changes";
        if (completed) break;  // the cut came after the last change: every moment was covered
    }
}

TEST(UpdateBootFile, MissingBootFileStaysMissingAndACommandWithAChoiceIsOffered) {
    struct Case {
        const char* name;
        bool irqChanged, portChanged;
        const char* irq;
        const char* port;
        bool autoDetect;
        const char* offered;  // the line a new boot file would hold; "" when none is offered
    } const cases[] = {
        {"interrupt and address", true, true, "11", "350", false, "C:\\WINDOWS\\KESTRO DIRQ=11 DREAM=350"},
        {"the address alone", false, false, "10", "330", false, "C:\\WINDOWS\\KESTRO DREAM=330"},
        {"Auto Detect", true, true, "11", "350", true, "C:\\WINDOWS\\KESTRO.EXE"},
        {"no card and nothing picked", true, true, "", "", false, ""},  // the line would set nothing
    };
    for (const Case& c : cases) {
        FakeBootFiles fs;
        FakeBootEnvironment environment;
        BootSaveReport report;
        EXPECT_TRUE(UpdateBootFile(fs, environment, IsCp949LeadByte, c.irqChanged, c.portChanged, c.irq, c.port,
                                   c.autoDetect, &report)) << c.name;
        EXPECT_TRUE(fs.files.empty()) << c.name << ": created without asking";
        EXPECT_STREQ(report.newFileLine, c.offered) << c.name;
        EXPECT_EQ(report.failure.reason, SaveFailure::None) << c.name;

        // With a boot file there is nothing to offer.
        fs.files[Bat] = "";
        BootSaveReport rewritten;
        EXPECT_FALSE(UpdateBootFile(fs, environment, IsCp949LeadByte, c.irqChanged, c.portChanged, c.irq, c.port,
                                    c.autoDetect, &rewritten)) << c.name;
        EXPECT_STREQ(rewritten.newFileLine, "") << c.name;
    }
}

}  // namespace
