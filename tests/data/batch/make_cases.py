#!/usr/bin/env python3
"""Makes the whole-directory cases of tests/data/batch from samples/: each
case's input/ folder, and, from a run of the railfmt given, its expected/
folder (the directory after the run) and stdout.txt. The case "samples" takes
samples/ itself as its input.

Usage: tests/data/batch/make_cases.py PATH/TO/railfmt   (from the repository root)
"""
import pathlib, shutil, subprocess, sys, tempfile

root = pathlib.Path(__file__).resolve().parents[3]
samples = root / "samples"
cases = pathlib.Path(__file__).resolve().parent


def sample(name):
    return (samples / name).read_bytes()


def renamed_stock(name):
    """The rolling-stock sample with another name stored in its info block."""
    data, old = sample("stock_all_parts.rol"), b"stock_all_parts"
    at = data.rindex(bytes([len(old)]) + old)
    return data[:at] + bytes([len(name)]) + name + data[at + 1 + len(old):]


def damaged(name, offset, value):
    data = bytearray(sample(name))
    data[offset] ^= value
    return bytes(data)


inputs = {
    "names": {
        "a.bak": sample("station.mod"),         # replaces the junk a.mod before a.mod's turn
        "a.mod": b"not a model",
        "plan": sample("drawing_full.kon"),     # no extension
        "x.y.z": sample("every_kind.mod"),      # only the last extension goes
        ".hidden.mod": sample("one_point.mod") + b"\0",  # names beginning with "." are passed over
        "TOOL.EXE": sample("one_point.mod") + b"\0",     # and so are names with the extension exe
        "tool.exe.bak": sample("one_point.mod"),
        "r1.bin": renamed_stock(b"Lok 7"),       # rolling stock is named from its info block
        "r2.bin": renamed_stock(b""),            # names that make no file of their own
        "r3.bin": renamed_stock(b"../out"),
        "r4.bin": renamed_stock(b".versteckt"),
        "trail.mod": sample("every_kind.mod") + b"\1\2",  # bytes after the last field are dropped
        "anlage.bak": sample("anlage_doppelt.anl"),
    },
    "damaged": {
        "empty": b"",
        "zeros.bin": bytes(64),
        "model.mod": damaged("station.mod", 2, 0x01),
        "stock.rol": damaged("stock_all_parts.rol", 300, 0x40),
        "drawing.kon": damaged("drawing_full.kon", 0, 0x01),
        "layout.anl": damaged("anlage_gleistypen.anl", 40, 0xFF),
    },
}

railfmt = str(pathlib.Path(sys.argv[1]).resolve())
for case in ["samples"] + list(inputs):
    folder = cases / case
    source = samples
    if case in inputs:
        source = folder / "input"
        shutil.rmtree(source, ignore_errors=True)
        source.mkdir(parents=True)
        for name, data in inputs[case].items():
            (source / name).write_bytes(data)
    with tempfile.TemporaryDirectory() as scratch:
        run = pathlib.Path(scratch) / "run"
        shutil.copytree(source, run)
        out = subprocess.run([railfmt], cwd=run, capture_output=True, check=True).stdout
        shutil.rmtree(folder / "expected", ignore_errors=True)
        shutil.copytree(run, folder / "expected")
    (folder / "stdout.txt").write_bytes(out)
    print(case, len(list((folder / "expected").iterdir())), "files,", len(out), "bytes of output")
