// The real program from start to end, seen from outside: its preferences file, where its window opens,
// its title, the files named on its command line, a second start, quitting and signals.
#include "tests/app/ShellTestSupport.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <mutex>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using testsupport::RealProgram;

namespace
{

// A MIDI bridge peer that calls itself a sonavire, records every system exclusive message the program
// sends and, when asked, answers the instrument search.
class FakeInstrument
{
public:
    FakeInstrument(const juce::File& socketFile, bool answersSearch) : path(socketFile), answers(answersSearch)
    {
        listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const auto name = path.getFullPathName().toStdString();
        std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", name.c_str());
        if (::bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && ::listen(listenFd, 4) == 0)
            thread = std::thread([this] { serve(); });
    }

    ~FakeInstrument()
    {
        stopping = true;
        if (thread.joinable())
            thread.join();
        ::close(listenFd);
        path.deleteFile();
    }

    // The messages received so far that begin with these bytes.
    int count(const std::vector<std::uint8_t>& prefix)
    {
        std::lock_guard<std::mutex> guard(lock);
        int found = 0;
        for (const auto& message : messages)
            found += message.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), message.begin()) ? 1 : 0;
        return found;
    }

    static inline const std::vector<std::uint8_t> searchRequest{0xF0, 0x7D, 0x50, 0x00};
    static inline const std::vector<std::uint8_t> identityRequest{0xF0, 0x7E, 0x7F, 0x06, 0x01};

private:
    // Each connection of the program (the search and the transfers may each have one) is served alike.
    void serve()
    {
        std::vector<pollfd> watched{{listenFd, POLLIN, 0}};
        std::vector<std::vector<std::uint8_t>> pending{{}};
        while (!stopping)
        {
            if (::poll(watched.data(), (nfds_t) watched.size(), 50) <= 0)
                continue;
            if ((watched[0].revents & POLLIN) != 0)
                if (const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC); fd >= 0)
                {
                    const std::string hello = "NAME sonavire\n";
                    ::send(fd, hello.data(), hello.size(), MSG_NOSIGNAL);
                    watched.push_back({fd, POLLIN, 0});
                    pending.emplace_back();
                }
            for (size_t i = 1; i < watched.size(); ++i)
            {
                if (watched[i].revents == 0)
                    continue;
                std::uint8_t buffer[512];
                const auto got = ::recv(watched[i].fd, buffer, sizeof buffer, 0);
                if (got <= 0)
                {
                    ::close(watched[i].fd);
                    watched.erase(watched.begin() + (long) i);
                    pending.erase(pending.begin() + (long) i);
                    --i;
                    continue;
                }
                for (ssize_t k = 0; k < got; ++k)
                {
                    auto& current = pending[i];
                    if (buffer[k] == 0xF0)
                        current.clear();
                    current.push_back(buffer[k]);
                    if (buffer[k] == 0xF7)
                        received(watched[i].fd, current);
                }
            }
        }
        for (size_t i = 1; i < watched.size(); ++i)
            ::close(watched[i].fd);
    }

    void received(int fd, const std::vector<std::uint8_t>& message)
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            messages.push_back(message);
        }
        if (answers && message.size() == 6 && std::equal(searchRequest.begin(), searchRequest.end(), message.begin()))
        {
            // Found: family 309 (0x35, 0x01), member 0, on the output the request names.
            const std::uint8_t reply[] = {0xF0, 0x7D, 0x50, 0x01, 0x00, message[4], 0x35, 0x01,
                                          0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0xF7};
            ::send(fd, reply, sizeof reply, MSG_NOSIGNAL);
        }
    }

    juce::File path;
    bool answers;
    int listenFd = -1;
    std::atomic<bool> stopping{false};
    std::thread thread;
    std::mutex lock;
    std::vector<std::vector<std::uint8_t>> messages;
};

