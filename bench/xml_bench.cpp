// Writing and reading through XMLable and the XML layer, against pugixml used
// directly with the same text forms and the same number conversions:
//   Doubles: one object holding a list of 10^6 doubles;
//   Objects: 10^5 small objects (int, double, string, point, bool) under one
//            element, read back by index as the project loader does.
// Each read includes parsing the file. Run: scripts/bench.sh xml_bench.
#include "KorNumbers.h"
#include "XMLable.h"

#include <benchmark/benchmark.h>
#include <charconv>
#include <pugixml.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
const int kDoubles = 1000000;
const int kObjects = 100000;

std::string BenchPath(const char* name)
{
    return (std::filesystem::temp_directory_path() /
            ("xml_bench_" + std::to_string(getpid()) + "_" + name + ".xml"))
        .string();
}

class DoubleList : public XMLable
{
public:
    DoubleList() { AddVariable("Cotes", &values); }
    DoubleList(const DoubleList&) = delete;
    std::vector<double> values;
};

class Small : public XMLable
{
public:
    Small() { RegisterXML(); }
    Small(const Small& o)
        : XMLable(o), id(o.id), depth(o.depth), name(o.name), origin(o.origin), shown(o.shown)
    {
        RegisterXML();
    }
    int id = 0;
    double depth = 0;
    std::string name;
    LumPoint origin;
    bool shown = false;

private:
    void RegisterXML()
    {
        AddVariable("Id", &id);
        AddVariable("Profondeur", &depth);
        AddVariable("Nom", &name);
        AddVariable("Origine", &origin);
        AddVariable("Visible", &shown);
    }
};

// What a direct pugixml reader would use: the fastest exact conversion.
const char* ReadDouble(const char* p, double& value)
{
    value = 0.0;
    return std::from_chars(p, p + std::strlen(p), value).ptr;
}

std::vector<double> RandomDoubles()
{
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> coordinate(-1e7, 1e7);
    std::vector<double> v(kDoubles);
    for (double& d : v)
        d = coordinate(rng);
    return v;
}

std::vector<Small> RandomObjects()
{
    std::mt19937_64 rng(43);
    std::uniform_real_distribution<double> coordinate(-1e6, 1e6);
    std::vector<Small> v(kObjects);
    for (int i = 0; i < kObjects; ++i)
    {
        v[i].id = i;
        v[i].depth = coordinate(rng);
        v[i].name = "Sondage " + std::to_string(i);
        v[i].origin = LumPoint(coordinate(rng), coordinate(rng), coordinate(rng));
        v[i].shown = i % 2 == 0;
    }
    return v;
}

// The same text forms as the typed values, written without XMLable.
std::string DoublesText(const std::vector<double>& values)
{
    std::string text;
    for (double d : values)
        text += KorFormatDouble(d) + "|";
    return text;
}

std::string PointText(const LumPoint& p)
{
    return KorFormatFixed(p.x, 3) + "|" + KorFormatFixed(p.y, 3) + "|" + KorFormatFixed(p.z, 3);
}

void OursWriteDoubles(benchmark::State& state)
{
    DoubleList list;
    list.values = RandomDoubles();
    const std::string path = BenchPath("ours_doubles");
    for (auto _ : state)
    {
        XMLNode top = XMLNode::createXMLTopNode("xml", 1);
        XMLNode element = top.addChild("Liste");
        list.ToXML(element);
        if (!top.writeToFile(path))
            state.SkipWithError("write failed");
    }
    std::remove(path.c_str());
}

void RawWriteDoubles(benchmark::State& state)
{
    const std::vector<double> values = RandomDoubles();
    const std::string path = BenchPath("raw_doubles");
    for (auto _ : state)
    {
        pugi::xml_document doc;
        doc.append_child("Liste").append_child("Cotes").text().set(DoublesText(values).c_str());
        if (!doc.save_file(path.c_str()))
            state.SkipWithError("write failed");
    }
    std::remove(path.c_str());
}

void OursReadDoubles(benchmark::State& state)
{
    DoubleList source;
    source.values = RandomDoubles();
    const std::string path = BenchPath("ours_read_doubles");
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode element = top.addChild("Liste");
    source.ToXML(element);
    top.writeToFile(path);
    DoubleList list;
    for (auto _ : state)
    {
        const XMLNode read = XMLNode::parseFile(path);
        list.FromXML(read.getChildNode("Liste"));
        benchmark::DoNotOptimize(list.values.data());
    }
    if (list.values != source.values)
        state.SkipWithError("values differ");
    std::remove(path.c_str());
}

