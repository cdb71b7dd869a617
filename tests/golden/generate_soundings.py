#!/usr/bin/env python3
"""Writes the edge-sounding corpus of the golden block test.

Every sounding aims at one boundary of the station analysis: levels at
exactly 0 °C, at the condensation level, at 850/700/500 hPa, missing heights
where a layer starts, one and two levels, dew points above the temperature,
crossings at a level and at a whole hPa, small and capped positive areas,
calm and opposing winds, and pressures that stop the scans.

Each theme is written as a type-5 file (integer values only) and as a
characteristic-level file (which also carries the cases with decimals), into
tests/golden/data/. Deterministic: no randomness, no clock. Regenerate the
corpus and its expected blocks with tests/golden/regenerate.sh.
"""
import os

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")

# Pressure (hPa) and height (dam) of a mid-latitude summer sounding, with its
# temperatures (°C); the themes shift and bend it.
BASE_PH = [(1000, 10), (950, 54), (925, 77), (900, 100), (850, 149), (800, 200), (700, 312),
           (600, 440), (500, 587), (400, 757), (300, 965), (250, 1090), (200, 1240),
           (150, 1425), (100, 1660)]
BASE_T = [28, 24, 23, 21, 18, 15, 8, 0, -8, -19, -33, -42, -52, -60, -66]


def level(p, h, t, td=None, direction=0, speed=0):
    return [p, h, t, t - 5 if td is None else td, direction, speed]


WINDS = iter(range(1000000))


def base(t0=28, td0=22, shift=0):
    """The base sounding; every call veers its wind differently with height."""
    k = next(WINDS)
    levels = [level(p, h, t + shift, direction=(37 * k + 11 * i) % 360, speed=3 + (k + 2 * i) % 17)
              for i, ((p, h), t) in enumerate(zip(BASE_PH, BASE_T))]
    levels[0][2:4] = [t0, td0]
    return levels


def freezing():
    cases = []
    for t0 in (-2, -1, 0, 1, 2):
        for t1 in (-1, 0, 1):
            for n in (1, 2, 3):
                cases.append([level(1000, 10, t0), level(900, 100, t1), level(800, 200, -5)][:n])
    # 0 °C exactly at the second and third level above a warm surface.
    cases.append([level(1000, 10, 10), level(900, 100, 4), level(800, 200, 0), level(700, 300, -6)])
    cases.append([level(1000, 10, 10), level(900, 100, 0), level(800, 200, 0), level(700, 300, -6)])
    # A missing temperature counts as below freezing; missing heights interpolate as numbers.
    cases.append([level(1000, 10, 10), level(900, 100, -9999, 0), level(800, 200, -5)])
    cases.append([level(1000, 9999, 10), level(900, 100, -2), level(800, 200, -5)])
    cases.append([level(1000, 10, 10), level(900, 9999, -2), level(800, 200, -5)])
    # Surface pressure of exactly 1000 hPa against other surfaces: ln(p/1000) of 0.
    for p0 in (1013, 1000, 987):
        cases.append([level(p0, 10, 6), level(700, 300, 2), level(600, 420, -4)])
    return cases


