// mchar.h - the SDK's character type and string class.
#pragma once
#include <strbasic.h>
#include <strclass.h>
