# The space blocks of the furnished floor plan (made by the space-block test module) renamed with ofrs so
# that their names hold a comma, exported with ocsv, which starts the opener of the preferences
# (a script that records how it was started), and listed with olb; the real module is loaded
# with ARX. Then Python's csv module reads the file and ezdxf the saved drawing.
set(export_prefs "export/export.cfg>Program Files/cadhost/orvan/prefs/prefs.cfg")
set(export_opener "export/record opener.sh>bin/record opener.sh")
qv_acceptance(csv_export MODULE qv_space_block_module
              COPY ${export_prefs} ${export_opener} drawings/rooms_furnished.dxf>plans/rooms.dxf
              ARGS --home <home> --module <module> --script <source>/export/csv_export.scr
                   --save <work>/saved.dxf <home>/plans/rooms.dxf)
set_tests_properties(acceptance.csv_export PROPERTIES FIXTURES_SETUP csv_export_saved)
add_test(NAME acceptance.csv_export_checked
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/export/check_export.py
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/csv_export/home
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/csv_export/saved.dxf)
set_tests_properties(acceptance.csv_export_checked PROPERTIES FIXTURES_REQUIRED csv_export_saved)

# Space names renamed to begin with "=" (what a spreadsheet runs as a formula) are written by
# ocsv as quoted text with a leading single quote; Python's csv module and ezdxf check them.
qv_acceptance(csv_formulas MODULE qv_space_block_module
              COPY ${export_prefs} ${export_opener} drawings/rooms_furnished.dxf>plans/rooms.dxf
              ARGS --home <home> --module <module> --script <source>/export/csv_formulas.scr
                   --save <work>/saved.dxf <home>/plans/rooms.dxf)
set_tests_properties(acceptance.csv_formulas PROPERTIES FIXTURES_SETUP csv_formulas_saved)
add_test(NAME acceptance.csv_formulas_checked
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/export/check_formulas.py
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/csv_formulas/home
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/csv_formulas/saved.dxf)
set_tests_properties(acceptance.csv_formulas_checked PROPERTIES
                     FIXTURES_REQUIRED csv_formulas_saved)
