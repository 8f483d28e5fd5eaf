#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <functional>

namespace uitest
{
// Plays the user in front of real modal windows: each step waits for a modal component it recognises (the
// step returns false meanwhile) and acts on it. Steps run in order from the message loop, so they reach
// windows of nested modal loops as well.
class ModalDriver : private juce::Timer
{
public:
    using Step = std::function<bool(juce::Component& modal)>;

    ModalDriver() { startTimer(20); }
    ~ModalDriver() override { stopTimer(); }

    void then(Step step) { steps.push_back(std::move(step)); }
    bool isDone() const { return steps.empty(); }

    // The first child of the type inside the component, searched depth first.
    template <class Type>
    static Type* find(juce::Component& root)
    {
        if (auto* match = dynamic_cast<Type*>(&root))
            return match;
        for (auto* child : root.getChildren())
            if (auto* match = find<Type>(*child))
                return match;
        return nullptr;
    }

    // The text button with the caption inside the component.
    static juce::Button* findButton(juce::Component& root, const juce::String& caption)
    {
        if (auto* button = dynamic_cast<juce::Button*>(&root); button != nullptr && button->getButtonText() == caption)
            return button;
        for (auto* child : root.getChildren())
            if (auto* match = findButton(*child, caption))
                return match;
        return nullptr;
    }

private:
    void timerCallback() override
    {
        if (steps.empty())
            return;
        auto* modal = juce::Component::getCurrentlyModalComponent();
        if (modal != nullptr && steps.front()(*modal))
            steps.pop_front();
    }

    std::deque<Step> steps;
};
} // namespace uitest
