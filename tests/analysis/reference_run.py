#!/usr/bin/python3
"""A plain, independent transcription of tavrel's batch run in Python.

Reads a sequence file and prints the tree line that a batch run with the
given model and settings appends. Every floating-point step is written in
the order the program performs it, so the line must match the program's
byte for byte. Used by the tests as an oracle for whole runs.

usage: reference_run.py FILE MODEL [conscience kohonen threshold epochs]
"""

import math
import sys

CORNERS = {"A": (0.0, 0.0, 0.0), "C": (0.0, 1.0, 1.0), "G": (1.0, 1.0, 0.0), "T": (1.0, 0.0, 1.0)}
INT_MAX = 2**31 - 1
MAX_ATTEMPTS = 8


def base_distance(a, b):
    dx, dy, dz = a[0] - b[0], a[1] - b[1], a[2] - b[2]
    return 0.0 - math.sqrt(dx * dx + dy * dy + dz * dz)


def euclidian(n, x, k):
    s = 0.0
    for i in range(len(x)):
        d = base_distance(x[i], n[i])
        s = s + d * d
    return 0.0 - math.sqrt(s)


def jc(n, x, k):
    s = 0.0
    for i in range(len(x)):
        s = s + base_distance(n[i], x[i])
    p = s / len(x)
    return 0.0 - 0.75 * math.log(1.0 - 1.3333333333333333 * p)


def safe_log(v):
    return math.log(max(v, 1e-12))


def substitutions(n, x):
    ts = tv = 0.0
    for i in range(len(x)):
        dx = abs(n[i][0] - x[i][0])
        dy = abs(n[i][1] - x[i][1])
        dz = abs(n[i][2] - x[i][2])
        tv += dz
        ts += max(0.0, (dx + dy - dz) / 2.0)
    return ts / len(x), tv / len(x)


def k2p(n, x, k):
    p, q = substitutions(n, x)
    return 0.0 - (-0.5 * safe_log(1.0 - 2.0 * p - q) - 0.25 * safe_log(1.0 - 2.0 * q))


def f81(n, x, k):
    p, q = substitutions(n, x)
    b = k["f81_b"]
    return 0.0 - (-b * safe_log(1.0 - (p + q) / b))


def f84(n, x, k):
    p, q = substitutions(n, x)
    a, b, c = k["f84_a"], k["f84_b"], k["f84_c"]
    d = -2.0 * a * safe_log(1.0 - p / (2.0 * a) - (a - b) * q / (2.0 * a * c)) + 2.0 * (
        a - b - c
    ) * safe_log(1.0 - q / (2.0 * c))
    return 0.0 - d


MODELS = {"Euclidian": euclidian, "JC": jc, "K2P": k2p, "F81": f81, "F84": f84}


def constants(taxa):
    count = {"A": 0, "C": 0, "G": 0, "T": 0}
    for _, letters in taxa:
        for c in letters:
            count[c] += 1
    total = float(sum(count.values()))
    fa = fc = fg = ft = 0.25
    if total > 0:
        fa, fc, fg, ft = (count[c] / total for c in "ACGT")
    k = {"f81_b": 0.75, "f84_a": 0.25, "f84_b": 0.125, "f84_c": 0.25}
    b = 1.0 - (fa * fa + fc * fc + fg * fg + ft * ft)
    if b > 0.0:
        k["f81_b"] = b
    pur, pyr = fa + fg, fc + ft
    if pur > 0.0 and pyr > 0.0:
        a = fc * ft / pyr + fa * fg / pur
        if a > 0.0:
            k["f84_a"], k["f84_b"], k["f84_c"] = a, fc * ft + fa * fg, pur * pyr
    return k


def label(name):
    if any(c in name for c in "(),;:[]'"):
        return "'" + name.replace("'", "''") + "'"
    return name


def squared(a, b):
    s = 0.0
    for i in range(len(a)):
        d = base_distance(a[i], b[i])
        s += d * d
    return s


def farthest(group, ref):
    best, index = -1.0, 0
    for i, t in enumerate(group):
        d = squared(ref[1], t[1])
        if d > best:
            best, index = d, i
    return index


class Run:
    def __init__(self, model, c, eta, threshold, epochs, k):
        self.model, self.c, self.eta = MODELS[model], c, eta
        self.threshold, self.epochs, self.k = threshold, epochs, k
        self.euclid = model == "Euclidian"

    def train(self, group, budget):
        length = len(group[0][1])
        neurons = [[[0.5, 0.5, 0.5] for _ in range(length)] for _ in range(2)]
        p = [0.5, 0.5]
        keep = 1.0 - self.c
        converged = False
        members = [[], []]
        epoch = 0
        while epoch < budget and not converged:
            members = [[], []]
            for taxon in group:
                x = taxon[1]
                bias0 = math.exp(1.0 - math.log(p[0]))
                bias1 = math.exp(1.0 - math.log(p[1]))
                e0 = self.model(neurons[0], x, self.k)
                e1 = self.model(neurons[1], x, self.k)
                w = 1 if e1 + bias1 < e0 + bias0 else 0
                members[w].append(taxon)
                p[w] = keep * p[w]
                p[1 - w] = keep * p[1 - w] + self.c
                e = (e1 if w else e0) if self.euclid else euclidian(neurons[w], x, self.k)
                r = math.sqrt(e * e / length)
                if r < self.threshold:
                    converged = True
            for w in range(2):
                n = neurons[w]
                for taxon in members[w]:
                    x = taxon[1]
                    for i in range(length):
                        for j in range(3):
                            n[i][j] = n[i][j] + self.eta * (x[i][j] - n[i][j])
            epoch += 1
        return members, converged

    def partition(self, group):
        n = len(group)
        if n == 2:
            return "(" + label(group[0][0]) + "," + label(group[1][0]) + ")"
        if n == 1:
            return label(group[0][0])
        if n == 0:
            return ""
        budget = self.epochs
        split = False
        members = [[], []]
        for _ in range(MAX_ATTEMPTS):
            members, converged = self.train(group, budget)
            split = bool(members[0]) and bool(members[1])
            if split or converged:
                break
            budget = INT_MAX if budget > INT_MAX // 2 else budget * 2
        if not split:
            a = farthest(group, group[0])
            b = farthest(group, group[a])
            members = [[], []]
            for t in group:
                near_a = squared(t[1], group[a][1]) <= squared(t[1], group[b][1])
                members[0 if near_a else 1].append(t)
            if not members[1]:
                members[1].append(members[0].pop())
        return "(" + self.partition(members[0]) + "," + self.partition(members[1]) + ")"


def main():
    args = sys.argv[1:]
    path, model = args[0], args[1]
    c, eta, threshold, epochs = 0.001, 0.04, 0.25, 100
    if len(args) == 6:
        c, eta, threshold, epochs = float(args[2]), float(args[3]), float(args[4]), int(args[5])
    tokens = open(path).read().split()
    num_seqs = int(tokens[0]) if tokens else 0
    taxa = []
    for i in range(num_seqs):
        name, letters = tokens[2 + 2 * i], tokens[3 + 2 * i]
        taxa.append((name, letters))
    k = constants(taxa)
    group = [(name, [CORNERS[c] for c in letters]) for name, letters in taxa]
    print(Run(model, c, eta, threshold, epochs, k).partition(group) + ";")


if __name__ == "__main__":
    main()