def standard_levels():
    cases = []
    for p0 in (899, 900, 901):
        cases.append([level(p0, 10, 20), level(850, 150, 12, 8), level(700, 310, 4, -2),
                      level(500, 580, -12, -30)])
    # Each standard level present alone, and none.
    for keep in ((850,), (700,), (500,), (850, 700), (850, 500), (700, 500), ()):
        levels = [level(1000, 10, 20, 15)]
        for p, h, t in ((850, 150, 12), (800, 200, 9), (700, 310, 4), (600, 440, -4), (500, 580, -12)):
            if p in keep or p in (800, 600):
                levels.append(level(p, h, t, direction=220, speed=12))
        cases.append(levels)
    # The surface at 850 is not the 850 hPa level; two 500 hPa levels, the later wins.
    cases.append([level(850, 10, 20), level(700, 310, 4), level(500, 580, -12), level(500, 590, -14)])
    # SWEAT direction windows at and around their bounds, and speeds around 15 knots.
    for dir850, dir500 in ((129, 250), (130, 250), (250, 310), (251, 300), (200, 209), (200, 210),
                           (200, 311), (130, 210), (250, 250), (200, 200)):
        cases.append([level(1000, 10, 25, 20), level(850, 150, 14, 10, dir850, 10),
                      level(700, 310, 6, 0), level(500, 580, -14, -30, dir500, 20)])
    for speed850, speed500 in ((7, 20), (8, 20), (10, 7), (10, 8), (10, 10), (10, 11), (0, 0)):
        cases.append([level(1000, 10, 25, 20), level(850, 150, 14, 10, 200, speed850),
                      level(700, 310, 6, 0), level(500, 580, -14, -30, 250, speed500)])
    # Total totals just below, at and above 49; dew point at 850 below, at and above 0.
    for t850, td850 in ((11, 10), (12, 11), (13, 12), (2, -1), (2, 0), (2, 1)):
        cases.append([level(1000, 10, 25, 20), level(850, 150, t850, td850, 200, 10),
                      level(700, 310, 6, 0), level(500, 580, -13, -30, 250, 20)])
    return cases


def energy():
    cases = []
    # Surface temperature and dew point swept over the base sounding: no LFC,
    # small and large positive areas, saturated and supersaturated surfaces.
    for t0 in (20, 24, 28, 32, 36):
        for depression in (20, 10, 5, 2, 0, -2):
            cases.append(base(t0, t0 - depression))
    # Very dry surfaces: the condensation level needs ten updates and more.
    for td0 in (-140, -145, -160):
        cases.append(base(50, td0))
    # Hot, moist parcels: the moist adiabat passes 313 K above the LFC, and the capped search stops.
    cases.append([level(1000, 10, 50, 48), level(950, 54, 40), level(900, 100, 36), level(850, 149, 30),
                  level(700, 312, 15), level(500, 587, -5), level(300, 965, -35)])
    # A hot, moist parcel: the moist adiabat passes 320 K above the LFC.
    for t0, td0 in ((40, 35), (45, 40), (38, 36)):
        cases.append(base(t0, td0, shift=4))
    # A cool environment above a warm surface: the parcel is warmer already
    # below the LCL, so the LFC is the first whole hPa of its layer.
    cases.append([level(1000, 10, 35, 20), level(950, 54, 20), level(900, 100, 18),
                  level(800, 200, 10), level(600, 440, -8), level(400, 757, -30),
                  level(200, 1240, -60)])
    # A warm layer above 500 hPa stops the positive area at once (an EL just
    # above the LFC), and one below 500 hPa is passed over.
    cases.append(base(32, 26) [:8] + [level(500, 587, 5), level(400, 757, -19), level(300, 965, -33)])
    cases.append(base(32, 26) [:6] + [level(700, 312, 30), level(600, 440, 0), level(500, 587, -8),
                                      level(400, 757, -19), level(300, 965, -33)])
    # A saturated surface above 1000 hPa under a cold level: the LFC scan starts at the surface.
    cases.append([level(1013, 0, 30, 30), level(1000, 10, 20), level(950, 54, 18), level(850, 149, 12),
                  level(700, 312, 2), level(500, 587, -15), level(300, 965, -45)])
    # The sounding ends above the LFC without an EL.
    cases.append(base(32, 26)[:10])
    return cases


