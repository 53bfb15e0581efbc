#!/usr/bin/python3
"""A scriptable SMTP server for the tests, on aiosmtpd.

Listens on a free loopback port, prints "PORT <n>" when ready, and writes every
accepted message into --out as NNNN.json (envelope, parsed headers and the
decoded body, by Python's email package) and NNNN.eml (the raw data).

Scripted behaviour:
  --refuse-rcpt ADDR     answer RCPT TO for ADDR with 550 (repeatable)
  --tempfail-rcpt ADDR   answer RCPT TO for ADDR with 451 (repeatable)
  --greeting 421         greet with 421 and close
  --greeting multiline   greet with a three-line 220
  --split                write every reply in two pieces, a moment apart
  --drop-in-data         close the connection after the first line of DATA
  --silent               accept connections and never answer
The server stops by itself after --lifetime seconds (default 120).
"""
import argparse
import asyncio
import email
import email.policy
import json
import os
import sys

from aiosmtpd.smtp import SMTP


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--out", required=True)
    p.add_argument("--refuse-rcpt", action="append", default=[])
    p.add_argument("--tempfail-rcpt", action="append", default=[])
    p.add_argument("--greeting", choices=["421", "multiline"])
    p.add_argument("--split", action="store_true")
    p.add_argument("--drop-in-data", action="store_true")
    p.add_argument("--silent", action="store_true")
    p.add_argument("--lifetime", type=float, default=120)
    return p.parse_args()


ARGS = parse_args()


class Handler:
    def __init__(self):
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        low = address.lower()
        if low in (a.lower() for a in ARGS.refuse_rcpt):
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        if low in (a.lower() for a in ARGS.tempfail_rcpt):
            return "451 4.3.0 <%s>: Try again later" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(ARGS.out, "%04d" % self.count)
        raw = envelope.original_content or envelope.content
        with open(base + ".eml", "wb") as f:
            f.write(raw)
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        body = msg.get_body(preferencelist=("plain",))
        summary = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "helo": session.host_name,
            "headers": {k: str(v) for k, v in msg.items()},
            "header_names": list(msg.keys()),
            "body": body.get_content() if body is not None else "",
            "raw_body": raw.split(b"\r\n\r\n", 1)[-1].decode("ascii", "replace"),
        }
        tmp = base + ".json.part"
        with open(tmp, "w", encoding="utf-8") as f:
            json.dump(summary, f, ensure_ascii=False)
        os.replace(tmp, base + ".json")
        return "250 Message accepted for delivery"


class ScriptedSMTP(SMTP):
    greeted = False

    async def push(self, status):
        if not self.greeted and status.startswith("220"):
            self.greeted = True
            if ARGS.greeting == "421":
                await self._write("421 4.3.2 Service not available, closing channel\r\n")
                self.transport.close()
                return
            if ARGS.greeting == "multiline":
                await self._write("220-test.example ESMTP\r\n220-second line\r\n")
        await self._write(status + "\r\n")

    async def _write(self, text):
        data = text.encode("utf-8")
        if ARGS.split and len(data) > 2:
            half = len(data) // 2
            self._writer.write(data[:half])
            await self._writer.drain()
            await asyncio.sleep(0.05)
            data = data[half:]
        self._writer.write(data)
        await self._writer.drain()

    async def smtp_DATA(self, arg):
        if ARGS.drop_in_data:
            await self.push("354 End data with <CR><LF>.<CR><LF>")
            await self._reader.readuntil()
            self.transport.close()
            return
        await super().smtp_DATA(arg)


async def serve():
    loop = asyncio.get_running_loop()
    if ARGS.silent:
        async def hold(reader, writer):
            await asyncio.sleep(ARGS.lifetime)
            writer.close()
        server = await asyncio.start_server(hold, "127.0.0.1", 0)
    else:
        handler = Handler()
        server = await loop.create_server(
            lambda: ScriptedSMTP(handler, hostname="test.example"), "127.0.0.1", 0)
    port = server.sockets[0].getsockname()[1]
    print("PORT %d" % port, flush=True)
    # Ends when the test closes our standard input, or after the lifetime.
    stop = loop.create_future()
    loop.add_reader(sys.stdin.fileno(), lambda: stop.done() or (sys.stdin.buffer.read1(1) or stop.set_result(True)))
    try:
        await asyncio.wait_for(stop, ARGS.lifetime)
    except asyncio.TimeoutError:
        pass
    server.close()


def main():
    os.makedirs(ARGS.out, exist_ok=True)
    asyncio.run(serve())


if __name__ == "__main__":
    main()
