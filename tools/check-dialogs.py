#!/usr/bin/env python3
"""Checks the resources compiled into Orrivan.exe against the panel's layout.

Reads the PE resource directory of the executable and checks, for English (0x409) and Korean
(0x412): the Information and Setting pages control by control (id, class, style, position and
size in dialog units, text) and in reading order, which is the order Tab walks them in (derived
from the positions below), the lists' initial data, the two bitmaps and their sizes, the program
icon and the version information. The lists' data is language-neutral, one copy for both. Korean
texts are compared as Unicode and must also be representable in code page 949, the ANSI code page
the page code reads them back in. This is the one check of the pages' layout; the end-to-end tests
see the running pages. The ids come from panel/res/resource.h.

Usage: check-dialogs.py Orrivan.exe [--dump]
Exit status 0 when everything matches, 1 with one line per difference otherwise.
"""

import os
import re
import struct
import sys
import types

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_defines(path, names=None):
    """The #defines of a resource header whose value is a number (or the name of one), with those of
    the headers it includes by a relative path."""
    names = {} if names is None else names
    with open(path, encoding='latin-1') as f:
        for line in f:
            include = re.match(r'\s*#include\s+"([^"]+)"', line)
            if include:
                read_defines(os.path.join(os.path.dirname(path), include.group(1)), names)
                continue
            define = re.match(r'\s*#define\s+(\w+)\s+\(?(-?\w+)\)?\s*(//.*)?$', line)
            if not define:
                continue
            name, value = define.group(1), define.group(2)
            if value in names:
                names[name] = names[value]
            elif re.fullmatch(r'-?(0x[0-9a-fA-F]+|\d+)', value):
                names[name] = int(value, 0)
    return names


# The panel's resource ids, and the list data's type and message, from their one home.
R = types.SimpleNamespace(**read_defines(os.path.join(ROOT, 'panel', 'res', 'resource.h')))

RT_BITMAP, RT_ICON, RT_DIALOG, RT_GROUP_ICON, RT_VERSION = 2, 3, 5, 14, 16
RT_DLGINIT = R.RES_DLGINIT
EN, KO, NEUTRAL = 0x0409, 0x0412, 0x0000

WS_CHILD, WS_VISIBLE, WS_DISABLED, WS_CAPTION = 0x40000000, 0x10000000, 0x08000000, 0x00C00000
WS_VSCROLL, WS_GROUP, WS_TABSTOP = 0x00200000, 0x00020000, 0x00010000
DS_SETFONT = 0x40
SS_LEFT, SS_BITMAP, SS_NOPREFIX, SS_CENTERIMAGE, SS_SUNKEN = 0x0, 0xE, 0x80, 0x200, 0x1000
BS_PUSHBUTTON, BS_AUTOCHECKBOX, BS_GROUPBOX, BS_CENTER = 0x0, 0x3, 0x7, 0x300
CBS_DROPDOWN, CBS_SORT = 0x2, 0x100

CLASS_NAMES = {0x80: 'button', 0x81: 'edit', 0x82: 'static', 0x83: 'listbox',
               0x84: 'scrollbar', 0x85: 'combobox'}

# Control kinds: window class and the complete style.
BASE = WS_CHILD | WS_VISIBLE
KINDS = {
    'bitmap': ('static', BASE | SS_BITMAP),
    'label': ('static', BASE | WS_GROUP | SS_LEFT),
    'value': ('static', BASE | WS_GROUP | SS_LEFT),
    'path': ('static', BASE | WS_GROUP | SS_LEFT | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX),
    'group': ('button', BASE | BS_GROUPBOX),
    'button': ('button', BASE | WS_TABSTOP | BS_PUSHBUTTON),
    'check': ('button', BASE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_CENTER),
    'combo': ('combobox', BASE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN),
    'combo-sorted': ('combobox', BASE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_SORT),
}
PAGE_STYLE = DS_SETFONT | WS_CHILD | WS_DISABLED | WS_CAPTION
PAGE_SIZE = (239, 221)
PAGE_FONT = (8, 'MS Sans Serif')
NO_ID = 0xFFFF

