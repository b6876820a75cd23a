#!/usr/bin/env python3
"""The window's texts in Traditional Chinese.

Every text of the window is written in Simplified Chinese in app/ and shown
through zh(). This script finds those texts (each string literal in app/ that
holds a Chinese character, adjacent literals joined as the compiler joins
them) and keeps translations/namewright_zh_TW.ts and namewright_zh_HK.ts in
step with them:

  translations.py --update   adds new texts, drafted with OpenCC (s2twp for
                             Taiwan, s2hk for Hong Kong) and marked unfinished
                             until a person has read them; drops texts no
                             longer in the code
  translations.py --check    fails if a text has no finished translation, or
                             a translation is kept for a text that is gone
"""
import glob
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CJK = re.compile(r'[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]')
LOCALES = {'zh_TW': 's2twp.json', 'zh_HK': 's2hk.json'}
ESCAPES = {'n': '\n', 't': '\t', 'r': '\r', '0': '\0', '"': '"', "'": "'", '\\': '\\', '?': '?'}


def literals(code):
    """The string literals of a C++ source, adjacent ones joined."""
    out, i, n = [], 0, len(code)
    current = None  # the literal being joined, while only blanks follow
    while i < n:
        c = code[i]
        if code.startswith('//', i):
            i = code.find('\n', i)
            i = n if i < 0 else i
            continue
        if code.startswith('/*', i):
            i = code.index('*/', i) + 2
            continue
        m = re.match(r'(u8|u|U|L)?"', code[i:])
        if m and (i == 0 or not (code[i - 1].isalnum() or code[i - 1] == '_')):
            i += m.end()
            text = []
            while code[i] != '"':
                if code[i] == '\\':
                    e = code[i + 1]
                    if e not in ESCAPES:
                        raise SystemExit(f'escape \\{e} not handled')
                    text.append(ESCAPES[e])
                    i += 2
                else:
                    text.append(code[i])
                    i += 1
            i += 1
            current = (current or '') + ''.join(text)
            continue
        if c == "'":  # a character literal: skipped whole
            j = i + 1
            while code[j] != "'":
                j += 2 if code[j] == '\\' else 1
            i = j + 1
            continue
        if not c.isspace() and current is not None:
            out.append(current)
            current = None
        i += 1
    if current is not None:
        out.append(current)
    return out


def source_texts():
    texts = []
    for path in sorted(glob.glob(os.path.join(ROOT, 'app', '*.cpp')) +
                       glob.glob(os.path.join(ROOT, 'app', '*.h'))):
        with open(path, encoding='utf-8') as f:
            for t in literals(f.read()):
                if CJK.search(t) and t not in texts:
                    texts.append(t)
    return texts


def ts_path(locale):
    return os.path.join(ROOT, 'translations', f'namewright_{locale}.ts')


def read_ts(locale):
    """source -> (translation, finished)"""
    path = ts_path(locale)
    if not os.path.exists(path):
        return {}
    kept = {}
    for m in ET.parse(path).getroot().iter('message'):
        tr = m.find('translation')
        kept[m.findtext('source')] = (tr.text or '', tr.get('type') != 'unfinished')
    return kept


def draft(texts, config):
    if not texts:
        return []
    joined = '\n\x1e\n'.join(texts)
    got = subprocess.run(['opencc', '-c', config], input=joined, capture_output=True,
                         text=True, check=True).stdout
    return got.split('\n\x1e\n')


def xml(text):
    return (text.replace('&', '&amp;').replace('<', '&lt;').replace('>', '&gt;')
            .replace('"', '&quot;').replace('\r', '&#13;'))


def write_ts(locale, texts, kept):
    lines = ['<?xml version="1.0" encoding="utf-8"?>', '<!DOCTYPE TS>',
             f'<TS version="2.1" language="{locale}" sourcelanguage="zh_CN">',
             '<context>', '    <name>Namewright</name>']
    for t in texts:
        tr, finished = kept[t]
        mark = '' if finished else ' type="unfinished"'
        lines += ['    <message>', f'        <source>{xml(t)}</source>',
                  f'        <translation{mark}>{xml(tr)}</translation>', '    </message>']
    lines += ['</context>', '</TS>', '']
    with open(ts_path(locale), 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines))


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else '--check'
    texts = source_texts()
    failed = False
    for locale, config in LOCALES.items():
        kept = read_ts(locale)
        missing = [t for t in texts if t not in kept]
        if mode == '--update':
            for t, d in zip(missing, draft(missing, config)):
                kept[t] = (d, False)
            write_ts(locale, texts, kept)
            unfinished = sum(1 for t in texts if not kept[t][1])
            print(f'{locale}: {len(texts)} texts, {len(missing)} new, {unfinished} unfinished')
            continue
        gone = [t for t in kept if t not in texts]
        unfinished = [t for t in texts if t in kept and not kept[t][1]]
        for what, which in (('no translation', missing), ('not yet reviewed', unfinished),
                            ('no longer in the code', gone)):
            for t in which:
                print(f'{ts_path(locale)}: {what}: {t!r}', file=sys.stderr)
                failed = True
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
