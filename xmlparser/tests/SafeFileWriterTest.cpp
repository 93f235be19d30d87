#include "SafeFileWriter.h"
#include "TestFiles.h"
#include "UnwritableFolder.h"
#include "XMLNode.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
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

// The side files of killed saves go at the next save, those of the older
// form too; a live writer's side file and another file's stay, and that
// writer still commits.
TEST_F(SafeFileWriterTest, StaleSideFilesGoLiveOnesStay)
{
    const std::string path = folder + "/projet.ovx";
    std::ofstream(path) << "ancien";
    KilledSave(path);
    std::ofstream(folder + "/projet.ovx.aB3xY9.partial") << "older form";
    std::ofstream(folder + "/autre.ovx.aB3xY9.partial") << "another file's";
    ASSERT_EQ(Names(folder).size(), 4u);
    EXPECT_EQ(ReadAll(path), "ancien");

    SafeFileWriter live(path);
    ASSERT_TRUE(live.Write("live"));
    live.Stream().flush();
    ASSERT_TRUE(SafeFileWriter::WriteFile(path, "nouveau"));
    EXPECT_EQ(ReadAll(path), "nouveau");
    EXPECT_EQ(Names(folder).size(), 3u); // the target, the live side file, another file's
    ASSERT_TRUE(live.Commit()) << live.GetError();
    EXPECT_EQ(ReadAll(path), "live");
    EXPECT_EQ(Names(folder), (std::set<std::string>{"autre.ovx.aB3xY9.partial", "projet.ovx"}));
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
