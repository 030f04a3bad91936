#!/bin/sh
# A browser that only writes down what it was asked to open, one argument a line.
printf '%s\n' "$@" >> "${MJ_RECORD_FILE:?}"
