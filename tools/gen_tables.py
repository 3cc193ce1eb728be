#!/usr/bin/env python3
"""Generates the compiled-in data tables of the configuration image as CSV files.

Output goes to src/image/data (or the directory given as the first argument). The build
converts the CSV files to C++ itself; run this script only to change the tables, and commit
its output. The engine model behind the numbers is described in tools/README.md.

Standard library only.
"""

import math
import os
import sys

COLS10 = [1000, 2000, 3000, 4000, 6000, 8000, 10000, 12000, 14000, 16000]
COLS15 = [1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000, 16000]
# Throttle rows of the maps, tenths of a percent.
TPS_ROWS = [0, 20, 50, 100, 200, 300, 400, 600, 800, 1000]
# Manifold pressure rows of the pressure-based tables, tenths of a kPa.
IAP_ROWS15 = [300, 500, 600, 700, 750, 800, 850, 900, 950, 1000]
IAP_ROWS10 = [100, 200, 300, 400, 500, 600, 700, 800, 900, 1000]

# ---------------------------------------------------------------------------------------------
# Per-type facts the tables depend on.

RPM_AXES = [
    ([0, 1, 3, 4, 11, 19, 20, 30, 31, 38, 39, 40, 41],
     [1000, 2000, 3000, 4000, 5000, 5500, 6000, 6500, 7000, 7500, 8000, 9000, 10000, 11000, 12000]),
    ([2, 29, 46, 48],
     [1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000, 15000]),
    ([5], [1000, 2000, 3000, 4000, 5000, 5500, 6000, 6500, 7000, 7500, 8000, 8500, 9000, 9500, 10000]),
    ([6, 7, 10, 16, 17, 18, 26, 27, 28, 35, 36, 42, 44, 45, 49],
     [1000, 2000, 3000, 4000, 5000, 5500, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000]),
    ([8, 9, 12, 13, 14, 15, 21, 22, 23, 24, 25, 32, 33, 34, 37, 43, 47],
     [1000, 2000, 3000, 4000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000, 15000, 16000]),
]

# Servo scalars: (in procent, in mode, in hyst, ex enable, ex procent, ex hyst); hysteresis in 5 mV.
SERVO_SCALARS = {}
for codes, row in [
    ([0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 19, 20, 21, 25, 26, 30, 31, 38, 39, 40, 41, 43, 47],
     (0, 1, 80, 0, 0, 80)),
    ([6, 16, 49], (0, 1, 80, 1, 0, 80)),
    ([17, 18], (1, 0, 60, 1, 1, 40)),
    ([22], (1, 0, 30, 1, 0, 40)),
    ([23, 24], (1, 0, 30, 1, 1, 40)),
    ([27, 28, 44, 45], (0, 1, 80, 1, 0, 80)),
    ([29, 37], (1, 0, 30, 1, 0, 80)),
    ([32, 33, 34, 35, 36], (0, 1, 80, 0, 0, 80)),
    ([42], (0, 1, 40, 1, 0, 40)),
    ([46, 48], (0, 0, 40, 1, 0, 60)),
]:
    for c in codes:
        SERVO_SCALARS[c] = row


def rpm_axis(code):
    for codes, axis in RPM_AXES:
        if code in codes:
            return axis
    raise KeyError(code)


# ---------------------------------------------------------------------------------------------
# Engine model.

class Engine:
    """Breathing of one engine: `base` is the full-load pulse (ms) at the torque peak `peak`,
    `low` the relative charge at 1000 rpm, `fall` the loss from the peak to the limiter `limit`,
    `rich` the extra fuel the engine wants at 1000 rpm (poor mixing at low gas speed), `idle` the closed-throttle
    bypass air, `floor` the shortest pulse the injector is given (ms)."""

    def __init__(self, base, peak, limit, low=0.72, fall=0.10, rich=0.25, idle=0.004, floor=0.15):
        self.base, self.peak, self.limit = base, peak, limit
        self.low, self.fall, self.rich, self.idle, self.floor = low, fall, rich, idle, floor

    def ve(self, rpm):
        r = min(rpm, self.limit)
        if r <= self.peak:
            x = (self.peak - r) / max(self.peak - 1000, 1)
            v = 1.0 - (1.0 - self.low) * x * x
        else:
            x = (r - self.peak) / max(self.limit - self.peak, 1)
            v = 1.0 - self.fall * x ** 1.5
        return v * (1.0 + self.rich * math.exp(-(r - 1000) / 800.0))

    def charge_throttle(self, rpm, tps):
        """Relative charge per cycle at a throttle opening (0..1): the throttle limits the flow
        per second, so at small openings the charge falls as the speed rises."""
        area = self.idle + tps ** 1.8
        c = 60.0 * area / (min(rpm, self.limit) / 1000.0)
        v = self.ve(rpm)
        return (v ** -3 + c ** -3) ** (-1.0 / 3.0)

    def charge_pressure(self, rpm, kpa):
        v = self.ve(rpm)
        return v * (kpa / 100.0) * (0.85 + 0.15 * kpa / 100.0)

    def pulse_tps(self, rpm, tps):
        return self.floor + self.base * self.charge_throttle(rpm, tps)

    def pulse_iap(self, rpm, kpa):
        return self.floor + self.base * self.charge_pressure(rpm, kpa)