// Preferences written before a start, as a user's earlier run would leave them.
void writePreferences(const juce::File& configHome, const juce::String& body)
{
    const auto folder = configHome.getChildFile("VEXO sonavire Sound Librarian");
    ASSERT_TRUE(folder.createDirectory());
    ASSERT_TRUE(folder.getChildFile("PreferencesData.xml")
                    .replaceWithText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PreferencesData>" + body
                                     + "</PreferencesData>\n"));
}

juce::String entry(const juce::String& key, const juce::String& value)
{
    return "<" + key + " Value=\"" + value + "\"/>";
}

// Key=value of every entry of a preferences file, in file order.
juce::StringArray entriesOf(const juce::File& file)
{
    juce::StringArray entries;
    if (const auto root = juce::XmlDocument::parse(file))
        for (const auto* child : root->getChildIterator())
            entries.add(child->getTagName() + "=" + child->getStringAttribute("Value"));
    return entries;
}

class RealProgramStartup : public ::testing::Test
{
protected:
    juce::File libraryFile() const { return samples.library; }
    juce::File programFile() const { return samples.program; }
    juce::File presetFile() const { return samples.preset; }
    juce::File configHome(const char* name = "config") const { return files.file(name); }

    // Preferences of a user who switched the automatic receive off.
    void writeQuietPreferences(const juce::String& more = {}, const char* name = "config") const
    {
        writePreferences(configHome(name), entry("AutoReceive", "0") + more);
    }

    static RealProgram::Options optionsWith(const juce::File& config, const juce::StringArray& arguments = {})
    {
        RealProgram::Options options;
        options.configHome = config;
        options.arguments = arguments;
        return options;
    }

    testsupport::TemporaryFolder files;
    testsupport::CommandLineFiles samples{files.get()};
};
} // namespace

TEST_F(RealProgramStartup, FirstStartWritesTheDefaultsInstallsTheFactoryPresetsAndEndsInOrderOnSigterm)
{
    RealProgram program(optionsWith(configHome()));
    ASSERT_TRUE(program.isStarted());
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    EXPECT_EQ(program.getTitle(window), "sonavire Sound Librarian - Untitled");
    // Centred on the 1280 x 1024 screen.
    const auto bounds = program.getWindowBounds(window);
    EXPECT_LE(std::abs(bounds.getCentreX() - 640), 1) << bounds.toString();
    EXPECT_LE(std::abs(bounds.getCentreY() - 512), 1) << bounds.toString();

    program.sendSignal(SIGTERM);
    ASSERT_EQ(program.waitForExit(), 0) << program.getOutput();

    const auto file = program.getPreferencesFile();
    EXPECT_TRUE(file.loadFileAsString().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    const auto root = juce::XmlDocument::parse(file);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getTagName(), "PreferencesData");
    EXPECT_EQ(entriesOf(file), (juce::StringArray{"MidiPortAutoScan=1", "AutoReceive=1", "WarnBeforeWriting=1",
                                                  "MidiInPort=", "MidiOutPort=", "LastSavedFolder=",
                                                  "ShowPresetWindow=0", "ProgramListHeight=25",
                                                  "MainWindowPositionX=" + juce::String(bounds.getX()),
                                                  "MainWindowPositionY=" + juce::String(bounds.getY()),
                                                  "MainWindowWidth=" + juce::String(bounds.getWidth()),
                                                  "MainWindowHeight=" + juce::String(bounds.getHeight())}));

    const auto presets = program.getPreferencesFolder().getChildFile("Preset Data");
    EXPECT_EQ(presets.getNumberOfChildFiles(juce::File::findFiles, "*.isnvrpreset"), 1);
    EXPECT_EQ(program.getTemporaryFolder().getNumberOfChildFiles(juce::File::findFilesAndDirectories), 0);
    EXPECT_FALSE(program.getOutput().contains("Font not found")) << program.getOutput();
    EXPECT_FALSE(program.getOutput().contains("ERROR")) << program.getOutput();
}