# Rows of the driver table of the Information page:
# y, file name, English description, Korean description, version id, date id.
DRIVER_ROWS = [
    (153, "KESTRO.EXE", "Dos Initialization Driver", "도스 초기화 드라이버",
     R.IDC_INFO_VER_KESTRO, R.IDC_INFO_DATE_KESTRO),
    (165, "VTESSAN.VXD", "Master Virtual Device", "마스터 가상 사운드 장치",
     R.IDC_INFO_VER_VTESSAN, R.IDC_INFO_DATE_VTESSAN),
    (177, "TESSAN.DRV", "Master Sound Device", "마스터 사운드 재생 장치",
     R.IDC_INFO_VER_TESSAN, R.IDC_INFO_DATE_TESSAN),
    (189, "VKELDA.VXD", "Slave Virtual Device", "슬레이브 가상 사운드 장치",
     R.IDC_INFO_VER_VKELDA, R.IDC_INFO_DATE_VKELDA),
    (201, "KELDA.DRV", "Slave Sound Device", "슬레이브 사운드 재생 장치",
     R.IDC_INFO_VER_KELDA, R.IDC_INFO_DATE_KELDA),
]


def info_controls(korean):
    """The Information page: (kind, id, (x, y, w, h), text)."""
    t = (lambda en, ko: ko) if korean else (lambda en, ko: en)
    group_drop = (1, 2) if korean else (0, 0)   # System Info and Driver Info sit lower in Korean
    value_x, value_w = (71, 109) if korean else (77, 103)
    label_w = (57, 57) if korean else (63, 66)
    sys_y = 76 + group_drop[0]
    drv_y = 125 + group_drop[1]
    rows = [
        ('bitmap', NO_ID, (7, 7, 23, 30), R.IDB_LOGO),
        ('label', NO_ID, (44, 17, 122 if korean else 146, 15),
         t("Quenley Zentaro Control Pannel", "Quenley Zentaro 제어판")),
        ('label', NO_ID, (7, 47, 99, 11), t("Manufacturer : Tavish Corp.", "제조업체 : (주)Tavish")),
        ('label', NO_ID, (7, 59, 99, 8), t("Device Type  : Audio Card", "장치종류 : 오디오 카드")),
        ('bitmap', NO_ID, (137, 46, 88, 23), R.IDB_BANNER),
        ('group', NO_ID, (7, sys_y, 225, 41), t("System Info", "시스템 정보")),
        ('label', NO_ID, (14, 89 + group_drop[0], label_w[0], 8),
         t("Windows Version :", "윈도우    버젼   :")),
        ('value', R.IDC_INFO_WINVER, (value_x, 90 + group_drop[0], value_w, 8), ""),
        ('label', NO_ID, (14, 102 + group_drop[0], label_w[1], 8),
         t("Main PCI Chipset :", "메인보드 칩셋   :")),
        ('value', R.IDC_INFO_CHIPSET, (value_x, 102 + group_drop[0], value_w, 8), ""),
        ('group', NO_ID, (7, drv_y, 225, 88 if korean else 89),
         t("Driver Info", "드라이버 정보")),
        ('label', NO_ID, (14, 138, 211, 8),
         t("FileName           Driver Descrition               Version     Date",
           "파일명               드라이버 정보                     버젼         날짜")),
    ]
    for y, name, en, ko, ver_id, date_id in DRIVER_ROWS:
        rows += [
            ('label', NO_ID, (14, y, 50, 8), name),
            ('label', NO_ID, (68, y, 83, 8), ko if korean else en),
            ('value', ver_id, (159, y, 31, 8), ""),
            ('value', date_id, (190, y, 35, 8), ""),
        ]
    return rows


