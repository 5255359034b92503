# Files the host is told to write over (files/protected_files.py): read-only drawings, files of
# another user, links, signals while a file is written, and the drawing's own file reached by
# other paths. One test per session; the sessions as user nobody need root (77: skipped), and
# run from a copy of the host program in the temporary folder where nobody cannot reach this
# build (a checkout in root's home).
foreach(session read_only other_user links interrupted own_drawing)
  add_test(NAME acceptance.files_${session}
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/files/protected_files.py
                   $<TARGET_FILE:cadhost> $<TARGET_FILE:qv_acceptance_module>
                   $<TARGET_FILE:qv_space_block_module> ${CMAKE_CURRENT_SOURCE_DIR}
                   ${CMAKE_CURRENT_BINARY_DIR}/cases/files ${session}
                   $<TARGET_FILE:cadplatform> $<TARGET_FILE:quorvelle>)
  set_tests_properties(acceptance.files_${session} PROPERTIES SKIP_RETURN_CODE 77)
endforeach()
