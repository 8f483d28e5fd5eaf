// Opening files made to be costly: an index that names far more entries than a library holds, members
// that inflate to the limit, one member named by every entry. Each file is opened as a library in a
// process of its own, which reports the wall time and how far its peak memory rose during the open.
#include "data/LibraryData.h"
#include "files/LibraryFileReader.h"
#include "files/MemoryBasedZipBuilder.h"
#include "files/MemoryBasedZipUncompressor.h"

#include <juce_core/juce_core.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace
{
using Members = std::vector<std::pair<juce::String, juce::MemoryBlock>>;

juce::MemoryBlock bytesOf(const juce::String& text) { return {text.toRawUTF8(), text.getNumBytesAsUTF8()}; }

juce::MemoryBlock archiveOf(const Members& members)
{
    MemoryBasedZipBuilder builder;
    for (const auto& [name, data] : members)
        builder.addEntry(name, data);
    juce::MemoryOutputStream out;
    builder.writeToStream(out);
    return out.getMemoryBlock();
}

juce::String indexOf(const juce::String& contents)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VexoMSLibrarian_Data><Product>sonavire</Product><Contents>" +
           contents + "</Contents></VexoMSLibrarian_Data>";
}

const juce::String livesetEntry = "<LivesetData><File>L.lvs</File></LivesetData>";
const juce::String programEntry =
    "<ProgramData><Information>P.info</Information><ProgramBinary>P.bin</ProgramBinary></ProgramData>";
const juce::String information =
    "<sonavire_ProgramInformation><Programmer>p</Programmer><Comment>c</Comment></sonavire_ProgramInformation>";
const juce::String liveset = "<sonavire_Liveset><Bank><Data>7</Data></Bank></sonavire_Liveset>";

Members smallMembers(const juce::String& index)
{
    return {{"FileInformation.xml", bytesOf(index)},
            {"L.lvs", bytesOf(liveset)},
            {"P.bin", juce::MemoryBlock(336, true)},
            {"P.info", bytesOf(information)}};
}

// Text of about the given size made of one piece repeated.
juce::String repeatedTo(const juce::String& piece, size_t size)
{
    return juce::String::repeatedString(piece, (int) (size / (size_t) piece.getNumBytesAsUTF8()));
}

juce::int64 statusValue(const char* key)
{
    juce::StringArray lines;
    lines.addLines(juce::File("/proc/self/status").loadFileAsString());
    for (const auto& line : lines)
        if (line.startsWith(key))
            return line.fromFirstOccurrenceOf(":", false, false).trim().getLargeIntValue();
    return 0;
}

struct Outcome
{
    int code = -1;
    double milliseconds = 0;
    double megabytes = 0;
};

