#!/usr/bin/python3
"""Test peers of the socket layer, all on 127.0.0.1 with ports chosen by the
system. Writes KEY=port lines to the file named by the first argument, then
touches <file>.ready; received mail goes to the folder named by the second.

  KYN_SMTP_PORT       aiosmtpd with AUTH LOGIN in clear (reporter / s3cret)
  KYN_SAY_PORT        greets "220"; answers "SAY text" with text ("|" = line break)
  KYN_REFUSE_PORT     greets "554 go away"
  KYN_SILENT_PORT     accepts and never says anything
  KYN_ECHO_PORT       sends back what it receives
  KYN_NEAR_PORT       "part one;", 0.3 s later "part two"
  KYN_FAR_PORT        "part one;", 2.5 s later "part two"
  KYN_RESET_PORT      greets "220 hi", resets the connection at the first line
  KYN_CLOSED_PORT     nothing listens there
  KYN_DNS_PORT        UDP DNS server for the .test names below (local.test's
                      mail exchanger is 127.0.0.1)
  KYN_DNS_SILENT_PORT UDP socket that never answers
"""
import asyncio
import email
import email.policy
import itertools
import os
import socket
import struct
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword
from dnslib import CNAME, DNSRecord, MX, QTYPE, RCODE, RR, SOA

HOST = "127.0.0.1"


def bound(kind=socket.SOCK_STREAM):
    s = socket.socket(socket.AF_INET, kind)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind((HOST, 0))
    if kind == socket.SOCK_STREAM:
        s.listen(16)
    s.setblocking(False)
    return s