# Reference groups: codes, columns, engine. The group order is the group number 1..23.
REF_GROUPS = [
    ([0, 1, 49], 10, Engine(9.0, 9000, 11500, low=0.70, fall=0.02, idle=0.005)),
    ([2], 15, Engine(6.2, 9000, 11500, low=0.75, fall=0.08, idle=0.006)),
    ([3], 10, Engine(8.6, 8000, 10800, low=0.74, fall=0.08)),
    ([4], 10, Engine(8.8, 8500, 10800, low=0.74, fall=0.07)),
    ([5], 10, Engine(9.2, 7000, 10000, low=0.78, fall=0.09)),
    ([6, 13, 14, 15], 10, Engine(5.4, 11000, 15000, low=0.66, fall=0.10)),
    ([7, 10, 16], 10, Engine(6.4, 8500, 12000, low=0.74, fall=0.09)),
    ([11], 10, Engine(8.4, 8500, 11000, low=0.74, fall=0.08)),
    ([12], 10, Engine(5.0, 11000, 14000, low=0.66, fall=0.10)),
    ([17, 18, 42], 15, Engine(5.0, 11000, 13500, low=0.60, fall=0.06, rich=0.9)),
    ([19, 20], 10, Engine(7.0, 8500, 11000, low=0.76, fall=0.08)),
    ([22, 23, 24], 10, Engine(5.1, 12000, 15200, low=0.64, fall=0.10)),
    ([26, 27, 28], 10, Engine(6.2, 9500, 12000, low=0.72, fall=0.08)),
    ([29], 15, Engine(6.0, 10000, 13000, low=0.70, fall=0.08)),
    ([30, 31], 10, Engine(7.4, 7500, 10900, low=0.78, fall=0.10)),
    ([35, 36], 10, Engine(5.6, 10500, 13600, low=0.68, fall=0.09)),
    ([38, 39, 41], 10, Engine(8.2, 8000, 11000, low=0.74, fall=0.09)),
    ([40], 10, Engine(8.4, 8500, 10500, low=0.74, fall=0.08)),
    ([43, 47], 10, Engine(5.0, 11500, 15000, low=0.64, fall=0.10)),
    ([44], 10, Engine(6.2, 10500, 13800, low=0.70, fall=0.08)),
    ([45], 10, Engine(6.0, 11000, 14300, low=0.70, fall=0.08)),
    ([46, 48], 15, Engine(5.8, 11500, 15800, low=0.68, fall=0.08)),
    ([8, 9, 21, 25, 32, 33, 34, 37], 10, Engine(5.2, 11000, 15400, low=0.66, fall=0.10)),
]

# Telling rows of the throttle-based tables of the outer cylinders (groups 1 and 10).
PINNED_EXT = {
    1: ([250, 187, 214, 214, 161, 121, 127, 127, 127, 127],
        [650, 687, 763, 736, 800, 898, 900, 900, 900, 900]),
    10: ([93, 59, 35, 25, 24, 19, 21, 22, 22, 25, 15, 24, 24, 24, 24],
         [472, 317, 265, 346, 413, 375, 441, 465, 487, 504, 495, 484, 473, 473, 473]),
}

# Inner cylinders breathe a little differently: their fuel is trimmed over the rpm range.
INNER_TRIM = (-0.02, 0.03)  # at 1000 rpm, at the limiter


