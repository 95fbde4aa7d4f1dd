"""Checks the mail-header dates that the capture tests print.

Each line "RFC822|<days since 1899-12-30>|<offset minutes>|<text>" must parse
with email.utils to the same wall-clock time and offset, and name the right
day of the week.
"""
import datetime
import email.utils
import sys

EPOCH = datetime.datetime(1899, 12, 30)


def check(days, offset, text):
    ms = round(float(days) * 86400000)
    want = EPOCH + datetime.timedelta(milliseconds=ms)
    want = want.replace(microsecond=0, tzinfo=datetime.timezone(datetime.timedelta(minutes=int(offset))))
    got = email.utils.parsedate_to_datetime(text)
    problems = []
    if got is None:
        return ["does not parse"]
    if got.replace(tzinfo=None) != want.replace(tzinfo=None):
        problems.append(f"time {got} instead of {want}")
    if got.utcoffset() != want.utcoffset():
        problems.append(f"offset {got.utcoffset()} instead of {want.utcoffset()}")
    if not text.startswith(want.strftime("%a") + ", "):
        problems.append(f"day name should be {want.strftime('%a')}")
    return problems


def main(path):
    rows = 0
    failed = 0
    with open(path, encoding="latin-1") as lines:
        for line in lines:
            line = line.strip()
            if not line.startswith("RFC822|"):
                continue
            _, days, offset, text = line.split("|", 3)
            rows += 1
            for problem in check(days, offset, text):
                failed += 1
                print(f"rfc822_check: {text!r}: {problem}")
    if rows == 0:
        print("rfc822_check: the tests printed no dates to check")
        return 1
    print(f"rfc822_check: {rows} dates read back by email.utils" + (f", {failed} problems" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