def setting_controls(korean):
    """The Setting page."""
    t = (lambda en, ko: ko) if korean else (lambda en, ko: en)
    browse = t("Browse", "찾   기")
    return [
        ('bitmap', NO_ID, (7, 7, 23, 30), R.IDB_LOGO),
        ('label', NO_ID, (44, 17, 122 if korean else 142, 15),
         t("Quenley Zentaro Contorl Pannel", "Quenley Zentaro 제어판")),
        ('group', NO_ID, (7, 41, 225, 40), t("Resource Setting", "리소스 설정")),
        ('label', NO_ID, (13, 53, 61, 8), t("Sound Interrupt", "사운드 인터럽트")),
        ('combo', R.IDC_IRQ, (84, 51, 33, 40), ""),
        ('label', NO_ID, (130, 53, 47 if korean else 52, 8), t("Sound Address", "사운드 주소")),
        ('combo-sorted', R.IDC_PORT, (190, 51, 33, 40), ""),
        ('check', R.IDC_AUTODETECT, (171, 68, 52, 10), t("Auto Detect", "자동 설정")),
        ('group', NO_ID, (7, 86, 225, 97), t("Firmware/Bank Setting", "초기화 펌웨어/뱅크 설정")),
        ('label', NO_ID, (13, 98, 65, 8), t("Firmware Setting", "펌웨어 설정")),
        ('button', R.IDC_BROWSE_FIRMWARE, (182, 107, 44, 14), browse),
        ('path', R.IDC_FIRMWARE_PATH, (13, 108, 163, 13), ""),
        ('button', R.IDC_BROWSE_MASTERBANK, (182, 135, 44, 14), browse),
        ('path', R.IDC_MASTERBANK_PATH, (13, 136, 163, 13), ""),
        ('button', R.IDC_BROWSE_SLAVEBANK, (182, 165, 44, 14), browse),
        ('path', R.IDC_SLAVEBANK_PATH, (13, 165, 163, 13), ""),
        ('label', NO_ID, (13, 126, 65, 8), t("Master Bank Setting", "마스터 뱅크 설정")),
        ('label', NO_ID, (13, 155, 65, 8), t("Slave Bank Setting", "슬레이브 뱅크 설정")),
        ('group', NO_ID, (7, 187, 225, 27), t("Program", "프로그램 호출")),
        ('button', R.IDC_MULTIMEDIA_INFO, (86, 197, 68, 14), t("MultiMedia Info", "멀티미디어 등록정보")),
        ('button', R.IDC_SYSTEM_INFO, (13, 197, 68, 14), t("System Info", "시스템 등록정보")),
        ('button', R.IDC_BANK_MANAGER, (158, 197, 68, 14), t("Bank Manager", "뱅크 메니져")),
    ]


# Controls whose tops differ by at most this many dialog units stand in one row: a label sits a
# little lower than the list or field beside it.
ROW_TOLERANCE = 3


def reading_order(controls):
    """The controls as a reader meets them: rows top to bottom, left to right within a row. A
    label so comes just before what it names, a group box before its content."""
    rows = []
    for control in sorted(controls, key=lambda c: (c[2][1], c[2][0])):
        if rows and control[2][1] - rows[-1][0][2][1] <= ROW_TOLERANCE:
            rows[-1].append(control)
        else:
            rows.append([control])
    return [control for row in rows for control in sorted(row, key=lambda c: c[2][0])]


DIALOGS = {
    (R.IDD_INFO, EN): ("Information", info_controls(False)),
    (R.IDD_INFO, KO): ("정보", info_controls(True)),
    (R.IDD_SETTING, EN): ("Setting", setting_controls(False)),
    (R.IDD_SETTING, KO): ("설정", setting_controls(True)),
}

LIST_DATA = [(R.IDC_IRQ, s) for s in ("5", "7", "9", "10", "11", "12")] + \
            [(R.IDC_PORT, s) for s in ("330", "340", "350", "360", "370", "390")]

VERSION_STRINGS = {
    "CompanyName": "Tavish Corp.",
    "ProductName": "Quenley Zentaro",
    "OriginalFilename": "Orrivan.exe",
    "InternalName": "Orrivan",
}


class Error(Exception):
    pass


# ---------------------------------------------------------------------------------------------
# PE resource directory

