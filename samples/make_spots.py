#!/usr/bin/env python3
"""Writes the synthetic host feed samples/spots.txt and what the station list must show for it,
samples/spots.expected.txt.

spots.txt is the text the host passes on over DDE: spot lines of 8-bit text, fields separated by
the byte 0xFF, each line ended by CR LF. Fields: 1 spotter (unused), 2 callsign, 3 frequency in
kHz, 4 a number (-32768: not listed), 5 time (unused), 6 heading, 7 distance, 8 units flag ("0" km,
else miles). Among the spots are malformed lines, lines marked -32768 in several spellings, texts
too long for their columns, padded fields and stray CR or LF inside a line.

spots.expected.txt has one line per spot that must be listed, in feed order: the 32-character
list line, "|", and the distance caption it sets. It is worked out here from the fields the
generator chose, independently of the program.

Run it from anywhere: python3 samples/make_spots.py. The output depends only on this script.
"""
import pathlib
import random

SEP = b"\xff"
CRLF = b"\r\n"
rng = random.Random(20240417)

PREFIXES = ["DL", "G", "F", "EA", "I", "OH", "SM", "LA", "JA", "VK", "ZL", "W", "K", "N", "VE",
            "PY", "LU", "ZS", "UA", "UR", "SP", "OK", "HA", "YO", "LZ", "9A", "S5", "EI", "CT",
            "4X", "A6", "VU", "BY", "HL", "DU", "YB", "KH6", "KL7", "VP8", "3B8", "5B4", "TF"]
SUFFIX_LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
# Band edges in kHz, CW and phone parts alike.
BANDS = [(1810, 2000), (3500, 3800), (5351, 5367), (7000, 7200), (10100, 10150), (14000, 14350),
         (18068, 18168), (21000, 21450), (24890, 24990), (28000, 29700), (50000, 52000),
         (144000, 146000)]


def callsign():
    call = rng.choice(PREFIXES)
    if not call[-1].isdigit():
        call += str(rng.randint(0, 9))
    call += "".join(rng.choice(SUFFIX_LETTERS) for _ in range(rng.randint(1, 3)))
    if rng.random() < 0.08:
        call += rng.choice(["/P", "/M", "/QRP", "/MM"])
    return call


def frequency():
    low, high = rng.choice(BANDS)
    return "%.1f" % (rng.randint(low * 10, high * 10) / 10)


def time_of_day():
    return "%02d%02dZ" % (rng.randint(0, 23), rng.randint(0, 59))


def left(text, width):
    return text[:width].ljust(width)


def right(text, width):
    return text[-width:].rjust(width)


def list_line(call, freq, heading, distance):
    return left(call, 10) + right(freq, 10) + right(heading, 5) + right(distance, 7)


def caption(units):
    return " Dist.km" if units == "0" else "Dist.miles"


class Feed:
    def __init__(self):
        self.raw = bytearray()
        self.expected = []

    def line(self, fields, listed=None):
        """One spot line from text fields; `listed` is (list line, caption) when it must show."""
        self.raw += SEP.join(f.encode("latin-1") for f in fields) + CRLF
        if listed:
            self.expected.append("%s|%s" % listed)

    def raw_line(self, data):
        self.raw += data + CRLF

    def spot(self, call=None, freq=None, mark=None, heading=None, distance=None, units=None,
             pad=False, extra=()):
        """A well-formed spot, listed unless `mark` reads -32768."""
        call = call or callsign()
        freq = freq or frequency()
        mark = mark if mark is not None else rng.choice(["0", "0", "0", "1", "2", "15"])
        heading = heading if heading is not None else str(rng.randint(0, 359))
        units = units if units is not None else rng.choice(["0", "0", "1"])
        if distance is None:
            distance = str(rng.randint(40, 19990 if units == "0" else 12420))
        shown = [call, freq, heading, distance, units]
        if pad:  # spaces around fields are not part of them
            call, freq, heading = " " + call + "  ", "  " + freq, " " + heading + " "
            distance, units = distance + "   ", " " + units + " "
        fields = [callsign(), call, freq, mark, time_of_day(), heading, distance, units, *extra]
        listed = None
        if mark.replace(" ", "") not in ("-32768", "-32768.0", "-3.2768E4", "&H8000"):
            listed = (list_line(*shown[:4]), caption(shown[4]))
        self.line(fields, listed)


def build():
    feed = Feed()
    specials = {
        # Texts too long for their columns.
        9: dict(call="VP2V/W1ABCD", freq="1296123.4567", heading="123456", distance="12345678"),
        23: dict(call="3B8/DL1ABCD/P"),
        # A field 4 that is not a number counts as 0, one beyond the double range as infinity.
        31: dict(mark="n/a"),
        37: dict(mark="1E999"),
        41: dict(mark=""),
        # Units flags that are not exactly "0".
        47: dict(units="00"),
        53: dict(units="0.0"),
        # Empty heading: the heading column stays blank.
        59: dict(heading=""),
        # Not listed: -32768 by the numeric rule, in several spellings.
        67: dict(mark="-32768"),
        71: dict(mark=" -32768 "),
        73: dict(mark="-32768.0"),
        79: dict(mark="-3.2768E4"),
        83: dict(mark="&H8000"),
        # Near misses that are listed.
        89: dict(mark="-32767"),
        97: dict(mark="-32768.5"),
    }
    for n in range(240):
        if n in specials:
            feed.spot(**specials[n])
        elif n % 29 == 11:
            feed.spot(pad=True)
        elif n % 31 == 17:
            feed.spot(extra=["DX de " + callsign(), "599 tnx QSO"])  # fields after the 8th
        elif n == 101:
            feed.raw_line(b"")  # an empty line
        elif n == 103:
            # Fewer than 8 fields: 7, then 7 with a final separator, then an 8th of spaces only.
            feed.line([callsign(), callsign(), frequency(), "0", time_of_day(), "45", "1234"])
            feed.line([callsign(), callsign(), frequency(), "0", time_of_day(), "45", "1234", ""])
            feed.line([callsign(), callsign(), frequency(), "0", time_of_day(), "45", "1234", "  "])
        elif n == 107:
            feed.raw_line(b"DX de " + callsign().encode() + b": 14025.0 " + callsign().encode())
        elif n == 109:
            # A CR and an LF on their own are not line ends: they stay inside the unused fields.
            call, freq = callsign(), frequency()
            feed.line(["W1\nAW", call, freq, "0", "12\r34Z", "90", "6100", "1"],
                      (list_line(call, freq, "90", "6100"), caption("1")))
        else:
            feed.spot()
    return feed


def main():
    here = pathlib.Path(__file__).resolve().parent
    feed = build()
    (here / "spots.txt").write_bytes(bytes(feed.raw))
    (here / "spots.expected.txt").write_text("\n".join(feed.expected) + "\n", encoding="latin-1",
                                             newline="\n")


if __name__ == "__main__":
    main()
