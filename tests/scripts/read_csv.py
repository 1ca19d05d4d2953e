"""Reads a CSV file as a spreadsheet program on a Japanese system would take it (UTF-8 with
its byte-order mark, RFC 4180 quoting) and prints its rows as one JSON array."""
import csv
import json
import sys

with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    print(json.dumps(list(csv.reader(f)), ensure_ascii=False))
