#!/usr/bin/env python3
"""The host program's `links`, `text-view` and `device log` commands run as a user runs them, each
on a device folder of its own. Link records are checked against offsets counted here in UTF-16
units; taps aim at the link colour found in the written screen, so they follow the layout rather
than assume it.

usage: check_link_commands.py MMSFORM"""
import json
import os
import struct
import sys
import time
import unittest
import zlib

import check_host_commands

USAGE = check_host_commands.USAGE
LINK_BLUE = (0, 0, 255)
OPENED, OUTSIDE, HTML_LINK, HTML_FOLDER = 1250, 1280, 1322, 1325


def read_png(path):
    """Width, height and rows of (r, g, b) of an 8-bit RGB PNG without interlacing."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, colour, interlace) == (8, 2, 0), path
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), width * 3, [], bytearray(width * 3)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            up, corner = previous[i], previous[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(line[x * 3:x * 3 + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def colour_rows(rows, colour):
    """The rows (top first) that hold the colour, each with the x of its first such pixel."""
    return [(y, row.index(colour)) for y, row in enumerate(rows) if colour in row]


def first_point_of_each_line(rows, colour):
    """The start of each band of rows that holds the colour: a link's underline, one a line."""
    points, last = [], -10
    for y, x in colour_rows(rows, colour):
        if y > last + 1:
            points.append((x, y))
        last = y
    return points


class Device(check_host_commands.Device):
    """A fresh device folder each test, with what these commands print read as JSON lines."""

    def lines(self, *args):
        return [json.loads(line) for line in self.ok(*args).splitlines() if line.strip()]

    def write(self, name, content):
        path = self.scratch(name)
        with open(path, "wb") as f:
            f.write(content if isinstance(content, bytes) else content.encode("utf-8"))
        return path

    def log(self):
        return self.lines("device", "log", "--json")


def utf16_span(text, word):
    """first and last of `word` in `text`, counted in UTF-16 units as the records count them."""
    start = text.index(word)
    first = len(text[:start].encode("utf-16-le")) // 2
    return first, first + len(word.encode("utf-16-le")) // 2 - 1


