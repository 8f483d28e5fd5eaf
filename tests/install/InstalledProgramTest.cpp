// The program as `cmake --install` lays it out (staged with DESTDIR below a prefix of its own, by the
// CTest fixture "install_into_test_prefix"): its files, its desktop entry and MIME types as the desktop's
// own tools read them, and the installed executable started the way a file manager starts it.
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "files/TuneOctFileWriter.h"
#include "files/TuneScaleFileWriter.h"
#include "tests/app/ShellTestSupport.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

using testsupport::RealProgram;

namespace
{
const juce::String entryName = "sonavire-sound-librarian.desktop";

juce::File installedRoot() { return juce::File(SONAVIRE_INSTALLED_ROOT); }
juce::File installedShare() { return installedRoot().getChildFile("share"); }
juce::File desktopEntry() { return installedShare().getChildFile("applications/" + entryName); }

struct Result
{
    int exitCode = -1;
    juce::String output; // standard output and standard error
};

Result run(const juce::StringArray& command)
{
    Result result;
    juce::ChildProcess process;
    if (!process.start(command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return result;
    result.output = process.readAllProcessOutput();
    if (process.waitForProcessToFinish(60000))
        result.exitCode = (int) process.getExitCode();
    else
        process.kill();
    return result;
}

// The value of a key of the desktop entry's main group.
juce::String entryValue(const juce::String& key)
{
    juce::StringArray lines;
    lines.addLines(desktopEntry().loadFileAsString());
    for (const auto& line : lines)
        if (line.startsWith(key + "="))
            return line.fromFirstOccurrenceOf("=", false, false);
    return {};
}

// What a file manager runs for these files: the entry's Exec line with %F replaced by the paths, each one
// argument; the program named there is looked up in the installed bin/ folder.
juce::StringArray desktopEntryCommand(const juce::StringArray& paths)
{
    juce::StringArray command;
    for (const auto& word : juce::StringArray::fromTokens(entryValue("Exec"), " ", ""))
    {
        if (word == "%F")
            command.addArray(paths);
        else if (command.isEmpty())
            command.add(installedRoot().getChildFile("bin").getChildFile(word).getFullPathName());
        else
            command.add(word);
    }
    return command;
}

RealProgram::Options startedFromDesktopEntry(const juce::StringArray& paths, const RealProgram* running = nullptr)
{
    const auto command = desktopEntryCommand(paths);
    RealProgram::Options options;
    options.executable = juce::File(command[0]);
    options.arguments = juce::StringArray(command.strings.begin() + 1, command.size() - 1);
    options.shareDisplayWith = running;
    // The installed program must find its resources by itself.
    options.environment.add("SONAVIRE_RESOURCES=");
    return options;
}

class InstalledProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installedRoot().getChildFile("bin/sonavire-sound-librarian").existsAsFile())
            << "nothing installed at " << installedRoot().getFullPathName()
            << " (the CTest fixture install_into_test_prefix installs it)";
    }

    testsupport::TemporaryFolder files;
};
} // namespace

TEST_F(InstalledProgram, LaysOutTheProgramItsTextsADesktopEntryIconsAndMimeTypes)
{
    const auto bin = installedRoot().getChildFile("bin");
    EXPECT_EQ(access(bin.getChildFile("sonavire-sound-librarian").getFullPathName().toRawUTF8(), X_OK), 0);
    // Nothing beside the executable: the program must look in share/ for its texts.
    EXPECT_FALSE(bin.getChildFile("Resources").exists());
    EXPECT_TRUE(installedShare().getChildFile("sonavire-sound-librarian/LocalizableStrings.xml").existsAsFile());

    const auto validation = run({"desktop-file-validate", desktopEntry().getFullPathName()});
    EXPECT_EQ(validation.exitCode, 0) << validation.output;
    EXPECT_EQ(validation.output, "");
    EXPECT_EQ(entryValue("Exec"), "sonavire-sound-librarian %F");
    EXPECT_EQ(entryValue("Categories"), "AudioVideo;Audio;Music;");

    // The entry claims only types the package defines.
    const auto package = juce::XmlDocument::parse(installedShare().getChildFile("mime/packages/sonavire-sound-librarian.xml"));
    ASSERT_NE(package, nullptr);
    juce::StringArray defined;
    for (const auto* type : package->getChildWithTagNameIterator("mime-type"))
        defined.add(type->getStringAttribute("type"));
    EXPECT_EQ(defined.size(), 5) << defined.joinIntoString(" ");
    const auto claimed = juce::StringArray::fromTokens(entryValue("MimeType"), ";", "");
    EXPECT_FALSE(claimed.isEmpty());
    for (const auto& type : claimed)
        EXPECT_TRUE(type.isEmpty() || defined.contains(type)) << type;

    // Our own artwork at each size of the theme: the dark tile fills the middle, the corners stay clear.
    const auto icon = entryValue("Icon");
    EXPECT_EQ(icon, "sonavire-sound-librarian");
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
    {
        const auto sizeName = juce::String(size) + "x" + juce::String(size);
        const auto image = juce::ImageFileFormat::loadFrom(
            installedShare().getChildFile("icons/hicolor/" + sizeName + "/apps/" + icon + ".png"));
        ASSERT_TRUE(image.isValid()) << sizeName;
        EXPECT_EQ(image.getWidth(), size);
        EXPECT_EQ(image.getHeight(), size);
        EXPECT_EQ(image.getPixelAt(0, 0).getAlpha(), 0) << sizeName;
        EXPECT_EQ(image.getPixelAt(size / 2, size / 2).getAlpha(), 255) << sizeName;
    }
}