def fit_between(model, first, last):
    """Keeps the telling first and last rows and places the rows between them where the model
    puts them relative to its own first and last row, column by column."""
    out = []
    for r in range(10):
        row = []
        for c in range(len(first)):
            m0, m9 = model[0][c], model[9][c]
            w = (model[r][c] - m0) / (m9 - m0) if m9 != m0 else r / 9.0
            row.append(round(first[c] + (last[c] - first[c]) * w))
        out.append(row)
    out[0], out[9] = list(first), list(last)
    return out


def units10us(ms):
    return max(1, round(ms * 100.0))


def ref_tps_table(eng, cols):
    pts = COLS15 if cols == 15 else COLS10
    return [[units10us(eng.pulse_tps(p, t / 1000.0)) for p in pts] for t in TPS_ROWS]


def ref_iap_table(eng, cols):
    pts = COLS15 if cols == 15 else COLS10
    rows = IAP_ROWS15 if cols == 15 else IAP_ROWS10
    return [[units10us(eng.pulse_iap(p, k / 10.0)) for p in pts] for k in rows]


def inner_trim(eng, table, cols):
    pts = COLS15 if cols == 15 else COLS10
    out = []
    for row in table:
        new = []
        for c, v in enumerate(row):
            x = (min(pts[c], eng.limit) - 1000) / (eng.limit - 1000)
            new.append(round(v * (1.0 + INNER_TRIM[0] + (INNER_TRIM[1] - INNER_TRIM[0]) * x)))
        out.append(new)
    return out


def build_reference():
    ext, inner, iap = {}, {}, {}
    for g, (codes, cols, eng) in enumerate(REF_GROUPS, start=1):
        model = ref_tps_table(eng, cols)
        if g in PINNED_EXT:
            model = fit_between(model, *PINNED_EXT[g])
        ext[g] = model
        inner[g] = inner_trim(eng, model, cols)
        iap[g] = ref_iap_table(eng, cols)
    # Pressure-based tables: groups 2 and 14 share one table, group 22 has one per code.
    iap_out = {}
    for g in range(1, 24):
        if g == 14:
            continue
        iap_out[g] = iap[g]
    iap_out[2] = iap[2]
    r6r = Engine(5.2, 12500, 15800, low=0.64, fall=0.08)
    iap_out[24] = ref_iap_table(r6r, 15)  # code 48 (group 22 keeps code 46)
    return ext, inner, iap_out


# ---------------------------------------------------------------------------------------------
# Ignition advance.

class Advance:
    """Advance over rpm: `start` at 1000 rpm, rising to `top` at `knee` rpm, easing back by `fall`
    degrees towards the limiter `limit`. Full maps add `light` degrees at closed throttle."""

    def __init__(self, start, top, knee, limit, fall=4.0, light=0.0):
        self.start, self.top, self.knee, self.limit, self.fall, self.light = start, top, knee, limit, fall, light

    def at(self, rpm, tps=1.0):
        r = min(rpm, self.limit)
        if r <= self.knee:
            x = (r - 1000) / max(self.knee - 1000, 1)
            a = self.start + (self.top - self.start) * (1 - (1 - x) ** 2)
        else:
            x = (r - self.knee) / max(self.limit - self.knee, 1)
            a = self.top - self.fall * x
        # Part load burns slower and takes more advance, except near idle where it stays calm.
        extra = self.light * (1.0 - math.sqrt(tps)) * min(1.0, max(0.0, (r - 1500) / 2500))
        return a + extra


def advance_row(model, axis):
    return [int(round(model.at(p))) for p in axis]


def advance_map(model, axis):
    return [[int(round(model.at(p, t / 1000.0))) for p in axis] for t in TPS_ROWS]


ADV_CODE32_ROW = [16, 30, 38, 35, 39, 40, 40, 40, 39, 39, 39, 37, 34, 34, 34]
ADV_CODE17_FIRST = [0, 5, 25, 38, 36, 38, 38, 38, 38, 38, 38, 38, 38, 38, 38]
ADV_CODE17_LAST = [5, 10, 20, 27, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30]

