// Any input parses to a tree or to an error, never a crash; every query on a
// parsed tree is safe; a tree that parsed is written and read back with the
// same elements and texts (blank text beside elements aside).
#include "XMLNode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
bool IsBlank(const char* s)
{
    for (; *s; ++s)
        if (*s != ' ' && *s != '\t' && *s != '\r' && *s != '\n')
            return false;
    return true;
}

// Element names, child counts and the concatenated text of each element, in
// document order. Walks with an explicit stack: inputs nest deeply.
std::string Describe(const XMLNode& top)
{
    std::string out;
    std::vector<XMLNode> stack{top};
    while (!stack.empty())
    {
        const XMLNode node = stack.back();
        stack.pop_back();
        const char* name = node.getName();
        out += name ? name : "(null)";
        const int n = node.nChildNode();
        out += '#' + std::to_string(n) + '[';
        // Blank text beside child elements is layout, dropped on reading.
        for (int t = 0; t < node.nText(); ++t)
            if (n == 0 || !IsBlank(node.getText(t)))
                out += node.getText(t);
        out += "]\n";
        if (name && node.nChildNode(name) > node.nChildNode())
            std::abort();
        (void)node.getAttribute("Exist");
        (void)node.getChildNode(n).isEmpty();
        for (int i = n - 1; i >= 0; --i)
        {
            const XMLNode child = node.getChildNode(i);
            const char* childName = child.getName();
            if (child.isEmpty() || !childName || node.getChildNode(childName).isEmpty())
                std::abort();
            stack.push_back(child);
        }
    }
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    XMLResults results;
    const XMLNode top = XMLNode::parseString(text, &results);
    if (top.isEmpty() != !results)
        std::abort();
    if (!results)
    {
        if (results.message.empty() || (results.nLine == 0 && results.error != XMLError::NoRoot))
            std::abort();
        return 0;
    }
    const std::string before = Describe(top);

    static const std::string path =
        (std::filesystem::temp_directory_path() / ("xmlnode_fuzz_" + std::to_string(getpid()) + ".xml"))
            .string();
    if (!top.writeToFile(path, nullptr, 0))
        std::abort();
    XMLResults again;
    const XMLNode back = XMLNode::parseFile(path, &again);
    std::remove(path.c_str());
    if (!again || Describe(back) != before)
        std::abort();
    return 0;
}
