#include "ui/FileChooserRunner.h"

#include "app/CJQZResource.h"
#include "files/FileExtensionChecker.h"
#include "platform/loop/EventLoop.h"
#include "ui/AlertDialogComponent.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/DialogKeyboard.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"

#include <memory>

namespace ui
{
namespace
{
FileChooserScript& script()
{
    static FileChooserScript instance;
    return instance;
}

int browserFlags(FileChooserRequest::Mode mode)
{
    switch (mode)
    {
        case FileChooserRequest::Mode::openOne:
            return juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;
        case FileChooserRequest::Mode::openSeveral:
            return juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles
                   | juce::FileBrowserComponent::canSelectMultipleItems;
        case FileChooserRequest::Mode::save:
            return juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles;
    }
    return 0;
}

// The application's look, completed with the colours of the chooser's parts, so that its texts stay readable
// on the dark panels of the program's other dialogs.
class ChooserLookAndFeel : public x47390_ui::DefaultLookAndFeel
{
public:
    static constexpr juce::uint32 panel = 0xff333333;

    ChooserLookAndFeel()
    {
        const std::pair<int, juce::uint32> colours[] = {
            {juce::FileChooserDialogBox::titleTextColourId, 0xffd3d3d3},
            {juce::ListBox::backgroundColourId, 0xff111111},
            {juce::ListBox::outlineColourId, 0xff666666},
            {juce::DirectoryContentsDisplayComponent::textColourId, 0xffd3d3d3},
            {juce::DirectoryContentsDisplayComponent::highlightColourId, 0xff666666},
            {juce::DirectoryContentsDisplayComponent::highlightedTextColourId, 0xffffffff},
            {juce::FileBrowserComponent::currentPathBoxBackgroundColourId, 0xff111111},
            {juce::FileBrowserComponent::currentPathBoxTextColourId, 0xffd3d3d3},
            {juce::FileBrowserComponent::currentPathBoxArrowColourId, 0xffd3d3d3},
            {juce::FileBrowserComponent::filenameBoxBackgroundColourId, 0xff111111},
            {juce::FileBrowserComponent::filenameBoxTextColourId, 0xffd3d3d3},
            {juce::CaretComponent::caretColourId, 0xffd3d3d3},
            {juce::ScrollBar::thumbColourId, 0xff666666},
        };
        for (const auto& [id, argb] : colours)
            setColour(id, juce::Colour(argb));
    }
};

// The toolkit's chooser box, kept over the whole request: after a declined overwrite question it opens
// again on the same folder and name.
class ToolkitChooser : private juce::FocusChangeListener
{
public:
    explicit ToolkitChooser(const FileChooserRequest& request)
        : filter(makeFilePattern(request.extensions), {}, {}),
          browser(browserFlags(request.mode), juce::File(), &filter, nullptr),
          box(request.title, {}, browser, false, juce::Colour(ChooserLookAndFeel::panel), nullptr)
    {
        box.setLookAndFeel(&lookAndFeel);
        juce::Desktop::getInstance().addFocusChangeListener(this);
        // The button Return presses wears the focus ring, as in the program's own dialogs.
        markDialogBody(box);
        std::function<void(juce::Component&)> markDefault = [&markDefault](juce::Component& component)
        {
            if (auto* button = dynamic_cast<juce::Button*>(&component);
                button != nullptr && button->isRegisteredForShortcut(juce::KeyPress(juce::KeyPress::returnKey)))
                setDefaultButton(*button);
            for (auto* child : component.getChildren())
                markDefault(*child);
        };
        markDefault(box);
    }

    ~ToolkitChooser() override
    {
        juce::Desktop::getInstance().removeFocusChangeListener(this);
        box.setLookAndFeel(nullptr);
    }

    // The name field, where a typed name or path goes; null where names are only picked from the list.
    juce::TextEditor* getFileNameField()
    {
        for (auto* child : browser.getChildren())
            if (auto* field = dynamic_cast<juce::TextEditor*>(child); field != nullptr && !field->isReadOnly())
                return field;
        return nullptr;
    }

    juce::Array<juce::File> run()
    {
        // The box's own show() at its default size, in the program's modal loop.
        box.centreWithSize(600, 500);
        box.enterModalState(true);
        focusFileNameField();
        const bool chosenSome = platform::runModalLoop(box) != 0;
        box.setVisible(false);
        if (!chosenSome)
            return {};
        juce::Array<juce::File> chosen;
        for (int i = 0; i < browser.getNumSelectedFiles(); ++i)
            chosen.add(browser.getSelectedFile(i));
        return chosen;
    }

private:
    // The box takes the focus itself when its window becomes active; the user's first keys are a file name.
    void globalFocusChanged(juce::Component* focused) override
    {
        if (focused == &box)
            focusFileNameField();
    }

    void focusFileNameField()
    {
        if (auto* field = getFileNameField(); field != nullptr && field->isShowing())
            field->grabKeyboardFocus();
    }

    ChooserLookAndFeel lookAndFeel;
    juce::WildcardFileFilter filter;
    juce::FileBrowserComponent browser;
    juce::FileChooserDialogBox box;
};

// Asked while the chooser's modal-dialog state is still set, so it cannot go through the alert box's own
// begin and end of the state.
bool confirmReplacing(const juce::File& file)
{
    auto* resource = CJQZResource::getInstance();
    AlertDialogComponent panel(AlertDialogComponent::okCancel,
                               resource->getString("FileOverwriteCheckMessage") + "\n" + file.getFullPathName());
    return runModalDialog(panel, resource->getString("FileOverwriteCheckTitle")) == 1;
}
} // namespace

juce::String makeFilePattern(const juce::StringArray& extensions)
{
    juce::StringArray patterns;
    for (const auto& extension : extensions)
        patterns.add("*" + extension);
    return patterns.joinIntoString(";");
}

FileChooserRequest makeFileChooserRequest(FileChooserRequest::Mode mode, const juce::String& titleKey,
                                          const juce::StringArray& extensions, const juce::String& forcedExtension)
{
    FileChooserRequest request;
    request.mode = mode;
    request.title = CJQZResource::getInstance()->getString(titleKey);
    request.extensions = extensions;
    request.warnBeforeOverwriting = true;
    request.forcedExtension = forcedExtension;
    return request;
}

juce::Array<juce::File> runFileChooser(const FileChooserRequest& request)
{
    std::unique_ptr<ToolkitChooser> chooser;
    for (;;)
    {
        juce::Array<juce::File> chosen;
        if (script())
        {
            chosen = script()(request);
        }
        else
        {
            if (chooser == nullptr)
                chooser = std::make_unique<ToolkitChooser>(request);
            chosen = chooser->run();
        }
        if (chosen.isEmpty())
            return {};

        if (request.forcedExtension.isNotEmpty())
        {
            const file::FileExtensionChecker checker(request.forcedExtension);
            for (auto& file : chosen)
                file = checker.getFileWithExtension(file);
        }

        const auto& target = chosen.getReference(0);
        if (request.mode != FileChooserRequest::Mode::save || !request.warnBeforeOverwriting
            || !target.existsAsFile() || confirmReplacing(target))
            return chosen;
    }
}

juce::Array<juce::File> runFileChooserInModalState(const FileChooserRequest& request)
{
    auto* modalState = ModalDialogState::getInstance();
    const bool before = modalState->isModalDialogOpen();
    modalState->setModalDialogOpen(true);
    auto chosen = runFileChooser(request);
    modalState->setModalDialogOpen(before);
    return chosen;
}

void setFileChooserScript(FileChooserScript newScript) { script() = std::move(newScript); }
} // namespace ui