# (codes, full map?, model); the table of a group uses the rpm axis of its first code.
ADVANCE_GROUPS = [
    ([0, 1], False, Advance(10, 34, 6000, 11500, fall=3)),
    ([2], True, Advance(12, 36, 6000, 11500, fall=4, light=8)),
    ([3, 4], False, Advance(8, 32, 5500, 10800, fall=3)),
    ([5], False, Advance(10, 34, 5000, 10000, fall=4)),
    ([6, 12, 13, 14, 15], False, Advance(14, 40, 7000, 15000, fall=5)),
    ([7, 10, 16], False, Advance(12, 38, 6500, 12000, fall=4)),
    ([8, 9, 25, 49], False, Advance(12, 36, 6000, 14000, fall=6)),
    ([11], False, Advance(10, 33, 5500, 11000, fall=3)),
    ([17, 18], True, None),
    ([19, 20], False, Advance(12, 38, 6000, 11000, fall=4)),
    ([21, 22, 23, 24], False, Advance(14, 40, 7000, 15200, fall=5)),
    ([26, 27, 28, 30, 31], False, Advance(13, 38, 6000, 12000, fall=4)),
    ([29], True, Advance(14, 40, 6500, 13000, fall=5, light=9)),
    ([32, 33, 34, 35, 36, 37], False, None),
    ([38, 39, 40, 41], False, Advance(10, 34, 5500, 11000, fall=3)),
    ([42], True, Advance(13, 39, 6500, 13500, fall=4, light=8)),
    ([43, 44, 45, 47], False, Advance(14, 40, 7000, 15000, fall=5)),
    ([46, 48], True, Advance(13, 40, 7000, 15800, fall=5, light=9)),
]


def build_advance():
    tables = []
    for codes, full, model in ADVANCE_GROUPS:
        axis = rpm_axis(codes[0])
        if 32 in codes:
            t = [list(ADV_CODE32_ROW)]
        elif 17 in codes:
            # Load weighting of the rows between the telling closed and open throttle rows.
            t = []
            for tps in TPS_ROWS:
                w = math.sqrt(tps / 1000.0)
                t.append([int(round(a + (b - a) * w)) for a, b in zip(ADV_CODE17_FIRST, ADV_CODE17_LAST)])
        elif full:
            t = advance_map(model, axis)
        else:
            t = [advance_row(model, axis)]
        tables.append((codes, full, t))
    return tables


# ---------------------------------------------------------------------------------------------
# Injection B: the share of the second injector bank, zero up to a throttle threshold.

JETB_CODE6_LAST = [0, 0, 0, 0, 9, 16, 24, 35, 47, 53, 59, 54, 50, 50, 50]


def jetb_rows(last, threshold=250):
    rows = []
    for t in TPS_ROWS:
        g = max(0.0, (t - threshold) / (1000.0 - threshold)) ** 0.8
        rows.append([int(round(v * g)) for v in last])
    rows[9] = list(last)
    return rows


def jetb_last(axis, start, full, top, limit):
    """Share over rpm: none below `start`, rising to `top` % at `full` rpm, easing off to 85 %
    of it at the limiter."""
    out = []
    for p in axis:
        r = min(p, limit)
        if r <= start:
            v = 0.0
        elif r <= full:
            x = (r - start) / (full - start)
            v = top * x * x * (3 - 2 * x)
        else:
            v = top * (1.0 - 0.15 * (r - full) / max(limit - full, 1))
        out.append(int(round(v)))
    return out


JETB_GROUPS = [
    ([6, 13, 14, 15], JETB_CODE6_LAST),
    ([23, 24], jetb_last(rpm_axis(23), 5000, 11000, 55, 15200)),
    ([29], jetb_last(rpm_axis(29), 5000, 10500, 60, 13000)),
    ([34, 37], jetb_last(rpm_axis(34), 6000, 12000, 50, 15400)),
    ([48], jetb_last(rpm_axis(48), 6000, 13000, 55, 15800)),
]


def build_jetb():
    tables = [("others", [[0] * 15 for _ in range(10)])]
    for codes, last in JETB_GROUPS:
        tables.append((codes, jetb_rows(last)))
    return tables


# ---------------------------------------------------------------------------------------------
# Servo maps.

SERVO_CODE32_ROW = [100, 105, 110, 115, 120, 122, 125, 127, 130, 132, 135, 137, 140, 142, 145]  # stored
SERVO_CODE17_IN_FIRST = [40] * 15
SERVO_CODE17_IN_LAST = [45, 45, 50, 50, 75, 80, 99, 99, 99, 99, 99, 99, 99, 99, 99]
SERVO_CODE17_EX_AXIS = [300, 800, 1000, 6500, 6600, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000,
                        15000, 16000]
