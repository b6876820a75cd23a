#!/usr/bin/env python3
"""Writes tests/data/legacy_names.txt: file names in six languages made from
translations nobody on this project wrote, for the tests of the code-page
judgement. Each line is "language<TAB>name" in UTF-8.

The texts are the translations Debian installs for iso-codes (country,
region, language and currency names) and GTK 2 / GLib (menu and message
texts), all LGPL-2.1-or-later. Run on a Debian machine with the packages
iso-codes, libgtk2.0-common and libglib2.0-data installed:

    scripts/make-legacy-corpus.py > tests/data/legacy_names.txt
"""
import gettext
import random
import re
import unicodedata

LANGS = {"zh_CN": "gbk", "zh_TW": "big5", "ja": "cp932", "ko": "cp949", "de": "cp1252",
         "fr": "cp1252"}
DOMAINS = ["iso_3166-1", "iso_3166-2", "iso_639-3", "iso_4217", "gtk20", "glib20"]
EXTENSIONS = [".txt", ".doc", ".docx", ".jpg", ".png", ".mp3", ".pdf", ".xls", ".zip", ".avi",
              ".TXT", ".JPG", ""]
PER_LANGUAGE = 400


def texts(lang):
    for domain in DOMAINS:
        try:
            with open(f"/usr/share/locale/{lang}/LC_MESSAGES/{domain}.mo", "rb") as f:
                catalog = gettext.GNUTranslations(f)._catalog
        except OSError:
            continue
        for value in catalog.values():
            if isinstance(value, str) and value:
                yield value


def pieces(text):
    text = re.sub(r"%[-#0-9.]*[a-zA-Z]|\{[^}]*\}|\(_.\)|_(?=\S)|<[^>]*>", " ", text)
    for piece in re.split(r"[\n\t:;,.!?…\"“”‘’「」『』（）()\[\]/\\*|<>：；，。！？、]+", text):
        piece = " ".join(piece.split())
        if 2 <= len(piece) <= 14:
            yield piece


def fits(piece, lang, codec):
    if not any(ord(c) >= 0x80 for c in piece):
        return False
    if any(unicodedata.category(c)[0] in "CZ" and c != " " for c in piece):
        return False
    try:
        raw = piece.encode(codec)
    except UnicodeError:
        return False
    if raw.decode(codec) != piece:
        return False
    try:
        raw.decode("utf-8")
        return False  # bytes that read as UTF-8 are not what this file is for
    except UnicodeError:
        pass
    if codec == "cp1252":
        return any(unicodedata.category(c) == "Ll" and ord(c) >= 0xC0 for c in piece)
    return any(ord(c) >= 0x3040 for c in piece)


print("# File names made from the LGPL-2.1+ translations of iso-codes, GTK 2 and GLib")
print("# as Debian installs them; see scripts/make-legacy-corpus.py.")
for lang, codec in LANGS.items():
    found = sorted({p for t in texts(lang) for p in pieces(t) if fits(p, lang, codec)})
    rng = random.Random(lang)
    chosen = rng.sample(found, min(PER_LANGUAGE, len(found)))
    for piece in chosen:
        name = piece + rng.choice(EXTENSIONS)
        if rng.random() < 0.15:
            name = f"{rng.randint(1, 30):02d} {name}"
        print(f"{lang}\t{name}")
