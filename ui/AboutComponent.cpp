#include "ui/AboutComponent.h"

#include "app/ApplicationInfo.h"
#include "ui/FontLibrary.h"
#include "ui/ImageLibrary.h"

AboutComponent::AboutComponent()
{
    juce::String version = x47390_application::applicationVersion;
    if (auto* application = juce::JUCEApplicationBase::getInstance())
        version = application->getApplicationVersion();

    versionLabel.setText("version: " + version, juce::dontSendNotification);
    versionLabel.setJustificationType(juce::Justification::centredRight);
    versionLabel.setEditable(false, false, false);
    versionLabel.setColour(juce::Label::textColourId, juce::Colour(0xffffffff));
    auto* fonts = ui::FontLibrary::getInstance();
    versionLabel.setFont(fonts->makeFont(fonts->defaultTypefaceName, 15.0f));
    versionLabel.setBounds(344, 368, 246, 24);
    versionLabel.setInterceptsMouseClicks(false, false); // a click on the version closes the box too
    addAndMakeVisible(versionLabel);

    aboutImage = ui::getImage("AboutPicture");
    setSize(600, 400);
}

AboutComponent::~AboutComponent() = default;

void AboutComponent::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xff000000));
    g.drawImage(aboutImage, getLocalBounds().withSize(600, 400).toFloat());
}

void AboutComponent::mouseDown(const juce::MouseEvent&)
{
    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState(0);
}
