#!/usr/bin/env python3
"""dexlin-query route against GeodSolve and RhumbSolve, and its CSV read back
with Python's csv module: routes_and_csv.py DEXLIN_QUERY."""
import csv
import io
import json
import math
import random
import shutil
import subprocess
import sys

QUERY = sys.argv[1]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(args, text):
    done = subprocess.run([QUERY] + args, input=text.encode(), capture_output=True, check=False)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


def angle_gap(a, b):
    return abs(math.remainder(a - b, 360.0))


def reference_pairs():
    rng = random.Random(20261210)
    pairs = [(0, 0, 0, 0), (90, 0, -90, 0), (0, 0, 0, 180), (0, 0, 0.5, 179.5),  # coincident, pole to pole, antipodal
             (-0.0, 180, 0, -180), (51.5, -0.13, 40.7, -74), (10, 20, -80, 20)]  # the date line; due south
    for _ in range(300):
        lat1, lon1 = rng.uniform(-90, 90), rng.uniform(-180, 180)
        kind = rng.randrange(3)
        if kind == 0:  # anywhere
            lat2, lon2 = rng.uniform(-90, 90), rng.uniform(-180, 180)
        elif kind == 1:  # a hair apart
            lat2 = max(-90.0, min(90.0, lat1 + rng.uniform(-1e-9, 1e-9)))
            lon2 = lon1 + rng.uniform(-1e-9, 1e-9)
        else:  # nearly antipodal
            lat2 = -lat1 + rng.uniform(-1e-3, 1e-3)
            lon2 = lon1 + 180 + rng.uniform(-1e-3, 1e-3)
            lat2 = max(-90.0, min(90.0, lat2))
        pairs.append((lat1, lon1, lat2, lon2))
    return pairs


def check_routes_against_geographiclib_tools():
    for tool in ("GeodSolve", "RhumbSolve"):
        check(shutil.which(tool) is not None, f"{tool} is not installed (scripts/deps.sh installs geographiclib-tools)")
    if failures:
        return
    pairs = reference_pairs()
    lines = "".join(f"{a!r} {b!r} {c!r} {d!r}\n" for a, b, c, d in pairs)
    geod = subprocess.run(["GeodSolve", "-i", "-p", "9"], input=lines.encode(), capture_output=True, check=True)
    rhumb = subprocess.run(["RhumbSolve", "-i", "-p", "9"], input=lines.encode(), capture_output=True, check=True)
    status, out, err = run(["--csv", "batch"], "".join("route " + line for line in lines.splitlines(True)))
    check(status == 0 and err == "", f"route batch: exit {status}, {err!r}")
    rows = list(csv.DictReader(io.StringIO(out, newline="")))
    check(len(rows) == len(pairs), f"{len(rows)} route rows for {len(pairs)} pairs")
    for pair, row, g, r in zip(pairs, rows, geod.stdout.decode().splitlines(), rhumb.stdout.decode().splitlines()):
        azi1, _, s12 = map(float, g.split())
        azi12, rs12 = map(float, r.split()[:2])
        course, distance = float(row["geodesicCourse"]), float(row["geodesicDistance"])
        rcourse, rdistance = float(row["rhumbCourse"]), float(row["rhumbDistance"])
        check(0 <= course < 360 and 0 <= rcourse < 360, f"{pair}: courses {course}, {rcourse} outside [0, 360)")
        check(angle_gap(course, azi1) <= 1e-7, f"{pair}: geodesic course {course}, GeodSolve {azi1}")
        check(abs(distance - s12 / 1852) <= 1e-6, f"{pair}: geodesic {distance} nm, GeodSolve {s12} m")
        check(angle_gap(rcourse, azi12) <= 1e-7, f"{pair}: rhumb course {rcourse}, RhumbSolve {azi12}")
        check(abs(rdistance - rs12 / 1852) <= 1e-6, f"{pair}: rhumb {rdistance} nm, RhumbSolve {rs12} m")


