# Writes the seed corpus of usm_receive_fuzzer into usm_corpus/: the
# captures of tests/data/v3 with their MAC octets zeroed, which the
# fuzzer's crypto double takes as authentic, and one of them turned into an
# InformRequest to the fuzzer's own engine (ID 8000000005aabbccdd0a0b0c0d).
import pathlib

here = pathlib.Path(__file__).resolve().parent
captures = here.parent / 'data' / 'v3'


def item(data, pos):
    """(tag, value position, length) of the BER item at pos."""
    first = data[pos + 1]
    if first < 0x80:
        return data[pos], pos + 2, first
    n = first & 0x7F
    return data[pos], pos + 2 + n, int.from_bytes(data[pos + 2:pos + 2 + n], 'big')


def security_fields(data):
    """Value positions and lengths of engine ID, user, auth and priv params; the flags' position."""
    _, pos, _ = item(data, 0)
    _, v, n = item(data, pos)                 # version
    _, header, hn = item(data, v + n)         # msgGlobalData
    _, v, n = item(data, header)              # msgID
    _, v, n = item(data, v + n)               # msgMaxSize
    _, flags, n = item(data, v + n)           # msgFlags
    _, sp, spn = item(data, header + hn)      # msgSecurityParameters
    _, pos, _ = item(data, sp)                # its SEQUENCE
    fields = []
    for _ in range(6):
        _, v, n = item(data, pos)
        fields.append((v, n))
        pos = v + n
    return fields, flags


(here / 'usm_corpus').mkdir(exist_ok=True)
for capture in sorted(captures.glob('*.bin')):
    data = bytearray(capture.read_bytes())
    fields, flags = security_fields(data)
    mac_pos, mac_len = fields[4]
    data[mac_pos:mac_pos + mac_len] = bytes(mac_len)
    (here / 'usm_corpus' / capture.name).write_bytes(data)

data = bytearray((captures / 'netsnmp_authnopriv_md5_b3_t100.bin').read_bytes())
fields, flags = security_fields(data)
engine_pos, engine_len = fields[0]
data[engine_pos:engine_pos + engine_len] = bytes.fromhex('8000000005aabbccdd0a0b0c0d')
data[flags] |= 0x04                           # reportable
data[data.index(0xA7, fields[5][0])] = 0xA6   # SNMPv2-Trap to InformRequest
mac_pos, mac_len = fields[4]
data[mac_pos:mac_pos + mac_len] = bytes(mac_len)
(here / 'usm_corpus' / 'inform_to_local_engine.bin').write_bytes(data)
