#!/bin/sh
# kx3816-cli convert: both directions, and the window's messages with status 1 on failure.
set -u
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export LC_ALL=C.UTF-8

printf 'header\r\n1\t14:05:09\t1.2\tM\246\270\tIR:500V\tPI\r\n2\t09:00:00\ta<b\t\t \tx\r\n' >"$dir/in.xls"
"$cli" convert "$dir/in.xls" "$dir/out.XML" || fail "text to packet"
grep -q '<ROW RowState="4" No="2" Time="09:00:00000" Value="a&lt;b" Unit="" V_Range=" " I_Range="x"/>' \
  "$dir/out.XML" || fail "packet content"
"$cli" convert "$dir/out.XML" "$dir/back.txt" || fail "packet to text"
printf 'Measurement No.\tTime\tValue\tUnit\tFunction\tRemark\r\n1\t14:05:09\t1.2\tM\246\270\tIR:500V\tPI\r\n2\t09:00:00\ta<b\tNULL\tNULL\tx\r\n' \
  >"$dir/expected.txt"
cmp "$dir/back.txt" "$dir/expected.txt" || fail "text after two conversions"

out=$("$cli" convert "$dir/missing.xml" "$dir/x.xls" 2>&1)
[ $? -eq 1 ] && [ "$out" = "Failed to Load File!" ] || fail "load failure: $out"
out=$("$cli" convert "$dir/in.xls" "$dir/none/x.txt" 2>&1)
[ $? -eq 1 ] && [ "$out" = "Could not save table to specified file: $dir/none/x.txt" ] ||
  fail "save failure: $out"
[ ! -e "$dir/x.xls" ] || fail "a failed load wrote its output"
echo PASS
