#!/usr/bin/env python3
"""Writes the clips animate.c opens, from tests/fixtures/media: raw24.avi and rle8.avi as
they are, audio.avi (raw24 with an audio stream list beside the video) and cram.avi (raw24
relabelled as MS Video-1). Usage: make_clips.py OUTPUT_FOLDER"""
import pathlib
import struct
import sys

MEDIA = pathlib.Path(__file__).resolve().parents[2] / "fixtures" / "media"


def with_audio(data):
    strh = b"auds" + b"\0" * 52
    strf = struct.pack("<HHIIHH", 1, 1, 8000, 8000, 1, 8)
    strl = b"LIST" + struct.pack("<I", 4 + 8 + 56 + 8 + 16) + b"strl" + b"strh" + \
        struct.pack("<I", 56) + strh + b"strf" + struct.pack("<I", 16) + strf
    hdrl = data.index(b"hdrl") - 8
    end = hdrl + 8 + struct.unpack_from("<I", data, hdrl + 4)[0]
    out = bytearray(data[:end] + strl + data[end:])
    struct.pack_into("<I", out, hdrl + 4, struct.unpack_from("<I", out, hdrl + 4)[0] + len(strl))
    struct.pack_into("<I", out, 4, struct.unpack_from("<I", out, 4)[0] + len(strl))
    struct.pack_into("<I", out, 0x38, 2)  # avih streams
    return bytes(out)


def relabelled(data, code):
    out = bytearray(data)
    strf = out.index(b"strf")
    out[strf + 8 + 16:strf + 8 + 20] = code
    vids = out.index(b"vids")
    out[vids + 4:vids + 8] = code
    return bytes(out)


def main():
    out = pathlib.Path(sys.argv[1])
    raw = (MEDIA / "raw24.avi").read_bytes()
    (out / "raw24.avi").write_bytes(raw)
    (out / "rle8.avi").write_bytes((MEDIA / "rle8.avi").read_bytes())
    (out / "audio.avi").write_bytes(with_audio(raw))
    (out / "cram.avi").write_bytes(relabelled(raw, b"CRAM"))


if __name__ == "__main__":
    main()