def check_magnetic_courses_and_the_sphere():
    # West and east declinations, a course that wraps past 0 and 360, the date line.
    for start, end, date in (("51.5 -0.13", "40.7 -74", "2026-12-09"), ("42.36 -71.06", "42.36 -60", "2026.5"),
                             ("-33.9 151.2", "-36.8 174.8", "2001"), ("60 -179.9", "61 179.9", "1950"),
                             ("10 20", "-80 20", "2029.99")):
        status, out, err = run(["--json", "batch"],
                               f"route {start} {end} {date}\nfield {start} {date}\ncourse {start} {end}\n")
        check(status == 0 and err == "", f"route {start} {end} {date}: exit {status}, {err!r}")
        route, field, sphere = (json.loads(line) for line in out.splitlines())
        check(route["model"] == field["model"], f"{start} {date}: models {route['model']}, {field['model']}")
        check(route["declination"] == field["declination"], f"{start} {date}: declination differs from field's")
        for name, true_course in (("magneticCourse", route["geodesicCourse"]),
                                  ("magneticRhumbCourse", route["rhumbCourse"])):
            expected = (true_course - field["declination"]) % 360
            check(0 <= route[name] < 360 and angle_gap(route[name], expected) <= 1e-12,
                  f"{start} {end} {date}: {name} {route[name]}, expected {expected}")
        check(route["greatCircleCourse"] == sphere["course"] and route["greatCircleDistance"] == sphere["distance"],
              f"{start} {end}: the great circle differs from course's")


def check_csv_read_back():
    requests = ("lat,lon,date,height\n"
                "51.5,-0.1,2026-12-09\n"
                "\"-33.9\", 151.2 ,1995.5,\"10\"\n"  # quoted fields, blanks around one
                "91,0,2026\n"  # an error row in place
                "45,\"7,5\",2026\n"  # a quoted comma: one field, not a number
                "10,20,2026,0,extra\n"
                "\n"
                "route 10 20 -80 20\n"
                "12\t34\t2010\n")  # tabs
    status, out, err = run(["--csv", "--threads", "1", "batch"], requests)
    check(status == 1 and err == "", f"csv batch: exit {status}, {err!r}")
    records = list(csv.reader(io.StringIO(out, newline="")))
    # A header row first and wherever the kind changes: field, errors, the blank line, route, field again.
    kinds = [(r[4] if r[0] == "lat" else r[0]) if r and r[0] in ("lat", "greatCircleCourse") else len(r) > 0
             for r in records]
    check(kinds == ["status", True, True, "error", True, True, True, False, "greatCircleCourse", True, "status", True],
          f"record kinds: {kinds}")
    answer = dict(zip(records[0], records[1]))
    check((answer["lat"], answer["model"], answer["zone"], answer["variation"]) ==
          ("51.5", "wmm2025", "none", "   1\u00b0 14.8' E"), f"first answer: {answer}")
    check(answer["declinationUncertainty"] != "" and records[2][records[0].index("declinationUncertainty")] == "",
          "WMM2025 uncertainties given, IGRF's empty")
    check(records[2][:4] == ["-33.9", "151.2", "1995.5", "10"] and records[2][6] == "igrf14" and
          records[11][:3] == ["12", "34", "2010"], f"quoted and tab-separated rows: {records[2][:7]}, {records[11][:3]}")
    errors = [dict(zip(records[3], r)) for r in records[4:7]]
    check([e["line"] for e in errors] == ["4", "5", "6"], f"error lines: {errors}")
    check(errors[1]["lon"] == "7,5" and "LON" in errors[1]["error"], f"quoted comma: {errors[1]}")
    check(errors[2]["error"].startswith("field: extra argument"), f"extra column: {errors[2]}")
    # A field holding a tab, which the batch reads as a separator, is quoted when echoed.
    status, out, err = run(["--csv", "--threads", "1", "batch"], "45,\"7\t5\",2026\n")
    check(status == 1 and "\r\n45,\"7\t5\",2026," in out, f"tab in an echoed field: {out!r}")
    # A single request: its header row and its row.
    status, out, err = run(["--csv", "course", "0", "0", "1", "1"], "")
    check(status == 0 and out == "course,distance,courseText,distanceText\r\n"
          "44.995636456631175,84.85065965712697,045\u00b0,  85\r\n", f"single CSV answer: {out!r}")
    # The same on several threads, with enough rows to span chunks: one header in all.
    many = "lat,lon\n" + "".join(f"{i % 89},{i % 179},2020\n" for i in range(20000))
    one = run(["--csv", "--threads", "1", "batch"], many)
    four = run(["--csv", "--threads", "4", "batch"], many)
    check(one == four, "four threads write what one writes")
    check(one[1].count("lat,lon,DATE,status") == 1 and one[1].count("\r\n") == 20001,
          f"{one[1].count('lat,lon,DATE,status')} header rows for 20000 rows of one kind")


check_routes_against_geographiclib_tools()
check_magnetic_courses_and_the_sphere()
check_csv_read_back()
for failure in failures[:20]:
    print("FAILED:", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
