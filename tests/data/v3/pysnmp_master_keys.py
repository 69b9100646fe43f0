# Prints the Dovrel.ini user lines (name,auth,authKu,priv,privKu) of the
# users in this folder's captures, the master keys computed by pysnmp's own
# password-to-key (RFC 3414 A.2, RFC 7860), so the tests check ours against it.
import hashlib

from pysnmp.proto.secmod.rfc3414 import localkey

hashes = {'MD5': hashlib.md5, 'SHA': hashlib.sha1, 'SHA-224': hashlib.sha224, 'SHA-256': hashlib.sha256,
          'SHA-384': hashlib.sha384, 'SHA-512': hashlib.sha512}
users = [('ups-md5', 'MD5', 'md5-auth-pass', 'none', None),
         ('ups-sha', 'SHA', 'sha-auth-pass', 'AES', 'sha-priv-pass'),
         ('ups-sha256', 'SHA-256', 'sha256-auth-pass', 'AES', 'sha256-priv-pass'),
         ('ups-sha224', 'SHA-224', 'sha224-auth-pass', 'AES', 'sha224-priv-pass'),
         ('ups-sha384', 'SHA-384', 'sha384-auth-pass', 'AES', 'sha384-priv-pass'),
         ('ups-sha512', 'SHA-512', 'sha512-auth-pass', 'AES', 'sha512-priv-pass')]
for name, auth, auth_pass, priv, priv_pass in users:
    h = hashes[auth]
    auth_ku = bytes(localkey.hashPassphrase(auth_pass.encode(), h)).hex()
    priv_ku = bytes(localkey.hashPassphrase(priv_pass.encode(), h)).hex() if priv_pass else ''
    print(f'{name},{auth},{auth_ku},{priv},{priv_ku}')
print('ups-plain,none,,none,')
