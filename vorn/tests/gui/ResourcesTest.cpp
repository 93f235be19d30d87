// The run-time files under Icons/ and Aide/: every one the program names
// exists with its type and size, and the committed files are exactly what
// our generator draws.

#include "GuiTestHelpers.h"
#include "ResourceFiles.h"

#include <wx/image.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace
{
std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Resources, CommittedFilesAreTheGeneratorsBytes)
{
    const std::vector<ResourceFile> files = BuildResourceFiles();
    ASSERT_FALSE(files.empty());
    for (const ResourceFile& file : files)
        EXPECT_TRUE(ReadFile(std::string(VORN_SOURCE_DIR) + "/" + file.path) == file.bytes)
            << file.path << " differs from make_resources' output: run make_resources vorn";
}

TEST(Resources, EveryNamedPictureReadsWithItsType)
{
    std::map<std::string, int> byType;
    for (const ResourceFile& file : BuildResourceFiles())
    {
        const std::string ext = file.path.substr(file.path.rfind('.') + 1);
        ++byType[ext];
        if (ext == "pdf")
            continue;
        const wxBitmapType type = ext == "gif"   ? wxBITMAP_TYPE_GIF
                                  : ext == "png" ? wxBITMAP_TYPE_PNG
                                                 : wxBITMAP_TYPE_BMP;
        wxImage image;
        ASSERT_TRUE(image.LoadFile(wxString::FromUTF8(std::string(VORN_SOURCE_DIR) + "/" + file.path), type))
            << file.path;
        if (ext != "bmp")
        {
            EXPECT_EQ(image.GetWidth(), 32) << file.path;
            EXPECT_EQ(image.GetHeight(), 32) << file.path;
        }
    }
    EXPECT_EQ(byType["gif"], 27);
    EXPECT_EQ(byType["png"], 9);
    EXPECT_EQ(byType["bmp"], 5);
    EXPECT_EQ(byType["pdf"], 1);
    for (const char* name : {"HeaderDXF.txt", "CloserDXF.txt"})
        EXPECT_FALSE(ReadFile(std::string(VORN_SOURCE_DIR) + "/Icons/" + name).empty()) << name;
}

TEST(Resources, HelpIsAWellFormedPdf)
{
    const std::string pdf = ReadFile(std::string(VORN_SOURCE_DIR) + "/Aide/Aide.pdf");
    ASSERT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    ASSERT_GE(pdf.size(), 6u);
    EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
    // startxref points at the table, and each entry at its own object.
    const size_t start = pdf.rfind("startxref\n");
    ASSERT_NE(start, std::string::npos);
    const size_t xref = std::stoul(pdf.substr(start + 10));
    ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    std::istringstream table(pdf.substr(xref + 5));
    int first = -1, count = 0;
    table >> first >> count;
    ASSERT_EQ(first, 0);
    ASSERT_GT(count, 3);
    std::string offset, generation, kind;
    table >> offset >> generation >> kind;
    EXPECT_EQ(kind, "f");
    for (int object = 1; object < count; ++object)
    {
        table >> offset >> generation >> kind;
        ASSERT_EQ(kind, "n") << object;
        const std::string header = std::to_string(object) + " 0 obj";
        EXPECT_EQ(pdf.compare(std::stoul(offset), header.size(), header), 0) << object;
    }
    // Every stream's declared length is its own.
    const std::regex stream("/Length ([0-9]+) >>\nstream\n");
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), stream); it != std::sregex_iterator(); ++it)
    {
        const size_t body = it->position() + it->length();
        EXPECT_EQ(pdf.compare(body + std::stoul((*it)[1]), 9, "endstream"), 0);
    }
}
} // namespace
