// Files a user may be handed or find planted beside a project: the save
// never writes through them, the reader refuses what is not a file.
#include "XMLNode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A fresh folder per case, removed with what is in it (links, not their
// targets).
struct Folder
{
    std::string path;
    Folder()
    {
        std::string name = testing::TempDir() + "xmlhostile_XXXXXX";
        path = mkdtemp(name.data()) ? name : "";
    }
    ~Folder() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path))
            names.insert(entry.path().filename().string());
        return names;
    }
};

mode_t Kind(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}
} // namespace

// A side file planted under the old fixed name is left alone whatever it is;
// a target that is not a regular file is refused and stays what it was; no
// side file is left behind.
TEST(XMLNodeHostileFile, SaveNeverWritesThroughPlantedOrSpecialFiles)
{
    struct Case
    {
        const char* what;
        std::function<void(const Folder&)> plant; // makes "out.xml" and its neighbours
        bool saved;
        const char* kept; // a path that keeps its content ("victim") or kind
        mode_t kind;
    };
    const auto regular = [](const Folder& f) { std::ofstream(f / "out.xml") << "<P>old</P>"; };
    const Case cases[] = {
        {"side-file name is a link to another file",
         [&](const Folder& f)
         {
             regular(f);
             std::ofstream(f / "victim") << "victim";
             symlink((f / "victim").c_str(), (f / "out.xml.partial").c_str());
         },
         true, "victim", S_IFREG},
        {"side-file name is a dangling link",
         [&](const Folder& f)
         {
             regular(f);
             symlink((f / "victim").c_str(), (f / "out.xml.partial").c_str());
         },
         true, "out.xml.partial", S_IFLNK},
        {"side-file name is a regular file",
         [&](const Folder& f)
         {
             regular(f);
             std::ofstream(f / "out.xml.partial") << "victim";
         },
         true, "out.xml.partial", S_IFREG},
        {"target is a link to /dev/null",
         [](const Folder& f) { symlink("/dev/null", (f / "out.xml").c_str()); }, false, "/dev/null", S_IFCHR},
        {"target is /dev/null", nullptr, false, "/dev/null", S_IFCHR},
        {"target is a FIFO", [](const Folder& f) { mkfifo((f / "out.xml").c_str(), 0600); }, false, "out.xml",
         S_IFIFO},
        {"target is a link to a FIFO",
         [](const Folder& f)
         {
             mkfifo((f / "fifo").c_str(), 0600);
             symlink((f / "fifo").c_str(), (f / "out.xml").c_str());
         },
         false, "fifo", S_IFIFO},
        {"target is a directory", [](const Folder& f) { fs::create_directory(f / "out.xml"); }, false,
         "out.xml", S_IFDIR},
    };
    XMLNode top = XMLNode::createXMLTopNode("P");
    top.addText("new");
    for (const Case& c : cases)
    {
        Folder folder;
        ASSERT_FALSE(folder.path.empty());
        const std::string target = c.plant ? folder / "out.xml" : "/dev/null";
        if (c.plant)
            c.plant(folder);
        const std::set<std::string> before = folder.Names();
        const std::string kept = c.kept[0] == '/' ? c.kept : folder / c.kept;

        const XMLResults r = top.writeToFile(target, nullptr, 0);
        EXPECT_EQ(bool(r), c.saved) << c.what << ": " << r.message;
        EXPECT_EQ(r.message.find('\n'), std::string::npos) << c.what;
        if (c.saved)
        {
            EXPECT_EQ(ReadAll(folder / "out.xml"), "<P>new</P>") << c.what;
        }
        else
        {
            EXPECT_EQ(r.error, XMLError::CannotWrite) << c.what;
        }
        EXPECT_EQ(Kind(kept), c.kind) << c.what;
        if (c.kind == S_IFREG)
        {
            EXPECT_EQ(ReadAll(kept), "victim") << c.what;
        }
        EXPECT_EQ(folder.Names(), before) << c.what;
    }
}

// Only a regular file is read: anything else is refused at once with one
// line (a FIFO without writer would block, /dev/zero never ends), and so is
// a file whose read fails.
TEST(XMLNodeHostileFile, ReadingRefusesWhatIsNotARegularFile)
{
    Folder folder;
    ASSERT_FALSE(folder.path.empty());
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", (folder / "zero.xml").c_str()), 0);
    const std::string paths[] = {folder.path, folder / "fifo", "/dev/zero", folder / "zero.xml", "/dev/null",
                                 // A regular file whose first read fails (EIO).
                                 "/proc/self/mem"};
    for (const std::string& path : paths)
    {
        XMLResults r;
        EXPECT_TRUE(XMLNode::parseFile(path, &r).isEmpty()) << path;
        EXPECT_EQ(r.error, XMLError::CannotOpen) << path << ": " << r.message;
        EXPECT_NE(r.message.find(path), std::string::npos) << r.message;
        EXPECT_EQ(r.message.find('\n'), std::string::npos) << r.message;
    }
}
