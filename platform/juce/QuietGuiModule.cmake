# The toolkit's GUI module wakes the program many times a second while nothing happens. Our copy of the
# module changes these places (the events module's timer thread, at the end, likewise):
# - The Linux window peer runs a timer at the display's refresh rate (100 Hz when the display tells none) from
#   the window's creation on, and draws only from that timer: every open window costs about 1 % of a core.
#   Here the timer starts when the window has something to draw, runs slowly while the window keeps its
#   drawing image (freed after 3 s without drawing) and stops then. A VBlankAttachment (unused here) added to
#   a quiet window is called once the window draws again.
# - While any global mouse listener exists (every text editor and the tooltip window are one), the desktop
#   asks the X server for the pointer position 10 times a second, and 50 times a second from the first
#   movement it notices on, for good. The pointer events themselves reach the global listeners (those over
#   a component that a modal dialog blocks through the desktop's fake move), so here the desktop asks only
#   after such a move, until the pointer rests.
# - The tooltip window asks the X server for the pointer 8 times a second for good. Here it stops asking while
#   it has no tip to show or hide and the pointer rests or is outside the program's windows; the pointer
#   entering any component, a click, the wheel or a tip shown by the program makes it look 8 times a second
#   again.
# - The top-level window manager looks for the active window every 1.7 s for good, and a text field's caret
#   blinks for good (see below).
# - Files dropped on a window come as URIs whose escapes the toolkit decodes as UTF-8: a name that is not
#   UTF-8 turns into another name. Here the escapes give the name's bytes, kept as
#   platform::fileNameFromBytes keeps them.
# Outcome: sonavire_quiet_gui_basics_source and sonavire_quiet_events_source, the modules' source files to
# compile in place of the originals.

set(_module "${JUCE_MODULES_DIR}/juce_gui_basics")
set(_copy "${CMAKE_CURRENT_BINARY_DIR}/quiet/juce_gui_basics")

# Copies keep their time stamps and are skipped when unchanged: configuring again rebuilds nothing.
file(COPY "${_module}" DESTINATION "${CMAKE_CURRENT_BINARY_DIR}/quiet"
     PATTERN "juce_linux_Windowing.cpp" EXCLUDE
     PATTERN "juce_Desktop.cpp" EXCLUDE
     PATTERN "juce_linux_X11_DragAndDrop.cpp" EXCLUDE
     PATTERN "juce_TooltipWindow.cpp" EXCLUDE
     PATTERN "juce_TopLevelWindow.cpp" EXCLUDE
     PATTERN "juce_CaretComponent.cpp" EXCLUDE)

# Each file is read, changed with _quiet_replace (which fails when the text is not found: another JUCE) and
# written by _quiet_write, only when it differs.
macro(_quiet_read file)
  set(_file "${file}")
  file(READ "${_module}/${file}" _text)
  string(REPLACE "\r\n" "\n" _text "${_text}")
endmacro()

function(_quiet_replace old new)
  string(FIND "${_text}" "${old}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "QuietGuiModule.cmake: ${_file} differs from JUCE 7.0.5's; text not found:\n${old}")
  endif()
  string(REPLACE "${old}" "${new}" replaced "${_text}")
  set(_text "${replaced}" PARENT_SCOPE)
endfunction()

macro(_quiet_write)
  file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/quiet/patched.tmp" "${_text}")
  file(COPY_FILE "${CMAKE_CURRENT_BINARY_DIR}/quiet/patched.tmp" "${_copy}/${_file}" ONLY_IF_DIFFERENT)
endmacro()

_quiet_read(native/juce_linux_Windowing.cpp)

# A repaint starts the timer.
_quiet_replace(
"            repainter->repaint (area.getIntersection (bounds.withZeroOrigin()));
    }"
"            repainter->repaint (area.getIntersection (bounds.withZeroOrigin()));

        updateVBlankTimer();
    }")

# What the timer looks at.
_quiet_replace(
"            regionsNeedingRepaint.add (area * peer.currentScaleFactor);
        }"
"            regionsNeedingRepaint.add (area * peer.currentScaleFactor);
        }

        bool hasRegionsToPaint() const noexcept  { return ! regionsNeedingRepaint.isEmpty(); }
        bool holdsImage() const noexcept         { return image.isValid(); }")