def heights():
    cases = []
    # An inversion below the LCL (a dry surface), with a missing height at
    # each level in turn: the lower end of a layer below the LCL and below the
    # LFC counts as 0, anything else enters as it stands.
    for missing in range(0, 9):
        inverted = [level(1000, 10, 20, -10), level(950, 54, 24, -10), level(925, 77, 25, -12),
                    level(900, 100, 23), level(850, 149, 20), level(800, 200, 16),
                    level(700, 312, 8), level(600, 440, 0), level(500, 587, -8),
                    level(400, 757, -19), level(300, 965, -33), level(200, 1240, -52)]
        inverted[missing][1] = 9999
        cases.append(inverted)
    for missing in range(0, 10):
        unstable = base(32, 26)
        unstable[missing][1] = 9999
        cases.append(unstable)
    # A stable sounding, negative energy at every level above the LCL, with a
    # missing height at each level in turn.
    for missing in range(2, 8):
        stable = [level(p, h, t) for p, h, t in STABLE]
        stable[0][3] = 0
        stable[missing][1] = 9999
        cases.append(stable)
    return cases


STABLE = [(1000, 10, 20), (950, 54, 17), (925, 76, 16), (900, 99, 16), (850, 147, 15), (800, 198, 12),
          (700, 310, 5), (600, 440, -2), (500, 588, -10), (400, 760, -20), (300, 968, -33),
          (200, 1244, -52), (100, 1664, -62)]


def counts():
    return [
        [level(1000, 10, 25, 20)],                                   # one level
        [level(1000, 10, 25, 25)],
        [level(1000, 10, 25, 20), level(700, 310, 4)],               # LCL between the two levels
        [level(1000, 10, 25, 0), level(900, 100, 15)],               # LCL above the top
        [level(1000, 10, 25, 20), level(950, 54, 21), level(500, 580, -12)],
        [level(1000, 10, 30, 24), level(980, 27, 27), level(960, 45, 25)],  # every level below the LCL
        [level(0, 10, 25, 20)],                                      # no air: density weights of 0
        [level(1000, 10, 25, 20), level(950, 54, 21), level(500, 580, -40)],  # a crossing deep in a thick layer
    ]


def winds():
    cases = []
    for directions, speeds in (((0, 0, 0), (0, 0, 0)),            # calm
                               ((0, 180, 0), (10, 10, 0)),        # opposing
                               ((90, 270, 90), (10, 10, 0)),
                               ((90, 90, 90), (5, 5, 5)),
                               ((270, 270, 270), (5, 5, 5)),
                               ((89, 91, 180), (5, 5, 5)),
                               ((269, 271, 360), (5, 5, 5)),
                               ((0, 360, 180), (8, 8, 1)),
                               ((45, 135, 225), (3, 6, 9))):
        levels = base(32, 26)[:3]
        for lev, d, s in zip(levels, directions, speeds):
            lev[4:6] = [d, s]
        cases.append(levels + [level(p, h, t) for (p, h), t in zip(BASE_PH[3:], BASE_T[3:])])
    # Missing temperatures everywhere: the density weights sum negative.
    cases.append([level(1000, 10, -9999, -9999, 90, 5), level(500, 580, -9999, -9999, 180, 7)])
    return cases