class Links(Device):
    TEXT = "Hei! Kuvat: www.esimerkki.fi/kuvat?id=42, soita +358401234567 tai anna.maria+mms@example.co.uk. \U0001F600 ftp://files.example.com/a"

    def test_records_of_a_text_as_given_and_from_a_file(self):
        expected = [("www.esimerkki.fi/kuvat?id=42", 4, "http://www.esimerkki.fi/kuvat?id=42"),
                    ("+358401234567", 11, "+358401234567"),
                    ("anna.maria+mms@example.co.uk", 10, "anna.maria+mms@example.co.uk"),
                    ("ftp://files.example.com/a", 1, "ftp://files.example.com/a")]
        want = []
        for display, kind, target in expected:
            first, last = utf16_span(self.TEXT, display)  # the emoji before the last link is two units
            want.append({"first": first, "last": last, "type": kind, "target": target, "display": display})
        self.assertEqual(self.lines("links", self.TEXT), want)
        # A file is UTF-8, its byte-order mark no part of the text.
        self.assertEqual(self.lines("links", "--file", self.write("a.txt", b"\xef\xbb\xbf" + self.TEXT.encode())), want)
        self.assertEqual(self.ok("links", "--no-links", self.TEXT), "")
        self.assertEqual(self.ok("links", "--file", self.write("empty.txt", b"")), "")

    def test_a_million_characters_with_ten_thousand_links_scan_at_once(self):
        line = "Nähdään huomenna klo 18, katso www.example.com/kartta tai soita 040-1234567.\n"
        text = (line * (1_000_000 // len(line) + 1))[:1_000_000]
        path = self.write("big.txt", text)
        started = time.monotonic()
        records = self.lines("links", "--file", path)
        elapsed = time.monotonic() - started
        whole = text.count(line)
        self.assertGreaterEqual(len(records), 2 * whole)
        self.assertGreater(len(records), 10_000)
        for record in (records[0], records[len(records) // 2], records[-1]):
            self.assertEqual(text[record["first"]:record["last"] + 1], record["display"])
        # Generous for a sanitised build on a shared machine: a scan that grew with the square of
        # the text would take minutes.
        self.assertLess(elapsed, 60, f"{elapsed:.1f} s")

    def test_hostile_texts_give_only_their_links(self):
        cases = ((b"(" * 100_000, []), (b",;'\"{}[]<>)" * 10_000, []), (b"www." * 50_000, ["www." * 49_999 + "www"]),  # a host of dots, the last one ending the sentence
                 # A lone surrogate written out as UTF-8, and bytes that are no UTF-8 at all.
                 (b"\xed\xa0\x80 www.example.com \xff\xfe", ["www.example.com"]),
                 (b"http://example.com/" + b"a" * 100_000, ["http://example.com/" + "a" * 100_000]))
        for number, (content, displays) in enumerate(cases):
            with self.subTest(text=content[:12]):
                records = self.lines("links", "--file", self.write(f"hostile{number}.txt", content))
                self.assertEqual([r["display"] for r in records], displays)

    def test_bad_calls(self):
        for args in (["links"], ["links", "--file"], ["links", "a", "b"], ["links", "--no-links"]):
            with self.subTest(args=args):
                self.fails(*args, status=USAGE)
        self.fails("links", "--file", self.scratch("none.txt"), status=1)


class TextView(Device):
    TEXT = "Call 040-1234567 today\nwww.example.com\nmail anna@example.com\n"

    def view(self, *extra, source=None, name="view.png", screen="240x320@96"):
        out = self.scratch(name)
        records = self.lines("text-view", source or self.write("t.txt", self.TEXT), "--png", out, "--screen", screen,
                             *extra)
        return records, read_png(out)

    def test_links_listed_and_drawn_in_both_layouts(self):
        for screen, size in (("240x320@96", (240, 320)), ("480x640@192", (480, 640))):
            with self.subTest(screen=screen):
                records, (width, height, rows) = self.view(screen=screen)
                self.assertEqual((width, height), size)
                self.assertEqual([(r["link"], r["type"], r["target"]) for r in records],
                                 [(1, 11, "040-1234567"), (2, 4, "http://www.example.com"), (3, 10, "anna@example.com")])
                self.assertEqual(len(first_point_of_each_line(rows, LINK_BLUE)), 3)

    def test_the_selected_link_is_drawn_selected(self):
        _, (_, _, plain) = self.view()
        _, (_, _, selected) = self.view("--select", "2", name="selected.png")
        changed = [y for y in range(len(plain)) if plain[y] != selected[y]]
        lines = first_point_of_each_line(plain, LINK_BLUE)
        # Only the second line, where www.example.com stands, looks different.
        self.assertTrue(changed)
        self.assertGreater(min(changed), lines[0][1])
        self.assertLess(max(changed), lines[2][1])
        self.fails("text-view", self.write("t.txt", self.TEXT), "--png", self.scratch("x.png"), "--select", "4",
                   status=1)

    def test_taps_report_what_the_read_view_gets_and_act_leads_to_the_device_log(self):
        _, (_, height, rows) = self.view()
        phone, web, mail = first_point_of_each_line(rows, LINK_BLUE)
        expected = ((phone, 11, "040-1234567", "called", "call"),
                    (web, 4, "http://www.example.com", "opened", "open"),
                    (mail, 10, "anna@example.com", "opened", "open"))
        for (x, y), kind, target, action, logged in expected:
            with self.subTest(target=target):
                records, _ = self.view("--tap", str(x + 2), str(y - 4), "--act")  # above the underline
                opened = [r for r in records if r.get("message") == OPENED]
                self.assertEqual(len(opened), 1)
                self.assertEqual((opened[0]["type"], opened[0]["target"], opened[0]["point"]), (kind, target, True))
                self.assertEqual(records[-1], {"action": action, "target": target})
                last = self.log()[-1]
                self.assertEqual(last["kind"], logged)
                self.assertTrue(last["detail"].endswith(target), last["detail"])
        before = len(self.log())
        for x, y in ((5, height - 5), (200, phone[1] + 1)):  # below the last line, beside a line's end
            with self.subTest(point=(x, y)):
                records, _ = self.view("--tap", str(x), str(y), "--act")
                self.assertIn({"message": OUTSIDE, "wParam": 0, "lParam": 0}, records)
                self.assertFalse([r for r in records if "action" in r])
        self.assertEqual(len(self.log()), before)

    def test_the_link_menu_adds_favourites_and_starts_the_dialler(self):
        _, (_, _, rows) = self.view()
        phone, web, mail = first_point_of_each_line(rows, LINK_BLUE)
        # Each choice on a link it does not fit leads nowhere.
        for (x, y), choice in ((phone, "favourite"), (mail, "favourite"), (web, "dialler"), (mail, "dialler")):
            with self.subTest(point=(x, y), choice=choice):
                records, _ = self.view("--tap", str(x + 2), str(y - 4), "--menu", choice)
                self.assertEqual(records[-1]["action"], "none")
        self.assertEqual(self.log(), [])
        records, _ = self.view("--tap", str(web[0] + 2), str(web[1] - 4), "--menu", "favourite")
        self.assertEqual(records[-1], {"action": "favourite added", "target": "http://www.example.com"})
        self.assertEqual([(e["kind"], e["detail"]) for e in self.log()],
                         [("favourite", "www.example.com http://www.example.com")])
        records, _ = self.view("--tap", str(phone[0] + 2), str(phone[1] - 4), "--menu", "dialler")
        self.assertEqual(records[-1], {"action": "dialler started", "target": "040-1234567"})
        # The dialler is a device process of its own: its row comes when it has run.
        kinds = []
        for _ in range(100):
            kinds = [e["kind"] for e in self.log()]
            if "dialler" in kinds:
                break
            time.sleep(0.05)
        self.assertEqual(kinds, ["favourite", "dialler"])  # started, and no call placed
        self.fails("text-view", self.write("t.txt", self.TEXT), "--png", self.scratch("x.png"),
                   "--tap", "1", "1", "--menu", "call", status=USAGE)

    def test_an_html_part_reports_its_folder_and_taps_and_goes_nowhere_outside(self):
        part = self.write("part.html", '<h1>Menu</h1><p><a href="http://tickets.example.org/">tickets</a></p>'
                                       '<p><a href="../../secret.txt">up</a></p><p><a href="menu.html">menu</a></p>'
                                       '<script>document.write("x")</script>')
        records, (_, _, rows) = self.view(source=part)
        self.assertEqual(records, [{"message": HTML_FOLDER, "folder": "\\Temp\\text-view\\"}])
        points = first_point_of_each_line(rows, LINK_BLUE)
        self.assertEqual(len(points), 3)
        expected = (("http://tickets.example.org/", "opened", "http://tickets.example.org/"),
                    ("../../secret.txt", "none", ""),
                    ("menu.html", "opened", "\\Temp\\text-view\\menu.html"))
        for (x, y), (target, action, address) in zip(points, expected):
            with self.subTest(target=target):
                records, _ = self.view("--tap", str(x + 2), str(y - 4), "--act", source=part)
                self.assertIn({"message": HTML_LINK, "code": 1125, "target": target}, records)
                self.assertEqual(records[-1], {"action": action, "target": address})
        opened = [entry["detail"] for entry in self.log() if entry["kind"] == "open"]
        self.assertEqual(opened, ["http://tickets.example.org/", "\\Temp\\text-view\\menu.html"])

    def test_bad_calls(self):
        text = self.write("t.txt", self.TEXT)
        for args in (["text-view"], ["text-view", text], ["text-view", text, "--png"],
                     ["text-view", text, "--png", self.scratch("a.png"), "--screen", "13x7@1"]):
            with self.subTest(args=args):
                self.fails(*args, status=USAGE)
        self.fails("text-view", self.scratch("none.txt"), "--png", self.scratch("a.png"), status=1)


if __name__ == "__main__":
    check_host_commands.MMSFORM = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0], "-v"])
