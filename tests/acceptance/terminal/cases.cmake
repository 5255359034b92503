# cadhost at a terminal (terminal_sessions.py): a user at a pseudo-terminal types keys and answers
# the host's questions; what was saved is read back with ezdxf. One test per session.
foreach(session save_questions editing_keys dialog file_prompts)
  add_test(NAME acceptance.terminal_${session}
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/terminal/terminal_sessions.py
                   $<TARGET_FILE:cadhost> $<TARGET_FILE:qv_acceptance_module>
                   $<TARGET_FILE:quorvelle> ${CMAKE_CURRENT_SOURCE_DIR}
                   ${CMAKE_CURRENT_BINARY_DIR}/cases/terminal ${session})
endforeach()
