// value.h - MAXScript values, names, arrays, colours and streams.
#pragma once
#include <maxscript/maxscript.h>
#include <maxscript/foundation/numbers.h>
#include <maxscript/foundation/strings.h>
#include <maxscript/foundation/name.h>
#include <maxscript/foundation/arrays.h>
#include <maxscript/foundation/colors.h>
#include <maxscript/foundation/3dmath.h>
#include <maxscript/foundation/streams.h>
#include <maxscript/macros/value_locals.h>
