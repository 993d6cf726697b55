#!/bin/sh
# A link launcher: runs the link command CMake gives it with the same MinGW
# compiler driver of another thread model, so the program gets that model's
# C++ runtime and libgcc while its objects are the ones the tests link.
#
#   link-thread-model.sh <model> <...-g++-posix> <arguments...>
set -eu
model=$1
driver=$2
shift 2
exec "${driver%-*}-$model" "$@"
