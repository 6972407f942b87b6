#!/usr/bin/python3
"""Independent reader and writer of FoxPro tables for the store's tests.

write PATH  -- writes a FoxPro table with a memo file, Windows-1252 text and
               one deleted record.
read PATH   -- prints every record as one JSON object per line, with the
               deletion mark, in physical order.
"""
import json
import sys

import dbf


def write(path):
    t = dbf.Table(path, 'lname C(30); fname C(20); zip C(10); amount N(8,2); isdel L; memo M',
                  dbf_type='fp', codepage='cp1252')
    t.open(mode=dbf.READ_WRITE)
    t.append({'lname': 'Müller', 'fname': 'Jürgen', 'zip': '10115', 'amount': 12.5,
              'isdel': False, 'memo': 'Grüße\r\nzweite Zeile'})
    t.append({'lname': 'Smith', 'fname': 'Ann', 'zip': '02134', 'amount': 3,
              'isdel': True, 'memo': 'x' * 300})
    t.append({'lname': 'Brown', 'fname': 'Bob', 'zip': '60614-1234'})
    t.append({'lname': 'adams', 'fname': 'Zoë', 'memo': 'ok'})
    with t[1] as r:
        dbf.delete(r)
    t.close()


def read(path):
    t = dbf.Table(path)
    t.open(mode=dbf.READ_ONLY)
    for r in t:
        row = {'_deleted': dbf.is_deleted(r)}
        for name in t.field_names:
            v = r[name]
            if isinstance(v, str):
                v = v.rstrip()
            elif v is not None and not isinstance(v, (bool, int, float)):
                v = str(v)
            row[name.upper()] = v
        print(json.dumps(row, ensure_ascii=False, sort_keys=True))
    t.close()


if __name__ == '__main__':
    {'write': write, 'read': read}[sys.argv[1]](sys.argv[2])
