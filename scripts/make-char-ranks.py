#!/usr/bin/env python3
"""Writes data/char-ranks.txt: the characters of Simplified Chinese,
Traditional Chinese, Japanese and Korean text, most frequent first.

The ranks are the character frequency orders of Mozilla's universal charset
detector as Debian ships them in python3-chardet (LGPL-2.1+). Run:

    apt-get download python3-chardet && dpkg -x python3-chardet_*.deb /tmp/chardet
    scripts/make-char-ranks.py /tmp/chardet/usr/lib/python3/dist-packages > data/char-ranks.txt
"""
import sys

sys.path.insert(0, sys.argv[1])
from chardet import big5freq, euckrfreq, gb2312freq, jisfreq  # noqa: E402


def ranks(table, codec, codes):
    found = {}
    for lead, trail, order in codes:
        if order < 0 or order >= len(table):
            continue
        try:
            ch = bytes([lead, trail]).decode(codec)
        except UnicodeDecodeError:
            continue
        if len(ch) == 1 and not ch.isspace() and ch not in found:
            found[ch] = table[order]
    return "".join(sorted(found, key=lambda c: found[c]))


def gb2312():
    for lead in range(0xB0, 0xF8):
        for trail in range(0xA1, 0xFF):
            yield lead, trail, 94 * (lead - 0xB0) + trail - 0xA1


def big5():
    for lead in range(0xA4, 0xFA):
        for trail in list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF)):
            off = trail - 0xA1 + 63 if trail >= 0xA1 else trail - 0x40
            yield lead, trail, 157 * (lead - 0xA4) + off


def jis():
    # JIS X 0208 by row and cell, as in EUC-JP.
    for lead in range(0xA1, 0xFF):
        for trail in range(0xA1, 0xFF):
            yield lead, trail, 94 * (lead - 0xA1) + trail - 0xA1


def euckr():
    for lead in range(0xB0, 0xFF):
        for trail in range(0xA1, 0xFF):
            yield lead, trail, 94 * (lead - 0xB0) + trail - 0xA1


print("# Characters by how often they are written, most frequent first: one line")
print("# per language (zh-Hans, zh-Hant, ja, ko). Derived from the frequency orders")
print("# of Mozilla's universal charset detector, as shipped in Debian's")
print("# python3-chardet 5.1.0 (LGPL-2.1-or-later); see scripts/make-char-ranks.py.")
print("zh-Hans " + ranks(gb2312freq.GB2312_CHAR_TO_FREQ_ORDER, "gb2312", gb2312()))
print("zh-Hant " + ranks(big5freq.BIG5_CHAR_TO_FREQ_ORDER, "big5", big5()))
print("ja " + ranks(jisfreq.JIS_CHAR_TO_FREQ_ORDER, "euc_jp", jis()))
print("ko " + ranks(euckrfreq.EUCKR_CHAR_TO_FREQ_ORDER, "euc_kr", euckr()))
