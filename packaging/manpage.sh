#!/bin/sh
# Writes the gzipped manual page of one program with help2man from its --help and
# --version; a program with subcommands (korvane-cli) gets a SUBCOMMANDS section with the
# options of each (and of theirs), without the notes every one of them repeats.
# Usage: manpage.sh PROGRAM 'WHAT IT IS' OUTPUT.1.gz
set -eu
program=$1 name=$2 out=$3
page=${out%.gz}
include=$page.include

# The subcommands a --help lists, one a line.
subcommands() { "$@" --help | sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p'; }
# Text shown as it is: roff's escape character and leading control characters quoted.
verbatim() { sed -e 's/\\/\\e/g' -e "s/^[.']/\\\\\&&/"; }

: >"$include"
first=yes
for command in $(subcommands "$program"); do
  inner=$(subcommands "$program" "$command")
  for path in ${inner:-""}; do
    [ "$first" = yes ] && printf '[SUBCOMMANDS]\n' >>"$include" && first=no
    # shellcheck disable=SC2086
    {
      printf '.SS "%s"\n.nf\n' "$(basename "$program") $command${path:+ $path}"
      "$program" $command $path --help | sed '/^Results:$/,$d' | verbatim
      printf '.fi\n'
    } >>"$include"
  done
done

set -- --no-info --name="$name" --output="$page"
[ -s "$include" ] && set -- "$@" --include="$include"
help2man "$@" "$program"
gzip -9n -f "$page"
rm -f "$include"
