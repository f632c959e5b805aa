#!/usr/bin/env bash
# Makes the stand-in's test authority and the certificate it serves for the service's hosts.
# Run once; the results are committed and built into the stand-in. Rerun (and commit the four
# files) only to add a host name: every client that trusts the old authority then needs the new one.
set -euo pipefail
cd "$(dirname "$0")"

days=36500
openssl ecparam -name prime256v1 -genkey -noout | openssl pkcs8 -topk8 -nocrypt -out authority-key.pem
openssl req -x509 -new -key authority-key.pem -sha256 -days "$days" -out authority.pem \
  -subj "/O=Fotolun stand-in/CN=Fotolun stand-in test authority" \
  -addext "basicConstraints=critical,CA:TRUE,pathlen:0" \
  -addext "keyUsage=critical,keyCertSign,cRLSign"

# One label per wildcard: each photo, album and sign-in host of the samples sits under one of these.
names="DNS:qq.com,DNS:*.qq.com,DNS:*.qzone.qq.com,DNS:*.photo.qzone.qq.com,DNS:*.photo.qq.com"
names+=",DNS:*.store.qq.com,DNS:*.photo.store.qq.com,DNS:*.ptlogin2.qq.com"
names+=",DNS:qpic.cn,DNS:*.qpic.cn,DNS:example-cdn.net,DNS:*.example-cdn.net"
names+=",DNS:fotolun.example.org,DNS:localhost,IP:127.0.0.1"
openssl ecparam -name prime256v1 -genkey -noout | openssl pkcs8 -topk8 -nocrypt -out server-key.pem
openssl req -new -key server-key.pem -subj "/O=Fotolun stand-in/CN=qq.com" -out server.csr
openssl x509 -req -in server.csr -CA authority.pem -CAkey authority-key.pem -CAcreateserial \
  -sha256 -days "$days" -out server.pem \
  -extfile <(printf 'basicConstraints=critical,CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\nsubjectAltName=%s\n' "$names")
rm -f server.csr authority.srl
