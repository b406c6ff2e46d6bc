#!/usr/bin/env python3
"""Prints what scripts/reader_texts.js prints, through the Linux build's orvex10 module:
the catalogue and every reader's text of every resource of each module named.

Usage: reader_texts.py MODULE...   (PYTHONPATH must hold the orvex10 module)
"""
import sys

import orvex10


def escape(text):
    return "".join(c if 32 <= ord(c) <= 126 else "\\u%04X" % ord(c) for c in text)


def show(label, text):
    print(label + ": " + escape(text or ""))


def main(paths):
    c = orvex10.Dispatch("Orvex10.clsQ7ResfResourceTypesA")
    for path in paths:
        c.Filename = path
        c.Clear()
        c.EnumResourceTypesStart()
        print("module %s: %d types" % (c.FilePartFileName, c.Count))
        show("version", c.GetVersionInfo())
        for i in range(1, c.Count + 1):
            record = c.Item(i)
            style = record.Style
            type_arg = str(style) if 0 <= style <= 65535 else record.NameLong
            items = record.ResourceItems
            print("type %s (%s): %d items" % (escape(record.NameLong), type_arg, items.Count))
            for j in range(1, items.Count + 1):
                item = items.Item(j)
                name = item.NameLong
                res_name = "#" + name if name.isdigit() else name
                print("item %s size %d" % (escape(res_name), item.Size))
                show("hex", c.GetHexDump(type_arg, res_name))
                reader = {
                    "4": ("menu", lambda: c.GetMenuText(res_name)),
                    "6": ("strings", lambda: c.GetString(res_name)),
                    "9": ("accelerators", lambda: c.GetAccelerators(res_name)),
                    "11": ("messages", lambda: c.GetMessageTable(res_name)),
                    "23": ("html", lambda: c.GetHTML(type_arg, res_name)),
                }.get(type_arg)
                if reader:
                    show(reader[0], reader[1]())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
