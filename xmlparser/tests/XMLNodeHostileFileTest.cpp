// Files a user may be handed or find planted beside a project: the save
// never writes through them, the reader refuses what is not a file.
#include "TestFiles.h"
#include "XMLNode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

using TestFiles::ReadAll;

namespace
{
// The kind of what a path leads to (links followed), 0 when nothing.
mode_t Kind(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

std::set<fs::path> Names(const fs::path& folder)
{
    return {fs::directory_iterator(folder), fs::directory_iterator()};
}
} // namespace

// A side file planted under the old fixed name keeps its content; a target
// that is not a regular file is refused and keeps its kind; no side file is
// left behind.
TEST(XMLNodeHostileFile, SaveNeverWritesThroughPlantedOrSpecialFiles)
{
    struct Case
    {
        const char* target;  // what "out.xml" is: "file", "fifo", "dir", "dev"; "-link": a link to it
        const char* partial; // planted "out.xml.partial": null, "file", or a "link" to "other"
    };
    const Case cases[] = {{"file", "file"},  {"file", "link"},       {"dev-link", nullptr}, {"dev", nullptr},
                          {"fifo", nullptr}, {"fifo-link", nullptr}, {"dir", nullptr}};
    XMLNode top = XMLNode::createXMLTopNode("P");
    top.addText("new");
    for (const Case& c : cases)
    {
        const std::string what = std::string(c.target) + " / " + (c.partial ? c.partial : "-");
        std::string folder = testing::TempDir() + "xmlhostile_XXXXXX";
        ASSERT_NE(mkdtemp(folder.data()), nullptr);
        const std::string out = folder + "/out.xml", partial = out + ".partial", other = folder + "/other";
        const std::string t = c.target;
        const bool link = t.size() > 5 && t.compare(t.size() - 5, 5, "-link") == 0;
        const std::string kindName = t.substr(0, t.find('-')), node = link ? other : out;
        std::string linked = other;
        if (kindName == "file")
            std::ofstream(out) << "<P>old</P>";
        else if (kindName == "fifo")
            mkfifo(node.c_str(), 0600);
        else if (kindName == "dir")
            fs::create_directory(node);
        // A device node of our own (the null device) when we may make one:
        // a faulty save run by the superuser must not replace /dev/null.
        else if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        {
            if (!link)
            {
                fs::remove_all(folder);
                continue;
            }
            linked = "/dev/null";
        }
        if (link)
            symlink(linked.c_str(), out.c_str());
        if (c.partial)
            std::ofstream(std::string(c.partial) == "file" ? partial : other) << "victim";
        if (c.partial && std::string(c.partial) == "link")
            symlink(other.c_str(), partial.c_str());
        const std::set<fs::path> before = Names(folder);
        const mode_t kind = Kind(out);

        const XMLResults r = top.writeToFile(out, nullptr, 0);
        EXPECT_EQ(bool(r), t == "file") << what << ": " << r.message;
        EXPECT_EQ(r.message.find('\n'), std::string::npos) << what;
        if (t == "file") // reading a FIFO would wait for a writer
        {
            EXPECT_EQ(ReadAll(out), "<P>new</P>") << what;
        }
        EXPECT_EQ(Kind(out), kind) << what;
        EXPECT_EQ(ReadAll(partial), c.partial ? "victim" : "") << what;
        EXPECT_EQ(Names(folder), before) << what;
        fs::remove_all(folder);
    }
    EXPECT_EQ(Kind("/dev/null"), mode_t(S_IFCHR));
}

// Only a regular file is read: anything else is refused at once with one
// line naming it (a FIFO without writer would block the open, /dev/zero
// never ends), and so is a file whose read fails.
TEST(XMLNodeHostileFile, ReadingRefusesWhatIsNotARegularFile)
{
    const std::string fifo = testing::TempDir() + "xmlhostile_fifo_" + std::to_string(getpid());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path :
         {testing::TempDir(), fifo, std::string("/dev/zero"), std::string("/dev/null"),
          std::string("/proc/self/mem")}) // regular, its first read fails (EIO)
    {
        XMLResults r;
        EXPECT_TRUE(XMLNode::parseFile(path, &r).isEmpty()) << path;
        EXPECT_EQ(r.error, XMLError::CannotOpen) << path << ": " << r.message;
        EXPECT_NE(r.message.find(path), std::string::npos) << r.message;
        EXPECT_EQ(r.message.find('\n'), std::string::npos) << r.message;
    }
    std::remove(fifo.c_str());
}
