# What of the shared suites does not run in a Windows build, and why. Everything else runs
# against the real Win32 calls (under Wine when cross-built).

# Whole files: they test the backends without Win32 underneath, or read their bookkeeping.
set(VANTREL_WIN32_EXCLUDED_FILES
    # The headless backend itself: EGL pbuffers, its queue, its scripted message boxes.
    platform/headless_test.cpp
    # Read the shared GDI's own bookkeeping (common::find_object, region_rects, status_bar_of)
    # and count the headless backend's paints and invalidations.
    platform/gdi_bitmaps_test.cpp
    platform/gdi_regions_test.cpp
    # Reads the PNG writer's files back with libpng, which the cross build does not have.
    image/snapshot_test.cpp)

# Single tests, named as ctest names them: they need a Linux service, ask for what GDI does not
# promise, or meet a fault of Wine's own Win32 calls. They are registered, and reported as
# disabled, rather than left out unseen.
set(VANTREL_WIN32_EXCLUDED_TESTS
    # Device input scripted into the shared queue (headless::input_mouse, input_key), which Win32
    # has no call for; the same rules are compared with Wine's queue end to end by
    # tests/e2e/input_probe_test.sh.
    PumpTest.DeviceInputIsQueuedByWin32Rules
    PumpTest.RepeatsAfterTheKeyDownWasTakenCountInTheirOwnMessageAndItsCharacter
    PumpTest.RightClickAndMenuKeyAskForTheContextMenu
    # Puts another window in front (headless::set_foreground): on a real screen that takes the
    # focus from the test's window for the rest of the run.
    PumpTest.FreeMouseIsIdleWhileAnotherWindowIsInFront
    # Read the shared window table and GDI of the x11 and headless backends (common::find_window,
    # find_class, find_object: the window's style and title, the classes' cursors and brushes,
    # the released device context) or the headless paint count; the win32 end-to-end test checks
    # the same windows through the real Win32 calls.
    LifecycleTest.WindowedIsTheRequestedSizeAtTheTopLeftWithAContext
    LifecycleTest.ClassesGetTheChosenCursorAndIconAndTheirFixedFields
    LifecycleTest.DeleteReleasesContextDeviceContextAndWindow
    HoverButtonTest.TheMoveToThePicturesPlaceAsksForNoRepaint
    # Set the screen's size, read the pixel format asked for, or make context creation fail
    # (headless::set_screen_size, last_pixel_format, fail_context): a real display and driver
    # are not steered so.
    LifecycleTest.FullScreenTakesTheScreenSize
    LifecycleTest.PixelFormatDescriptorCarriesTheDepthInEverySizeField
    LifecycleDeathTest.NoPixelFormatOrNoContextShowsTheAccentedMessage
    # Win32 makes a window of no size, which the backends without Win32 refuse; the framework's
    # failure path it checks is the same on every backend.
    LifecycleDeathTest.WindowThatCannotBeCreated
    LifecycleTest.FailuresReturnToAHostAfterTheMenuAndStatusBarSteps
    # fontconfig picks the outline font on Linux; Windows maps fonts by name itself.
    OutlineTextDeathTest.NoFontLeavesTheListsEmptyWithOneWarning
    # Faults of Wine 8's LoadImageA, checked with a small Win32 program outside the framework:
    # a top-down file comes back as a bottom-up DIB section whose pixels are all zero,
    TextureTest.TopDownFileUploadsBottomRowFirst
    BitmapRegionTest.RunsCloseAtTheRightEdgeAndRowZeroIsTheTopInEitherRowOrder
    # and an OS/2 core header's three-byte colour-table entries are read as four-byte ones.
    TextureTest.CoreHeaderFilesReadTheirThreeByteColourTable
    # Malformed files: Wine's LoadImageA accepts a file one byte short of its pixels and faults
    # reading one whose pixels are absent; the refusals are the portable reader's, tested on
    # the other backends.
    TextureTest.UnusableFilesWarnOnceAndLeaveSlotAndGlAlone
    # Wine 8's wglUseFontOutlinesA, read back under transform feedback and traced
    # (WINEDEBUG=trace+opengl): it builds the front face alone, whatever the extrusion,
    OutlineTextTest.DepthExtrudesWithBackFaceAndOutwardWalls
    # and ignores the font's escapement, which the selected font does carry (read back by
    # Win32OutlineFontTest): the glyphs stay upright and advance along x.
    OutlineTextTest.EscapementTurnsTheGlyphsAndTheirAdvance
    # GDI's glyph outlines carry no underline; the bar is the portable outlines' own.
    OutlineTextTest.PortableUnderlineRunsBelowTheBaselineAndUnderSpaces
    # Reads the process's peak memory from Linux's /proc; which sides are refused is decided by
    # the framework from the header, the same on every backend.
    TextureTest.PicturesOpenGLCannotTakeAreRefusedFromTheHeaderBeforeAPixelIsRead)

# Marks the excluded tests disabled once ctest has read the discovered ones.
function(vantrel_win32_disable_excluded_tests)
  set(file ${CMAKE_CURRENT_BINARY_DIR}/win32_excluded_tests.cmake)
  set(text "# Made by cmake/win32_test_exclusions.cmake.\n")
  foreach(test ${VANTREL_WIN32_EXCLUDED_TESTS})
    string(APPEND text "set_tests_properties(${test} PROPERTIES DISABLED TRUE)\n")
  endforeach()
  file(WRITE ${file} "${text}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()
