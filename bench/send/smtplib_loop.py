#!/usr/bin/python3
"""Sends COUNT messages of SIZE bytes over one connection in lock-step, the
way a simple client would: RSET, MAIL, RCPT, DATA for each."""
import smtplib
import sys
import time

host, port, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
body = ("Subject: bench\r\n\r\n" + ("x" * 70 + "\r\n") * (size // 72)).encode()
s = smtplib.SMTP(host, port)
s.helo("example.org")
start = time.monotonic()
for _ in range(count):
    s.rset()
    s.sendmail("sales@example.org", ["ann@example.com"], body)
s.quit()
print("%.3f" % (time.monotonic() - start))