# After each tick the timer goes on, slows down or stops.
_quiet_replace(
"            repainter->dispatchDeferredRepaints();
    }"
"            repainter->dispatchDeferredRepaints();

        updateVBlankTimer();
    }")

_quiet_replace(
"    void updateVBlankTimer()
    {
        if (auto* display = Desktop::getInstance().getDisplays().getDisplayForRect (bounds))
        {
            // Some systems fail to set an explicit refresh rate, or ask for a refresh rate of 0
            // (observed on Raspbian Bullseye over VNC). In these situations, use a fallback value.
            const auto newIntFrequencyHz = roundToInt (display->verticalFrequencyHz.value_or (0.0));
            const auto frequencyToUse = newIntFrequencyHz != 0 ? newIntFrequencyHz : 100;

            if (vBlankManager.getTimerInterval() != frequencyToUse)
                vBlankManager.startTimerHz (frequencyToUse);
        }
    }"
"    void updateVBlankTimer()
    {
        int interval = 0;

        if (! vBlankListeners.isEmpty() || (repainter != nullptr && repainter->hasRegionsToPaint()))
        {
            // Some systems fail to set an explicit refresh rate, or ask for a refresh rate of 0
            // (observed on Raspbian Bullseye over VNC). In these situations, use a fallback value.
            const auto* display = Desktop::getInstance().getDisplays().getDisplayForRect (bounds);
            const auto newIntFrequencyHz = display != nullptr ? roundToInt (display->verticalFrequencyHz.value_or (0.0)) : 0;
            interval = jmax (1, 1000 / (newIntFrequencyHz > 0 ? newIntFrequencyHz : 100));
        }
        else if (repainter != nullptr && repainter->holdsImage())
        {
            interval = 1000;
        }

        // Started again only when the interval changes: a restart would put the next tick off.
        if (interval == 0)
            vBlankManager.stopTimer();
        else if (vBlankManager.getTimerInterval() != interval)
            vBlankManager.startTimer (interval);
    }")
_quiet_write()

_quiet_read(desktop/juce_Desktop.cpp)
_quiet_replace(
"    if (mouseListeners.size() == 0)
        stopTimer();
    else
        startTimer (100);

    lastFakeMouseMove = getMousePositionFloat();
}"
"    if (mouseListeners.size() == 0)
        stopTimer();
}")
_quiet_replace(
"    if (lastFakeMouseMove != getMousePositionFloat())
        sendMouseMove();
}"
"    if (lastFakeMouseMove != getMousePositionFloat())
        sendMouseMove();
    else
        stopTimer(); // the pointer rests
}")
_quiet_write()