TEST_F(InstalledProgram, DesktopToolsNameOurTypesForOurFilesAndOurEntryToOpenThem)
{
    ASSERT_EQ(run({"update-mime-database", installedShare().getChildFile("mime").getFullPathName()}).exitCode, 0);

    // Files as the program writes them.
    const testsupport::CommandLineFiles written(files.get());
    x47390_data::TuneScaleData scale;
    ASSERT_EQ(x47390_file::TuneScaleFileWriter(&scale).write(files.file("scale.snvrtuns")), 0);
    x47390_data::TuneOctData octave;
    ASSERT_EQ(x47390_file::TuneOctFileWriter(&octave).write(files.file("octave.snvrtuno")), 0);
    juce::ZipFile::Builder otherZip;
    otherZip.addEntry(new juce::MemoryInputStream(juce::MemoryBlock("text", 4), true), 0, "readme.txt",
                      juce::Time::getCurrentTime());
    {
        juce::FileOutputStream out(files.file("other.zip"));
        ASSERT_TRUE(otherZip.writeToStream(out, nullptr));
    }

    // xdg-mime sees only the installed share/ folder and the system's types, and no desktop of the
    // machine's session: its answers depend on nothing else.
    const auto home = files.file("home");
    const auto xdgMime = [&](const juce::String& query, const juce::String& argument)
    {
        const auto result = run({"env", "-i", "PATH=/usr/bin:/bin", "HOME=" + home.getFullPathName(),
                                 "XDG_DATA_HOME=" + installedShare().getFullPathName(),
                                 "XDG_DATA_DIRS=" + installedShare().getFullPathName() + ":/usr/share",
                                 "XDG_CONFIG_HOME=" + home.getChildFile("config").getFullPathName(),
                                 "XDG_CONFIG_DIRS=" + home.getChildFile("config-dirs").getFullPathName(),
                                 "XDG_CURRENT_DESKTOP=X-Generic", "xdg-mime", "query", query, argument});
        EXPECT_EQ(result.exitCode, 0) << query << " " << argument << ": " << result.output;
        return result.output.trim();
    };

    struct Case
    {
        juce::File file;
        juce::String type;
        bool opensInProgram;
    };
    const std::vector<Case> cases{
        {written.library, "application/x-sonavire-library", true},
        {written.program, "application/x-sonavire-program", true},
        {written.preset, "application/x-sonavire-preset", true},
        {files.file("scale.snvrtuns"), "application/x-sonavire-scale", false},
        {files.file("octave.snvrtuno"), "application/x-sonavire-octave", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file.getFileName().toStdString());
        EXPECT_EQ(xdgMime("filetype", c.file.getFullPathName()), c.type);
        // Written in capitals, and renamed without its extension: then the zip's first member tells.
        const auto capitals = files.file("CAPITALS" + c.file.getFileExtension().toUpperCase());
        ASSERT_TRUE(c.file.copyFileTo(capitals));
        EXPECT_EQ(xdgMime("filetype", capitals.getFullPathName()), c.type);
        const auto renamed = files.file("renamed-" + c.file.getFileExtension().substring(1));
        ASSERT_TRUE(c.file.copyFileTo(renamed));
        EXPECT_EQ(xdgMime("filetype", renamed.getFullPathName()), c.type);

        if (c.opensInProgram)
            EXPECT_EQ(xdgMime("default", c.type), entryName);
    }
    // Other zip files stay zip files.
    const auto zipRenamed = files.file("renamed-zip");
    ASSERT_TRUE(files.file("other.zip").copyFileTo(zipRenamed));
    EXPECT_EQ(xdgMime("filetype", zipRenamed.getFullPathName()), "application/zip");
}

TEST_F(InstalledProgram, OpensTheFilesItsDesktopEntryPassesAtStartAndFromASecondStart)
{
    const testsupport::CommandLineFiles written(files.get());
    const auto other = files.file("Other Sounds.snvrlib");
    ASSERT_TRUE(written.library.copyFileTo(other));

    RealProgram first(startedFromDesktopEntry({written.library.getFullPathName()}));
    ASSERT_TRUE(first.isStarted());
    const auto window = first.waitForWindow([](const juce::String& title)
                                            { return title == "sonavire Sound Librarian - My Sounds.snvrlib"; });
    ASSERT_NE(window, 0u) << first.getOutput();

    // A file opened from the file manager while the program runs: the second start hands it over and ends.
    {
        RealProgram second(startedFromDesktopEntry({other.getFullPathName()}, &first));
        EXPECT_EQ(second.waitForExit(), 0) << second.getOutput();
    }
    EXPECT_TRUE(first.waitUntil(
        [&] { return first.getTitle(window) == "sonavire Sound Librarian - Other Sounds.snvrlib"; }, 60000))
        << first.getTitle(window);

    // A file that has gone since: the running program says so in its own words, read from the
    // installed texts.
    {
        RealProgram third(startedFromDesktopEntry({files.file("gone.snvrlib").getFullPathName()}, &first));
        EXPECT_EQ(third.waitForExit(), 0) << third.getOutput();
    }
    const auto alert = first.waitForTitle("Error", 60000);
    ASSERT_NE(alert, 0u) << first.getOutput();
    first.closeWindow(alert);
    ASSERT_TRUE(first.waitForMainWindowAlone(60000));
    EXPECT_EQ(first.closeAndWaitForExit(window), 0) << first.getOutput();
}
