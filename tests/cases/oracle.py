#!/usr/bin/python3
"""Second, independent computation of a heat balance, for cross-checking the engine.

Written from the rules of the recalculation (open steps, input rules, the nine gains,
the totals, the air table), not from the C++ code. Reads a calculation file and the
DATA tables with dbfread and prints what `vorn calc --json` prints.

    oracle.py calc FILE --data DIR            the result as JSON
    oracle.py gen OUTDIR --data DIR --count N [--seed S]
                                              N varied calculations OUTDIR/case-NNN.vrn
    oracle.py compare DIR --data DIR --vorn BIN
                                              every *.vrn of DIR through both, differences
    oracle.py case FOLDER --data DIR          writes FOLDER/expected.json from input.vrn
"""
import argparse
import json
import math
import os
import random
import subprocess
import sys
from decimal import ROUND_HALF_UP, Decimal

from dbfread import DBF

STORAGE = "Хранение"
COOLING = "Охлаждение"


class CalcError(Exception):
    pass


# ---------------------------------------------------------------- table reading


def _read_field(raw, ftype):
    """A raw DBF field as the table layer reads it."""
    if ftype == "C":
        s = raw.decode("cp866").rstrip(" ")
        return s if s else None
    if ftype in "NF":
        s = raw.decode("ascii", "replace").strip()
        if not s:
            return 0.0
        try:
            return float(s.replace(",", "."))
        except ValueError:
            return 0.0
    if ftype == "L":
        return raw[:1].decode("latin-1") in ("T", "t", "Y", "y", "J", "j")
    return None


class Rows:
    """The visible rows of a table, values by upper-case field name."""

    def __init__(self, path):
        t = DBF(path, raw=True, ignore_missing_memofile=True)
        types = {f.name.upper(): f.type for f in t.fields}
        self.fields = [f.name.upper() for f in t.fields]
        self.rows = []
        for rec in t:
            self.rows.append({k.upper(): _read_field(v, types[k.upper()]) for k, v in rec.items()})


def find_table(data, name):
    for f in os.listdir(data):
        if f.lower() == name.lower():
            return os.path.join(data, f)
    raise FileNotFoundError(name)


def text(v):
    return "" if v is None else v


def num(v):
    return 0.0 if v is None else float(v)


def same_name(a, b):
    # whole value, letter case ignored (Cyrillic too), trailing blanks not significant
    return a.rstrip(" ").lower() == b.rstrip(" ").lower()


def locate(rows, field, name):
    if not name:
        return None
    for i, r in enumerate(rows):
        if r.get(field) is not None and same_name(r[field], name):
            return i
    return None


# ---------------------------------------------------------------- numbers


def round_box(x):
    """Two decimals, half away from zero on the exact double."""
    d = Decimal(x).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    v = float(d)
    return 0.0 if v == 0 else v


def mask2(x):
    d = Decimal(x).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    if d == 0:
        d = Decimal("0.00")  # a value that rounds to zero prints without a sign
    s = "{:.2f}".format(d)
    return s.replace(".", ",")


def mask0(x):
    d = Decimal(x).quantize(Decimal("1"), rounding=ROUND_HALF_UP)
    if d == 0:
        d = Decimal("0")
    return "{:d}".format(int(d))


def stored_with_decimals(x, decimals):
    return float(Decimal(x).quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_UP))


def round_half_even(x):
    return float(round(x))  # Python rounds ties to the even neighbour


# ---------------------------------------------------------------- the air table


def air_lookup(int_rows, int_fields, t, phi, want_enthalpy):
    col = "VL" + str(abs(int(phi)))
    tp = ep = pp = 0.0
    e = p = 0.0
    if int_rows and col not in int_fields:
        raise CalcError("no column " + col)
    for r in int_rows:
        temp = num(r["TEMVOZD"])
        if temp < t:
            tp, ep, pp = temp, num(r[col]), num(r["QP"])
            continue
        if temp == tp:
            # first row at 0 °C with t at or below 0: that row's own values
            e, p = num(r[col]), num(r["QP"])
        else:
            e = ep + (num(r[col]) - ep) * (t - tp) / (temp - tp)
            p = pp + (num(r["QP"]) - pp) * (t - tp) / (temp - tp)
        break
    return e if want_enthalpy else p


def density(t):
    return 1.293 / (1 + t / 273.15)


def divide(a, b, what):
    if b == 0:
        raise CalcError("division by zero: " + what)
    return a / b


