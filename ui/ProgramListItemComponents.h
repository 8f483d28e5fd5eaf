#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

// The cell editors of the program table (the name label and the tuning combo box), the wrapper that
// holds one of them in a cell, and the listener interfaces through which they hand mouse presses,
// releases and drags to the table instead of handling them themselves.

class ProgramListItemMouseListener
{
public:
    virtual ~ProgramListItemMouseListener() = default;
    virtual void itemMouseDown(juce::Component*, const juce::MouseEvent&) = 0;
    virtual void itemMouseUp(juce::Component*, const juce::MouseEvent&) = 0;
    virtual void itemMouseDrag(juce::Component*, const juce::MouseEvent&) = 0;
};

class ProgramListItemMouseListenerHolder
{
public:
    virtual ~ProgramListItemMouseListenerHolder() = default;

    void addItemMouseListener(ProgramListItemMouseListener* listener);
    // Erases the first match.
    void removeItemMouseListener(ProgramListItemMouseListener* listener);
    int getNumItemMouseListeners() const noexcept { return (int) mouseListeners.size(); }

protected:
    void forwardMouseDown(juce::Component*, const juce::MouseEvent&);
    void forwardMouseUp(juce::Component*, const juce::MouseEvent&);
    void forwardMouseDrag(juce::Component*, const juce::MouseEvent&);

private:
    template <class Call>
    void forward(Call&& call);

    std::vector<ProgramListItemMouseListener*> mouseListeners;
};

// The label and combo box listener of the cell editors (the program list view).
class ProgramListItemComponentListener : public juce::Label::Listener, public juce::ComboBox::Listener
{
};

class ProgramListItemComboBoxLookAndFeel : public juce::LookAndFeel_V3
{
public:
    ProgramListItemComboBoxLookAndFeel();
    juce::Font getComboBoxFont(juce::ComboBox&) override;
    // A tuning byte that names no entry shows "Equal Tempered" in the cell's own colour.
    void drawComboBoxTextWhenNothingSelected(juce::Graphics&, juce::ComboBox&, juce::Label&) override;
    void drawLabel(juce::Graphics&, juce::Label&) override;
};

// The program name: edited on double-click; only Return stores the edit.
class ProgramListItemLabel : public juce::Label, public ProgramListItemMouseListenerHolder
{
public:
    ProgramListItemLabel();

    void mouseDown(const juce::MouseEvent&) override;
    void mouseDrag(const juce::MouseEvent&) override;
    void mouseUp(const juce::MouseEvent&) override;

    int rowIndex = 0;
    bool rowSelected = false;

protected:
    void editorShown(juce::TextEditor*) override;
    void editorAboutToBeHidden(juce::TextEditor*) override;
};

// The program's tuning: a double-click opens the list.
class ProgramListItemComboBox : public juce::ComboBox, public ProgramListItemMouseListenerHolder
{
public:
    ProgramListItemComboBox();
    ~ProgramListItemComboBox() override;

    void mouseDown(const juce::MouseEvent&) override;
    void mouseDrag(const juce::MouseEvent&) override;
    void mouseUp(const juce::MouseEvent&) override;
    void mouseDoubleClick(const juce::MouseEvent&) override;
    // Recolours the text in place: the base class builds a new text label, and the old one may be the
    // component under a held mouse button whose drag is about to start.
    void colourChanged() override;
    void focusGained(FocusChangeType) override {}
    void focusLost(FocusChangeType) override {}

    int rowIndex = 0;
    bool rowSelected = false;

private:
    std::unique_ptr<ProgramListItemComboBoxLookAndFeel> ownLookAndFeel;
};

// The component of a name or tuning cell; only the child of its mode is shown.
class ProgramListItemComponentWrapper : public juce::Component,
                                        public ProgramListItemMouseListener,
                                        public ProgramListItemMouseListenerHolder
{
public:
    enum Mode
    {
        nameMode = 0,
        tuningMode = 1
    };

    ProgramListItemComponentWrapper();
    ~ProgramListItemComponentWrapper() override;

    void itemMouseDown(juce::Component*, const juce::MouseEvent&) override;
    void itemMouseUp(juce::Component*, const juce::MouseEvent&) override;
    void itemMouseDrag(juce::Component*, const juce::MouseEvent&) override;

    // Sizes the child of the mode to the current row height.
    void setMode(int newMode);

    int mode = nameMode;
    int rowIndex = 0;
    bool rowSelected = false;
    ProgramListItemLabel label;
    ProgramListItemComboBox comboBox;
};

// The row height preference every list uses.
int getProgramListRowHeight();