TEST_F(RealProgramStartup, StoredBoundsAreClampedAndANegativePositionCentres)
{
    struct Case
    {
        int x, y, height;
        juce::Rectangle<int> expected; // empty: centred at that height
    };
    const Case cases[] = {
        {100, 80, 2000, {100, 80, 940, 1400}},
        {100, 80, 100, {100, 80, 940, 620}},
        {-8, 80, 700, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(juce::String(c.x) + "," + juce::String(c.y) + "," + juce::String(c.height));
        const auto config = configHome("bounds");
        config.deleteRecursively();
        writeQuietPreferences(entry("MainWindowPositionX", juce::String(c.x))
                                  + entry("MainWindowPositionY", juce::String(c.y))
                                  + entry("MainWindowHeight", juce::String(c.height)),
                              "bounds");
        RealProgram program(optionsWith(config));
        const auto window = program.waitForMainWindow();
        ASSERT_NE(window, 0u) << program.getOutput();
        const auto bounds = program.getWindowBounds(window);
        if (c.expected.isEmpty())
        {
            EXPECT_EQ(bounds.getHeight(), c.height);
            EXPECT_LE(std::abs(bounds.getCentreX() - 640), 1) << bounds.toString();
            EXPECT_LE(std::abs(bounds.getCentreY() - 512), 1) << bounds.toString();
        }
        else
        {
            EXPECT_EQ(bounds, c.expected);
        }
        ASSERT_EQ(program.closeAndWaitForExit(window), 0) << program.getOutput();
        const auto stored = entriesOf(program.getPreferencesFile());
        EXPECT_TRUE(stored.contains("MainWindowHeight=" + juce::String(bounds.getHeight()))) << stored.joinIntoString(" ");
    }
}

TEST_F(RealProgramStartup, KeysWrittenInAnotherCaseStayAndABrokenFileIsReplaced)
{
    writePreferences(configHome(), entry("autoreceive", "0") + entry("mainwindowpositionx", "60")
                                       + entry("MainWindowPositionY", "70"));
    {
        RealProgram program(optionsWith(configHome()));
        const auto window = program.waitForMainWindow();
        ASSERT_NE(window, 0u) << program.getOutput();
        EXPECT_EQ(program.getWindowBounds(window).getPosition(), juce::Point<int>(60, 70));
        ASSERT_EQ(program.closeAndWaitForExit(window), 0);
        const auto stored = entriesOf(program.getPreferencesFile());
        EXPECT_EQ(stored[0], "autoreceive=0");
        EXPECT_EQ(stored[1], "mainwindowpositionx=60");
        EXPECT_FALSE(stored.joinIntoString(" ").contains("AutoReceive"));
        EXPECT_FALSE(stored.joinIntoString(" ").contains("MainWindowPositionX"));
    }

    const auto broken = configHome("broken");
    writePreferences(broken, "<unclosed");
    RealProgram program(optionsWith(broken));
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    program.sendSignal(SIGTERM);
    ASSERT_EQ(program.waitForExit(), 0);
    const auto stored = entriesOf(program.getPreferencesFile());
    ASSERT_EQ(stored.size(), 12) << stored.joinIntoString(" ");
    EXPECT_EQ(stored[0], "MidiPortAutoScan=1");
    EXPECT_EQ(stored[7], "ProgramListHeight=25");
}

TEST_F(RealProgramStartup, TitleNamesTheLibraryAndASecondStartHandsItsFileOver)
{
    writeQuietPreferences();
    RealProgram first(optionsWith(configHome(), {libraryFile().getFullPathName()}));
    const auto window = first.waitForWindow([](const juce::String& title)
                                            { return title == "sonavire Sound Librarian - My Sounds.snvrlib"; });
    ASSERT_NE(window, 0u) << first.getOutput();

    // A second start of the same user names a program file: it loads into the selected program of
    // the running program, whose library is then edited; the second start shows nothing and ends.
    auto secondOptions = optionsWith(configHome(), {programFile().getFullPathName()});
    secondOptions.shareDisplayWith = &first;
    RealProgram second(secondOptions);
    EXPECT_EQ(second.waitForExit(), 0) << second.getOutput();
    EXPECT_TRUE(first.waitUntil(
        [&] { return first.getTitle(window) == "sonavire Sound Librarian - My Sounds.snvrlib (edited)"; }))
        << first.getTitle(window);
    EXPECT_EQ(first.getWindows().size(), 1u);

    first.sendSignal(SIGINT);
    EXPECT_EQ(first.waitForExit(), 0) << first.getOutput();
}

TEST_F(RealProgramStartup, CommandLineSkipsOptionPairsAndImportsPresets)
{
    writeQuietPreferences();
    {
        RealProgram program(optionsWith(
            configHome(), {"-NS", libraryFile().getFullPathName(), "-psn_0_42", programFile().getFullPathName()}));
        // The library after "-NS" is not opened; the program file is loaded into the selected first program.
        const auto window = program.waitForWindow([](const juce::String& title)
                                                  { return title == "sonavire Sound Librarian - Untitled (edited)"; });
        EXPECT_NE(window, 0u) << program.getOutput();
        program.sendSignal(SIGTERM);
        EXPECT_EQ(program.waitForExit(), 0);
    }

    RealProgram program(optionsWith(configHome(), {presetFile().getFullPathName()}));
    const auto window = program.waitForWindow([](const juce::String& title)
                                              { return title == "sonavire Sound Librarian - Untitled"; });
    ASSERT_NE(window, 0u) << program.getOutput();
    // The window shows before the command line is handled.
    const auto imported = program.getPreferencesFolder().getChildFile("Preset Data/COMMAND-LINE-TEST.isnvrpreset");
    EXPECT_TRUE(program.waitUntil([&] { return imported.existsAsFile(); }));
    EXPECT_EQ(program.closeAndWaitForExit(window), 0);
}

TEST_F(RealProgramStartup, MissingFileOnTheCommandLineShowsTheOpenFileError)
{
    writeQuietPreferences();
    RealProgram program(optionsWith(configHome(), {files.file("gone.snvrlib").getFullPathName()}));
    const auto alert = program.waitForTitle("Error");
    ASSERT_NE(alert, 0u) << program.getOutput();
    // The dark panel with a line of light text near its top.
    int light = 0;
    EXPECT_TRUE(program.waitUntil([&] {
        const auto picture = program.screenshot(alert);
        light = 0;
        for (int y = 0; y < picture.getHeight(); ++y)
            for (int x = 0; x < picture.getWidth(); ++x)
                light += picture.getPixelAt(x, y).getBrightness() > 0.8f ? 1 : 0;
        return light > 100;
    })) << light;

    program.closeWindow(alert);
    const auto window = program.waitForMainWindow();
    ASSERT_TRUE(program.waitUntil([&] { return program.getWindows().size() == 1; }));
    EXPECT_EQ(program.getTitle(window), "sonavire Sound Librarian - Untitled");
    EXPECT_EQ(program.closeAndWaitForExit(window), 0);
}

TEST_F(RealProgramStartup, AutomaticReceiveFollowsTheSearchUnlessALibraryCameOnTheCommandLine)
{
    writePreferences(configHome(), entry("AutoReceive", "1"));
    for (const bool withLibrary : {true, false})
    {
        SCOPED_TRACE(withLibrary ? "library on the command line" : "no file");
        const auto socket = files.file(withLibrary ? "with.sock" : "without.sock");
        FakeInstrument instrument(socket, true);
        auto options = optionsWith(configHome());
        if (withLibrary)
            options.arguments.add(libraryFile().getFullPathName());
        options.bridgeSocket = socket.getFullPathName();
        RealProgram program(options);
        ASSERT_NE(program.waitForMainWindow(), 0u) << program.getOutput();

        // The search finds the instrument; Receive Library then asks it who it is, unless suppressed.
        ASSERT_TRUE(program.waitUntil([&] { return instrument.count(FakeInstrument::searchRequest) > 0; }));
        if (withLibrary)
        {
            juce::Thread::sleep(1000);
            EXPECT_EQ(instrument.count(FakeInstrument::identityRequest), 0);
        }
        else
        {
            EXPECT_TRUE(program.waitUntil([&] { return instrument.count(FakeInstrument::identityRequest) > 0; }));
        }
        program.sendSignal(SIGTERM);
        EXPECT_EQ(program.waitForExit(), 0) << program.getOutput();
    }
}

TEST_F(RealProgramStartup, QuitIsRefusedWhileTheInstrumentSearchRuns)
{
    writeQuietPreferences();
    const auto socket = files.file("silent.sock");
    FakeInstrument instrument(socket, false); // never answers: the search waits its full time
    auto options = optionsWith(configHome());
    options.bridgeSocket = socket.getFullPathName();
    RealProgram program(options);
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    ASSERT_TRUE(program.waitUntil([&] { return instrument.count(FakeInstrument::searchRequest) > 0; }));

    program.closeWindow(window);
    juce::Thread::sleep(300);
    EXPECT_TRUE(program.isRunning());

    // The search gives up after 1.5 seconds; then closing quits.
    juce::Thread::sleep(1800);
    EXPECT_EQ(program.closeAndWaitForExit(window), 0) << program.getOutput();
}

TEST_F(RealProgramStartup, ProgramsOfSeparateRuntimeFoldersRunSideBySide)
{
    // Another user has another runtime folder: neither program turns the other away.
    writeQuietPreferences({}, "one");
    writeQuietPreferences({}, "two");
    RealProgram one(optionsWith(configHome("one")));
    RealProgram two(optionsWith(configHome("two")));
    EXPECT_NE(one.waitForMainWindow(), 0u) << one.getOutput();
    EXPECT_NE(two.waitForMainWindow(), 0u) << two.getOutput();
    EXPECT_TRUE(one.isRunning());
    EXPECT_TRUE(two.isRunning());
}

TEST_F(RealProgramStartup, SigintStoresTheWindowBounds)
{
    writeQuietPreferences(entry("MainWindowPositionX", "120") + entry("MainWindowPositionY", "90")
                          + entry("MainWindowHeight", "700"));
    RealProgram program(optionsWith(configHome()));
    ASSERT_NE(program.waitForMainWindow(), 0u) << program.getOutput();
    program.sendSignal(SIGINT);
    ASSERT_EQ(program.waitForExit(), 0) << program.getOutput();
    const auto stored = entriesOf(program.getPreferencesFile());
    for (const auto* expected : {"MainWindowPositionX=120", "MainWindowPositionY=90", "MainWindowWidth=940",
                                 "MainWindowHeight=700", "ProgramListHeight=25"})
        EXPECT_TRUE(stored.contains(expected)) << expected << " in " << stored.joinIntoString(" ");
}

TEST_F(RealProgramStartup, ThePresetWindowOpensAtStartWhenItWasOpenAtTheEnd)
{
    for (const bool shown : {true, false})
    {
        SCOPED_TRACE(shown ? "shown" : "not shown");
        const auto config = configHome(shown ? "shown" : "hidden");
        writeQuietPreferences(entry("ShowPresetWindow", shown ? "1" : "0"), shown ? "shown" : "hidden");
        RealProgram program(optionsWith(config));
        ASSERT_NE(program.waitForMainWindow(), 0u) << program.getOutput();
        const auto presets = program.waitForWindow([](const juce::String& title) { return title == "Presets"; },
                                                   shown ? testsupport::hangMs : 1000);
        EXPECT_EQ(presets != 0u, shown);
        program.sendSignal(SIGTERM);
        EXPECT_EQ(program.waitForExit(), 0) << program.getOutput();
    }
}