# ---------------------------------------------------------------- open + run


def calculate(vrn_path, data):
    work = Rows(vrn_path).rows[0]
    mater = Rows(find_table(data, "s_mater.DBF")).rows
    izolm = Rows(find_table(data, "s_izolm.DBF")).rows
    prods = Rows(find_table(data, "products.DBF")).rows
    tara = Rows(find_table(data, "s_tara.DBF")).rows
    air = Rows(find_table(data, "s_int.DBF"))

    def f(name):
        return num(work.get(name.upper()))

    def s(name):
        return text(work.get(name.upper()))

    def b(name):
        return bool(work.get(name.upper()))

    # Open: the regime choice shows item 1 for "Хранение", item 2 for anything else;
    # a change from the initial item 1 runs the regime rule, which writes the text.
    if s("OB_TERMR") != STORAGE:
        work["OB_TERMR"] = COOLING
    # "По первой строке" turning on copies row 1 into rows 2..6.
    if b("ST_IDENT"):
        for n in range(2, 7):
            for p in ("ST_M", "ST_MT", "ST_IZ", "ST_IZT", "ST_TEM"):
                work[p + str(n)] = work.get(p + "1")
    # Loading product and category.
    i = locate(prods, "NAIM", s("TE_PTIP"))
    if i is not None:
        category = text(prods[i]["TIP"])
    else:
        category = "Мясные"
        work["TE_PTIP"] = prods[0]["NAIM"] if prods else None
    include = [b("CH%d" % n) for n in range(1, 10)]
    # Option-box rule.
    if b("OS_REC"):
        work["OS_POW"] = 5.0
    # Category rule: products of exactly that category.
    cat_rows = [r for r in prods if text(r["TIP"]).rstrip(" ") == category.rstrip(" ")]
    if locate(cat_rows, "NAIM", s("TE_PTIP")) is None:
        work["TE_PTIP"] = cat_rows[0]["NAIM"] if cat_rows else None
    # Product rule.
    i = locate(cat_rows, "NAIM", s("TE_PTIP"))
    if i is None:
        i = 0 if cat_rows else None
        work["TE_PTIP"] = cat_rows[0]["NAIM"] if cat_rows else None
    product = cat_rows[i] if i is not None else None
    ti = locate(tara, "NAIM", s("TE_TTIP"))
    if ti is None:
        ti = 0 if tara else None  # the packaging table stays on its first row
    pack = tara[ti] if ti is not None else None

    # Areas and volume.
    dl, sh, vs = f("OB_KAMDL"), f("OB_KAMSH"), f("OB_KAMVS")
    volume = dl * sh * vs
    areas = [sh * vs, dl * vs, sh * vs, dl * vs, sh * dl, sh * dl]

    boxes = [0.0] * 11
    labels = {}
    storage = s("OB_TERMR") == STORAGE
    cooling = s("OB_TERMR") == COOLING
    tk = f("OB_TEMKAM")

    def put(n, value):
        if not include[n - 1]:
            value = 0.0
        if math.isnan(value) or math.isinf(value):
            raise CalcError("not finite")
        boxes[n - 1] = round_box(value)
        return boxes[n - 1]

    # Gain 1
    total = 0.0
    rows = [0.0] * 6
    for n in range(1, 7):
        mi = locate(mater, "M_NAIM", s("ST_M%d" % n))
        if mi is None:
            continue
        zi = locate(izolm, "IZ_NAIM", s("ST_IZ%d" % n))
        if zi is None:
            continue
        r = 1 / 22.7
        r = r + divide(f("ST_MT%d" % n) / 1000, num(mater[mi]["M_KTP"]), "M_KTP")
        r = r + divide(f("ST_IZT%d" % n) / 1000, num(izolm[zi]["IZ_KTP"]), "IZ_KTP")
        r = r + 1 / 9.37
        q = divide(areas[n - 1], r, "R") * (f("ST_TEM%d" % n) - tk)
        rows[n - 1] = q
        total = total + q
    b1 = put(1, total / 1000)
    for n in range(6):
        labels["QRLabel%d" % (70 + n)] = mask2(rows[n] / 1000)
    labels["QRLabel76"] = mask2(b1)

    # Gain 2
    rate = flow = i_out = i_in = 0.0
    phi_out = 0
    if volume > 0:
        if not b("VN_FLAG"):
            work["VN_KR"] = stored_with_decimals(70 / math.sqrt(volume), 2)
        rate = f("VN_KR")
        rho_in = density(tk)
        flow = volume * rate * rho_in / 86400
        vl = f("OB_RGVLAJ")
        phi_out = 50
        for e in range(0, 55, 5):
            if e + 48 <= vl <= e + 52:
                phi_out = e + 50
                break
        i_out = air_lookup(air.rows, air.fields, f("OB_RGTMAX"), phi_out, True)
        i_in = air_lookup(air.rows, air.fields, tk, f("TE_VLAJ"), True)
    b2 = put(2, (i_out - i_in) * flow)
    labels["QRLabel77"] = mask2(rate)
    labels["QRLabel78"] = mask2(b2)

    # Gain 3
    dv = f("IN_DV")
    area = dv * f("IN_DH")
    t_a = f("ST_TEM1")
    rho_in = density(tk)
    rho_a = density(t_a)
    big_f = (2 / (1 + (rho_in / rho_a) ** 0.33333)) ** 1.5
    phi = 50 if phi_out == 0 else phi_out
    i_a = air_lookup(air.rows, air.fields, t_a, phi, True)
    root_arg = dv * abs(1 - rho_a / rho_in)
    if root_arg < 0:
        raise CalcError("negative root")
    q_d = 0.692 * area * (i_a - i_in) * rho_in * big_f * math.sqrt(root_arg)
    c = 0.8 if s("IN_TOV") == "Штабели на поддонах" else 1.0
    m = f("TE_POBOR") * c / 1000
    p = 1.0
    if f("IN_GPTS") > 0:
        p = float(math.trunc((f("TE_POBOR") + f("TE_TOBOR")) / f("IN_GPTS"))) + 1
        if p < 1:
            p = 1.0
    label3 = mask0(p)
    labels["QRLabel97"] = mask0(p)
    if b("IN_TIP"):
        tau = (60 * m + 15 * p) / 86400
        labels["QRLabel79"] = "Автоматическая"
    else:
        tau = (60 * m + 25 * p) / 86400
        labels["QRLabel79"] = "Ручная"
    k = {"Нет": 0.0, "Штора": 0.2, "Возд. завеса": 0.7}.get(s("IN_ZAV"), 0.0)
    b3 = put(3, q_d * tau * 1.1 * (1 - k))
    labels["QRLabel80"] = mask2(b3)

    # Gain 4
    pp = tt = 0.0
    if (storage or cooling) and product is not None:
        d = 86400.0 if storage else 3600 * f("OB_TIMEWRK")
        mass = f("TE_POBOR")
        t0, t1 = f("TE_PT0"), f("TE_PT1")
        tz = num(product["TZAM"])
        cp1, cp2 = num(product["CP1"]), num(product["CP2"])
        if tz < t1:
            pp = divide(mass * cp1 * (t0 - t1), d, "D")
        elif tz < t0:
            pp = divide(mass * cp1 * (t0 - tz) + mass * num(product["LSKR"]) + mass * cp2 * (tz - t1), d, "D")
        else:
            pp = divide(mass * cp2 * (t0 - t1), d, "D")
        sp = num(pack["SP"]) if pack is not None else 0.0
        tt = divide(f("TE_TOBOR") * sp * (f("TE_TT0") - f("TE_TT1")), d, "D")
    b4 = put(4, pp + tt)
    labels["QRLabel81"] = mask2(pp)
    labels["QRLabel82"] = mask2(tt)
    labels["QRLabel83"] = mask2(b4)

    # Gain 5
    val = 0.0
    t0 = f("TE_PT0")
    if include[4] and not t0 < 0:
        q1 = num(product["Q1"]) if product else 0.0
        q2 = num(product["Q2"]) if product else 0.0
        q3 = num(product["Q3"]) if product else 0.0

        def r(t):
            if 0 <= t < 10:
                v = q1 + (q2 - q1) * t / 10
            elif 10 <= t <= 30:
                v = q2 + (q3 - q2) * (t - 10) / 10
            else:
                v = 0.0
            return round_half_even(v)

        r1, r0 = r(f("TE_PT1")), r(t0)
        if storage:
            val = f("TE_PMAS") / 1000 * r1 / 3600 + f("TE_POBOR") / 1000 * 0.5 * (r1 + r0) / 3600
        else:
            val = f("TE_POBOR") / 1000 * 0.5 * (r1 + r0) / 3600
    labels["QRLabel84"] = mask2(put(5, val))

    # Gains 6..8
    labels["QRLabel85"] = mask2(put(6, f("OS_POW") * f("OS_TIME") * dl * sh / 24 / 1000))
    hp = air_lookup(air.rows, air.fields, tk, 85, False)
    labels["QRLabel86"] = mask2(put(7, f("PER_KOL") * f("OS_TIME") * hp / 24 / 1000))
    labels["QRLabel87"] = mask2(put(8, f("TRS_POW") * f("OS_TIME") / 24 / 2))

    # Qx, gain 9
    s8 = 0.0
    for n in range(8):
        s8 = s8 + boxes[n]
    qx = divide(s8 * 24, f("OB_TIMEWRK"), "OB_TIMEWRK") if storage else s8
    if b("VO_UTOCH"):
        g9 = f("VO_POW") * f("VO_KOLVO")
    else:
        g9 = qx * f("VO_PROC") / 100
    labels["QRLabel88"] = mask2(put(9, g9))

    # Box 11, then box 10
    kz = f("OB_KZAPAS")
    B = [None] + boxes
    if storage:
        v11 = B[9] + divide(s8 * 24, f("OB_TIMEWRK"), "OB_TIMEWRK") * kz
    else:
        rest = B[1] + B[2] + B[3] + B[5] + B[6] + B[7] + B[8]
        v11 = (B[4] + B[9]) + rest * 24 / 18 * kz
    boxes[10] = round_box(v11)
    s9 = 0.0
    for n in range(9):
        s9 = s9 + boxes[n]
    boxes[9] = round_box(s9)
    labels["QRLabel93"] = mask2(boxes[9])
    labels["QRLabel98"] = mask2(boxes[10])
    labels["Label3"] = label3
    return {
        "regime": s("OB_TERMR"),
        "boxes": {"CurrencyEdit%d" % (n + 1): "{:.2f}".format(Decimal(boxes[n]).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP) + 0) for n in range(11)},
        "labels": labels,
        "VN_KR": f("VN_KR"),
    }


