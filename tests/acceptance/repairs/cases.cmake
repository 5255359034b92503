# Damaged drawings repaired whole: opened, (their layers or entities listed) and saved; ezdxf
# reads both saved drawings strictly and in recover mode, audits them without an error and finds
# what the repairs are for (check_repairs.py): records whose points lost a coordinate, a layer
# used but not defined and a 3D polyline on a layer with invalid names, a line with two handles
# (damaged_records.dxf); block records outside any table, with layouts and viewports that name
# them by handle only (stray_block_records.dxf); a table of a name no drawing has and the
# viewports' table holding layers, a block record among the entities after its block's BLOCK,
# blocks whose BLOCK and ENDBLK records are on a layer with an invalid name and on one the
# drawing has not (stray_entries.dxf).
qv_acceptance(damaged_records
              ARGS ${home} ${module} --script <source>/repairs/damaged_records.scr
                   --save <work>/saved.dxf <source>/repairs/damaged_records.dxf)
qv_acceptance(stray_block_records
              ARGS ${home} ${module} --script <source>/repairs/stray_block_records.scr
                   --save <work>/saved.dxf <source>/repairs/stray_block_records.dxf)
qv_acceptance(stray_entries
              ARGS ${home} ${module} --script <source>/repairs/stray_entries.scr
                   --save <work>/saved.dxf <source>/repairs/stray_entries.dxf)
set_tests_properties(acceptance.damaged_records acceptance.stray_block_records
                     acceptance.stray_entries PROPERTIES FIXTURES_SETUP repairs_saved)
add_test(NAME acceptance.repairs_ezdxf
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/repairs/check_repairs.py
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/damaged_records/saved.dxf
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/stray_block_records/saved.dxf
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/stray_entries/saved.dxf)
set_tests_properties(acceptance.repairs_ezdxf PROPERTIES FIXTURES_REQUIRED repairs_saved)
