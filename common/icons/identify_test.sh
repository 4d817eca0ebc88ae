#!/bin/sh
# identify_test.sh IDENTIFY ICO: checks that ImageMagick reads the icon file
# as four images of 16, 24, 32 and 48 pixels with an alpha channel, each
# transparent at its top left corner, and the 16-pixel one with the red cut
# line where it is drawn.
set -eu
identify=$1
ico=$2
# Older ImageMagick calls an alpha channel "True", newer "Blend".
got=$("$identify" -format '%wx%h %A %[fx:p{0,0}.a]\n' "$ico" | sed 's/ Blend / True /')
want='16x16 True 0
24x24 True 0
32x32 True 0
48x48 True 0'
if [ "$got" != "$want" ]; then
  printf 'identify %s gave:\n%s\nexpected:\n%s\n' "$ico" "$got" "$want" >&2
  exit 1
fi
red=$("$identify" -format '%[fx:int(255*p{2,13}.r)],%[fx:int(255*p{2,13}.g)],%[fx:int(255*p{2,13}.b)]' "$ico[0]")
if [ "$red" != "214,40,40" ]; then
  printf 'identify %s: pixel 2,13 of the 16-pixel image is %s, not 214,40,40\n' "$ico" "$red" >&2
  exit 1
fi
