#!/usr/bin/python3
"""Reads tree lines with the Newick readers of dendropy and Biopython and
checks that each recovers every taxon name.

usage: newick_readers.py TREEFILE NAMESFILE READER...

NAMESFILE holds the expected names, one a line (UTF-8). Every line of
TREEFILE must give exactly those names, in any order, to every READER named
(dendropy, Biopython). Prints one line per tree line and reader.
"""

import io
import sys

import dendropy
from Bio import Phylo


def dendropy_names(line):
    # Underscores are read as written, not as blanks.
    tree = dendropy.Tree.get(data=line, schema="newick", preserve_underscores=True)
    return [leaf.taxon.label for leaf in tree.leaf_node_iter()]


def biopython_names(line):
    tree = Phylo.read(io.StringIO(line), "newick")
    return [leaf.name for leaf in tree.get_terminals()]


def main():
    tree_file, names_file, chosen = sys.argv[1], sys.argv[2], sys.argv[3:]
    with open(names_file, encoding="utf-8") as f:
        expected = sorted(line.rstrip("\n") for line in f if line != "\n")
    with open(tree_file, encoding="utf-8") as f:
        lines = [line.rstrip("\n") for line in f]
    known = {"dendropy": dendropy_names, "Biopython": biopython_names}
    readers = [(reader, known[reader]) for reader in chosen]
    failures = 0 if lines else 1
    for number, line in enumerate(lines, 1):
        for reader, read in readers:
            try:
                got = sorted(read(line))
            except Exception as error:  # the reader refuses the line
                print("line %d: %s refuses it: %s" % (number, reader, error))
                failures += 1
                continue
            if got == expected:
                print("line %d: %s reads all %d names" % (number, reader, len(got)))
            else:
                print("line %d: %s misses %r and reads %r" % (
                    number, reader, sorted(set(expected) - set(got)),
                    sorted(set(got) - set(expected))))
                failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
