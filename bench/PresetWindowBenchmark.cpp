// The preset window with 100 installed preset libraries (50,000 programs): building the tree, opening
// the window until its first paint, and scrolling through every program with all libraries open.
// Needs a display (run it under xvfb-run).
#include "app/PreferencesData.h"
#include "data/DataCenter.h"
#include "platform/system/MemorySettings.h"
#include "ui/FontLibrary.h"
#include "ui/PresetListComponent.h"
#include "ui/PresetWindowManager.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

#include <X11/Xlib.h>

namespace
{
constexpr int installedLibraries = 100;

void fillPresetLibraries()
{
    auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
    presets.clear();
    for (int i = 0; i < installedLibraries; ++i)
    {
        auto preset = std::make_unique<x47390_data::PresetData>();
        preset->information.dataID = "BENCH-" + juce::String(i);
        preset->information.name = "Bench Library " + juce::String(i);
        preset->information.numOfProg = 500;
        for (int program = 0; program < x47390_data::PresetData::numPrograms; ++program)
            preset->getProgramData(program).setName("Prog " + juce::String(i) + "-" + juce::String(program));
        presets.addPresetData(*preset);
    }
}

void buildTree(benchmark::State& state)
{
    PresetListComponent list;
    for (auto _ : state)
    {
        list.getTreeView().setRootItem(nullptr);
        list.rebuildTree();
        list.getTreeView().setRootItem(list.getRootItem());
    }
    state.counters["programs"] = list.getRootItem()->getNumSubItems() * 500.0;
}

void showWindow(benchmark::State& state)
{
    auto* manager = x47390_ui::PresetWindowManager::getInstance();
    for (auto _ : state)
    {
        manager->showPresetWindow();
        auto* content = manager->getPresetWindow()->getContentComponent();
        // The first paint of what the window shows.
        benchmark::DoNotOptimize(content->createComponentSnapshot(content->getLocalBounds()));
        state.PauseTiming();
        manager->handleAsyncUpdate();
        state.ResumeTiming();
    }
}

// One step: move the view down by a page and paint the rows now visible.
void scrollTree(benchmark::State& state)
{
    PresetListComponent list;
    list.setSize(250, 500);
    auto* root = list.getRootItem();
    for (int i = 0; i < root->getNumSubItems(); ++i)
        root->getSubItem(i)->setOpen(true);
    auto& tree = list.getTreeView();
    auto* viewport = tree.getViewport();
    // The tree lays itself out from the message loop.
    juce::MessageManager::getInstance()->runDispatchLoopUntil(200);
    const int contentHeight = viewport->getViewedComponent()->getHeight();
    int y = 0;
    for (auto _ : state)
    {
        y += viewport->getViewHeight();
        if (y >= contentHeight)
            y = 0;
        viewport->setViewPosition(0, y);
        benchmark::DoNotOptimize(list.createComponentSnapshot(list.getLocalBounds()));
    }
    state.counters["rows"] = contentHeight / 25.0;
}
} // namespace

BENCHMARK(buildTree)->Name("PresetWindow/BuildTree100")->Unit(benchmark::kMillisecond);
BENCHMARK(showWindow)->Name("PresetWindow/Show100")->Unit(benchmark::kMillisecond);
BENCHMARK(scrollTree)->Name("PresetWindow/ScrollPage100")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    // As the program does.
    platform::keepFreedMemoryForReuse();
    // As a JUCE application does: an X server without a window manager refuses some window hints.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    juce::ScopedJuceInitialiser_GUI juce;
    // A private preferences folder, so the user's own window bounds are never touched.
    const auto home = juce::File::getSpecialLocation(juce::File::tempDirectory)
                          .getNonexistentChildFile("sonavire-bench", "", false);
    home.createDirectory();
    setenv("XDG_CONFIG_HOME", home.getFullPathName().toRawUTF8(), 1);
    x47390_preferences::PreferencesData::getInstance()->setIntValue("ProgramListHeight", 25);
    auto* fonts = ui::FontLibrary::getInstance();
    fonts->addFont("PresetListItemProgram", fonts->makeFont(fonts->defaultTypefaceName, 16.0f));
    fillPresetLibraries();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::DeletedAtShutdown::deleteAll();
    home.deleteRecursively();
    return 0;
}
