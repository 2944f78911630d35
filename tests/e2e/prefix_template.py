"""Makes this build folder's Wine prefix template once, before the tests that copy it."""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "wine"))

from prefix import template  # noqa: E402
from tools import requireTools  # noqa: E402

SKIP_CODE = 77

parser = argparse.ArgumentParser()
parser.add_argument("--work", required=True)
parser.add_argument("--exe", required=True, help="no prefix is made while this is not built")
args = parser.parse_args()
if not os.path.isfile(args.exe):
    print(f"SKIP: {args.exe} is not built")
    sys.exit(SKIP_CODE)
requireTools()
print("prefix template:", template(args.work))
