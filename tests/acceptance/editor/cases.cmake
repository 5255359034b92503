# The block editor (obe) through the host: on a floor plan whose rooms are space blocks, a pillar
# is drawn, room R-1 is renamed, the pillar subtracted from it, its AREA text taken from the new
# area and its text height changed; the saved drawing is then read by ezdxf.
set(editor_prefs "editor/metric.cfg>Program Files/cadhost/orvan/prefs/prefs.cfg")
qv_acceptance(obe_rename COPY ${editor_prefs}
              ARGS --home <home> --module <quorvelle> --script <source>/editor/obe_rename.scr
                   --save <work>/saved.dxf <source>/editor/rooms_blocks.dxf)
set_tests_properties(acceptance.obe_rename PROPERTIES FIXTURES_SETUP obe_rename_saved)
add_test(NAME acceptance.obe_rename_ezdxf
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/editor/check_obe.py
                 ${CMAKE_CURRENT_BINARY_DIR}/cases/obe_rename/saved.dxf
                 ${CMAKE_CURRENT_SOURCE_DIR}/editor/rooms_blocks.dxf)
set_tests_properties(acceptance.obe_rename_ezdxf PROPERTIES FIXTURES_REQUIRED obe_rename_saved)

# Picks on curves through the host: opmc finds circles of radius 1 to 1,000,000 round one centre
# at points on them at several angles (each marker then refused for its text size, so the next
# opmc asks again, and the script fails with one error for each) and nothing 10 units off; obc
# takes two rooms of the floor plan by a point on an arc of their outlines, away from its ends.
qv_acceptance(curve_picks EXIT 1 COPY ${editor_prefs}
              ARGS --home <home> --module <quorvelle> --script <source>/editor/curve_picks.scr
                   <source>/drawings/rooms.dxf)

# Each command that says it could not do its work fails the script, a modeless dialog's action
# too: oagr on a file that holds no report, then the space properties dialog (obe) refusing to
# write a name too long for the block's extended data (Apply: the error box). odb cancelled at its
# pick is no failure. The script ends with 2 errors.
qv_acceptance(refusals_counted EXIT 1 COPY ${editor_prefs} editor/not_a_report.xml>not_a_report.xml
              ARGS --home <home> --module <quorvelle> --script <source>/editor/refusals_counted.scr
                   --save <work>/saved.dxf <source>/editor/rooms_blocks.dxf)

# Picks on curves zoomed in far closer than the plot's chords of them, through the host's own
# commands: an ellipse of major radius 100,000 in a view 50 wide, a spline drawing a circle of
# radius 1,000 in a view 5 wide and a hatch whose normal is -z (its round loop mirrored in the
# plan); each is first missed (just beside the curve; outside the hatch's loop but inside its box)
# and then erased by a pick on it (the hatch at its centre), the drawing listed after each erase.
qv_acceptance(zoomed_curve_picks
              ARGS --home <home> --module <module>
                   --script <source>/editor/zoomed_curve_picks.scr <source>/editor/curves.dxf)
