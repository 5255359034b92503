# The command-line page setup: PAGESETUP on the floor plan (a PDF of A3, extents fitted and
# centred), then -PLOT (a PNG of VGA size, a 1:100 scale and a quarter turn), saved; Python
# checks the page size (pdfinfo), that the image is not blank and its plan is centred (PIL), and
# that the saved drawing keeps the last page setup (ezdxf). A window where nothing lies refuses
# to export and fails the script; an unknown device is asked again, Esc leaves the setup as it
# was, and model space has no Layout area.
qv_acceptance(page_setup ARGS ${home} ${module} --script <source>/pagesetup/page_setup.scr
              --save <work>/saved.dxf <source>/drawings/floor.dxf)
set_tests_properties(acceptance.page_setup PROPERTIES FIXTURES_SETUP page_setup_done)
add_test(NAME acceptance.page_setup_checked
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/pagesetup/check_page_setup.py
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/page_setup)
set_tests_properties(acceptance.page_setup_checked PROPERTIES FIXTURES_REQUIRED page_setup_done)
qv_acceptance(nothing_to_plot EXIT 1 FILES home/blank.pdf
              ARGS ${home} ${module} --script <source>/pagesetup/nothing_to_plot.scr
              <source>/drawings/floor.dxf)
# Scales on an inch paper: PAGESETUP refuses a ratio whose quotient overflows or vanishes and
# asks again, takes 1:3 (a paper inch for three drawing units, a custom scale) and later 1:1, and
# each plot of a 6 x 3 rectangle on ANSI A measures 2 x 1 and 6 x 3 inches (poppler and PIL).
qv_acceptance(page_scales ARGS ${home} ${module} --script <source>/pagesetup/page_scales.scr)
set_tests_properties(acceptance.page_scales PROPERTIES FIXTURES_SETUP page_scales_done)
add_test(NAME acceptance.page_scales_checked
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/pagesetup/check_page_scales.py
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/page_scales)
set_tests_properties(acceptance.page_scales_checked PROPERTIES FIXTURES_REQUIRED page_scales_done)