SERVO_CODE17_EX_ROW = [70, 49, 49] + [98] * 12
SERVO_MAX_SHOWN = 4980  # 249 x 20: the closed-throttle row of a servo map may not exceed 249 stored


def shown_from_percent(pct, percent_mode):
    """A position in percent expressed in the table's shown unit."""
    if percent_mode:
        return int(max(0, min(100, round(pct))))
    return int(max(0, min(SERVO_MAX_SHOWN, 20 * round(pct * 2.5))))


def smooth_open(rpm, start, full):
    if rpm <= start:
        return 0.0
    if rpm >= full:
        return 1.0
    x = (rpm - start) / (full - start)
    return x * x * (3 - 2 * x)


def servo_intake_cells(code, axis, percent, full_map):
    limit = axis[-1]
    if not full_map:
        if code in (32, 33, 34, 35, 36):
            return [20 * v for v in SERVO_CODE32_ROW]
        # Secondary throttle valves: partly open at low speed, opening with rpm.
        return [shown_from_percent(40 + 18 * smooth_open(p, 2000, 0.8 * limit), percent) for p in axis]
    if code in (17, 18):
        first, last = SERVO_CODE17_IN_FIRST, SERVO_CODE17_IN_LAST
    else:
        first = [40] * 15
        last = [45 + 55 * smooth_open(p, 2500, 0.55 * limit) for p in axis]
    rows = []
    for t in TPS_ROWS:
        w = min(1.0, (t / 1000.0) ** 0.7)
        rows.append([shown_from_percent(a + (b - a) * w, percent) for a, b in zip(first, last)])
    if code in (17, 18):
        rows[0], rows[9] = list(first), list(last)
    return [v for row in rows for v in row]


def servo_exhaust(code, percent):
    axis = rpm_axis(code)
    limit = axis[-1]
    if code in (17, 18):
        return SERVO_CODE17_EX_AXIS, list(SERVO_CODE17_EX_ROW)
    if code in (32, 33, 34, 35, 36):
        return axis, [20 * v for v in SERVO_CODE32_ROW]
    # Exhaust valve: part open when starting, closed for low-speed torque, open from mid range.
    cells = []
    for p in axis:
        if p <= 1000:
            pct = 70
        else:
            pct = 49 + 49 * smooth_open(p, 0.4 * limit, 0.55 * limit)
        cells.append(shown_from_percent(pct, percent))
    return axis, cells


def build_servo():
    intake, exhaust = {}, {}
    for code in range(50):
        in_pct, in_mode, in_hyst, _ex_en, ex_pct, ex_hyst = SERVO_SCALARS[code]
        axis = rpm_axis(code)
        cells = servo_intake_cells(code, axis, in_pct == 1, in_mode == 0)
        intake[code] = (5 * in_hyst, 1 if in_pct else 20, axis, cells)
        ex_axis, ex_cells = servo_exhaust(code, ex_pct == 1)
        exhaust[code] = (5 * ex_hyst, 1 if ex_pct else 20, ex_axis, ex_cells)
    # Types with the same numbers share one table.
    tables, index = [], {}
    ids = {}
    for kind, per_code in (("in", intake), ("ex", exhaust)):
        for code, t in per_code.items():
            key = (t[0], t[1], tuple(t[2]), tuple(t[3]))
            if key not in index:
                index[key] = len(tables)
                tables.append(t)
            ids[(kind, code)] = index[key]
    return tables, ids


# ---------------------------------------------------------------------------------------------
# Output.

def check(cond, what):
    if not cond:
        raise SystemExit("table check failed: " + what)


