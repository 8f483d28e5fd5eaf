# Read by CTest after the tests have been listed. These tests take the X keyboard focus again whenever it
# leaves their window; two of them side by side on the shared display would take it from each other without
# end, so they never run at the same time.
foreach(_test IN ITEMS
    DialogKeyboardTest.EveryDialogAnswersTheKeyboard
    DialogKeyboardTest.TheFocusRingShowsWhereReturnGoes
    MainWindowTest.TheSelectedPageTakesTheKeyboard)
  set_tests_properties("${_test}" PROPERTIES RESOURCE_LOCK x_keyboard_focus)
endforeach()
