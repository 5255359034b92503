#!/usr/bin/python3
"""Checks with ezdxf that DXF files written by the host hold what the originals held.

usage: ezdxf_compare.py ORIGINAL REWRITTEN [ORIGINAL REWRITTEN ...]
Each rewritten file must load with ezdxf.readfile; ezdxf must find the same entities (type and
handle, in order) in every layout and block, the same table entries, the same extended data,
and its audit of the rewrite must find no more errors than its audit of the original.
Prints one line per problem and exits 1 when there is any.
"""
import sys

import ezdxf


def content(doc):
    facts = {}
    for block in doc.blocks:
        facts["block " + block.name] = [
            (e.dxftype(), e.dxf.get("handle"), tuple(sorted(e.xdata.data)) if e.xdata else ())
            for e in block]
    for table in ("layers", "linetypes", "styles", "appids", "dimstyles", "block_records"):
        facts["table " + table] = sorted(entry.dxf.name for entry in getattr(doc, table))
    facts["objects"] = [(o.dxftype(), o.dxf.get("handle")) for o in doc.objects]
    return facts


def main(args):
    problems = []
    for original, rewritten in zip(args[0::2], args[1::2]):
        try:
            ours = ezdxf.readfile(rewritten)
        except Exception as error:  # any failure to read is the finding
            problems.append(f"{rewritten}: ezdxf cannot read it: {error}")
            continue
        theirs = ezdxf.readfile(original)
        a, b = content(theirs), content(ours)
        for key in sorted(set(a) | set(b)):
            if a.get(key) != b.get(key):
                problems.append(f"{rewritten}: {key} differs from {original}")
        errors_theirs = len(theirs.audit().errors)
        errors_ours = len(ours.audit().errors)
        if errors_ours > errors_theirs:
            problems.append(f"{rewritten}: ezdxf audit finds {errors_ours} errors, "
                            f"{errors_theirs} in the original")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