_quiet_read(windows/juce_TooltipWindow.cpp)
_quiet_replace(
"void TooltipWindow::timerCallback()
{
    const auto mouseSource = Desktop::getInstance().getMainMouseSource();"
"void TooltipWindow::timerCallback()
{
    const auto previousMousePos = lastMousePos;
    const ScopeGuard nextLook { [this, previousMousePos]
    {
        const auto* underMouse = Desktop::getInstance().getMainMouseSource().getComponentUnderMouse();
        const auto settled = manuallyShownTip.isEmpty() && ! isVisible() && lastTipUnderMouse.isEmpty()
                              && (underMouse == nullptr || lastMousePos == previousMousePos);
        if (settled)
            stopTimer();
        else if (getTimerInterval() != 123)
            startTimer (123);
    } };

    const auto mouseSource = Desktop::getInstance().getMainMouseSource();")
_quiet_replace(
"void TooltipWindow::mouseEnter (const MouseEvent& e)
{
    if (e.eventComponent == this)
        hideTip();
}

void TooltipWindow::mouseDown (const MouseEvent&)
{
    if (isVisible())
        dismissalMouseEventOccurred = true;
}

void TooltipWindow::mouseWheelMove (const MouseEvent&, const MouseWheelDetails&)
{
    if (isVisible())
        dismissalMouseEventOccurred = true;
}"
"void TooltipWindow::mouseEnter (const MouseEvent& e)
{
    if (getTimerInterval() != 123)
        startTimer (123);

    if (e.eventComponent == this)
        hideTip();
}

void TooltipWindow::mouseDown (const MouseEvent&)
{
    if (getTimerInterval() != 123)
        startTimer (123);

    if (isVisible())
        dismissalMouseEventOccurred = true;
}

void TooltipWindow::mouseWheelMove (const MouseEvent&, const MouseWheelDetails&)
{
    if (getTimerInterval() != 123)
        startTimer (123);

    if (isVisible())
        dismissalMouseEventOccurred = true;
}")
_quiet_replace(
"    jassert (tip.isNotEmpty());

    displayTipInternal (screenPos, tip, ShownManually::yes);"
"    jassert (tip.isNotEmpty());

    if (getTimerInterval() != 123)
        startTimer (123);

    displayTipInternal (screenPos, tip, ShownManually::yes);")
_quiet_write()

_quiet_read(windows/juce_TopLevelWindow.cpp)
# After a focus change the active window is looked for again after 10 ms, then at twice the interval each time
# up to 1.7 s, and every 1.7 s for good. Focus changes come as events, so here the looking stops after the
# longest interval.
_quiet_replace(
"    void checkFocus()
    {
        startTimer (jmin (1731, getTimerInterval() * 2));"
"    void checkFocus()
    {
        if (getTimerInterval() * 2 > 1731)
            stopTimer();
        else
            startTimer (getTimerInterval() * 2);")
_quiet_write()

_quiet_read(keyboard/juce_CaretComponent.cpp)
# A text field's caret blinks for as long as the field has the keyboard. As on the rest of the desktop, here
# it stops blinking, shown, 10 s after the caret last moved.
_quiet_replace(
"void CaretComponent::timerCallback()
{
    setVisible (shouldBeShown() && ! isVisible());
}

void CaretComponent::setCaretPosition (const Rectangle<int>& characterArea)
{
    startTimer (380);"
"static const Identifier quietCaretMovedAt (\"quietCaretMovedAt\");

void CaretComponent::timerCallback()
{
    const auto movedAt = (uint32) (int64) getProperties()[quietCaretMovedAt];
    if (Time::getMillisecondCounter() - movedAt > 10000)
    {
        stopTimer();
        setVisible (shouldBeShown());
        return;
    }

    setVisible (shouldBeShown() && ! isVisible());
}

void CaretComponent::setCaretPosition (const Rectangle<int>& characterArea)
{
    getProperties().set (quietCaretMovedAt, (int64) Time::getMillisecondCounter());
    startTimer (380);")
_quiet_write()

_quiet_read(native/x11/juce_linux_X11_DragAndDrop.cpp)
_quiet_replace(
"namespace juce
{

static Cursor createDraggingHandCursor();"
"#include \"${PROJECT_SOURCE_DIR}/platform/system/FileNameBytes.h\"

namespace juce
{

static Cursor createDraggingHandCursor();")
_quiet_replace(
"                    const auto escaped = line.replace (\"+\", \"%2B\").replace (\"file://\", String(), true);
                    dragInfo.files.add (URL::removeEscapeChars (escaped));"
"                    const auto path = ::platform::percentDecodedBytes (line.replace (\"file://\", String(), true));
                    dragInfo.files.add (::platform::fileNameFromBytes (path.c_str()));")
_quiet_write()

set(sonavire_quiet_gui_basics_source "${_copy}/juce_gui_basics.cpp")

# The events module's timer thread wakes at least ten times a second, timers or not (and once a second with
# none), only to keep the approximate clock moving, which the program's event loop does now. Here it sleeps
# until the first timer is due; a timer started or moved earlier wakes it as before.
set(_module "${JUCE_MODULES_DIR}/juce_events")
set(_copy "${CMAKE_CURRENT_BINARY_DIR}/quiet/juce_events")
file(COPY "${_module}" DESTINATION "${CMAKE_CURRENT_BINARY_DIR}/quiet" PATTERN "juce_Timer.cpp" EXCLUDE)

_quiet_read(timers/juce_Timer.cpp)
_quiet_replace(
"        if (timers.empty())
            return 1000;"
"        if (timers.empty())
            return std::numeric_limits<int>::max();")
_quiet_replace(
"            wait (jlimit (1, 100, timeUntilFirstTimer));"
"            wait (timeUntilFirstTimer == std::numeric_limits<int>::max() ? -1 : jmax (1, timeUntilFirstTimer));")
_quiet_write()

set(sonavire_quiet_events_source "${_copy}/juce_events.cpp")
