// names.cpp - interning the vocabulary once at load.
#include "script/names.h"

extern "C" {
#define VANTREL_NAME(name, kind) VANTREL_API Value* n_##name = nullptr;
#include "script/names.def"
#undef VANTREL_NAME
}

void internNames() {
#define VANTREL_NAME(name, kind) n_##name = Name::intern(_M(#name));
#include "script/names.def"
#undef VANTREL_NAME
}