void RawReadDoubles(benchmark::State& state)
{
    const std::vector<double> source = RandomDoubles();
    const std::string path = BenchPath("raw_read_doubles");
    {
        pugi::xml_document doc;
        doc.append_child("Liste").append_child("Cotes").text().set(DoublesText(source).c_str());
        doc.save_file(path.c_str());
    }
    std::vector<double> values;
    for (auto _ : state)
    {
        pugi::xml_document doc;
        doc.load_file(path.c_str());
        const char* text = doc.child("Liste").child("Cotes").text().get();
        values.clear();
        const char* const end = text + std::strlen(text);
        for (const char* p = text; p < end;)
        {
            double v = 0.0;
            const char* stop = std::from_chars(p, end, v).ptr;
            values.push_back(v);
            p = stop + 1; // past the '|'
        }
        benchmark::DoNotOptimize(values.data());
    }
    if (values != source)
        state.SkipWithError("values differ");
    std::remove(path.c_str());
}

void OursWriteObjects(benchmark::State& state)
{
    std::vector<Small> objects = RandomObjects();
    const std::string path = BenchPath("ours_objects");
    for (auto _ : state)
    {
        XMLNode top = XMLNode::createXMLTopNode("xml", 1);
        XMLNode root = top.addChild("Objets");
        for (Small& o : objects)
        {
            XMLNode child = root.addChild("Objet");
            o.ToXML(child);
        }
        if (!top.writeToFile(path))
            state.SkipWithError("write failed");
    }
    std::remove(path.c_str());
}

void RawWriteObjects(benchmark::State& state)
{
    const std::vector<Small> objects = RandomObjects();
    const std::string path = BenchPath("raw_objects");
    for (auto _ : state)
    {
        pugi::xml_document doc;
        pugi::xml_node root = doc.append_child("Objets");
        for (const Small& o : objects)
        {
            pugi::xml_node child = root.append_child("Objet");
            child.append_child("Id").text().set(std::to_string(o.id).c_str());
            child.append_child("Profondeur").text().set(KorFormatFixed(o.depth, 6).c_str());
            std::string name = o.name;
            for (char& c : name)
                if (c == ' ')
                    c = '$';
            child.append_child("Nom").text().set(name.c_str());
            child.append_child("Origine").text().set(PointText(o.origin).c_str());
            child.append_child("Visible").text().set(o.shown ? "1" : "0");
        }
        if (!doc.save_file(path.c_str()))
            state.SkipWithError("write failed");
    }
    std::remove(path.c_str());
}

void OursReadObjects(benchmark::State& state)
{
    std::vector<Small> source = RandomObjects();
    const std::string path = BenchPath("ours_read_objects");
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode root = top.addChild("Objets");
    for (Small& o : source)
    {
        XMLNode child = root.addChild("Objet");
        o.ToXML(child);
    }
    top.writeToFile(path);
    std::vector<Small> objects(kObjects);
    for (auto _ : state)
    {
        const XMLNode read = XMLNode::parseFile(path).getChildNode("Objets");
        const int n = read.nChildNode("Objet");
        for (int i = 0; i < n && i < kObjects; ++i)
            objects[i].FromXML(read.getChildNode("Objet", i));
        benchmark::DoNotOptimize(objects.data());
    }
    if (objects.back().name != source.back().name ||
        std::fabs(objects.back().depth - source.back().depth) > 1e-6)
        state.SkipWithError("values differ");
    std::remove(path.c_str());
}

void RawReadObjects(benchmark::State& state)
{
    std::vector<Small> source = RandomObjects();
    const std::string path = BenchPath("raw_read_objects");
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode root = top.addChild("Objets");
    for (Small& o : source)
    {
        XMLNode child = root.addChild("Objet");
        o.ToXML(child);
    }
    top.writeToFile(path);
    std::vector<Small> objects(kObjects);
    for (auto _ : state)
    {
        pugi::xml_document doc;
        doc.load_file(path.c_str());
        int i = 0;
        for (pugi::xml_node child = doc.child("Objets").child("Objet"); child && i < kObjects;
             child = child.next_sibling("Objet"), ++i)
        {
            Small& o = objects[i];
            o.id = KorAtoi(child.child("Id").text().get());
            ReadDouble(child.child("Profondeur").text().get(), o.depth);
            o.name = child.child("Nom").text().get();
            for (char& c : o.name)
                if (c == '$')
                    c = ' ';
            const char* p = child.child("Origine").text().get();
            p = ReadDouble(p, o.origin.x);
            p = ReadDouble(p + 1, o.origin.y);
            ReadDouble(p + 1, o.origin.z);
            o.shown = KorAtoi(child.child("Visible").text().get()) != 0;
        }
        benchmark::DoNotOptimize(objects.data());
    }
    if (objects.back().name != source.back().name ||
        std::fabs(objects.back().depth - source.back().depth) > 1e-6)
        state.SkipWithError("values differ");
    std::remove(path.c_str());
}
} // namespace

BENCHMARK(OursWriteDoubles)->Unit(benchmark::kMillisecond);
BENCHMARK(RawWriteDoubles)->Unit(benchmark::kMillisecond);
BENCHMARK(OursReadDoubles)->Unit(benchmark::kMillisecond);
BENCHMARK(RawReadDoubles)->Unit(benchmark::kMillisecond);
BENCHMARK(OursWriteObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(RawWriteObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(OursReadObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(RawReadObjects)->Unit(benchmark::kMillisecond);
