#!/usr/bin/python3
"""Writes DBF tables of other programs' kinds for the import tests.

KIND PATH -- writes the table of that kind at PATH (with its memo file):
  db3     dBase III with a .DBT memo file, code page 437
  fp      FoxPro with a .FPT memo file, code page 850
  vfp     Visual FoxPro with integer, currency, date-time, double and float fields
  cp1250  dBase III without memo, Windows-1250
  older1  an address file of the 1.x version
  older2  an address file of the 2.x version
  empty   a table with fields and no records
"""
import datetime
import sys

import dbf


def table(path, spec, kind, codepage):
    t = dbf.Table(path, spec, dbf_type=kind, codepage=codepage)
    t.open(mode=dbf.READ_WRITE)
    return t


def db3(path):
    t = table(path, 'lname C(20); fname C(15); zip C(10); born D; active L; amount N(8,2); '
              'notes M', 'db3', 'cp437')
    t.append({'lname': 'Müller', 'fname': 'Jürgen', 'zip': '10115',
              'born': datetime.date(1996, 12, 31), 'active': True, 'amount': 12.5,
              'notes': 'Grüße\r\nzweite Zeile'})
    t.append({'lname': 'Gone', 'fname': 'Deleted'})
    t.append({'lname': 'Smith', 'fname': 'Ann', 'active': False, 'amount': -3,
              'notes': 'x' * 600})
    t.append({'lname': 'Ñúñez', 'fname': 'Ana', 'notes': 'abcd'})
    with t[1] as r:
        dbf.delete(r)
    t.close()


def fp(path):
    t = table(path, 'lname C(20); fname C(15); city C(20); memo M', 'fp', 'cp850')
    t.append({'lname': 'Øster', 'fname': 'Zoë', 'city': 'Århus', 'memo': 'Première ligne'})
    t.append({'lname': 'Brown', 'fname': 'Bob', 'city': 'Oslo'})
    t.close()


def vfp(path):
    t = table(path, 'lname C(20); count I; price Y; stamp T; ratio B; weight F(10,3); notes M',
              'vfp', 'cp1252')
    t.append({'lname': 'Élan', 'count': -42, 'price': 12.5,
              'stamp': datetime.datetime(2021, 3, 4, 5, 6, 7), 'ratio': 0.25, 'weight': 3.25,
              'notes': 'Visual'})
    t.append({'lname': 'Blank'})
    t.close()


def cp1250(path):
    t = table(path, 'lname C(20); email C(40)', 'db3', 'cp1250')
    t.append({'lname': 'Dvořák', 'email': 'a@b.c'})
    t.close()


OLDER1 = ('lname C(20); fname C(20); middle C(1); title C(20); org C(20); street C(30); '
          'city C(20); state C(10); zip C(10); country C(20); phone C(20); email C(30); '
          'fax C(20); notes C(30); prefix C(10); carrier C(10); date C(10); memo M')
OLDER2 = ('lname C(20); fname C(20); middle C(1); title C(20); org C(20); street C(30); '
          'street2 C(30); city C(20); state C(10); zip C(10); country C(20); phone C(20); '
          'phone2 C(20); email C(30); fax C(20); codes C(30); prefix C(10); date C(8); '
          'user1 C(20); user2 C(20); isdel L; memo M; tag C(8)')


def older1(path):
    t = table(path, OLDER1, 'fp', 'cp1252')
    t.append({'lname': 'Adams', 'fname': 'Ann', 'notes': 'VIP', 'carrier': 'C001',
              'date': '12/31/1996', 'memo': 'abcd', 'zip': '02134', 'prefix': 'Ms.'})
    t.append({'lname': 'Baker', 'date': '19961231'})
    t.append({'lname': 'Clark', 'date': 'soon', 'city': 'Boston'})
    t.close()


def older2(path):
    t = table(path, OLDER2, 'fp', 'cp1252')
    t.append({'lname': 'Adams', 'street2': 'Suite 5', 'phone2': '555-1212', 'codes': 'A',
              'user1': 'one', 'user2': 'two', 'date': '19961231', 'isdel': False,
              'memo': 'kept', 'tag': 'ZZZ'})
    t.append({'lname': 'Baker', 'isdel': True})
    t.append({'lname': 'Clark', 'isdel': True})
    with t[2] as r:
        dbf.delete(r)
    t.close()


def empty(path):
    t = table(path, 'lname C(20)', 'db3', 'cp1252')
    t.close()


if __name__ == '__main__':
    globals()[sys.argv[1]](sys.argv[2])
