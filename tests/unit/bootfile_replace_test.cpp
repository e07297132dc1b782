// Replacing the boot file under injected faults: the user's boot file, old or new, survives whole.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "bootfile.h"
#include "bootfile_fake_fs.h"

namespace {

const std::string Bat = BootFilePath;
const std::string Command = "C:\\WINDOWS\\KESTRO.EXE";
// Long enough that the new contents go out in more than one write.
const std::string LongLine = std::string(5000, 'x') + "\r\n";
const std::string Old = "path c:\\dos\r\nc:\\windows\\kestro dirq=5\r\n" + LongLine;
const std::string New = "PATH C:\\DOS\r\n" + Command + "\r\n" + std::string(5000, 'X') + "\r\n";

std::string NewName(unsigned i) {
    char name[32];
    BootNewFileName(i, name);
    return name;
}
std::string BackupName(unsigned i) {
    char name[32];
    BootBackupFileName(i, name);
    return name;
}

// At every moment the boot file holds the old or the new contents whole, or, while it is missing,
// a file beside it does.
void ExpectCompleteCopy(const FakeBootFiles& fs, const char* name) {
    auto bat = fs.files.find(Bat);
    if (bat != fs.files.end()) {
        EXPECT_TRUE(bat->second == Old || bat->second == New) << name << ": boot file partly written";
        return;
    }
    bool beside = false;
    for (const auto& file : fs.files) beside = beside || file.second == Old || file.second == New;
    EXPECT_TRUE(beside) << name << ": no complete boot file anywhere";
}

enum class Expect { Old, New, Missing };

struct FaultCase {
    const char* name;
    std::function<void(FakeBootFiles&)> inject;
    BootUpdateOutcome outcome;
    Expect bat;
    std::map<std::string, std::string> others;  // every file besides the boot file afterwards
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
         Expect::Old, {}},  // another program holds it
        {"read-only", [](FakeBootFiles& fs) { fs.readOnly.insert(Bat); }, BootUpdateOutcome::ReadOnly,
         Expect::Old, {}},  // renames would replace it regardless
        {"new file cannot be created", [](FakeBootFiles& fs) { fs.failCreate = true; },
         BootUpdateOutcome::WriteFailed, Expect::Old, {}},
        {"write fails midway", [](FakeBootFiles& fs) { fs.writeFailAfter = 4100; }, BootUpdateOutcome::WriteFailed,
         Expect::Old, {}},
        {"write fails midway, partial file cannot be removed",
         [](FakeBootFiles& fs) {
             fs.writeFailAfter = 10;
             fs.failRemoves.insert(NewName(0));
         },
         BootUpdateOutcome::WriteFailed, Expect::Old, {{NewName(0), New.substr(0, 10)}}},
        {"closing the new file fails", [](FakeBootFiles& fs) { fs.failCloseWrite = true; },
         BootUpdateOutcome::WriteFailed, Expect::Old, {}},
        {"old file cannot step aside", [](FakeBootFiles& fs) { fs.failMovesFrom.insert(Bat); },
         BootUpdateOutcome::ReplaceFailed, Expect::Old, {}},
        {"new file cannot take the name", [](FakeBootFiles& fs) { fs.failMovesFrom.insert(NewName(0)); },
         BootUpdateOutcome::ReplaceFailed, Expect::Old, {}},
        {"neither file can take the name",
         [](FakeBootFiles& fs) {
             fs.failMovesFrom.insert(NewName(0));
             fs.failMovesFrom.insert(BackupName(0));
         },
         BootUpdateOutcome::RollbackFailed, Expect::Missing, {{NewName(0), New}, {BackupName(0), Old}}},
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
         BootUpdateOutcome::Rewritten, Expect::New, {}},
        {"the latest of two backups comes back",
         [](FakeBootFiles& fs) {
             fs.files.erase(Bat);
             fs.files[BackupName(1)] = "older";
             fs.files[BackupName(4)] = Old;
         },
         BootUpdateOutcome::Rewritten, Expect::New, {}},
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
         BootUpdateOutcome::RollbackFailed, Expect::Missing, {{BackupName(0), Old}}},
        {"leftovers that cannot be removed are passed over", [&](FakeBootFiles& fs) { Stuck(fs, allButLast); },
         BootUpdateOutcome::Rewritten, Expect::New, allButLast},
        {"every new name stuck", [&](FakeBootFiles& fs) { Stuck(fs, allNew); }, BootUpdateOutcome::WriteFailed,
         Expect::Old, allNew},
        {"every backup name stuck", [&](FakeBootFiles& fs) { Stuck(fs, allBackups); },
         BootUpdateOutcome::ReplaceFailed, Expect::Old, allBackups},
    };
    for (const FaultCase& c : cases) {
        FakeBootFiles fs;
        fs.files[Bat] = Old;
        c.inject(fs);
        fs.afterChange = [&c](const FakeBootFiles& files) { ExpectCompleteCopy(files, c.name); };
        BootSaveReport report;
        EXPECT_EQ(RewriteBootFile(fs, Command.c_str(), IsCp949LeadByte, &report), c.outcome) << c.name;

        std::map<std::string, std::string> others = fs.files;
        // When the boot file could not get its name back the user is told where the old one is.
        if (c.outcome == BootUpdateOutcome::RollbackFailed) {
            EXPECT_EQ(others[report.oldFile], Old) << c.name;
        } else {
            EXPECT_STREQ(report.oldFile, "") << c.name;
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
            ExpectCompleteCopy(files, ("cut after " + std::to_string(cut) + " changes").c_str());
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

TEST(UpdateBootFile, MissingBootFileStaysMissing) {
    FakeBootFiles fs;
    FakeBootEnvironment environment;
    EXPECT_TRUE(UpdateBootFile(fs, environment, IsCp949LeadByte, true, true, "10", "340", false));
    EXPECT_TRUE(fs.files.empty());
}

}  // namespace
