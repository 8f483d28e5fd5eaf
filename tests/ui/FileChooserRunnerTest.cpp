#include "app/CJQZResource.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ModalDriver.h"
#include "ui/AlertDialogComponent.h"
#include "ui/FileChooserRunner.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"

#include <gtest/gtest.h>

using ui::FileChooserRequest;
using Mode = FileChooserRequest::Mode;

namespace
{
FileChooserRequest request(Mode mode, const juce::String& forcedExtension = {})
{
    FileChooserRequest r;
    r.mode = mode;
    r.title = "Choose";
    r.extensions = {".snvrlib"};
    r.forcedExtension = forcedExtension;
    return r;
}

// Scripted answers: each chooser call takes the next list of files; each dialog the next result.
class ScriptedChooserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ui::setFileChooserScript([this](const FileChooserRequest&) {
            ++chooserCalls;
            modalDuringChooser.push_back(ui::ModalDialogState::getInstance()->isModalDialogOpen());
            if (answers.empty())
                return juce::Array<juce::File>();
            auto answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        });
        ui::setModalDialogScript([this](juce::Component& content, const juce::String&) {
            if (auto* alert = dynamic_cast<AlertDialogComponent*>(&content))
                questions.add(alert->getMessageDisplay().getText());
            const int result = results.empty() ? 0 : results.front();
            if (!results.empty())
                results.erase(results.begin());
            return result;
        });
        ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
    }

    void TearDown() override
    {
        ui::setFileChooserScript(nullptr);
        ui::setModalDialogScript(nullptr);
    }

    testsupport::TemporaryFolder temp;
    std::vector<juce::Array<juce::File>> answers;
    std::vector<int> results;
    juce::StringArray questions;
    std::vector<bool> modalDuringChooser;
    int chooserCalls = 0;
};
} // namespace

TEST(FileChooserRunner, PatternsAreStarsAndExtensionsJoinedBySemicolons)
{
    EXPECT_EQ(ui::makeFilePattern({".snvrtuno", ".drvntuno"}), "*.snvrtuno;*.drvntuno");
    EXPECT_EQ(ui::makeFilePattern({".snvrlib"}), "*.snvrlib");
    EXPECT_EQ(ui::makeFilePattern({}), "");

    const auto made = ui::makeFileChooserRequest(Mode::save, "FileSaveLibraryTitle", {".snvrlib"}, ".snvrlib");
    EXPECT_EQ(made.title, CJQZResource::getInstance()->getString("FileSaveLibraryTitle"));
    EXPECT_TRUE(made.warnBeforeOverwriting);
    EXPECT_EQ(made.forcedExtension, ".snvrlib");
}

TEST_F(ScriptedChooserTest, ChosenFilesGetTheForcedExtension)
{
    answers = {{temp.file("a.txt"), temp.file("b")}};
    const auto chosen = ui::runFileChooser(request(Mode::openSeveral, ".snvrlib"));
    EXPECT_EQ(chosen, (juce::Array<juce::File>{temp.file("a.snvrlib"), temp.file("b.snvrlib")}));

    answers = {{temp.file("c.txt")}};
    EXPECT_EQ(ui::runFileChooser(request(Mode::openOne)), juce::Array<juce::File>{temp.file("c.txt")});
    EXPECT_TRUE(ui::runFileChooser(request(Mode::openOne)).isEmpty()) << "cancelled";
    EXPECT_TRUE(questions.isEmpty());
}

// The question names the file that will be written, and only a file that exists is asked about.
TEST_F(ScriptedChooserTest, TheOverwriteQuestionIsAboutTheFileReallyWritten)
{
    ASSERT_TRUE(temp.file("song.snvrlib").replaceWithText("old"));
    ASSERT_TRUE(temp.file("other.txt").replaceWithText("old"));

    answers = {{temp.file("other.txt")}};
    EXPECT_EQ(ui::runFileChooser(request(Mode::save, ".snvrlib")), juce::Array<juce::File>{temp.file("other.snvrlib")});
    EXPECT_TRUE(questions.isEmpty());

    answers = {{temp.file("song.txt")}, {temp.file("new.txt")}};
    results = {0};
    EXPECT_EQ(ui::runFileChooser(request(Mode::save, ".snvrlib")), juce::Array<juce::File>{temp.file("new.snvrlib")})
        << "declining went back to the chooser";
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(temp.file("song.snvrlib").getFullPathName()));

    answers = {{temp.file("song")}};
    results = {1};
    EXPECT_EQ(ui::runFileChooser(request(Mode::save, ".snvrlib")), juce::Array<juce::File>{temp.file("song.snvrlib")});

    auto quiet = request(Mode::save, ".snvrlib");
    quiet.warnBeforeOverwriting = false;
    answers = {{temp.file("song")}};
    questions.clear();
    EXPECT_EQ(ui::runFileChooser(quiet), juce::Array<juce::File>{temp.file("song.snvrlib")});
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(ScriptedChooserTest, TheModalStateIsSetWhileTheChooserRunsAndGivenBackAfter)
{
    auto* state = ui::ModalDialogState::getInstance();
    ui::runFileChooserInModalState(request(Mode::openOne));
    EXPECT_FALSE(state->isModalDialogOpen());

    state->setModalDialogOpen(true); // a dialog that runs a chooser keeps its state
    ui::runFileChooserInModalState(request(Mode::openOne));
    EXPECT_TRUE(state->isModalDialogOpen());
    EXPECT_EQ(modalDuringChooser, (std::vector<bool>{true, true}));
    state->setModalDialogOpen(false);
}

