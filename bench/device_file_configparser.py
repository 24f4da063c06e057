#!/usr/bin/env python3
"""Reads a device file with Python's configparser, as a yardstick for the
editor's reader: prints the best time per read in microseconds.

The lines before the first section (variables, header comments) are put
under a section of their own, since configparser wants every key in one.
Usage: device_file_configparser.py FILE [ROUNDS]
"""
import configparser
import sys
import time


def read_once(text):
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    parser.optionxform = str  # keys keep their case, as the device file's do
    parser.read_string("[Top]\n" + text)
    return parser


def main():
    path = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    best = float("inf")
    for _ in range(rounds):
        start = time.perf_counter()
        # Opening and reading the file is part of the reader's work too.
        with open(path, encoding="utf-8") as stream:
            parser = read_once(stream.read())
        best = min(best, time.perf_counter() - start)
    keys = sum(len(parser[section]) for section in parser.sections())
    print(f"configparser: {best * 1e6:.1f} us per read ({keys} keys)")


if __name__ == "__main__":
    main()