def write(path, header_lines, columns, rows):
    with open(path, "w", newline="\n") as f:
        for line in header_lines:
            f.write("# " + line + "\n" if line else "#\n")
        f.write(",".join(columns) + "\n")
        for r in rows:
            f.write(",".join(str(v) for v in r) + "\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "image", "data")
    os.makedirs(out, exist_ok=True)
    gen = "Generated by tools/gen_tables.py; edit the model there and run it again."
    vcols = ["table", "row"] + ["v%d" % i for i in range(15)]

    ext, inner, iap = build_reference()
    for name, family, rows_note in (
        ("reference_ext.csv", ext, "throttle 0, 2, 5, 10, 20, 30, 40, 60, 80, 100 %"),
        ("reference_int.csv", inner, "throttle 0, 2, 5, 10, 20, 30, 40, 60, 80, 100 %"),
        ("reference_iap.csv", iap, "30, 50, 60, 70, 75, 80, 85, 90, 95, 100 kPa (15 columns), "
                                   "10, 20 ... 100 kPa (10 columns)"),
    ):
        rows = []
        for tid in sorted(family):
            t = family[tid]
            check(len(t) == 10, name)
            for r, row in enumerate(t):
                check(all(0 < v <= 6000 for v in row), "%s table %d range" % (name, tid))
                rows.append([tid, r] + row)
            for c in range(len(t[0])):
                check(all(t[r][c] <= t[r + 1][c] for r in range(9)), "%s table %d rising" % (name, tid))
        header = [
            "Reference injection times, units of 10 us. 10 rows (" + rows_note + ");",
            "10 columns at 1000, 2000, 3000, 4000, 6000, 8000, 10000, 12000, 14000, 16000 rpm or",
            "15 columns at 1000, 2000 ... 14000, 16000 rpm.",
        ]
        if family is iap:
            header.append("table = reference group, except: group 14 uses table 2; table 24 is code 48 "
                          "(group 22 table 22 is code 46).")
        else:
            header.append("table = reference group 1..23.")
        write(os.path.join(out, name), header + [gen], vcols, rows)

    adv = build_advance()
    check(len(adv) == 18, "18 advance tables")
    rows, adv_of = [], {}
    for tid, (codes, full, t) in enumerate(adv):
        check(len(t) == (10 if full else 1), "advance shape")
        if full:
            check(len({tuple(r) for r in t}) == 10, "advance map %d has ten different rows" % tid)
        for r, row in enumerate(t):
            check(len(row) == 15 and all(0 <= v <= 60 for v in row), "advance range")
            rows.append([tid, r] + row)
        for c in codes:
            adv_of[c] = tid
    write(os.path.join(out, "advance.csv"),
          ["Ignition advance, degrees, over the type's rpm axis. One row (copied into all throttle rows)",
           "or a full map of 10 throttle rows (0, 2, 5, 10, 20, 30, 40, 60, 80, 100 %).", gen],
          vcols, rows)

    jetb = build_jetb()
    rows, jetb_of = [], {c: 0 for c in range(50)}
    for tid, (codes, t) in enumerate(jetb):
        for r, row in enumerate(t):
            check(len(row) == 15 and all(0 <= v <= 100 for v in row), "injection B range")
            rows.append([tid, r] + row)
        if codes != "others":
            for c in codes:
                jetb_of[c] = tid
    write(os.path.join(out, "injection_b.csv"),
          ["Injection B, stored bytes (% of the fuel given by the second injectors), 10 throttle rows",
           "x 15 columns over the type's rpm axis. Table 0 (all zeros) serves every type not listed.", gen],
          vcols, rows)

    servo, servo_ids = build_servo()
    rows = []
    for tid, (hyst, step, axis, cells) in enumerate(servo):
        check(len(axis) == 15 and all(a < b for a, b in zip(axis, axis[1:])), "servo axis")
        check(len(cells) in (15, 150), "servo cells")
        limit = 100 if step == 1 else SERVO_MAX_SHOWN
        check(all(0 <= v <= limit and v % step == 0 for v in cells), "servo cell range")
        rows.append([tid, "hyst", hyst])
        rows.append([tid, "step", step])
        rows.append([tid, "rpm"] + list(axis))
        for r in range(len(cells) // 15):
            rows.append([tid, r] + cells[15 * r:15 * r + 15])
    write(os.path.join(out, "servo.csv"),
          ["Servo maps in shown units. Per table: hyst = hysteresis in mV; step = unit of the cells",
           "(1: percent, 20: servo units of 20, i.e. stored byte x 20); rpm = 15-point axis in rpm;",
           "rows 0..9 = cells by throttle row (one row only: the same position at every throttle).", gen],
          ["table", "row"] + ["v%d" % i for i in range(15)], rows)

    write(os.path.join(out, "type_tables.csv"),
          ["Tables of each motorcycle type (code 0..49): advance.csv, injection_b.csv and servo.csv ids.", gen],
          ["code", "advance", "injection_b", "servo_in", "servo_ex"],
          [[c, adv_of[c], jetb_of[c], servo_ids[("in", c)], servo_ids[("ex", c)]] for c in range(50)])


if __name__ == "__main__":
    main()
