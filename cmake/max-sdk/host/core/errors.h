// errors.h - MAXScript's exceptions.
#pragma once
#include <maxscript/maxscript.h>
#include <maxscript/kernel/exceptions.h>
