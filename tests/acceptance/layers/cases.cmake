# The command-line layer command on the drawing a graphic report left (its attribute layers
# off): the layers listed, turned on, frozen, thawed, locked and one made current, by wildcard
# names; saved, and ezdxf reads the layer table back (check_layers.py).
qv_acceptance(layer_command
              ARGS ${home} ${module} --script <source>/layers/layers.scr
                   --save <work>/saved.dxf
                   ${CMAKE_CURRENT_BINARY_DIR}/cases/graphic_report/saved.dxf)
set_tests_properties(acceptance.layer_command PROPERTIES
                     FIXTURES_REQUIRED graphic_report_saved FIXTURES_SETUP layer_command_saved)
add_test(NAME acceptance.layer_command_ezdxf
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/layers/check_layers.py
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/layer_command/saved.dxf)
set_tests_properties(acceptance.layer_command_ezdxf
                     PROPERTIES FIXTURES_REQUIRED layer_command_saved)