def scans():
    cases = []
    # Pressures of 0 or below where a scan meets them.
    for position in (1, 2, 3, 5, 8):
        for pressure in (0, -1):
            levels = base(32, 26)
            levels[position][0] = pressure
            cases.append(levels)
    # Below the LCL: a level cooler in θ than the surface after a warmer one,
    # and a warmer one after a cooler one whose layer mean stays cooler.
    cases.append([level(1000, 10, 20, -10), level(950, 54, 30), level(925, 77, 13), level(900, 100, 12),
                  level(850, 149, 9), level(800, 200, 6), level(700, 312, -1), level(600, 440, -9),
                  level(500, 587, -18), level(400, 757, -29), level(300, 965, -43)])
    cases.append([level(1000, 10, 20, -10), level(950, 54, 10), level(925, 77, 18), level(900, 100, 16),
                  level(850, 149, 12), level(800, 200, 8), level(700, 312, 1), level(600, 440, -7),
                  level(500, 587, -16), level(400, 757, -27), level(300, 965, -41)])
    # A saturated surface (the LCL is the surface pressure) with a second level at that pressure.
    cases.append([level(1000, 10, 25, 25), level(1000, 12, 24), level(950, 54, 22), level(900, 100, 19),
                  level(800, 200, 12), level(600, 440, -3), level(400, 757, -25), level(200, 1240, -58)])
    # No air at the surface, and at the first level with the LCL below it.
    cases.append([level(0, 10, 25, 20)] + base(32, 26)[1:])
    moist = base(32, 31)
    moist[1][0] = 0
    cases.append(moist)
    # Below the LCL, a level back at the surface's pressure and temperature: θ equal to the surface's.
    cases.append([level(1000, 10, 20, -10), level(950, 54, 26), level(1000, 70, 20), level(900, 100, 22),
                  level(850, 149, 19), level(700, 312, 6), level(500, 587, -12), level(300, 965, -40)])
    # Pressures that rise again, and a duplicated pressure.
    cases.append(base(32, 26)[:5] + [level(900, 180, 12)] + base(32, 26)[5:])
    cases.append(base(32, 26)[:5] + [level(850, 160, 16)] + base(32, 26)[5:])
    # A sounding that reaches 1 hPa and below with a cold top: an LFC near 1 hPa.
    cases.append([level(1000, 10, 10, -30), level(500, 587, -40), level(3, 3900, 30),
                  level(2, 4200, 25), level(0, 4600, -150)])
    cases.append([level(1000, 10, 10, -30), level(500, 587, -40), level(2, 4200, 30),
                  level(1, 4400, -150)])
    return cases


