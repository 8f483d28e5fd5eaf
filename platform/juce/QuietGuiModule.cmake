# The toolkit's GUI module wakes the program many times a second while nothing happens. Our copy of the
# module changes three places:
# - The Linux window peer runs a timer at the display's refresh rate (100 Hz when the display tells none) from
#   the window's creation on, and draws only from that timer: every open window costs about 1 % of a core.
#   Here the timer starts when the window has something to draw, runs slowly while the window keeps its
#   drawing image (freed after 3 s without drawing) and stops then. A VBlankAttachment (unused here) added to
#   a quiet window is called once the window draws again.
# - While any global mouse listener exists (every text editor and the tooltip window are one), the desktop
#   asks the X server for the pointer position 10 times a second, and 50 times a second from the first
#   movement it notices on, for good. Here it goes back to 10 times once the pointer rests.
# - Files dropped on a window come as URIs whose escapes the toolkit decodes as UTF-8: a name that is not
#   UTF-8 turns into another name. Here the escapes give the name's bytes, kept as
#   platform::fileNameFromBytes keeps them.
# Outcome: sonavire_quiet_gui_basics_source, the module's source file to compile in place of the original.

set(_module "${JUCE_MODULES_DIR}/juce_gui_basics")
set(_copy "${CMAKE_CURRENT_BINARY_DIR}/quiet/juce_gui_basics")

# Copies keep their time stamps and are skipped when unchanged: configuring again rebuilds nothing.
file(COPY "${_module}" DESTINATION "${CMAKE_CURRENT_BINARY_DIR}/quiet"
     PATTERN "juce_linux_Windowing.cpp" EXCLUDE
     PATTERN "juce_Desktop.cpp" EXCLUDE
     PATTERN "juce_linux_X11_DragAndDrop.cpp" EXCLUDE)

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
"    if (lastFakeMouseMove != getMousePositionFloat())
        sendMouseMove();
}"
"    if (lastFakeMouseMove != getMousePositionFloat())
        sendMouseMove();
    else if (getTimerInterval() != 100)
        startTimer (100); // the pointer rests
}")
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
