#!/usr/bin/env python3
"""The include-layer check (scripts/check-layering) run on small trees: each case writes a few
files beside a minimal platform and names the problems the check must report, by file and line,
or none."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                     "check-layering")

# Present in every tree: a framework header, and platform internals in three folders.
BASE = {
    "platform/include/arxHeaders.h": '#include "../host/db/AcDbObject.h"\n',
    "platform/host/db/AcDbObject.h": '#include "../AcArray.h"\n',
    "platform/host/AcArray.h": "",
    "platform/win32/WinTypes.h": "",
    "platform/mfc/CString.h": '#include "../win32/WinTypes.h"\n',
    "src/StdAfx.h": "#include <arxHeaders.h>\n",
    "src/core/Log.h": '#include "StdAfx.h"\n',
    "src/drawing/Layer.h": '#include "core/Log.h"\n',
    "src/module/Globals.h": '#include "drawing/Layer.h"\n',
}

CASES = [
    # (name, extra files, expected "file:line" of each problem with a word of its reason)
    ("a clean tree passes", {}, []),
    ("framework headers in both forms", {
        "src/drawing/A.cpp": '#include <arxHeaders.h>\n#include "arxHeaders.h"\n#include <vector>\n',
    }, []),
    ("platform internals, quoted and angled", {
        "src/drawing/A.cpp": '#include "StdAfx.h"\n#include "host/db/AcDbObject.h"\n'
                             '#include <mfc/CString.h>\n',
    }, [("src/drawing/A.cpp:2", "platform-internal"), ("src/drawing/A.cpp:3", "platform-internal")]),
    ("a subsystem includes one above it", {
        "src/core/A.cpp": '#include "core/Log.h"\n#include "database/B.h"\n',
        "src/database/B.h": "",
    }, [("src/core/A.cpp:2", "database lies above")]),
    ("blocks and reports take their places though absent before", {
        "src/blocks/A.h": '#include "drawing/Layer.h"\n#include "module/Globals.h"\n',
        "src/reports/B.h": '#include "blocks/A.h"\n',
    }, [("src/blocks/A.h:2", "module lies above")]),
    ("an upward include by relative path", {
        "src/database/A.cpp": '#include "../module/Globals.h"\n#include "../core/Log.h"\n',
    }, [("src/database/A.cpp:1", "module lies above")]),
    ("the root of src/ includes no subsystem", {
        "src/Extra.h": '#include "core/Log.h"\n',
    }, [("src/Extra.h:1", "core lies above")]),
    ("a folder outside the order", {
        "src/widgets/A.h": '#include "core/Log.h"\n',
    }, [("src/widgets/A.h:1", "no subsystem")]),
    ("a platform folder includes one above it", {
        "platform/win32/A.cpp": '#include "host/AcArray.h"\n#include "win32/WinTypes.h"\n',
    }, [("platform/win32/A.cpp:1", "platform/host lies above")]),
    ("the screen driver and Win32 stay below the framework, whichever file", {
        "platform/ui/UiDriver.h": '#include "../win32/WinTypes.h"\n#include "../mfc/CString.h"\n',
        "platform/win32/MessageBox.cpp": '#include "ui/UiDriver.h"\n#include "mfc/CString.h"\n',
        "platform/win32/DrivePaths.h": '#include "WinTypes.h"\n#include "../mfc/CString.h"\n',
    }, [("platform/ui/UiDriver.h:2", "platform/mfc lies above"),
        ("platform/win32/DrivePaths.h:2", "platform/mfc lies above"),
        ("platform/win32/MessageBox.cpp:1", "platform/ui lies above"),
        ("platform/win32/MessageBox.cpp:2", "platform/mfc lies above")]),
    ("a platform header includes from the platform's root", {
        "platform/host/db/B.h": '#include "host/AcArray.h"\n#include "../AcArray.h"\n',
    }, [("platform/host/db/B.h:1", "relative path")]),
    ("the platform includes the module", {
        "platform/mfc/A.cpp": '#include "core/Log.h"\n',
    }, [("platform/mfc/A.cpp:1", "module's")]),
]


def run_check(files):
    with tempfile.TemporaryDirectory() as top:
        for name, text in {**BASE, **files}.items():
            path = os.path.join(top, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
        result = subprocess.run([sys.executable, CHECK, top], capture_output=True, text=True)
        return result.returncode, result.stdout.splitlines()


class CheckLayeringTest(unittest.TestCase):
    def test_cases(self):
        for name, files, expected in CASES:
            with self.subTest(name):
                status, lines = run_check(files)
                self.assertEqual(len(lines), len(expected), lines)
                for (where, reason), line in zip(expected, lines):
                    self.assertTrue(line.startswith(where + ": "), line)
                    self.assertIn(reason, line)
                self.assertEqual(status, 1 if expected else 0, lines)


# Object files of a tiny module, in one folder per subsystem as CMake lays them out: blocks
# needs a variable that only module defines (an upward link edge), and an inline function that
# both define (weak, found low too: no edge); drawing needs one that core defines.
OBJECTS = {
    "core/Log.cpp": "int logLevel = 1;\n",
    "drawing/Layer.cpp": "extern int logLevel;\nint layerLevel() { return logLevel; }\n",
    "blocks/Assets.cpp": "extern int exclusions;\ninline int shared() { return 2; }\n"
                         "int assetCount() { return exclusions + shared(); }\n",
    "module/Globals.cpp": "int exclusions = 0;\ninline int shared() { return 2; }\n"
                          "int globals() { return shared(); }\n",
}


class LinkEdgeTest(unittest.TestCase):
    def test_an_upward_extern_is_reported_once(self):
        with tempfile.TemporaryDirectory() as top:
            for name, text in BASE.items():
                path = os.path.join(top, name)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w") as f:
                    f.write(text)
            objects = os.path.join(top, "objects")
            for name, text in OBJECTS.items():
                source = os.path.join(top, "sources", name)
                os.makedirs(os.path.dirname(source), exist_ok=True)
                with open(source, "w") as f:
                    f.write(text)
                target = os.path.join(objects, name + ".o")
                os.makedirs(os.path.dirname(target), exist_ok=True)
                subprocess.run(["c++", "-c", "-O0", source, "-o", target], check=True)
            result = subprocess.run([sys.executable, CHECK, top, "--objects", objects],
                                    capture_output=True, text=True)
            lines = result.stdout.splitlines()
            self.assertEqual(len(lines), 1, lines)
            self.assertTrue(lines[0].startswith("src/blocks/Assets.cpp:1: needs exclusions, "
                                                "defined only in module"), lines[0])
            self.assertEqual(result.returncode, 1)
            missing = subprocess.run([sys.executable, CHECK, top, "--objects",
                                      os.path.join(top, "none")], capture_output=True, text=True)
            self.assertEqual(missing.returncode, 1, "no objects is no pass")


if __name__ == "__main__":
    unittest.main()