def normalise_vorn(out):
    """vorn calc --json output in the oracle's shape (boxes as two-decimal texts)."""
    d = json.loads(out, parse_float=Decimal)
    return {
        "regime": d["regime"],
        "boxes": {k: "{:.2f}".format(v) for k, v in d["boxes"].items()},
        "labels": d["labels"],
        "VN_KR": float(d["VN_KR"]),
    }


def run_vorn(binary, path, data):
    p = subprocess.run([binary, "calc", path, "--data", data, "--json"], capture_output=True, text=True)
    if p.returncode != 0:
        return {"error": p.stderr.strip()}
    return normalise_vorn(p.stdout)


def oracle_or_error(path, data):
    try:
        return calculate(path, data)
    except CalcError as e:
        return {"error": str(e)}


# ---------------------------------------------------------------- writing cases


class VrnWriter:
    """Patches the one record of a copy of the template, field by field."""

    def __init__(self, template):
        with open(template, "rb") as fh:
            self.data = bytearray(fh.read())
        header_len = int.from_bytes(self.data[8:10], "little")
        self.fields = {}
        pos, off = 32, 1
        while self.data[pos] != 0x0D:
            name = self.data[pos:pos + 11].split(b"\0")[0].decode("ascii").upper()
            ftype = chr(self.data[pos + 11])
            length, dec = self.data[pos + 16], self.data[pos + 17]
            self.fields[name] = (header_len + off, ftype, length, dec)
            off += length
            pos += 32

    def set(self, name, value):
        start, ftype, length, dec = self.fields[name.upper()]
        if value is None:
            raw = b" " * length
        elif ftype == "C":
            raw = value.encode("cp866")[:length].ljust(length, b" ")
        elif ftype == "L":
            raw = b"T" if value else b"F"
        else:
            txt = "{:.{}f}".format(Decimal(repr(float(value))).quantize(Decimal(1).scaleb(-dec), rounding=ROUND_HALF_UP), dec) if dec else str(int(value))
            if len(txt) > length:
                raise ValueError("%s=%s too wide" % (name, txt))
            raw = txt.rjust(length).encode("ascii")
        self.data[start:start + length] = raw

    def save(self, path):
        with open(path, "wb") as fh:
            fh.write(self.data)


