#pragma once

#include "data/LibraryData.h"
#include "data/PresetData.h"
#include "data/ProgramData.h"
#include "files/LibraryFileWriter.h"
#include "files/PresetFileWriter.h"
#include "files/ProgramFileWriter.h"
#include "tests/support/RealProgram.h"

#include <gtest/gtest.h>

#include <memory>

namespace testsupport
{
// The files the command-line tests name: "My Sounds.snvrlib" (its first program "FromFile"),
// "one.snvrprog" (a program "Loaded") and "bank.snvrpreset" (DataID "COMMAND-LINE-TEST").
struct CommandLineFiles
{
    explicit CommandLineFiles(const juce::File& folder)
        : library(folder.getChildFile("My Sounds.snvrlib")),
          program(folder.getChildFile("one.snvrprog")),
          preset(folder.getChildFile("bank.snvrpreset"))
    {
        x47390_data::LibraryData libraryData;
        libraryData.getProgramData(0).setName("FromFile");
        EXPECT_EQ(x47390_file::LibraryFileWriter(&libraryData).write(library), 0);
        x47390_data::ProgramData programData;
        programData.setName("Loaded");
        EXPECT_EQ(x47390_file::ProgramFileWriter(&programData).write(program), 0);
        auto presetData = std::make_unique<x47390_data::PresetData>();
        presetData->information.dataID = "COMMAND-LINE-TEST";
        EXPECT_EQ(x47390_file::PresetFileWriter(presetData.get()).write(preset), 0);
    }

    juce::File library, program, preset;
};

} // namespace testsupport
