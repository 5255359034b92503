# Answers longer than any buffer a prompt might have: a layer list of 595 characters and paths of
# 1,200 (below folders of their own on drive C:) are taken whole, the drawing saved there, the
# other opened, changed and saved in place, while the drawing the script started with stays as
# it was; ezdxf reads both saved drawings back (check_long_answers.py). Paths longer than the
# system takes (4,200 characters, a name of 300) are refused, each failing its command, so the
# script fails and nothing is saved.
string(REPEAT "folder-" 28 folder)
set(deep)
foreach(i RANGE 1 6)
  string(APPEND deep "${folder}${i}/")
endforeach()
qv_acceptance(long_answers COPY drawings/rooms.dxf>start.dxf drawings/floor.dxf>${deep}plan.dxf
              ARGS ${home} ${module} --script <source>/prompts/long_answers.scr <home>/start.dxf)
set_tests_properties(acceptance.long_answers PROPERTIES FIXTURES_SETUP long_answers_saved)
add_test(NAME acceptance.long_answers_ezdxf
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/prompts/check_long_answers.py
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/long_answers/home ${deep}
                 ${CMAKE_CURRENT_SOURCE_DIR}/drawings/rooms.dxf)
set_tests_properties(acceptance.long_answers_ezdxf PROPERTIES FIXTURES_REQUIRED long_answers_saved)
qv_acceptance(too_long_paths EXIT 1 COPY drawings/floor.dxf>start.dxf
              ARGS ${home} ${module} --script <source>/prompts/too_long_paths.scr
                   --save <work>/saved.dxf <home>/start.dxf)
# A file picker whose buffer is smaller than the path typed (oagr's open dialog, MAX_PATH) says so
# and asks again, instead of ending as if cancelled; the script then cancels it.
qv_acceptance(long_picker_path COPY ${configured}
              ARGS ${home} ${quorvelle} --script <source>/prompts/long_picker_path.scr
                   <source>/drawings/floor.dxf)