def decimal_cases():
    """Cases that need decimals: only the characteristic-level format has them."""
    cases = []
    # Saturated surface at 850 hPa: the condensation level is the surface pressure itself.
    cases.append([level(850, 150, 20, 19.5), level(800, 200, 16), level(700, 312, 8),
                  level(500, 587, -10), level(300, 965, -40)])
    # Levels at fractional pressures: a refinement starts at the whole hPa below.
    for fraction in (0.25, 0.5, 0.75):
        levels = base(32, 26)
        for lev in levels[1:]:
            lev[0] += fraction
        cases.append(levels)
    # The parcel warmer already at the level below the bracket, at a fractional pressure.
    cases.append([level(1000, 10, 35, 20), level(950.5, 54, 20), level(900, 100, 18),
                  level(800, 200, 10), level(600, 440, -8), level(400, 757, -30),
                  level(200, 1240, -60)])
    # Missing heights just above and below the two thresholds of the layer tests.
    for missing in (9998, 9998.5, 9999, 9999.5, 10000):
        for position in (0, 3, 4, 5):
            levels = base(32, 26) if position else base(20, 0)
            if position == 5:
                levels = [level(p, h, t) for p, h, t in STABLE]
            levels[position][1] = missing
            cases.append(levels)
    # The 850 hPa surface saturated: the LCL is the surface, and a second level lies at it.
    cases.append([level(850, 150, 20, 19.5), level(850, 152, 19.8), level(800, 200, 16), level(700, 312, 8),
                  level(500, 587, -10), level(300, 965, -40)])
    # A small positive area: a barely unstable layer swept in tenths of a degree.
    for tenths in range(0, 12):
        levels = base(26, 20)
        levels[5][2] = 15 + tenths / 10
        levels[6][2] = 8 + tenths / 10
        cases.append(levels)
    # The 0 °C level between levels of every kind of pressure and temperature.
    for k, (t_lower, t_upper) in enumerate(((0.5, -0.2), (1.3, -1.7), (2.7, -3.3), (4.1, -5.9), (6.9, -0.4),
                                            (0.1, -9.9), (3.3, -0.1), (8.8, -2.2))):
        for p_lower, gap in ((987.3, 13.7), (912.6, 48.1), (850.2, 91.9), (733.9, 60.6)):
            cases.append([level(1003.1, 9.5, t_lower + 5, 0), level(p_lower, 40.3 + k, t_lower),
                          level(p_lower - gap, 120.7 + 3 * k, t_upper)])
    # Surface parcels across the lifted-index and Showalter formulas.
    for k in range(40):
        t0, td0, t850, td850 = 4 + 0.9 * k, 1.7 * k - 30.3, -6 + 0.7 * k, -9 + 0.65 * k
        cases.append([level(1000 - k * 1.3, 10, t0, td0), level(850, 150, t850, td850, 200, 10 + k % 5),
                      level(700, 310, t850 - 8.1, td850 - 12), level(500, 580, t850 - 24.3, td850 - 30, 250, 20)])
    # A dew point at 850 hPa between 0 and 1; a condensation level of exactly 500 hPa
    # for the surface parcel; degenerate vapour pressures: none (TK of 0 and below), infinite.
    cases.append([level(1000, 10, 25, 20), level(850, 150, 2, 0.5, 200, 10), level(700, 310, 6, 0),
                  level(500, 580, -13, -30, 250, 20)])
    for t0, td0 in ((25.0200005, -20.9058304), (-273.16, -538.7), (-538.66, -540), (25, -538.66)):
        cases.append([level(1000, 10, t0, td0), level(850, 150, 14, 10), level(500, 580, -14, -30)])
    # The base sounding with a surface of 32 °C and 26 °C has a parcel of
    # 24.0917969 °C at 900 hPa and -5.38085938 °C at 400 hPa (the analysis's
    # own moist adiabat, rounded as it rounds it). An environment exactly at
    # the parcel's temperature at a level: not warmer, not colder, at the start
    # of a whole-hPa scan; and one just 0.005 K colder.
    for pressure_index, temperature in ((3, 24.0917969), (3, 24.0867969), (9, -5.38085938)):
        levels = base(32, 26)
        levels[pressure_index][2] = temperature
        levels[10][2] = -10 if pressure_index == 9 else levels[10][2]
        cases.append(levels)
    # A parcel warmer than its environment in one thin layer near 505 hPa only:
    # positive areas just below 0, between 0 and 1, and between 1 and 2 J/kg.
    for colder in (0.07, 0.078, 0.082, 0.75, 0.8, 1.0):
        cases.append([level(1000, 10, 26, 20, 200, 5), level(950, 54, 22), level(900, 100, 21), level(850, 149, 19),
                      level(800, 200, 17), level(700, 312, 12), level(600, 440, 6), level(510, 572, -4.4),
                      level(505, 579, -5.02929688 - colder), level(490, 600, -3), level(400, 757, -12),
                      level(300, 965, -28)])
    # An LFC at exactly 1 hPa and at 2 hPa, above a cold top.
    cases.append([level(1000, 10, 10, -30), level(500, 587, -40), level(2, 4200, 30), level(0.5, 4600, -150)])
    cases.append([level(1000, 10, 10, -30), level(500, 587, -40), level(3, 4000, 30), level(1.5, 4400, -300)])
    # Surface parcels of 998.7 K and 999 K: the mixing ratio gives up at 999 K.
    for t0 in (725.5, 725.84):
        cases.append([level(1000, 10, t0, t0), level(900, 100, 20), level(500, 587, -10)])
    # Condensation levels just above the surface, swept: the layer closing at
    # the LCL starts at the surface height.
    for k in range(24):
        t0 = 20 + 0.37 * k
        cases.append([level(1000, 10 + k, t0, t0 - 1.5 - 0.05 * k), level(850, 149, t0 - 12),
                      level(700, 312, t0 - 22), level(500, 587, t0 - 38), level(300, 965, t0 - 62)])
    # Surfaces found to separate the method from near variants of it (a kelvin
    # value, a relative humidity or a layer mean rounded once more or once
    # less), by reading many surfaces with both and keeping those that differ.
    for t0, td0 in ((22.93, 10.32), (26.65, 20.49), (26.65, 17.48), (26.34, 15.45), (28.82, 22.23),
                    (31.61, 30.18), (31.61, 29.75), (28.14, 24.84)):
        cases.append(base(t0, td0))
    for k, td0 in ((22, 24.84), (22, 24.14)):
        t0 = 20 + 0.37 * k
        cases.append([level(1000, 10 + k, t0, td0), level(850, 149, t0 - 12), level(700, 312, t0 - 22),
                      level(500, 587, t0 - 38), level(300, 965, t0 - 62)])
    # The first level above the LCL exactly at the parcel's temperature there,
    # where the LCL's θ is a little below the surface's.
    for t0, td0, index, parcel in ((23.86, 22.86, 1, 21.3964844), (31.61, 26.31, 2, 25.1171875)):
        levels = base(t0, td0)
        levels[index][2] = parcel
        cases.append(levels)
    # The worked soundings with their decimal temperatures.
    worked = [28.0, 24.5, 22.8, 21.0, 18.2, 15.0, 8.0, 0.0, -8.5, -19.0, -33.0, -42.0, -52.5, -60.0, -66.0]
    for td0 in (20, 22, 24.5, 26):
        cases.append([level(p, h, t) for (p, h), t in zip(BASE_PH, worked)])
        cases[-1][0][3] = td0
    return cases