// The toolkit's own chooser box, driven like a user: it shows the title and the pattern, takes a typed name,
// and after a declined overwrite question opens again on the same folder.
TEST(FileChooserRunnerWindow, TheToolkitsChooserTakesATypedNameAndAsksBeforeReplacing)
{
    testsupport::TemporaryFolder temp;
    ASSERT_TRUE(temp.file("song.snvrlib").replaceWithText("old"));
    ASSERT_TRUE(temp.file("visible.snvrlib").replaceWithText("x"));
    ASSERT_TRUE(temp.file("hidden.txt").replaceWithText("x"));

    juce::String seenTitle;
    juce::Colour panelColour;
    bool libraryShown = false, textShown = true;
    int questionsSeen = 0;
    juce::File reopenedIn;
    uitest::ModalDriver driver;
    const auto typeName = [&](juce::Component& modal, const juce::String& name) {
        auto* box = dynamic_cast<juce::FileChooserDialogBox*>(&modal);
        if (box == nullptr)
            return false;
        auto* browser = uitest::ModalDriver::find<juce::FileBrowserComponent>(modal);
        if (browser == nullptr)
            return false;
        seenTitle = box->getName();
        // Readable on the program's dark panel: the box, its name field and its list are dark.
        const auto image = box->createComponentSnapshot(box->getLocalBounds(), true, 1.0f);
        panelColour = image.getPixelAt(4, box->getHeight() / 2);
        testsupport::keepImage(image, "ui/file-chooser");
        libraryShown = browser->isFileSuitable(temp.file("visible.snvrlib"));
        textShown = browser->isFileSuitable(temp.file("hidden.txt"));
        reopenedIn = browser->getRoot();
        browser->setRoot(temp.get());
        browser->setFileName(name);
        if (auto* save = uitest::ModalDriver::findButton(modal, TRANS("Save")))
            save->triggerClick();
        return true;
    };
    driver.then([&](juce::Component& modal) { return typeName(modal, "song.txt"); });
    driver.then([&](juce::Component& modal) {
        auto* alert = uitest::ModalDriver::find<AlertDialogComponent>(modal);
        if (alert == nullptr)
            return false;
        ++questionsSeen;
        alert->getButton(2).triggerClick(); // Cancel: do not replace
        return true;
    });
    driver.then([&](juce::Component& modal) {
        if (dynamic_cast<juce::FileChooserDialogBox*>(&modal) == nullptr)
            return false;
        reopenedIn = uitest::ModalDriver::find<juce::FileBrowserComponent>(modal)->getRoot();
        return typeName(modal, "fresh.txt");
    });

    auto saveRequest = request(Mode::save, ".snvrlib");
    saveRequest.title = "Save the library";
    const auto chosen = ui::runFileChooser(saveRequest);
    EXPECT_TRUE(driver.isDone());
    EXPECT_EQ(chosen, juce::Array<juce::File>{temp.file("fresh.snvrlib")});
    EXPECT_EQ(seenTitle, "Save the library");
    EXPECT_EQ(panelColour, juce::Colour(0xff333333));
    EXPECT_TRUE(libraryShown);
    EXPECT_FALSE(textShown);
    EXPECT_EQ(questionsSeen, 1);
    EXPECT_EQ(reopenedIn, temp.get()) << "the chooser opened again where it was";
}

TEST(FileChooserRunnerWindow, CancellingTheToolkitsChooserChoosesNothing)
{
    uitest::ModalDriver driver;
    driver.then([](juce::Component& modal) {
        if (dynamic_cast<juce::FileChooserDialogBox*>(&modal) == nullptr)
            return false;
        if (auto* cancel = uitest::ModalDriver::findButton(modal, TRANS("Cancel")))
            cancel->triggerClick();
        return true;
    });
    EXPECT_TRUE(ui::runFileChooser(request(Mode::openOne)).isEmpty());
}
