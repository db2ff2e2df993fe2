#!/usr/bin/env python3
"""Puts one plausible fault at a time into a copy of receive_buffer.cpp, builds the property test
against it, and expects the test to fail: a model comparison that misses one of these would pass
a broken buffer. No sanitizer here, so a catch is the model's alone.

    mutants.py HOST_BUILD_DIR   (after scripts/native-checks build)
"""
import pathlib
import subprocess
import sys

REPO = pathlib.Path(__file__).resolve().parents[2]
SOURCE = REPO / "serialcapture" / "receive_buffer.cpp"
PROPERTY_TEST = REPO / "serialcapture" / "tests" / "buffer_property_test.cpp"

# (what the fault is, text in receive_buffer.cpp, what it becomes)
MUTANTS = [
    ("a tick at 1022 appends instead of clearing",
     "writeIndex_ < kLastIndex - 1", "writeIndex_ < kLastIndex"),
    ("a tick at 1021 clears instead of appending",
     "writeIndex_ < kLastIndex - 1", "writeIndex_ < kLastIndex - 2"),
    ("bytes 0x80-0xFF zero-extended",
     "static_cast<std::int16_t>(static_cast<std::int8_t>(byte))", "byte"),
    ("the break goes at the write index, not where the text ends",
     "std::size_t end = TextLength();", "std::size_t end = writeIndex_;"),
    ("the index follows the break instead of moving on by two",
     "writeIndex_ += 2;", "writeIndex_ = static_cast<std::uint32_t>(end + 2);"),
    ("no zero unit after the break", "units_[end + 2] = u'\\0';", ""),
    ("a store clears one unit early",
     "if (writeIndex_ < kLastIndex)", "if (writeIndex_ < kLastIndex - 1)"),
    ("a tick's clear leaves the flag raised",
     "        Clear();\n    }\n    newData_ = false;",
     "        Clear();\n        return true;\n    }\n    newData_ = false;"),
    ("a clear spares unit 0",
     "std::fill(std::begin(units_), std::end(units_)",
     "std::fill(std::begin(units_) + 1, std::end(units_)"),
    ("a store leaves the flag alone", "    newData_ = true;\n", ""),
]

COMPILE = ["clang++", "-std=c++17", "-O1", "-g",
           f"-I{REPO / 'serialcapture'}", f"-I{REPO / 'serialcapture' / 'tests'}",
           "-I/usr/src/googletest/googletest/include"]


def run(command):
    return subprocess.run(command, capture_output=True, text=True)


def first_report(output):
    lines = [line for line in output.splitlines() if line.startswith("seed ")]
    return lines[0] if lines else output.strip().splitlines()[-1]


def main():
    build = pathlib.Path(sys.argv[1]).resolve()
    work = build / "mutants"
    work.mkdir(parents=True, exist_ok=True)
    libs = [str(build / "lib" / "libgtest_main.a"), str(build / "lib" / "libgtest.a"), "-lpthread"]
    test_object = work / "buffer_property_test.o"
    built = run(COMPILE + ["-c", str(PROPERTY_TEST), "-o", str(test_object)])
    if built.returncode != 0:
        sys.exit(built.stderr)

    original = SOURCE.read_text()
    missed = 0
    for number, (fault, text, replacement) in enumerate(MUTANTS, 1):
        if original.count(text) != 1:
            print(f"mutant {number} ({fault}): its text is gone from receive_buffer.cpp; update it")
            missed += 1
            continue
        source = work / f"mutant{number}.cpp"
        source.write_text(original.replace(text, replacement))
        program = work / f"mutant{number}"
        built = run(COMPILE + [str(source), str(test_object), "-o", str(program)] + libs)
        if built.returncode != 0:
            print(f"mutant {number} ({fault}): does not build\n{built.stderr}")
            missed += 1
            continue
        result = run([str(program)])
        if result.returncode == 0:
            print(f"mutant {number} ({fault}): MISSED")
            missed += 1
        else:
            print(f"mutant {number} ({fault}): caught: {first_report(result.stdout)}")
    print(f"{len(MUTANTS) - missed} of {len(MUTANTS)} mutants caught")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
