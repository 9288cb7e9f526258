#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/. Run from anywhere; the seeds
are checked in, so this is needed only to change them."""

import pathlib

HERE = pathlib.Path(__file__).resolve().parent


def crc(frame: bytes) -> bytes:
    """CRC-16/MODBUS, low-order byte first as it goes on the line."""
    reg = 0xFFFF
    for b in frame:
        reg ^= b
        for _ in range(8):
            reg = (reg >> 1) ^ 0xA001 if reg & 1 else reg >> 1
    return bytes([reg & 0xFF, reg >> 8])


def framed(body: bytes) -> bytes:
    return body + crc(body)


def write(target: str, name: str, data: bytes) -> None:
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def reply_search_seeds() -> None:
    # Header: function code, meter address, expected length; then the bytes.
    read_reply = framed(bytes([0x01, 0x03, 0x02, 0x03, 0xE8]))
    seeds = {
        "read_reply_alone": bytes([3, 1, 7]) + read_reply,
        "read_reply_after_noise": bytes([3, 1, 7, 0xFF, 0x00, 0x55]) + read_reply,
        "two_replies": bytes([3, 1, 7]) + read_reply + framed(bytes([1, 3, 2, 0, 7])),
        "bad_crc_then_reply": bytes([3, 1, 7])
        + read_reply[:-1]
        + bytes([read_reply[-1] ^ 0x01])
        + read_reply,
        "exception_reply": bytes([3, 1, 7]) + framed(bytes([0x01, 0x83, 0x02])),
        "foreign_address": bytes([3, 1, 7]) + framed(bytes([0x02, 0x03, 0x02, 0x00, 0x01])),
        "one_byte_short": bytes([3, 1, 7]) + read_reply[:-1],
        "write_echo": bytes([6, 1, 8]) + framed(bytes([0x01, 0x06, 0x00, 0x08, 0x00, 0x04])),
        "write_two_reply": bytes([16, 1, 8])
        + framed(bytes([0x01, 0x10, 0x00, 0x04, 0x00, 0x02])),
        "clock_reply": bytes([3, 1, 11])
        + framed(bytes([0x01, 0x03, 0x06, 0x1E, 0x2D, 0x0F, 0x0A, 0x06, 0x0C])),
        "byte_count_disagrees": bytes([3, 1, 7]) + framed(bytes([0x01, 0x03, 0x09, 0x00, 0x01])),
        "every_byte_a_candidate": bytes([3, 3, 7]) + bytes([3] * 300),
        "empty_crc_length_two": bytes([0xFF, 0xFF, 2, 0xFF, 0xFF, 0xFF]),
        "negative_length": bytes([3, 1, 0xF9]) + read_reply,
    }
    for name, data in seeds.items():
        write("find_reply_frame", name, data)


def request_parser_seeds() -> None:
    # A control byte comes first: it seeds how the stream is cut into reads,
    # and with its top bit set, where the line falls silent.
    requests = {
        "read_live_value": framed(bytes([0x01, 0x03, 0x00, 0x00, 0x00, 0x01])),
        "read_clock": framed(bytes([0x01, 0x03, 0x01, 0x10, 0x00, 0x03])),
        "write_link_baud": framed(bytes([0x01, 0x06, 0x00, 0x08, 0x00, 0x04])),
        "write_address": framed(bytes([0x01, 0x06, 0x03, 0x00, 0x00, 0x05])),
        "write_pt_ratio": framed(
            bytes([0x01, 0x10, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00, 0x64, 0x00, 0x00])
        ),
        "unknown_function": framed(bytes([0x01, 0x04, 0x00, 0x00, 0x00, 0x01])),
        "bad_crc": bytes([0x01, 0x03, 0x00, 0x06, 0x00, 0x01, 0x64, 0x0C]),
        "truncated_write_two": bytes([0x01, 0x10, 0x00, 0x04, 0x00, 0x02, 0x04, 0x00]),
        "byte_count_too_large": framed(
            bytes([0x01, 0x10, 0x00, 0x04, 0x00, 0x02, 0xFF, 0x00, 0x01, 0x00, 0x00])
        ),
    }
    for index, (name, data) in enumerate(requests.items()):
        write("sim_request_parser", name, bytes([index * 7]) + data)
    # Several requests back to back, with noise between them, for the framer.
    stream = (
        bytes([0x00, 0xFF])
        + requests["read_live_value"]
        + requests["write_pt_ratio"]
        + bytes([0x55])
        + requests["read_clock"]
    )
    write("sim_request_parser", "stream_of_requests", bytes([0x05]) + stream)
    write("sim_request_parser", "stream_with_silences", bytes([0x85]) + stream)
    write("sim_request_parser", "stream_cut_short", bytes([0x86]) + stream[:-3])


def expected_reply_seeds() -> None:
    # Header: flags (1 second address, 2 highest first register), function,
    # address, second address, length, body length, four body bytes, the
    # highest first register; then the bytes.
    def header(flags, function, address, other, length, body, highest=0):
        padded = body + bytes(4 - len(body))
        return bytes([flags, function, address, other, length, len(body)]) + padded + bytes(
            [highest >> 8, highest & 0xFF]
        )

    decimal_point = framed(bytes([0x01, 0x03, 0x02, 0x00, 0x02]))
    echo = framed(bytes([0x01, 0x06, 0x03, 0x00, 0x00, 0x05]))
    seeds = {
        "decimal_point": header(2, 3, 1, 0, 7, bytes([2]), 3) + decimal_point,
        "decimal_point_out_of_range": header(2, 3, 1, 0, 7, bytes([2]), 3)
        + framed(bytes([0x01, 0x03, 0x02, 0x27, 0xB5]))
        + decimal_point,
        "echo_after_adapter_copy": header(0, 6, 1, 0, 8, echo[2:6]) + echo + echo,
        "echo_from_new_address": header(1, 6, 1, 5, 8, echo[2:6])
        + framed(bytes([0x05, 0x06, 0x03, 0x00, 0x00, 0x05])),
        "clock_after_noise": header(0, 3, 1, 0, 11, bytes([6]))
        + bytes([0x00, 0xFF])
        + framed(bytes([0x01, 0x03, 0x06, 0x1E, 0x2D, 0x0F, 0x0A, 0x06, 0x0C])),
        "too_short_for_its_body": header(0, 6, 1, 0, 7, echo[2:6]) + echo,
    }
    for name, data in seeds.items():
        write("find_expected_reply", name, data)


def classify_failure_seeds() -> None:
    # Header: request kind (0 read, 1 write, 2 write of two), address,
    # register, count or value, share received within the wait; the bytes.
    read = bytes([0, 1, 0x00, 0x06, 0x00, 0x00])
    write6 = bytes([1, 1, 0x03, 0x00, 0x00, 0x05])
    seeds = {
        "silence": read + bytes([255]),
        "late_reply": read + bytes([0]) + framed(bytes([0x01, 0x03, 0x02, 0x00, 0x02])),
        "exception": read + bytes([255]) + framed(bytes([0x01, 0x83, 0x02])),
        "other_address": read + bytes([255]) + framed(bytes([0x02, 0x03, 0x02, 0x00, 0x02])),
        "bad_crc": read + bytes([255, 0x01, 0x03, 0x02, 0x00, 0x02, 0x00, 0x00]),
        "cut_short": read + bytes([255, 0x01, 0x03, 0x02]),
        "adapter_copy_only": write6
        + bytes([255])
        + framed(bytes([0x01, 0x06, 0x03, 0x00, 0x00, 0x05])),
        "other_request": read + bytes([255]) + framed(bytes([0x01, 0x03, 0x02, 0x27, 0xB5])),
        "echo_then_late": write6
        + bytes([128])
        + framed(bytes([0x01, 0x06, 0x03, 0x00, 0x00, 0x05]))
        + bytes([0x01, 0x06]),
    }
    for name, data in seeds.items():
        write("classify_failure", name, data)


if __name__ == "__main__":
    reply_search_seeds()
    request_parser_seeds()
    expected_reply_seeds()
    classify_failure_seeds()
