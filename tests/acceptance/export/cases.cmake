# The space blocks of the furnished floor plan (made by the space-block test module) renamed with
# ofrs and exported with ocsv, which starts the opener of the preferences (a script that records
# how it was started); the real module is loaded with ARX. Then Python's csv module reads the
# file and ezdxf the saved drawing (export/check_<case>.py):
#   export    names that hold a comma, also listed with olb;
#   formulas  names beginning with "=" (what a spreadsheet runs as a formula), which ocsv writes
#             as quoted text with a leading single quote, and olb lists as they are.
set(export_prefs "export/export.cfg>Program Files/cadhost/orvan/prefs/prefs.cfg")
set(export_opener "export/record opener.sh>bin/record opener.sh")
foreach(case export formulas)
  qv_acceptance(csv_${case} MODULE qv_space_block_module
                COPY ${export_prefs} ${export_opener} drawings/rooms_furnished.dxf>plans/rooms.dxf
                ARGS --home <home> --module <module> --script <source>/export/csv_${case}.scr
                     --save <work>/saved.dxf <home>/plans/rooms.dxf)
  set_tests_properties(acceptance.csv_${case} PROPERTIES FIXTURES_SETUP csv_${case}_saved)
  add_test(NAME acceptance.csv_${case}_checked
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/export/check_${case}.py
                   ${CMAKE_CURRENT_BINARY_DIR}/cases/csv_${case}/home
                   ${CMAKE_CURRENT_BINARY_DIR}/cases/csv_${case}/saved.dxf)
  set_tests_properties(acceptance.csv_${case}_checked PROPERTIES
                       FIXTURES_REQUIRED csv_${case}_saved)
endforeach()
