// The PROGRAM tab of a 940 x 1400 main window: a full repaint of the program table, its repaint after
// an edit and after scrolling a page, and a full repaint of the whole window showing the tab.
// Needs a display (run it under xvfb-run).
#include "app/ApplicationMenuManager.h"
#include "app/PreferencesData.h"
#include "data/DataCenter.h"
#include "data/DataChangeBroadcaster.h"
#include "platform/system/MemorySettings.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/FontLibrary.h"
#include "ui/LeftPaneComponent.h"
#include "ui/MainComponent.h"

#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

#include <X11/Xlib.h>

namespace
{
constexpr int windowWidth = 940;
constexpr int windowHeight = 1400;
// The table's pane: the page (window height less the tab bar) less the favourites' 286 pixels.
constexpr int tableHeight = windowHeight - 30 - 286;

void registerTextStyles()
{
    auto* fonts = ui::FontLibrary::getInstance();
    const auto name = fonts->defaultTypefaceName;
    for (const char* key : {"ProgramListNumber", "ProgramListName", "ProgramListCategory", "ProgramListLike",
                            "ProgramListTimbType", "ProgramListVco1Wave", "ProgramListVco2Wave", "ProgramListMultiType",
                            "ProgramListScaleSet"})
        fonts->addFont(key, fonts->makeFont(name, 15.0f));
    fonts->addFont("FavoriteDisplayNumber", fonts->makeFont(name, 18.0f));
    fonts->addFont("FavoriteDisplayName", fonts->makeFont(name, 16.0f));
    fonts->addFont("HeaderModeButton", fonts->makeFont(name, 12.0f));
    fonts->addFont("HeaderProgDisplay", fonts->makeFont(name, 20.0f));
    fonts->addFont("ImageTextButton", fonts->makeFont(name, 16.0f));
    fonts->addFont("Label", fonts->makeFont(name, 16.0f));
    fonts->addFont("TabButton", fonts->makeFont(name, 18.0f));
}

// Programs with names and parameter values of every kind, and a filled live set.
void fillLibrary()
{
    auto& library = x47390_data::DataCenter::getInstance()->getLibraryData();
    juce::Random random(47390);
    for (int i = 0; i < x47390_data::LibraryData::numPrograms; ++i)
    {
        auto& program = library.getProgramData(i);
        program.binary[29] = (juce::uint8) random.nextInt(9);    // category
        program.binary[19] = (juce::uint8) random.nextInt(3);    // timbre type
        program.binary[76] = (juce::uint8) random.nextInt(2);    // like
        program.binary[90] = (juce::uint8) random.nextInt(3);    // VCO 1 wave
        program.binary[99] = (juce::uint8) random.nextInt(3);    // VCO 2 wave
        program.binary[109] = (juce::uint8) random.nextInt(3);   // multi type
        program.binary[51] = (juce::uint8) random.nextInt(140); // tuning, some naming none
        program.setName("Bench " + juce::String(i));
    }
    for (auto& bank : library.getFavoriteData().entries)
        for (auto& entry : bank)
            entry = random.nextInt(501);
}

void paintTable(benchmark::State& state)
{
    LeftPaneComponent pane;
    pane.setSize(windowWidth, tableHeight);
    auto& list = *pane.getProgramListComponent();
    for (auto _ : state)
        benchmark::DoNotOptimize(list.createComponentSnapshot(list.getLocalBounds()));
    state.counters["rows"] = tableHeight / 25.0;
}

// What follows an edit: the table takes the new content, then paints.
void paintTableAfterEdit(benchmark::State& state)
{
    LeftPaneComponent pane;
    pane.setSize(windowWidth, tableHeight);
    auto& list = *pane.getProgramListComponent();
    for (auto _ : state)
    {
        list.dataChanged();
        benchmark::DoNotOptimize(list.createComponentSnapshot(list.getLocalBounds()));
    }
}

// One step of scrolling: the view moves down by a page and the rows now shown are painted.
void scrollTable(benchmark::State& state)
{
    LeftPaneComponent pane;
    pane.setSize(windowWidth, tableHeight);
    auto& list = *pane.getProgramListComponent();
    auto* viewport = list.getTable().getViewport();
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
}

void paintProgramTab(benchmark::State& state)
{
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    juce::LookAndFeel::setDefaultLookAndFeel(&lookAndFeel);
    {
        MainComponent main;
        main.setSize(windowWidth, windowHeight);
        for (auto _ : state)
            benchmark::DoNotOptimize(main.createComponentSnapshot(main.getLocalBounds()));
    }
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
}
} // namespace

BENCHMARK(paintTable)->Name("ProgramTable/FullRepaint940x1400")->Unit(benchmark::kMillisecond);
BENCHMARK(paintTableAfterEdit)->Name("ProgramTable/RepaintAfterEdit940x1400")->Unit(benchmark::kMillisecond);
BENCHMARK(scrollTable)->Name("ProgramTable/ScrollPage940x1400")->Unit(benchmark::kMillisecond);
BENCHMARK(paintProgramTab)->Name("ProgramTab/FullRepaint940x1400")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // As the program does.
    platform::keepFreedMemoryForReuse();
    // As a JUCE application does: an X server without a window manager refuses some window hints.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    juce::ScopedJuceInitialiser_GUI juce;
    // A private preferences folder, so the user's own settings are never touched.
    const auto home = juce::File::getSpecialLocation(juce::File::tempDirectory)
                          .getNonexistentChildFile("sonavire-bench", "", false);
    home.createDirectory();
    setenv("XDG_CONFIG_HOME", home.getFullPathName().toRawUTF8(), 1);
    x47390_preferences::PreferencesData::getInstance()->setIntValue("ProgramListHeight", 25);
    registerTextStyles();
    fillLibrary();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::DeletedAtShutdown::deleteAll();
    home.deleteRecursively();
    return 0;
}
