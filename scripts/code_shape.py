#!/usr/bin/env python3
"""Checks the shape the code base keeps: small files and functions,
dependencies that point one way, logic free of widgets, and setup steps
named rather than numbered.

    code_shape.py SOURCE_DIR [QTWIDGETS_INCLUDE_DIR]

Prints one line per breach and exits 1 when there is any.
"""
import os
import re
import sys

MAX_FILE_LINES = 600
MAX_FUNCTION_LINES = 60
SOURCE_SUFFIXES = ('.cpp', '.h', '.inc')

# The workbook engine's record parsers and writers walk long record tables
# in one place on purpose; they are exempt from the size rules.
ENGINE_PARSERS = re.compile(r'^rollbook/(cfb/|biff/)?[^/]+\.(cpp|h)$')

# Folders that hold logic: QtCore at most, never a widget.
WIDGET_FREE = re.compile(r'^(base|draw|rollbook(?!/gui/)|[a-z]+/logic)/')

# Lower layers never reach up into the draw logic or the windows, and the
# draw logic never into the windows.
LOWER_LAYERS = re.compile(r'^(shell|rollbook|base|draw)/')
UPPER_FOLDERS = ('presentation/', 'numberdraw/', 'classroom/', 'prizedraw/', 'rollbook/gui/')
DRAW_LOGIC = 'draw/'
# The classroom and prize windows share the draw logic, not the number window.
NOT_NUMBERDRAW = re.compile(r'^(classroom|prizedraw|draw)/')

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')
# A setup step compared with, or checked against, a bare number.
STAGE_LITERAL = re.compile(
    r'(?i:stage|setupstep|setuppanel)\w*\s*(\(\s*\))?\s*(==|!=|<=|>=|<|>)\s*-?\d'
    r'|-?\d\s*(==|!=|<=|>=|<|>)\s*\w*(?i:stage|setupstep|setuppanel)'
    r'|QCOMPARE\s*\([^,;]*(?i:stage|setupstep|setuppanel)[^,;]*,\s*-?\d')

# A mode or a menu item named by a bare number in the program: the menus'
# items by their enum classes (MnSz_Click(MnSzItem::Reset)), modes as Mode.
MENU_LITERAL = re.compile(
    r'\bMn[A-Z][A-Za-z]*_Click\(\s*-?\d'
    r'|\bm_mn[A-Z][A-Za-z]*\[\s*\d'
    r'|\bmode(Code|Index)?\s*(==|!=)\s*-?\d|-?\d\s*(==|!=)\s*mode(Code|Index)?\b'
    r'|\b(modeAt|modeCaption|modeDescription|createModeWindow)\(\s*-?\d')
PROGRAM_CODE = re.compile(r'^(app|base|classroom|draw|drawrecord|numberdraw|presentation|prizedraw'
                          r'|rollbook|shell)/')


def source_files(root):
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = sorted(s for s in subfolders
                               if not s.startswith(('build', '.')))
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                path = os.path.join(folder, name)
                yield os.path.relpath(path, root).replace(os.sep, '/'), path


def long_functions(lines):
    """Bodies of functions written as a signature and then '{' and '}' alone
    in the first column, the layout every source file here uses."""
    i = 0
    while i < len(lines):
        opener = lines[i].rstrip()
        before = lines[i - 1] if i else ''
        type_body = re.search(r'\b(namespace|class|struct|enum|union)\b', before) and '(' not in before
        if opener == '{' and not type_body:
            end = i + 1
            while end < len(lines) and not lines[end].startswith('}'):
                end += 1
            body = end - i - 1
            if body > MAX_FUNCTION_LINES:
                yield i, body, before.strip()
            i = end
        i += 1


def check(root, widget_headers):
    breaches = []
    for rel, path in source_files(root):
        if rel.startswith(('tests/fuzz/corpus', 'tests/fixtures')):
            continue
        with open(path, encoding='utf-8', errors='replace') as f:
            lines = f.read().split('\n')
        if not ENGINE_PARSERS.match(rel):
            if len(lines) > MAX_FILE_LINES + 1:
                breaches.append(f'{rel}: {len(lines) - 1} lines (at most {MAX_FILE_LINES})')
            for line, body, signature in long_functions(lines):
                breaches.append(f'{rel}:{line}: function of {body} lines '
                                f'(at most {MAX_FUNCTION_LINES}): {signature[:70]}')
        for number, text in enumerate(lines, 1):
            include = INCLUDE.match(text)
            if include:
                target = include.group(1)
                header = target.split('/')[-1]
                if WIDGET_FREE.match(rel) and (target.startswith('QtWidgets')
                                               or header in widget_headers
                                               or target.startswith('shell/gui/')):
                    breaches.append(f'{rel}:{number}: widget header {target} in logic')
                reaches_up = target.startswith(UPPER_FOLDERS) or (
                    target.startswith(DRAW_LOGIC) and not rel.startswith(DRAW_LOGIC))
                if LOWER_LAYERS.match(rel) and not rel.startswith('rollbook/gui/') and reaches_up:
                    breaches.append(f'{rel}:{number}: {target} reaches up from a lower layer')
                if NOT_NUMBERDRAW.match(rel) and target.startswith('numberdraw/'):
                    breaches.append(f'{rel}:{number}: {target} belongs to the number window')
            elif (PROGRAM_CODE.match(rel) and MENU_LITERAL.search(text)
                  and not text.lstrip().startswith('//')):
                breaches.append(f'{rel}:{number}: mode or menu item as a bare number: '
                                f'{text.strip()[:70]}')
            elif STAGE_LITERAL.search(text) and not text.lstrip().startswith('//'):
                breaches.append(f'{rel}:{number}: setup step compared with a number: '
                                f'{text.strip()[:70]}')
    return breaches


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else '.'
    widgets_dir = sys.argv[2] if len(sys.argv) > 2 else ''
    widget_headers = set(os.listdir(widgets_dir)) if os.path.isdir(widgets_dir) else {
        'QWidget', 'QLabel', 'QAction', 'QMenu', 'QApplication', 'QMessageBox',
        'QListWidget', 'QComboBox', 'QLineEdit', 'QFrame', 'QMainWindow', 'QDialog'}
    breaches = check(root, widget_headers)
    for breach in breaches:
        print(breach)
    print(f'code shape: {len(breaches)} breaches')
    return 1 if breaches else 0


if __name__ == '__main__':
    sys.exit(main())
