// script_runner.h - running script text and its result holder.
#pragma once
#include <maxscript/maxscript.h>
#include <ifnpub.h>
