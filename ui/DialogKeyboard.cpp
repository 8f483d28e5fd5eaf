#include "ui/DialogKeyboard.h"

namespace ui
{
namespace
{
const juce::Identifier defaultRole("dialogDefaultButton");
const juce::Identifier escapeRole("dialogEscapeButton");
const juce::Identifier dialogRole("dialogBody");

// Shown and enabled as far as the body goes: the body itself may not be on the screen yet.
bool isUsableWithin(const juce::Component& component, const juce::Component& body)
{
    if (!component.isEnabled())
        return false;
    for (auto* c = &component; c != nullptr && c != &body; c = c->getParentComponent())
        if (!c->isVisible())
            return false;
    return true;
}

template <class Visit>
void forEachButton(juce::Component& root, Visit&& visit)
{
    if (auto* button = dynamic_cast<juce::Button*>(&root))
        visit(*button);
    for (auto* child : root.getChildren())
        forEachButton(*child, visit);
}

bool isPlain(const juce::KeyPress& key)
{
    return !key.getModifiers().isCtrlDown() && !key.getModifiers().isAltDown()
           && !key.getModifiers().isCommandDown();
}
} // namespace

void setDefaultButton(juce::Button& button)
{
    button.getProperties().set(defaultRole, true);
    button.repaint();
}

void setEscapeButton(juce::Button& button, bool pressedByEscape)
{
    button.getProperties().set(escapeRole, pressedByEscape);
}

bool isDefaultButton(const juce::Component& component)
{
    return (bool) component.getProperties().getWithDefault(defaultRole, false);
}

void markDialogBody(juce::Component& body) { body.getProperties().set(dialogRole, true); }

bool showsFocusRing(const juce::Button& button)
{
    bool inDialog = false;
    for (auto* c = button.getParentComponent(); c != nullptr && !inDialog; c = c->getParentComponent())
        inDialog = (bool) c->getProperties().getWithDefault(dialogRole, false);
    if (!inDialog)
        return false;
    if (button.hasKeyboardFocus(false))
        return true;
    if (!isDefaultButton(button) || !button.isEnabled())
        return false;
    auto* focused = dynamic_cast<juce::Button*>(juce::Component::getCurrentlyFocusedComponent());
    return focused == nullptr || focused->getTopLevelComponent() != button.getTopLevelComponent();
}

DialogKeyboard::DialogKeyboard(juce::Component& dialogWindow, juce::Component& dialogBody)
    : window(&dialogWindow), body(dialogBody)
{
    markDialogBody(body);
    window->addKeyListener(this);
    juce::Desktop::getInstance().addFocusChangeListener(this);
    // One-line fields would keep Return and Escape to themselves; in a dialog they answer it.
    std::function<void(juce::Component&)> releaseKeys = [&releaseKeys](juce::Component& component)
    {
        if (auto* editor = dynamic_cast<juce::TextEditor*>(&component);
            editor != nullptr && !editor->getReturnKeyStartsNewLine())
            editor->setEscapeAndReturnKeysConsumed(false);
        for (auto* child : component.getChildren())
            releaseKeys(*child);
    };
    releaseKeys(body);
}

DialogKeyboard::~DialogKeyboard()
{
    juce::Desktop::getInstance().removeFocusChangeListener(this);
    if (window != nullptr)
        window->removeKeyListener(this);
}

juce::Button* DialogKeyboard::findUsableButton(const juce::Identifier& role) const
{
    juce::Button* found = nullptr;
    forEachButton(body,
                  [&](juce::Button& button)
                  {
                      if (found == nullptr && (bool) button.getProperties().getWithDefault(role, false)
                          && isUsableWithin(button, body))
                          found = &button;
                  });
    return found;
}

juce::Button* DialogKeyboard::getFocusedButton() const
{
    auto* button = dynamic_cast<juce::Button*>(juce::Component::getCurrentlyFocusedComponent());
    return button != nullptr && body.isParentOf(button) && isUsableWithin(*button, body) ? button : nullptr;
}

void DialogKeyboard::focusDefaultButton()
{
    if (auto* button = findUsableButton(defaultRole))
        button->grabKeyboardFocus();
}

bool DialogKeyboard::moveFocus(bool forwards)
{
    std::vector<juce::Component*> order;
    for (auto* component : juce::KeyboardFocusTraverser().getAllComponents(&body))
        if (component->getWantsKeyboardFocus())
            order.push_back(component);
    if (order.empty())
        return false;

    const auto indexOf = [&order](const juce::Component* component) -> int
    {
        for (size_t i = 0; i < order.size(); ++i)
            if (component != nullptr && (order[i] == component || order[i]->isParentOf(component)))
                return (int) i;
        return -1;
    };
    int current = indexOf(juce::Component::getCurrentlyFocusedComponent());
    if (current < 0)
        current = indexOf(findUsableButton(defaultRole));
    const int count = (int) order.size();
    int next = current < 0 ? (forwards ? 0 : count - 1) : (current + (forwards ? 1 : count - 1)) % count;
    order[(size_t) next]->grabKeyboardFocus();
    return true;
}

bool DialogKeyboard::handleKey(const juce::KeyPress& key)
{
    if (!isPlain(key))
        return false;
    const int code = key.getKeyCode();
    if (code == juce::KeyPress::returnKey)
    {
        auto* button = getFocusedButton();
        if (button == nullptr)
            button = findUsableButton(defaultRole);
        if (button != nullptr)
        {
            button->triggerClick();
            return true;
        }
        // A dialog without buttons (the about box) is only read: Return closes it, as Escape does.
        bool hasButtons = false;
        forEachButton(body, [&hasButtons](juce::Button&) { hasButtons = true; });
        if (hasButtons || window == nullptr)
            return false;
        window->exitModalState(0);
        return true;
    }
    if (code == juce::KeyPress::spaceKey)
    {
        auto* button = getFocusedButton();
        if (button == nullptr)
            return false;
        button->triggerClick();
        return true;
    }
    if (code == juce::KeyPress::tabKey)
        return moveFocus(!key.getModifiers().isShiftDown());
    if (code == juce::KeyPress::escapeKey)
    {
        auto* button = findUsableButton(escapeRole);
        if (button == nullptr)
            return false;
        button->triggerClick();
        return true;
    }
    return false;
}

void DialogKeyboard::globalFocusChanged(juce::Component* focused)
{
    if (window != nullptr && focused == window.getComponent())
        focusDefaultButton();
    forEachButton(body,
                  [](juce::Button& button)
                  {
                      if (isDefaultButton(button))
                          button.repaint();
                  });
}
} // namespace ui
