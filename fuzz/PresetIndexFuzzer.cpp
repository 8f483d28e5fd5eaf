// Any bytes as the preset folder's index: read or set aside, and no entry ever names a file outside the
// preset folder.
#include "data/PresetData.h"
#include "files/PresetFileManager.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise(
        [](const juce::File& folder)
        {
            const char* index = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<sonavire_PresetInformation>\r\n"
                                "  <Preset>\r\n    <DataID>SNVR-FACTORY-0001</DataID>\r\n"
                                "    <File>SNVR-FACTORY-0001.isnvrpreset</File>\r\n  </Preset>\r\n"
                                "</sonavire_PresetInformation>\r\n";
            fuzzsupport::writeSeed(folder, "index", juce::MemoryBlock(index, std::strlen(index)));
        });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using x47390_file::PresetFileManager;
    const auto folder = PresetFileManager::getPresetFolder();
    folder.createDirectory();
    fuzzsupport::require(PresetFileManager::getIndexFile().replaceWithData(data, size));

    // A fresh manager reads the index the way the program does at start.
    delete PresetFileManager::getInstanceWithoutCreating();
    auto* manager = PresetFileManager::getInstance();
    auto* root = manager->getIndexRoot();
    fuzzsupport::require(root != nullptr);
    for (auto* entry : root->getChildIterator())
    {
        const auto file = manager->getInstalledFile(*entry);
        if (file != juce::File())
            fuzzsupport::require(file.isAChildOf(folder));
    }

    x47390_data::PresetLibrary libraries;
    manager->reloadPresetLibraries(libraries);
    return 0;
}
