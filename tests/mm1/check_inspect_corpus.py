#!/usr/bin/env python3
"""Runs `mmsform inspect` on every PDU of the shared corpus and checks it three ways:
1. against the values an independent decoder (tshark) found, kept in corpus/expected/*.mms.json;
2. round trip: the file re-encoded by `inspect --write` decodes to the same JSON;
3. tshark (required) reads our re-encoded file without a malformed-packet report
   (files tshark already finds malformed in the original are held to the same verdict, no worse).
Exit status 0 when every check holds."""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HTTP_PORT = 80
CLIENT_PORT = 40000
SEGMENT = 1400


def run_inspect(mmsform, *args):
    done = subprocess.run([mmsform, "inspect", *args], capture_output=True, timeout=60)
    text = done.stdout.decode("utf-8")
    return done.returncode, json.loads(text) if text.strip() else None


def bare_id(text):
    if len(text) >= 2 and text[0] == "<" and text[-1] == ">":
        return text[1:-1]
    return text


def compare(name, ours, expected, problems):
    def check(label, got, want):
        if got != want:
            problems.append(f"{name}: {label}: got {got!r}, expected {want!r}")

    check("message_type", ours.get("message_type"), expected.get("message_type"))
    for key in ("transaction_id", "mms_version"):
        check(key, ours.get(key), expected.get(key))
    want_from = expected.get("from")
    if want_from is not None:
        want = "<insert-address>" if want_from.get("insert_address_token") else want_from["text"]
        check("from", ours.get("from"), want)
    for key in ("to", "cc"):
        check(key, ours.get(key, []), [entry["text"] for entry in expected.get(key, [])])
    if "subject" in expected:
        check("subject", ours.get("subject"), expected["subject"]["text"])
    check("content_type", ours.get("content_type"), expected.get("content_type"))
    if expected.get("multipart") is False:
        want_parts = [{"data_length": expected["body"]["data_length"], "data_sha256": expected["body"]["data_sha256"]}]
    else:
        want_parts = expected.get("parts", [])
    got_parts = ours.get("parts", [])
    check("part count", len(got_parts), len(want_parts))
    for index, (got, want) in enumerate(zip(got_parts, want_parts)):
        label = f"part {index + 1}"
        for key in ("content_type", "content_location", "name"):
            if key in want:
                check(f"{label} {key}", got.get(key), want[key])
        if "content_id" in want:
            check(f"{label} content_id", got.get("content_id"), bare_id(want["content_id"]))
        check(f"{label} size", got.get("size"), want["data_length"])
        check(f"{label} sha256", got.get("sha256"), want["data_sha256"])


def write_pcap(pdu, path):
    """The PDU as the body of an HTTP/1.1 200 response on a TCP stream to port 80, in segments."""
    head = (b"HTTP/1.1 200 OK\r\nContent-Type: application/vnd.wap.mms-message\r\n"
            b"Content-Length: %d\r\n\r\n" % len(pdu))
    stream = head + pdu
    records = []
    seq = 1000
    for start in range(0, len(stream), SEGMENT):
        payload = stream[start:start + SEGMENT]
        tcp = struct.pack("!HHIIBBHHH", HTTP_PORT, CLIENT_PORT, seq, 1, 5 << 4, 0x18, 65535, 0, 0)
        total = 20 + len(tcp) + len(payload)
        ip = struct.pack("!BBHHHBBH4s4s", 0x45, 0, total, 1, 0, 64, 6, 0, bytes([10, 0, 0, 1]), bytes([10, 0, 0, 2]))
        frame = b"\x00\x00\x00\x00\x00\x02\x00\x00\x00\x00\x00\x01\x08\x00" + ip + tcp + payload
        records.append(struct.pack("<IIII", 0, len(records), len(frame), len(frame)) + frame)
        seq += len(payload)
    with open(path, "wb") as out:
        out.write(struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 1))
        out.writelines(records)


def tshark_verdict(pdu_path, work):
    pcap = os.path.join(work, "check.pcap")
    with open(pdu_path, "rb") as source:
        write_pcap(source.read(), pcap)
    done = subprocess.run(["tshark", "-r", pcap, "-V", "-O", "mmse", "-Y", "mmse"], capture_output=True, timeout=120)
    text = done.stdout.decode("utf-8", "replace")
    return "Malformed" in text, "MMS Message Encapsulation" in text


def main():
    mmsform, corpus = sys.argv[1], sys.argv[2]
    if shutil.which("tshark") is None:
        # The independent decoder is the point of this check: without it the check fails.
        print("tshark is not installed (Debian package tshark, listed in scripts/packages.txt)")
        return 1
    problems = []
    checked = 0
    with tempfile.TemporaryDirectory() as work:
        for name in sorted(os.listdir(os.path.join(corpus, "mms"))):
            path = os.path.join(corpus, "mms", name)
            with open(os.path.join(corpus, "expected", name + ".json")) as source:
                expected = json.load(source)
            status, ours = run_inspect(mmsform, path)
            if expected.get("oracle_failed"):
                if status != 1 or not ours or "error" not in ours or "offset" not in ours:
                    problems.append(f"{name}: expected a clean decode error, got status {status}: {ours}")
                checked += 1
                continue
            if status != 0:
                problems.append(f"{name}: decode failed: {ours}")
                continue
            compare(name, ours, expected, problems)
            rewritten = os.path.join(work, name)
            status, first = run_inspect(mmsform, path, "--write", rewritten)
            status_again, again = run_inspect(mmsform, rewritten)
            if status != 0 or status_again != 0 or first != again:
                problems.append(f"{name}: round trip differs:\n  {first}\n  {again}")
            malformed, recognised = tshark_verdict(rewritten, work)
            if not recognised or (malformed and not expected.get("tshark_malformed")):
                problems.append(f"{name}: tshark finds our re-encoded file malformed or unrecognised")
            checked += 1
    for problem in problems:
        print(problem)
    print(f"{checked} corpus files checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
