#!/usr/bin/python3
"""The .doc and .xls keycap label templates have the .bmp template's frames at the same sizes and
places: the document's table exactly (in twips), the spreadsheet's rows exactly and its columns as
closely as Excel's character-based widths allow. Each template numbers its 48 frames like the keys.

check_label_templates.py FOLDER   (the build's bin/Examples/Keycap_Labels)"""
import re
import struct
import sys
from pathlib import Path

DOTS_PER_INCH = 300
TWIPS_PER_INCH = 1440
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def bitmap_frames(path):
    """The frames' left edges and widths across the first row, and their tops and heights down the
    first column, in inches, from the frame colour's lines of the 8-bit bitmap."""
    data = path.read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width + 3) & ~3
    frame_colour = 1  # the palette's light grey

    def pixel(x, y):
        return data[offset + (height - 1 - y) * stride + x]

    def runs(values):
        found, start = [], None
        for i, value in enumerate(values + [None]):
            if value == frame_colour and start is None:
                start = i
            elif value != frame_colour and start is not None:
                found.append((start, i - 1))
                start = None
        return found

    # A line across the first row of frames, below their numbers, and one down the first column.
    row_y = height // 12
    column_x = next(x for x in range(width) if pixel(x, row_y) == frame_colour) + 20
    horizontal = runs([pixel(x, row_y) for x in range(width)])
    vertical = runs([pixel(column_x, y) for y in range(height)])
    frames_across = [(a[0], b[1] - a[0] + 1) for a, b in zip(horizontal[0::2], horizontal[1::2])]
    frames_down = [(a[0], b[1] - a[0] + 1) for a, b in zip(vertical[0::2], vertical[1::2])]
    to_inches = lambda pairs: [(start / DOTS_PER_INCH, size / DOTS_PER_INCH) for start, size in pairs]
    return to_inches(frames_across), to_inches(frames_down)


def relative(frames):
    origin = frames[0][0]
    return [(start - origin, size) for start, size in frames]


def close(a, b, tolerance):
    return len(a) == len(b) and all(abs(x[0] - y[0]) <= tolerance and abs(x[1] - y[1]) <= tolerance
                                    for x, y in zip(a, b))


def document_frames(path):
    text = path.read_text(encoding="ascii")
    check(text.startswith("{\\rtf1"), f"{path.name}: not a Rich Text document")
    rows = re.findall(r"\\trowd(.*?)\\row", text, re.S)
    tops, top = [], 0.0
    across = None
    for row in rows:
        height = int(re.search(r"\\trrh-(\d+)", row).group(1)) / TWIPS_PER_INCH
        if "\\clbrdrt" in row:
            tops.append((top, height))
            frames, left = [], 0
            for cell in re.finditer(r"((?:\\cl[a-z]+(?:\\brdr[a-z]+\d*)*)*)\\cellx(\d+)", row):
                right = int(cell.group(2)) / TWIPS_PER_INCH
                if cell.group(1):
                    frames.append((left, right - left))
                left = right
            across = across or frames
            numbers = [int(n) for n in re.findall(r"\\fs12 (\d+)", row)]
            check(numbers == list(range(len(tops) * 8 - 7, len(tops) * 8 + 1)),
                  f"{path.name}: row {len(tops)} numbers {numbers}")
        top += height
    return across or [], tops


def spreadsheet_frames(path):
    try:
        import xlrd
    except ImportError:
        print("check_label_templates: python3-xlrd is not installed; the spreadsheets are not read")
        return None
    book = xlrd.open_workbook(str(path), formatting_info=True)
    sheet = book.sheet_by_index(0)

    def runs(sizes):
        frames, start = [], 0.0
        for index, size in enumerate(sizes):
            if index % 2 == 0:
                frames.append((start, size))
            start += size
        return frames

    # Excel's columns: 1/256 of the 10-point digit of 7 pixels of 96 dpi, plus 5 pixels.
    columns = [(sheet.colinfo_map[c].width / 256 * 7 + 5) / 96 for c in range(sheet.ncols)]
    rows = [sheet.rowinfo_map[r].height / TWIPS_PER_INCH for r in range(sheet.nrows)]
    numbers = [sheet.cell_value(r, c) for r in range(0, sheet.nrows, 2) for c in range(0, sheet.ncols, 2)]
    check(numbers == list(range(1, 49)), f"{path.name}: the frames are not numbered 1 to 48")
    framed = book.xf_list[sheet.cell_xf_index(0, 0)].border
    check(framed.left_line_style and framed.right_line_style and framed.top_line_style
          and framed.bottom_line_style, f"{path.name}: the first frame has no lines round it")
    return runs(columns), runs(rows)


def main(folder):
    for size in ("Large", "Small"):
        across, down = bitmap_frames(folder / f"Keycap_Labels_{size}.bmp")
        check(len(across) == 8 and len(down) == 6, f"{size}.bmp: {len(across)} x {len(down)} frames")
        doc_across, doc_down = document_frames(folder / f"Keycap_Labels_{size}.doc")
        check(close(relative(doc_across), relative(across), 1 / TWIPS_PER_INCH),
              f"{size}.doc columns {doc_across} differ from the bitmap's {across}")
        check(close(relative(doc_down), relative(down), 1 / TWIPS_PER_INCH),
              f"{size}.doc rows {doc_down} differ from the bitmap's {down}")
        sheet = spreadsheet_frames(folder / f"Keycap_Labels_{size}.xls")
        if sheet:
            sheet_across, sheet_down = sheet
            check(close(relative(sheet_across), relative(across), 1 / 96),
                  f"{size}.xls columns {sheet_across} differ from the bitmap's {across}")
            check(close(relative(sheet_down), relative(down), 1 / TWIPS_PER_INCH),
                  f"{size}.xls rows {sheet_down} differ from the bitmap's {down}")
    print("check_label_templates: opening them in an office program is not tried: LibreOffice, "
          "which could convert them, is too large to install for the tests")
    for failure in failures:
        print("check_label_templates:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1])))