def random_case(rng, data, writer):
    prods = Rows(find_table(data, "products.DBF")).rows
    mater = Rows(find_table(data, "s_mater.DBF")).rows
    izolm = Rows(find_table(data, "s_izolm.DBF")).rows
    tara = Rows(find_table(data, "s_tara.DBF")).rows
    regions = Rows(find_table(data, "s_region.dbf")).rows
    w = writer.set
    regime = rng.choice([STORAGE, STORAGE, COOLING, COOLING, "", "хранение"])
    w("OB_TERMR", regime or None)
    reg = rng.choice(regions)
    w("OB_RGNAIM", reg["REG_NAIM"])
    if reg["REG_NAIM"] == "Другой":
        tmax, vl = rng.randint(-10, 45), rng.randint(20, 110)
    else:
        tmax, vl = int(num(reg["REG_TEM"])), int(num(reg["REG_VLAJ"]))
    w("OB_RGTMAX", tmax)
    w("OB_RGVLAJ", vl)
    tk = rng.choice([-40, -30, -25, -20, -18, -5, 0, 2, 4, 5, 8, 12, 20, 30, 45])
    w("OB_TEMKAM", tk)
    w("OB_TIMEWRK", rng.randint(1, 24))
    w("OB_KZAPAS", rng.choice([1, 1.1, 1.15, 1.2, 1.5, 2, 0]))
    for name in ("OB_KAMDL", "OB_KAMSH", "OB_KAMVS"):
        w(name, rng.choice([0, round(rng.uniform(0.3, 30), 2), round(rng.uniform(2, 12), 1)]) if rng.random() < 0.1 else round(rng.uniform(1.5, 25), 2))
    w("ST_IDENT", rng.random() < 0.3)
    for n in range(1, 7):
        w("ST_M%d" % n, rng.choice([rng.choice(mater)["M_NAIM"], rng.choice(mater)["M_NAIM"].upper(), "Гранит", None]) if rng.random() < 0.15 else rng.choice(mater)["M_NAIM"])
        w("ST_IZ%d" % n, rng.choice([izolm[-1]["IZ_NAIM"], "Пенополиуретан", None]) if rng.random() < 0.1 else rng.choice(izolm[:-1])["IZ_NAIM"])
        w("ST_MT%d" % n, rng.choice([0, 1, 2, 100, 250, 380]))
        w("ST_IZT%d" % n, rng.choice([0, 50, 80, 100, 150, 200]))
        w("ST_TEM%d" % n, tmax if rng.random() < 0.7 else rng.randint(-45, 45))
    flag = rng.random() < 0.3
    w("VN_FLAG", flag)
    w("VN_KR", round(rng.uniform(0, 20), 2))
    w("IN_TIP", rng.random() < 0.5)
    w("IN_ZAV", rng.choice(["Нет", "Штора", "Возд. завеса", None, "штора"]))
    w("IN_DV", rng.choice([0, 1.8, 2, 2.2, 2.5, 3]))
    w("IN_DH", rng.choice([0, 0.9, 1, 1.2, 1.5, 2.4]))
    w("IN_TOV", rng.choice(["Штабели на поддонах", "Мясные туши на крюках", None]))
    w("IN_GPTS", rng.choice([0, 500, 1000, 1500, 2000, 3000]))
    pr = rng.choice(prods)
    name = pr["NAIM"]
    roll = rng.random()
    if roll < 0.05:
        name = "Неизвестный товар"
    elif roll < 0.1:
        name = name.upper()
    elif roll < 0.13:
        name = None
    w("TE_PTIP", name)
    tz = num(pr["TZAM"])
    t0 = rng.choice([int(math.floor(tz)) - rng.randint(0, 10), int(math.ceil(tz)) + rng.randint(0, 25), rng.randint(-30, 35)])
    t1 = rng.choice([tk, tk, int(math.floor(tz)) - rng.randint(0, 5), rng.randint(-30, 35)])
    w("TE_PT0", t0)
    w("TE_PT1", t1)
    w("TE_PMAS", rng.choice([0, rng.randint(100, 60000)]))
    w("TE_POBOR", rng.choice([0, rng.randint(10, 20000)]))
    w("TE_TTIP", rng.choice([rng.choice(tara)["NAIM"]] * 4 + [None, "Стекло"]))
    w("TE_TMAS", rng.randint(0, 5000))
    w("TE_TOBOR", rng.choice([0, rng.randint(1, 2000)]))
    w("TE_TT0", rng.choice([t0, rng.randint(-30, 35)]))
    w("TE_TT1", rng.choice([t1, rng.randint(-30, 35)]))
    w("TE_VLAJ", rng.choice([60, 65, 70, 75, 80, 85, 90, 95, 100]))
    w("OS_TIME", rng.choice([0, 2, 4, 8, 12, 24]))
    w("OS_POW", rng.choice([0, 3, 5, 8, 12]))
    w("OS_REC", rng.random() < 0.3)
    w("PER_KOL", rng.choice([0, 1, 2, 5]))
    w("TRS_POW", rng.choice([0, 2, 5, 10]))
    w("VO_PROC", rng.choice([0, 5, 10, 15, 30]))
    w("VO_UTOCH", rng.random() < 0.3)
    w("VO_KOLVO", rng.randint(0, 8))
    w("VO_POW", rng.choice([0, 0.09, 0.12, 0.25, 0.55, 1.1]))
    for n in range(1, 10):
        w("CH%d" % n, rng.random() > 0.12)
    # Now and then an input at the edge of what the screen allows, or past it.
    if rng.random() < 0.15:
        edge = rng.choice(["OB_TIMEWRK", "TE_VLAJ", "OB_TEMKAM", "ST_TEM1", "TE_PT0", "IN_GPTS"])
        w(edge, {"OB_TIMEWRK": rng.choice([0, 24]), "TE_VLAJ": rng.choice([None, 57, 50]),
                 "OB_TEMKAM": rng.choice([-45, 0, 50, 55]), "ST_TEM1": rng.choice([-50, 0, 60]),
                 "TE_PT0": rng.choice([-1, 0, 10, 30, 31]), "IN_GPTS": rng.choice([1, 7])}[edge])


