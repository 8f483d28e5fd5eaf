#include "files/PresetFileManager.h"
#include "files/WorkerThreads.h"

#include "app/PreferencesData.h"
#include "data/DataCenter.h"
#include "data/PresetData.h"
#include "data/PresetDataChangeBroadcaster.h"
#include "data/XmlText.h"
#include "files/FactoryPresetLibrary.h"
#include "files/FileReplacer.h"
#include "files/PresetFileReader.h"
#include "platform/system/RegularFileInputStream.h"

#include <atomic>
#include <cerrno>
#include <vector>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace x47390_file
{
namespace
{
constexpr const char* indexRootName = "sonavire_PresetInformation";
constexpr const char* entryName = "Preset";
constexpr const char* dataIDName = "DataID";
constexpr const char* fileName = "File";
// Our own index holds two short texts per library; anything far larger is not one.
constexpr juce::int64 maximumIndexSize = 8 * 1024 * 1024;

juce::String childText(const juce::XmlElement& entry, const char* name)
{
    const auto* child = data::firstChildNamed(entry, name);
    return child != nullptr ? child->getAllSubText() : juce::String();
}

std::unique_ptr<juce::XmlElement> readIndex(const juce::File& index)
{
    if (!index.existsAsFile())
        return std::make_unique<juce::XmlElement>(indexRootName);

    std::unique_ptr<juce::XmlElement> root;
    juce::MemoryBlock bytes;
    if (platform::RegularFileInputStream in(index);
        in.openedOk() && (juce::int64) in.readIntoMemoryBlock(bytes, maximumIndexSize + 1) <= maximumIndexSize)
        root = data::parseDocumentBytes(bytes.getData(), bytes.getSize());
    if (root == nullptr)
    {
        // Keep the broken index for the user to look at, and start a new one.
        index.moveFileTo(index.getSiblingFile(index.getFileName() + ".bak"));
        root = std::make_unique<juce::XmlElement>(indexRootName);
    }
    return root;
}

bool isSameFile(const juce::File& a, const juce::File& b)
{
    if (a == b)
        return true;
    struct stat first
    {
    };
    struct stat second
    {
    };
    return ::stat(a.getFullPathName().toRawUTF8(), &first) == 0 &&
           ::stat(b.getFullPathName().toRawUTF8(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// A new, uniquely named file in the temporary folder holding the bytes; invalid on failure.
juce::File writeTemporaryFile(const void* data, size_t size, const juce::String& prefix, const juce::String& suffix)
{
    const auto folder = juce::File::getSpecialLocation(juce::File::tempDirectory);
    juce::Random random;
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const auto file = folder.getChildFile(prefix + "-" + juce::String((int) ::getpid()) + "-" +
                                              juce::String::toHexString(random.nextInt()) + suffix);
        const int fd = ::open(file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
        {
            if (errno == EEXIST)
                continue;
            return {};
        }
        const auto* bytes = static_cast<const char*>(data);
        size_t left = size;
        bool ok = true;
        while (ok && left > 0)
        {
            const auto written = ::write(fd, bytes, left);
            if (written < 0 && errno == EINTR)
                continue;
            ok = written > 0;
            if (ok)
            {
                bytes += written;
                left -= static_cast<size_t>(written);
            }
        }
        ok = (::close(fd) == 0) && ok;
        if (ok)
            return file;
        file.deleteFile();
        return {};
    }
    return {};
}
} // namespace

// Created at start: what saves that a crash cut short left in the folder goes first.
PresetFileManager::PresetFileManager()
{
    file::FileReplacer::removeStaleTemporaries(getPresetFolder());
    indexRoot = readIndex(getIndexFile());
}

PresetFileManager::~PresetFileManager() = default;

juce::File PresetFileManager::getPresetFolder()
{
    x47390_preferences::PreferencesData::getInstance();
    const auto folder = x47390_preferences::PreferencesData::getPreferencesFolder().getChildFile(presetFolderName);
    if (!folder.exists())
        folder.createDirectory();
    return folder;
}

juce::File PresetFileManager::getIndexFile()
{
    return getPresetFolder().getChildFile(indexFileName);
}

juce::String PresetFileManager::makeSafeFileName(const juce::String& text)
{
    // Built as bytes: appending to a juce::String measures and copies the whole text for every character.
    std::string safe;
    for (auto p = text.getCharPointer(); !p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                             c == '_' || c == '-' || c == ' ';
        safe += allowed ? (char) c : '_';
    }
    if (safe.empty() || safe.front() == '.')
        return {};
    return juce::String(safe);
}

juce::File PresetFileManager::getInstalledFile(const juce::XmlElement& entry) const
{
    if (data::firstChildNamed(entry, fileName) == nullptr)
        return {};
    const auto name = makeSafeFileName(childText(entry, fileName));
    if (name.isEmpty())
        return {};
    const auto folder = getPresetFolder();
    const auto file = folder.getChildFile(name);
    if (file.getParentDirectory() != folder)
        return {};
    return file;
}

juce::XmlElement* PresetFileManager::findEntry(const juce::String& dataID) const
{
    for (auto* entry : indexRoot->getChildIterator())
        if (data::firstChildNamed(*entry, dataIDName) != nullptr &&
            childText(*entry, dataIDName).equalsIgnoreCase(dataID))
            return entry;
    return nullptr;
}

// Two DataIDs can make the same safe name; the later one gets a number so neither replaces the other.
juce::String PresetFileManager::makeUniqueFileName(const juce::String& safeDataID) const
{
    const auto isTaken = [this](const juce::String& name)
    {
        for (auto* entry : indexRoot->getChildIterator())
            if (getInstalledFile(*entry).getFileName() == name)
                return true;
        return false;
    };
    auto name = safeDataID + installedExtension;
    for (int number = 2; isTaken(name); ++number)
        name = safeDataID + "_" + juce::String(number) + installedExtension;
    return name;
}

bool PresetFileManager::writeIndex() const
{
    const auto text = data::toDocumentText(*indexRoot);
    return file::FileReplacer::replaceWithData(getIndexFile(), text.toRawUTF8(), text.getNumBytesAsUTF8()) == 0;
}

bool PresetFileManager::importPresetFile(const juce::File& file)
{
    auto preset = std::make_unique<x47390_data::PresetData>();
    if (PresetFileReader(preset.get()).read(file) != 0)
        return false;
    const auto id = preset->information.dataID;

    auto* entry = findEntry(id);
    auto target = entry != nullptr ? getInstalledFile(*entry) : juce::File();
    const bool repairEntry = entry != nullptr && target == juce::File();
    if (target == juce::File())
    {
        const auto safeID = makeSafeFileName(id);
        if (safeID.isEmpty())
            return false;
        target = getPresetFolder().getChildFile(makeUniqueFileName(safeID));
        if (target.getParentDirectory() != getPresetFolder())
            return false;
    }

    // Importing the installed file itself keeps it; any other file replaces it only once copied whole.
    const bool targetExisted = target.existsAsFile();
    if (!isSameFile(file, target))
    {
        juce::MemoryBlock bytes;
        if (platform::RegularFileInputStream in(file); !in.openedOk() || !in.readIntoMemoryBlock(bytes) ||
            file::FileReplacer::replaceWithData(target, bytes.getData(), bytes.getSize()) != 0)
            return false;
    }

    if (entry != nullptr && !repairEntry)
        return true;

    if (repairEntry)
    {
        // An entry whose "File" was unusable now names the file just installed.
        auto* fileChild = data::firstChildNamed(*entry, fileName);
        const auto previous = fileChild != nullptr ? childText(*entry, fileName) : juce::String();
        if (fileChild != nullptr)
            entry->removeChildElement(const_cast<juce::XmlElement*>(fileChild), true);
        data::addTextChild(*entry, fileName, target.getFileName());
        if (writeIndex())
            return true;
        entry->removeChildElement(const_cast<juce::XmlElement*>(data::firstChildNamed(*entry, fileName)), true);
        if (fileChild != nullptr)
            data::addTextChild(*entry, fileName, previous);
        if (!targetExisted)
            target.deleteFile();
        return false;
    }

    auto* added = indexRoot->createNewChildElement(entryName);
    data::addTextChild(*added, dataIDName, id);
    data::addTextChild(*added, fileName, target.getFileName());
    if (writeIndex())
        return true;

    // An entry that is not on disk would vanish at the next start: report the import as failed.
    indexRoot->removeChildElement(added, true);
    if (!targetExisted)
        target.deleteFile();
    return false;
}

int PresetFileManager::reloadPresetLibraries(x47390_data::PresetLibrary& libraries) const
{
    // The records held so far go one by one, each just before its place is read again: what they free is
    // taken by the next reads instead of going back to the system and being faulted in anew.
    auto previous = libraries.takeAll();
    std::vector<juce::File> files;
    for (auto* entry : indexRoot->getChildIterator())
        files.push_back(getInstalledFile(*entry));

    // A user may have installed a hundred libraries, all read before the window shows: several files are
    // read at once, each into a record of its own, and the records join the list in index order.
    struct Result
    {
        std::unique_ptr<x47390_data::PresetData> preset;
        int code = file::ReadError::failedToUncompressZipFile;
    };
    std::vector<Result> results(files.size());
    std::atomic<size_t> next{0};
    std::atomic<size_t> firstFailure{files.size()};
    const auto readFiles = [&](int)
    {
        for (size_t i = next++; i < files.size(); i = next++)
        {
            if (i < previous.size())
                previous[i].reset();
            if (i > firstFailure || files[i] == juce::File())
                continue; // not read: the list ends before it
            // Each file is read into a new record that the list then takes over: a copy would hold the
            // library twice until the reading is over.
            auto preset = std::make_unique<x47390_data::PresetData>();
            results[i].code = PresetFileReader(preset.get()).read(files[i]);
            if (results[i].code == file::ReadError::noError)
                results[i].preset = std::move(preset);
            else
                for (auto failed = firstFailure.load(); i < failed && !firstFailure.compare_exchange_weak(failed, i);)
                {
                }
        }
    };

    workerThreads::run(workerThreads::countFor(files.size(), 1, maximumReadingThreads), readFiles);

    for (auto& result : results)
    {
        if (result.preset == nullptr)
            return result.code;
        libraries.addPresetData(std::move(result.preset));
    }
    return file::ReadError::noError;
}

int PresetFileManager::reloadPresetLibraries() const
{
    const int code = reloadPresetLibraries(x47390_data::DataCenter::getInstance()->getPresetLibrary());
    if (code == file::ReadError::noError)
        data::PresetDataChangeBroadcaster::getInstance()->notifyPresetDataChanged();
    return code;
}

bool PresetFileManager::installFactoryPresetLibrary()
{
    if (indexRoot->getNumChildElements() > 0)
        return false;
    const auto temporary = writeTemporaryFile(getFactoryPresetLibraryData(), getFactoryPresetLibrarySize(),
                                              "TempPresetData", ".snvrpreset");
    if (temporary == juce::File())
        return false;
    const bool installed = importPresetFile(temporary);
    temporary.deleteFile();
    return installed;
}
} // namespace x47390_file
