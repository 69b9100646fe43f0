# Sends one SNMPv3 SNMPv2-Trap (upsTrapOnBattery with upsEstimatedMinutesRemaining.0 = 15)
# with pysnmp, as an engine with the given engine ID; with "inform" last, an
# InformRequest instead, after discovering the receiver's engine, and exits
# non-zero unless the receiver's Response arrives.
# Usage: pysnmp_send_trap.py PORT ENGINE-ID-HEX USER AUTH AUTH-PASS PRIV PRIV-PASS [inform]
import sys

from pyasn1.type import univ
from pysnmp.hlapi import (ContextData, Integer, NotificationType, ObjectIdentity, SnmpEngine, UdpTransportTarget,
                          UsmUserData, sendNotification, usmAesCfb128Protocol, usmHMAC128SHA224AuthProtocol,
                          usmHMAC192SHA256AuthProtocol, usmHMAC256SHA384AuthProtocol, usmHMAC384SHA512AuthProtocol,
                          usmHMACMD5AuthProtocol, usmHMACSHAAuthProtocol, usmNoPrivProtocol)

port, engine_id, user, auth, auth_pass, priv, priv_pass = sys.argv[1:8]
kind = sys.argv[8] if len(sys.argv) > 8 else 'trap'
auth_protocols = {'MD5': usmHMACMD5AuthProtocol, 'SHA': usmHMACSHAAuthProtocol,
                  'SHA-224': usmHMAC128SHA224AuthProtocol, 'SHA-256': usmHMAC192SHA256AuthProtocol,
                  'SHA-384': usmHMAC256SHA384AuthProtocol, 'SHA-512': usmHMAC384SHA512AuthProtocol}
engine = SnmpEngine(univ.OctetString(hexValue=engine_id))
error_indication, error_status = next(sendNotification(
    engine,
    UsmUserData(user, auth_pass, priv_pass, authProtocol=auth_protocols[auth],
                privProtocol=usmAesCfb128Protocol if priv == 'AES' else usmNoPrivProtocol),
    UdpTransportTarget(('127.0.0.1', int(port)), timeout=2, retries=3), ContextData(), kind,
    NotificationType(ObjectIdentity('1.3.6.1.2.1.33.2.0.1')).addVarBinds(
        ('1.3.6.1.2.1.33.1.2.3.0', Integer(15)))))[:2]
if error_indication or error_status:
    sys.exit(str(error_indication or error_status))
