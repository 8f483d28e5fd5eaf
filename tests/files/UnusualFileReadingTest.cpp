// What every reader does with a name that is not a readable regular file: a FIFO (which blocks an ordinary
// open for good), a folder, a device, a file the user may not read, and nothing at all.
#include "data/LibraryData.h"
#include "data/PresetData.h"
#include "data/UserData.h"
#include "files/FileReader.h"
#include "files/LibraryFileReader.h"
#include "files/PresetFileReader.h"
#include "files/ProgramFileReader.h"
#include "files/ScalaDataImporter.h"
#include "files/TuneOctFileReader.h"
#include "files/TuneScaleFileReader.h"
#include "files/UserUnitFileReader.h"
#include "files/VoicingEditorLibraryDataImporter.h"
#include "tests/support/UnusualFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using Read = std::function<int(const juce::File&)>;

template <class Reader, class Record>
Read readerOf()
{
    return [](const juce::File& file)
    {
        auto record = std::make_unique<Record>();
        return Reader(record.get()).read(file);
    };
}
} // namespace

TEST(UnusualFileReading, EveryReaderRefusesWhatIsNoReadableRegularFileWithTheOpenError)
{
    testsupport::TemporaryFolder folder;
    // Traversable for the ordinary user, so that only the file's own permissions stop it.
    ASSERT_EQ(::chmod(folder.get().getFullPathName().toRawUTF8(), 0755), 0);

    const auto fifo = folder.file("pipe.snvrlib");
    ASSERT_TRUE(testsupport::makeFifo(fifo));
    const auto subfolder = folder.file("folder.snvrlib");
    ASSERT_TRUE(subfolder.createDirectory());
    const auto device = folder.file("zero.snvrlib");
    ASSERT_TRUE(juce::File("/dev/zero").createSymbolicLink(device, true));
    const auto unreadable = folder.file("locked.snvrlib");
    ASSERT_TRUE(unreadable.replaceWithText("whatever it holds"));
    ASSERT_EQ(::chmod(unreadable.getFullPathName().toRawUTF8(), 0), 0);
    const auto missing = folder.file("missing.snvrlib");

    struct Reader
    {
        const char* name;
        Read read;
        int missingCode; // the library-type readers keep their code for a missing file
    };
    const Reader readers[] = {
        {"library", readerOf<x47390_file::LibraryFileReader, x47390_data::LibraryData>(), 14},
        {"program", readerOf<x47390_file::ProgramFileReader, x47390_data::ProgramData>(), 14},
        {"preset", readerOf<x47390_file::PresetFileReader, x47390_data::PresetData>(), 14},
        {"user scale", readerOf<x47390_file::TuneScaleFileReader, x47390_data::TuneScaleData>(), 14},
        {"user octave", readerOf<x47390_file::TuneOctFileReader, x47390_data::TuneOctData>(), 14},
        {"user unit", readerOf<x47390_file::UserUnitFileReader, x47390_data::UserUnitData>(), 35},
        {"older editor library", readerOf<x47390_file::VoicingEditorLibraryDataImporter, x47390_data::LibraryData>(),
         1},
        {"Scala scale", [](const juce::File& file) { return x47390_file::ScalaDataImporter().read(file); }, 1},
        {"Scala keyboard map", [](const juce::File& file)
         { return x47390_file::ScalaDataImporter::importKeyboardMap(file); }, 1},
    };
    struct Kind
    {
        const char* name;
        juce::File file;
        bool unprivileged;
    };
    const Kind kinds[] = {
        {"FIFO", fifo, false},
        {"folder", subfolder, false},
        {"device", device, false},
        {"file without read permission", unreadable, true},
    };

    for (const auto& reader : readers)
    {
        for (const auto& kind : kinds)
        {
            const testsupport::FifoRelease release(fifo);
            std::optional<testsupport::UnprivilegedFileAccess> user;
            if (kind.unprivileged)
                user.emplace();
            EXPECT_EQ(reader.read(kind.file), file::ReadError::openFile) << reader.name << ", " << kind.name;
            EXPECT_FALSE(release.wasNeeded()) << reader.name << " waits for ever on a " << kind.name;
        }
        EXPECT_EQ(reader.read(missing), reader.missingCode) << reader.name;
    }
    EXPECT_TRUE(fifo.exists() && subfolder.isDirectory()) << "nothing is changed";
}

TEST(UnusualFileReading, TheUnprivilegedUserCannotOpenTheLockedFile)
{
    // The check above means something only when the ordinary user is really kept out.
    testsupport::TemporaryFolder folder;
    ASSERT_EQ(::chmod(folder.get().getFullPathName().toRawUTF8(), 0755), 0);
    const auto locked = folder.file("locked");
    ASSERT_TRUE(locked.replaceWithText("x"));
    ASSERT_EQ(::chmod(locked.getFullPathName().toRawUTF8(), 0), 0);
    const testsupport::UnprivilegedFileAccess user;
    ASSERT_TRUE(user.isActive() || ::geteuid() != 0) << "root would read the file";
    const int fd = ::open(locked.getFullPathName().toRawUTF8(), O_RDONLY);
    EXPECT_LT(fd, 0);
    if (fd >= 0)
        ::close(fd);
}