def write_expected(folder, data):
    """FOLDER/expected.json from FOLDER/input.vrn, in the form vorn calc --json prints."""
    try:
        res = calculate(os.path.join(folder, "input.vrn"), data)
    except CalcError as e:
        print("run stops (%s): write the expected message by hand" % e)
        return
    boxes = ", ".join('"%s": %s' % (k, v) for k, v in res["boxes"].items())
    labels = ",\n  ".join("%s: %s" % (json.dumps(k), json.dumps(v, ensure_ascii=False))
                          for k, v in res["labels"].items())
    text_ = '{"regime": %s,\n "boxes": {%s},\n "labels": {\n  %s},\n "VN_KR": %s}\n' % (
        json.dumps(res["regime"], ensure_ascii=False), boxes, labels, repr(res["VN_KR"]))
    with open(os.path.join(folder, "expected.json"), "w", encoding="utf-8") as fh:
        fh.write(text_)


# ---------------------------------------------------------------- commands


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("cmd", choices=["calc", "gen", "compare", "case"])
    ap.add_argument("path")
    ap.add_argument("--data", required=True)
    ap.add_argument("--vorn")
    ap.add_argument("--count", type=int, default=200)
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    if a.cmd == "calc":
        print(json.dumps(oracle_or_error(a.path, a.data), ensure_ascii=False, indent=1))
    elif a.cmd == "gen":
        os.makedirs(a.path, exist_ok=True)
        rng = random.Random(a.seed)
        for i in range(a.count):
            wr = VrnWriter(find_table(a.data, "vorn.dbf"))
            random_case(rng, a.data, wr)
            wr.save(os.path.join(a.path, "case-%03d.vrn" % i))
    elif a.cmd == "compare":
        agree = differ = 0
        for fn in sorted(os.listdir(a.path)):
            if not fn.endswith(".vrn"):
                continue
            path = os.path.join(a.path, fn)
            mine = oracle_or_error(path, a.data)
            theirs = run_vorn(a.vorn, path, a.data)
            if ("error" in mine) != ("error" in theirs) or ("error" not in mine and mine != theirs):
                differ += 1
                print("DIFF", fn)
                for key in ("regime", "boxes", "labels", "VN_KR", "error"):
                    x, y = mine.get(key), theirs.get(key)
                    if isinstance(x, dict) and isinstance(y, dict):
                        for kk in x:
                            if x[kk] != y.get(kk):
                                print("   ", kk, "oracle", x[kk], "vorn", y.get(kk))
                    elif x != y:
                        print("   ", key, "oracle", x, "vorn", y)
            else:
                agree += 1
        print("agree %d, differ %d" % (agree, differ))
        sys.exit(1 if differ else 0)
    elif a.cmd == "case":
        write_expected(a.path, a.data)

if __name__ == "__main__":
    main()
