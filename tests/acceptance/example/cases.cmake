# The example of scripts/run: the same script (examples/floor.scr) on the same floor plan
# (examples/floor.dxf, put on drive C: so that the transcript names it the same way on every
# machine) with the real module and a fresh drive C:, as scripts/run runs it. The transcript is
# compared as for every case; then check_example.py reads what the script saved and exported
# (drawing, CSV, PDF, PNG and DWF) with ezdxf, Python's csv module, pdfinfo, PIL and the tests'
# DWF reader (tests/support/dwfread.py).
set(example_top ${CMAKE_CURRENT_SOURCE_DIR}/../..)
set(example_copies ../../examples/floor.dxf>floor.dxf)
if(EXISTS ${example_top}/examples/report.xml)
  list(APPEND example_copies ../../examples/report.xml>report.xml)
endif()
qv_acceptance(example COPY ${example_copies}
              ARGS --home <home> --module <quorvelle>
                   --script <source>/../../examples/floor.scr <home>/floor.dxf)
set_tests_properties(acceptance.example PROPERTIES FIXTURES_SETUP example_run)
add_test(NAME acceptance.example_checked
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/example/check_example.py
                 ${example_top}/examples/floor.scr ${example_top}/examples/floor.dxf
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/example)
set_tests_properties(acceptance.example_checked PROPERTIES FIXTURES_REQUIRED example_run)