def read_resources(path):
    """Returns {(type, name, lang): bytes}; type and name are ints or strings."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:2] != b'MZ':
        raise Error(f"{path}: not an MZ executable")
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        raise Error(f"{path}: no PE header")
    sections, opt_size = struct.unpack_from('<2xH12xH2x', data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from('<H', data, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    rsrc_rva, rsrc_size = struct.unpack_from('<II', data, dirs + 2 * 8)
    if not rsrc_rva:
        raise Error(f"{path}: no resource directory")
    table = []
    for i in range(sections):
        s = opt + opt_size + 40 * i
        vsize, va, rawsize, rawptr = struct.unpack_from('<IIII', data, s + 8)
        table.append((va, max(vsize, rawsize), rawptr))

    def offset(rva):
        for va, size, raw in table:
            if va <= rva < va + size:
                return rva - va + raw
        raise Error(f"RVA {rva:#x} lies in no section")

    base = offset(rsrc_rva)

    def name_of(entry_name):
        if entry_name & 0x80000000:
            p = base + (entry_name & 0x7FFFFFFF)
            n = struct.unpack_from('<H', data, p)[0]
            return data[p + 2:p + 2 + 2 * n].decode('utf-16-le')
        return entry_name

    def entries(dir_off):
        named, ids = struct.unpack_from('<HH', data, base + dir_off + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from('<II', data, base + dir_off + 16 + 8 * i)
            yield name_of(name), target

    out = {}
    for rtype, t_off in entries(0):
        for rname, n_off in entries(t_off & 0x7FFFFFFF):
            for lang, l_off in entries(n_off & 0x7FFFFFFF):
                rva, size = struct.unpack_from('<II', data, base + l_off)
                p = offset(rva)
                out[(rtype, rname, lang)] = data[p:p + size]
    return out


# ---------------------------------------------------------------------------------------------
# Dialog templates

def sz_or_ord(buf, pos):
    """A dialog template field: 0 (none), 0xFFFF + ordinal, or a NUL-terminated UTF-16 string."""
    first = struct.unpack_from('<H', buf, pos)[0]
    if first == 0xFFFF:
        return struct.unpack_from('<H', buf, pos + 2)[0], pos + 4
    end = pos
    while struct.unpack_from('<H', buf, end)[0] != 0:
        end += 2
    return buf[pos:end].decode('utf-16-le'), end + 2


def align4(pos):
    return (pos + 3) & ~3


def parse_dialog(buf):
    if struct.unpack_from('<HH', buf, 0) == (1, 0xFFFF):
        raise Error("extended dialog template (DIALOGEX); expected a plain DIALOG")
    style, exstyle, count, x, y, cx, cy = struct.unpack_from('<IIHhhhh', buf, 0)
    pos = 18
    menu, pos = sz_or_ord(buf, pos)
    cls, pos = sz_or_ord(buf, pos)
    caption, pos = sz_or_ord(buf, pos)
    font = None
    if style & DS_SETFONT:
        size = struct.unpack_from('<H', buf, pos)[0]
        face, pos = sz_or_ord(buf, pos + 2)
        font = (size, face)
    dlg = dict(style=style, exstyle=exstyle, rect=(x, y, cx, cy), menu=menu, cls=cls,
               caption=caption, font=font, items=[])
    for _ in range(count):
        pos = align4(pos)
        istyle, iex, ix, iy, icx, icy, iid = struct.unpack_from('<IIhhhhH', buf, pos)
        pos += 18
        icls, pos = sz_or_ord(buf, pos)
        text, pos = sz_or_ord(buf, pos)
        extra = struct.unpack_from('<H', buf, pos)[0]
        pos += 2 + extra
        if isinstance(icls, int):
            icls = CLASS_NAMES.get(icls, f"#{icls:#x}")
        dlg['items'].append(dict(style=istyle, exstyle=iex, rect=(ix, iy, icx, icy), id=iid,
                                 cls=icls.lower(), text=text))
    return dlg


def check_dialog(res, dlg_id, lang, errors):
    caption, controls = DIALOGS[(dlg_id, lang)]
    controls = reading_order(controls)
    where = f"dialog {dlg_id} lang {lang:#06x}"
    buf = res.get((RT_DIALOG, dlg_id, lang))
    if buf is None:
        errors.append(f"{where}: missing")
        return
    dlg = parse_dialog(buf)

    def expect(what, got, want):
        if got != want:
            errors.append(f"{where}: {what}: got {got!r}, want {want!r}")

    expect("style", hex(dlg['style']), hex(PAGE_STYLE))
    expect("size", dlg['rect'][2:], PAGE_SIZE)
    expect("caption", dlg['caption'], caption)
    expect("font", dlg['font'], PAGE_FONT)
    expect("menu", dlg['menu'], "")
    expect("class", dlg['cls'], "")
    expect("control count", len(dlg['items']), len(controls))
    for n, (item, (kind, cid, rect, text)) in enumerate(zip(dlg['items'], controls)):
        cls, style = KINDS[kind]
        label = f"control #{n} ({kind} {cid if cid != NO_ID else 'no id'})"
        expect(f"{label} id", item['id'], cid)
        expect(f"{label} class", item['cls'], cls)
        expect(f"{label} style", hex(item['style']), hex(style))
        expect(f"{label} exstyle", item['exstyle'], 0)
        expect(f"{label} rect", item['rect'], rect)
        expect(f"{label} text", item['text'], text)
        if lang == KO and isinstance(item['text'], str):
            try:
                item['text'].encode('cp949')
            except UnicodeEncodeError:
                errors.append(f"{where}: {label} text {item['text']!r} is not in code page 949")
    ids = [i['id'] for i in dlg['items'] if i['id'] != NO_ID]
    if len(ids) != len(set(ids)):
        errors.append(f"{where}: duplicate control ids {sorted(ids)}")


# ---------------------------------------------------------------------------------------------
# Other resources

def parse_dlginit(buf):
    """Records (control id, message, bytes) of a list-initialisation resource."""
    records, pos = [], 0
    while True:
        if pos + 2 > len(buf):
            raise Error("list data: no terminating 0")
        cid = struct.unpack_from('<H', buf, pos)[0]
        if cid == 0:
            return records, pos + 2
        if pos + 8 > len(buf):
            raise Error("list data: truncated record header")
        msg, length = struct.unpack_from('<HI', buf, pos + 2)
        if pos + 8 + length > len(buf):
            raise Error("list data: record runs past the end")
        records.append((cid, msg, buf[pos + 8:pos + 8 + length]))
        pos += 8 + length


def check_dlginit(res, lang, errors):
    where = f"list data {R.IDD_SETTING} lang {lang:#06x}"
    buf = res.get((RT_DLGINIT, R.IDD_SETTING, lang))
    if buf is None:
        errors.append(f"{where}: missing")
        return
    try:
        records, end = parse_dlginit(buf)
    except Error as e:
        errors.append(f"{where}: {e}")
        return
    want = [(cid, R.DLGINIT_CB_ADDSTRING, s.encode('ascii') + b'\0') for cid, s in LIST_DATA]
    if records != want:
        errors.append(f"{where}: got {records!r}, want {want!r}")
    if any(buf[end:]):
        errors.append(f"{where}: data after the terminator")


def check_bitmap(res, bmp_id, size, errors):
    found = [v for (t, n, _), v in res.items() if t == RT_BITMAP and n == bmp_id]
    if len(found) != 1:
        errors.append(f"bitmap {bmp_id}: {len(found)} copies, want 1")
        return
    hsize, w, h, planes, bpp, compression = struct.unpack_from('<IiiHHI', found[0], 0)
    # Uncompressed: not every display driver of Windows 95/98 draws run-length encoded DIBs.
    if hsize != 40 or (w, abs(h)) != size or planes != 1 or bpp not in (4, 8, 24) or compression:
        errors.append(f"bitmap {bmp_id}: header {hsize}, {w}x{h}, {bpp} bpp, compression {compression};"
                      f" want {size}")


def icon_images(res, icon_id):
    """(width, height, bits per pixel) of each image of icon group icon_id, as the images' own
    headers give them (an icon image stores twice its height: colours, then the mask)."""
    found = [v for (t, n, _), v in res.items() if t == RT_GROUP_ICON and n == icon_id]
    if len(found) != 1:
        raise Error(f"icon {icon_id}: {len(found)} copies, want 1")
    grp = found[0]
    images = []
    for i in range(struct.unpack_from('<H', grp, 4)[0]):
        # The shell picks an image by the group's entry, then draws the image itself: both must agree.
        entry = struct.unpack_from('<BBBBHHIH', grp, 6 + 14 * i)
        image = [v for (t, n, _), v in res.items() if t == RT_ICON and n == entry[7]]
        if len(image) != 1:
            raise Error(f"icon {icon_id}: image {entry[7]} missing")
        _, w, h, _, bpp = struct.unpack_from('<IiiHH', image[0], 0)
        if (entry[0], entry[1], entry[5]) != (w % 256, h // 2 % 256, bpp):
            raise Error(f"icon {icon_id}: image {entry[7]} is {w}x{h // 2}x{bpp}, its entry says "
                        f"{entry[0]}x{entry[1]}x{entry[5]}")
        images.append((w, h // 2, bpp))
    return images


def check_icon(res, icon_id, images, errors):
    try:
        got = icon_images(res, icon_id)
    except Error as e:
        errors.append(str(e))
        return
    if sorted(got) != sorted(images):
        errors.append(f"icon {icon_id}: images {got}, want {images}")
    lowest = min(n for (t, n, _) in res if t == RT_GROUP_ICON and isinstance(n, int))
    if lowest != icon_id:
        errors.append(f"icon {icon_id}: icon {lowest} comes first for the shell")


def version_strings(buf):
    """Key/value pairs of the StringFileInfo tables of a VS_VERSIONINFO block."""
    out = {}

    def node(pos, depth):
        length, vlen, vtype = struct.unpack_from('<HHH', buf, pos)
        key, p = sz_or_ord(buf, pos + 6)
        p = align4(p)
        if depth == 3 and vtype == 1 and vlen:
            out[key] = buf[p:p + 2 * vlen].decode('utf-16-le').rstrip('\0')
        if depth == 0:
            p = align4(p + vlen)
        elif vtype == 1:
            p = align4(p + 2 * vlen)
        else:
            p = align4(p + vlen)
        end = pos + length
        while p < end and depth < 3:
            child_len = struct.unpack_from('<H', buf, p)[0]
            if child_len == 0:
                break
            node(p, depth + 1)
            p = align4(p + child_len)

    node(0, 0)
    return out


def check_version(res, errors):
    found = [v for (t, n, _), v in res.items() if t == RT_VERSION]
    if len(found) != 1:
        errors.append(f"version information: {len(found)} copies, want 1")
        return
    strings = version_strings(found[0])
    for key, want in VERSION_STRINGS.items():
        if strings.get(key) != want:
            errors.append(f"version {key}: got {strings.get(key)!r}, want {want!r}")
    for key in ("FileDescription", "FileVersion", "ProductVersion"):
        if not strings.get(key):
            errors.append(f"version {key}: missing")


def dump(res):
    for (dlg_id, lang) in sorted(DIALOGS):
        buf = res.get((RT_DIALOG, dlg_id, lang))
        if buf is None:
            continue
        dlg = parse_dialog(buf)
        print(f"dialog {dlg_id} lang {lang:#06x} style {dlg['style']:#x} {dlg['rect']} "
              f"{dlg['caption']!r} font {dlg['font']}")
        for i in dlg['items']:
            cid = i['id'] if i['id'] != NO_ID else '-'
            print(f"  {cid!s:>5} {i['cls']:<8} {i['style']:#010x} {i['exstyle']:#x} "
                  f"{str(i['rect']):<22} {i['text']!r}")
    for lang in (NEUTRAL,):
        buf = res.get((RT_DLGINIT, R.IDD_SETTING, lang))
        if buf is not None:
            records, _ = parse_dlginit(buf)
            print(f"list data {R.IDD_SETTING} lang {lang:#06x}: "
                  + ", ".join(f"{c}:{d.rstrip(bytes(1)).decode()}" for c, _, d in records))


def main(argv):
    args = [a for a in argv[1:] if not a.startswith('--')]
    if len(args) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        res = read_resources(args[0])
        if '--dump' in argv:
            dump(res)
        errors = []
        for dlg_id, lang in sorted(DIALOGS):
            check_dialog(res, dlg_id, lang, errors)
        check_dlginit(res, NEUTRAL, errors)
        check_bitmap(res, R.IDB_LOGO, (40, 41), errors)
        check_bitmap(res, R.IDB_BANNER, (154, 32), errors)
        check_icon(res, R.IDI_PANEL, [(32, 32, 4), (16, 16, 4)], errors)
        check_version(res, errors)
    except (Error, struct.error, UnicodeDecodeError) as e:
        print(f"check-dialogs: {e}", file=sys.stderr)
        return 1
    for e in errors:
        print(e)
    print(f"check-dialogs: {len(errors)} difference(s)" if errors else "check-dialogs: all match")
    return 1 if errors else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
