# Sends one SNMPv3 SNMPv2-Trap (upsTrapOnBattery with upsEstimatedMinutesRemaining.0 = 15)
# with pysnmp, as an engine with the given engine ID.
# Usage: pysnmp_send_trap.py PORT ENGINE-ID-HEX USER AUTH AUTH-PASS PRIV PRIV-PASS
import sys

from pyasn1.type import univ
from pysnmp.hlapi import (ContextData, Integer, NotificationType, ObjectIdentity, SnmpEngine, UdpTransportTarget,
                          UsmUserData, sendNotification, usmAesCfb128Protocol, usmHMAC128SHA224AuthProtocol,
                          usmHMAC192SHA256AuthProtocol, usmHMAC256SHA384AuthProtocol, usmHMAC384SHA512AuthProtocol,
                          usmHMACMD5AuthProtocol, usmHMACSHAAuthProtocol, usmNoPrivProtocol)

port, engine_id, user, auth, auth_pass, priv, priv_pass = sys.argv[1:8]
auth_protocols = {'MD5': usmHMACMD5AuthProtocol, 'SHA': usmHMACSHAAuthProtocol,
                  'SHA-224': usmHMAC128SHA224AuthProtocol, 'SHA-256': usmHMAC192SHA256AuthProtocol,
                  'SHA-384': usmHMAC256SHA384AuthProtocol, 'SHA-512': usmHMAC384SHA512AuthProtocol}
engine = SnmpEngine(univ.OctetString(hexValue=engine_id))
error = next(sendNotification(
    engine,
    UsmUserData(user, auth_pass, priv_pass, authProtocol=auth_protocols[auth],
                privProtocol=usmAesCfb128Protocol if priv == 'AES' else usmNoPrivProtocol),
    UdpTransportTarget(('127.0.0.1', int(port))), ContextData(), 'trap',
    NotificationType(ObjectIdentity('1.3.6.1.2.1.33.2.0.1')).addVarBinds(
        ('1.3.6.1.2.1.33.1.2.3.0', Integer(15)))))[0]
if error:
    sys.exit(str(error))
