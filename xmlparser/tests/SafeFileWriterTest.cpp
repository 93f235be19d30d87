#include "SafeFileWriter.h"
#include "TestFiles.h"
#include "UnwritableFolder.h"
#include "XMLNode.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

using TestFiles::Names;
using TestFiles::ReadAll;

namespace
{
class SafeFileWriterTest : public testing::Test
{
protected:
    void SetUp() override
    {
        folder = testing::TempDir() + "safewriter_XXXXXX";
        ASSERT_NE(mkdtemp(folder.data()), nullptr);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string folder;
};

// A save killed halfway (its process ends with no clean-up at all) leaves
// its side file beside the target.
void KilledSave(const std::string& path)
{
    const pid_t child = fork();
    if (child == 0)
    {
        SafeFileWriter file(path);
        file.Write(std::string(100000, 'k'));
        file.Stream().flush();
        raise(SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
}
} // namespace

// The side files of killed saves go at the next save; a live writer's side
// file and the user's files stay, whatever their names, and that writer
// still commits.
TEST_F(SafeFileWriterTest, StaleSideFilesGoLiveOnesStay)
{
    const std::string path = folder + "/projet.ovx";
    std::ofstream(path) << "ancien";
    KilledSave(path);
    const std::set<std::string> users = {"projet.ovx.backup.partial", "projet.ovx.aB3xY9.partial",
                                         "autre.ovx.aB3xY9.partial"};
    for (const std::string& name : users)
        std::ofstream(folder + "/" + name) << "the user's";
    ASSERT_EQ(Names(folder).size(), 5u);
    EXPECT_EQ(ReadAll(path), "ancien");

    SafeFileWriter live(path);
    ASSERT_TRUE(live.Write("live"));
    live.Stream().flush();
    ASSERT_TRUE(SafeFileWriter::WriteFile(path, "nouveau"));
    EXPECT_EQ(ReadAll(path), "nouveau");
    EXPECT_EQ(Names(folder).size(), 5u); // the target, the live side file, the user's
    ASSERT_TRUE(live.Commit()) << live.GetError();
    EXPECT_EQ(ReadAll(path), "live");
    std::set<std::string> left = users;
    left.insert("projet.ovx");
    EXPECT_EQ(Names(folder), left);
}

// Beside a target its owner may write but not read (mode 0200), the side
// files of saves killed before and at their commit (which gives them that
// mode) go at the next save, which keeps the mode. Checked as a user who is
// not the superuser, who could read them anyway.
TEST_F(SafeFileWriterTest, WriteOnlyTargetsSideFilesGo)
{
    const std::string path = folder + "/projet.ovx";
    // The step that failed, 0 when none did.
    const auto check = [&]
    {
        std::ofstream(path) << "ancien";
        if (chmod(path.c_str(), 0200) != 0)
            return 1;
        // The first killed at its commit, the second before: each save
        // removes the side file left before it (its name may come again).
        struct stat info;
        const auto side = [&] { return folder + "/" + *Names(folder).begin(); }; // ".~" sorts first
        KilledSave(path);
        if (Names(folder).size() != 2 || chmod(side().c_str(), 0200) != 0)
            return 2;
        KilledSave(path);
        if (Names(folder).size() != 2 || stat(side().c_str(), &info) != 0 || (info.st_mode & 0600) != 0600)
            return 3;
        if (!SafeFileWriter::WriteFile(path, "nouveau"))
            return 4;
        if (Names(folder) != std::set<std::string>{"projet.ovx"})
            return 5;
        if (stat(path.c_str(), &info) != 0 || (info.st_mode & 07777) != 0200)
            return 6;
        return chmod(path.c_str(), 0600) == 0 && ReadAll(path) == "nouveau" ? 0 : 7;
    };
    if (geteuid() != 0)
    {
        EXPECT_EQ(check(), 0);
        return;
    }
    // The superuser: a child of the user "nobody", given the folder.
    const uid_t nobody = 65534;
    ASSERT_EQ(chown(folder.c_str(), nobody, nobody), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0 ? 100 : check());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100)
        GTEST_SKIP() << "no user but the superuser can be had";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The side file's name is short: a target name of any length a folder
// takes saves and replaces.
TEST_F(SafeFileWriterTest, LongestNamesSave)
{
    for (const size_t length : {241, 250, 255})
    {
        const std::string name = std::string(length - 4, 'n') + ".ovx", path = folder + "/" + name;
        XMLNode top = XMLNode::createXMLTopNode("Projet");
        for (const char* text : {"un", "deux"})
        {
            top.addText(text);
            const XMLResults r = top.writeToFile(path, nullptr, 0);
            EXPECT_TRUE(r) << length << ": " << r.message;
        }
        EXPECT_EQ(ReadAll(path), "<Projet>undeux</Projet>") << length;
        EXPECT_EQ(Names(folder), std::set<std::string>{name}) << length;
        fs::remove(path);
    }
}

// A writable file in a folder that takes no new file: refused, the old
// file whole, and the reason told in French.
TEST_F(SafeFileWriterTest, FolderTakingNoNewFileIsTold)
{
    const std::string path = folder + "/projet.ovx";
    std::ofstream(path) << "ancien";
    const std::string told = "Le dossier '" + folder + "' n'autorise pas la création de fichiers";
    const auto save = [&]
    {
        const XMLResults r = XMLNode::createXMLTopNode("Projet").writeToFile(path);
        return r.error == XMLError::CannotWrite && r.reason.rfind(told, 0) == 0;
    };
    EXPECT_TRUE(RunWithUnwritableFolder(folder, path, save));
    EXPECT_EQ(ReadAll(path), "ancien");
    EXPECT_EQ(Names(folder), std::set<std::string>{"projet.ovx"});
}