THEMES = {
    "freezing": freezing,
    "standard_levels": standard_levels,
    "energy": energy,
    "heights": heights,
    "counts": counts,
    "winds": winds,
    "scans": scans,
}


def number(value):
    text = ("%.7f" % value).rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def type5_text(name, stations):
    lines = ["diamond 5 edge_%s" % name, "26 12 9 0 %d" % len(stations)]
    for k, levels in enumerate(stations):
        lines.append("%d 100.0 40.0 55 %d" % (50001 + k, 6 * len(levels)))
        for lev in levels:
            assert all(float(v).is_integer() for v in lev), (name, k, lev)
            lines.append(" ".join("%d" % v for v in lev))
    return "\n".join(lines) + "\n"


def characteristic_text(stations):
    lines = []
    for k, levels in enumerate(stations):
        lines.append("%d %d 40.0 100.0 %d" % (k + 1, 50001 + k, len(levels)))
        for i, lev in enumerate(levels):
            p, h, t, td, d, s = lev
            lines.append(" ".join(number(v) for v in (p, i, h, t, td, d, s)))
    return "\n".join(lines) + "\n"


def type5_extras():
    """Station headers whose value counts are not whole levels."""
    return ("diamond 5 edge_value_counts\n09 12 9 0 6\n"
            "60001 100.0 40.0 55 0\n"
            "60002 100.0 40.0 55 5\n1000 10 25 20 180 5\n"
            "60003 100.0 40.0 55 6\n1000 10 25 20 180 5\n"
            "60004 100.0 40.0 55 7\n1000 10 25 20 180 5 7\n"
            "60005 100.0 40.0 55 13\n1000 10 25 20 180 5 700 310 4 -1 250 12 9\n"
            "60006 100.0 40.0 55 12\n1000 10 0 -3 180 5 700 310 -10 -15 250 12\n")


def main():
    os.makedirs(DATA, exist_ok=True)
    for name, make in THEMES.items():
        stations = make()
        with open(os.path.join(DATA, name + ".type5.txt"), "w") as out:
            out.write(type5_text(name, stations))
        with open(os.path.join(DATA, name + ".rozedu.txt"), "w") as out:
            out.write(characteristic_text(stations))
    with open(os.path.join(DATA, "decimals.rozedu.txt"), "w") as out:
        out.write(characteristic_text(decimal_cases()))
    with open(os.path.join(DATA, "value_counts.type5.txt"), "w") as out:
        out.write(type5_extras())


if __name__ == "__main__":
    main()