class MailSpool:
    def __init__(self, folder):
        self.folder = folder
        self.count = itertools.count(1)

    async def handle_DATA(self, server, session, envelope):
        path = os.path.join(self.folder, "mail%d.eml" % next(self.count))
        with open(path + ".part", "wb") as f:
            f.write(b"MAIL FROM:" + envelope.mail_from.encode() + b"\r\n")
            f.write(b"RCPT TO:" + b",".join(r.encode() for r in envelope.rcpt_tos) + b"\r\n\r\n")
            f.write(envelope.original_content)
        os.rename(path + ".part", path)
        try:
            self.summarize(envelope)
        except Exception as e:  # the tests then find no summary and say so
            print("summary failed:", repr(e), file=sys.stderr, flush=True)
        return "250 Message accepted for delivery"

    def summarize(self, envelope):
        """Parses the message with Python's email package and writes what it
        found to summary_<first recipient>.txt, with the text part in .body and
        each attachment's bytes in .partN beside it."""
        base = os.path.join(self.folder, "summary_" + envelope.rcpt_tos[0])
        msg = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        lines = ["mail_from=" + envelope.mail_from, "rcpt_to=" + ",".join(envelope.rcpt_tos),
                 "headers=" + "|".join(msg.keys()), "subject=" + str(msg["subject"]), "from=" + str(msg["from"]),
                 "to=" + str(msg["to"]), "defects=%d" % len(msg.defects)]
        count = 0
        for part in msg.walk():
            if part.is_multipart():
                continue
            if part.get_content_disposition() == "attachment":
                count += 1
                with open("%s.part%d" % (base, count), "wb") as f:
                    f.write(part.get_payload(decode=True))
                lines.append("attachment=%s|%s" % (part.get_filename(), part.get_content_type()))
            else:
                with open(base + ".body", "wb") as f:
                    f.write(part.get_payload(decode=True))
        with open(base + ".txt.part", "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        os.rename(base + ".txt.part", base + ".txt")


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data.login == b"reporter" and auth_data.password == b"s3cret"
    # handled=False: aiosmtpd then answers a failure with 535 itself.
    return AuthResult(success=ok, handled=False)


async def say(reader, writer):
    writer.write(b"220\r\n")
    while line := await reader.readline():
        text = line.rstrip(b"\r\n")
        if text.startswith(b"SAY "):
            writer.write(text[4:].replace(b"|", b"\r\n") + b"\r\n")
        else:
            writer.write(b"500 unknown\r\n")
        await writer.drain()


async def refuse(reader, writer):
    writer.write(b"554 go away\r\n")
    await writer.drain()
    await reader.read()


async def silent(reader, writer):
    await reader.read()


async def echo(reader, writer):
    while data := await reader.read(65536):
        writer.write(data)
        await writer.drain()


def pieces(gap):
    async def serve(reader, writer):
        writer.write(b"part one;")
        await writer.drain()
        await asyncio.sleep(gap)
        writer.write(b"part two")
        await writer.drain()
        await reader.read()
    return serve


async def reset(reader, writer):
    writer.write(b"220 hi\r\n")
    await writer.drain()
    await reader.readline()
    sock = writer.get_extra_info("socket")
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    writer.transport.abort()


class Dns(asyncio.DatagramProtocol):
    """Answers MX questions for a few .test names; anything else is NXDOMAIN."""

    def __init__(self):
        self.asked = {}

    def connection_made(self, transport):
        self.transport = transport

    def datagram_received(self, data, addr):
        try:
            query = DNSRecord.parse(data)
        except Exception:
            return
        if query.q.qtype != QTYPE.MX:
            return
        name = str(query.q.qname).rstrip(".")
        count = self.asked[name] = self.asked.get(name, 0) + 1
        reply = query.reply()
        if name == "example.test":
            reply.add_answer(RR(name, QTYPE.MX, rdata=MX("backup.example.test", 20), ttl=60))
            reply.add_answer(RR(name, QTYPE.MX, rdata=MX("mail.example.test", 10), ttl=60))
        elif name == "local.test":
            reply.add_answer(RR(name, QTYPE.MX, rdata=MX("127.0.0.1", 10), ttl=60))
        elif name == "alias.test":
            reply.add_answer(RR(name, QTYPE.CNAME, rdata=CNAME("canon.test"), ttl=60))
        elif name == "nomx.test":
            reply.add_auth(RR(name, QTYPE.SOA, rdata=SOA("ns.nomx.test", "admin.nomx.test", (1, 2, 3, 4, 5)), ttl=60))
        elif name == "slow.test":
            if count % 3:
                return  # only every third question is answered
            reply.add_answer(RR(name, QTYPE.MX, rdata=MX("late.slow.test", 5), ttl=60))
        elif name == "silent.test":
            return
        elif name == "wrongid.test":
            reply.add_answer(RR(name, QTYPE.MX, rdata=MX("mail.wrongid.test", 5), ttl=60))
            reply.header.id = (query.header.id + 1) & 0xFFFF
        elif name == "loop.test":
            # One MX answer whose exchange name is a pointer to itself.
            packed = bytearray(reply.pack())
            at = len(packed)
            packed[7] = 1
            packed += b"\xc0\x0c\x00\x0f\x00\x01\x00\x00\x00\x3c\x00\x04\x00\x0a"
            packed += bytes([0xC0 | (at + 14) >> 8, (at + 14) & 0xFF])
            self.transport.sendto(bytes(packed), addr)
            return
        else:
            reply.header.rcode = RCODE.NXDOMAIN
        self.transport.sendto(reply.pack(), addr)


async def main(ports_file, spool):
    loop = asyncio.get_running_loop()
    ports = {}

    def serve_smtp():
        # hostname is given so that aiosmtpd does not look up the machine's name.
        return SMTP(MailSpool(spool), hostname="peer.test", authenticator=authenticator, auth_require_tls=False)

    s = bound()
    servers = [await loop.create_server(serve_smtp, sock=s)]
    ports["KYN_SMTP_PORT"] = s.getsockname()[1]
    for key, handler in [("KYN_SAY_PORT", say), ("KYN_REFUSE_PORT", refuse), ("KYN_SILENT_PORT", silent),
                         ("KYN_ECHO_PORT", echo), ("KYN_NEAR_PORT", pieces(0.3)), ("KYN_FAR_PORT", pieces(2.5)),
                         ("KYN_RESET_PORT", reset)]:
        s = bound()
        servers.append(await asyncio.start_server(handler, sock=s))
        ports[key] = s.getsockname()[1]

    # Bound but never listening: connections are refused, and no other
    # program can take the port while the tests run.
    closed = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    closed.bind((HOST, 0))
    ports["KYN_CLOSED_PORT"] = closed.getsockname()[1]

    s = bound(socket.SOCK_DGRAM)
    await loop.create_datagram_endpoint(Dns, sock=s)
    ports["KYN_DNS_PORT"] = s.getsockname()[1]
    quiet = bound(socket.SOCK_DGRAM)  # kept open, never read
    ports["KYN_DNS_SILENT_PORT"] = quiet.getsockname()[1]

    with open(ports_file, "w") as f:
        f.writelines("%s=%d\n" % item for item in ports.items())
    open(ports_file + ".ready", "w").close()
    await asyncio.Event().wait()


if __name__ == "__main__":
    asyncio.run(main(sys.argv[1], sys.argv[2]))