// Opens the file as a library in this fresh process and writes what it cost to the descriptor.
int openHere(const char* path, int channel)
{
    auto library = std::make_unique<x47390_data::LibraryData>();
    const juce::File file(juce::String::fromUTF8(path));
    const auto before = statusValue("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome;
    outcome.code = x47390_file::LibraryFileReader(library.get()).read(file);
    outcome.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    outcome.megabytes = (double) (statusValue("VmHWM") - before) / 1024.0;
    return ::write(channel, &outcome, sizeof(outcome)) == (ssize_t) sizeof(outcome) ? 0 : 1;
}

// Opens the file in a new process of this program, whose memory holds nothing of the files made here.
Outcome openInChild(const juce::File& file)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0)
    {
        ::close(channel[0]);
        const auto fd = std::to_string(channel[1]);
        const auto path = file.getFullPathName().toStdString();
        ::execl("/proc/self/exe", "bench_hostile_files", "--open", path.c_str(), fd.c_str(), (char*) nullptr);
        ::_exit(127);
    }
    ::close(channel[1]);
    Outcome outcome;
    if (::read(channel[0], &outcome, sizeof(outcome)) != (ssize_t) sizeof(outcome))
        outcome = {};
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return outcome;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--open")
        return openHere(argv[2], std::atoi(argv[3]));

    constexpr size_t megabyte = 1024 * 1024;
    // Just under the members' inflated limit, and under the size of one document the reader parses.
    const size_t limit = (size_t) MemoryBasedZipUncompressor::maximumUncompressedSize * 9 / 10;
    const size_t document = megabyte - 4096;

    struct Case
    {
        const char* name;
        std::function<juce::MemoryBlock()> make;
    };
    const Case cases[] = {
        {"full library index (500 programs, 1 live set)",
         [] { return archiveOf(smallMembers(indexOf(livesetEntry + juce::String::repeatedString(programEntry, 500)))); }},
        {"index naming 100,000 live sets and programs",
         [] { return archiveOf(smallMembers(indexOf(juce::String::repeatedString(livesetEntry + programEntry, 50000)))); }},
        {"index naming live sets up to the inflated limit",
         [&] { return archiveOf(smallMembers(indexOf(repeatedTo(livesetEntry, limit)))); }},
        {"index naming live sets up to the largest index",
         [&] { return archiveOf(smallMembers(indexOf(repeatedTo(livesetEntry, document)))); }},
        {"index of unknown elements up to the largest index",
         [&] { return archiveOf(smallMembers(indexOf(repeatedTo("<Unknown><a/></Unknown>", document)))); }},
        {"live-set member up to the largest document",
         [&]
         {
             auto members = smallMembers(indexOf(livesetEntry));
             members[1].second = bytesOf("<sonavire_Liveset>" +
                                         repeatedTo("<Bank><Data>7</Data></Bank>", document - 100) +
                                         "</sonavire_Liveset>");
             return archiveOf(members);
         }},
        {"500 programs naming one information member up to the limit",
         [&]
         {
             auto members = smallMembers(indexOf(juce::String::repeatedString(programEntry, 500)));
             members[3].second = bytesOf("<sonavire_ProgramInformation><Comment>" + repeatedTo("c", limit - megabyte) +
                                         "</Comment></sonavire_ProgramInformation>");
             return archiveOf(members);
         }},
        {"500 information members for the general parser up to the limit",
         [&]
         {
             juce::String index;
             Members members;
             const auto text = "<sonavire_ProgramInformation><!-- not the plain form --><Comment>" +
                               repeatedTo("<b>c</b>", limit / 500 - 200) + "</Comment></sonavire_ProgramInformation>";
             for (int i = 0; i < 500; ++i)
             {
                 const auto name = "P" + juce::String(i);
                 index << "<ProgramData><Information>" << name << ".info</Information><ProgramBinary>P.bin"
                       << "</ProgramBinary></ProgramData>";
                 members.emplace_back(name + ".info", bytesOf(text));
             }
             members.emplace_back("P.bin", juce::MemoryBlock(336, true));
             members.emplace_back("FileInformation.xml", bytesOf(indexOf(index)));
             return archiveOf(members);
         }},
        {"archive of incompressible bytes up to the limits",
         [&]
         {
             auto members = smallMembers(indexOf(livesetEntry));
             juce::MemoryBlock filler(limit);
             juce::Random(1).fillBitsRandomly(filler.getData(), filler.getSize());
             members.emplace_back("filler", filler);
             return archiveOf(members);
         }},
    };

    const auto folder = juce::File::getSpecialLocation(juce::File::tempDirectory).getChildFile("hostile-bench");
    folder.createDirectory();
    std::printf("%-62s %10s %6s %10s %10s\n", "file", "size", "code", "open ms", "peak MB");
    for (const auto& c : cases)
    {
        const auto bytes = c.make();
        const auto file = folder.getChildFile("case.snvrlib");
        file.replaceWithData(bytes.getData(), bytes.getSize());
        for (int run = 0; run < 3; ++run)
        {
            const auto outcome = openInChild(file);
            std::printf("%-62s %9.2fM %6d %10.1f %10.1f\n", c.name, (double) bytes.getSize() / megabyte, outcome.code,
                        outcome.milliseconds, outcome.megabytes);
        }
    }
    folder.deleteRecursively();
    return 0;
}
