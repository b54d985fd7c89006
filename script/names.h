// names.h - the interned property and event names, one exported global each.
#pragma once
#include "script/vantrel_api.h"
#include "host/core/value.h"

extern "C" {
#define VANTREL_NAME(name, kind) extern VANTREL_API Value* n_##name;
#include "script/names.def"
#undef VANTREL_NAME
}

// Interns every name in table order into its global.
void internNames();
// Number of names in the vocabulary.
constexpr int vocabularySize() {
    int n = 0;
#define VANTREL_NAME(name, kind) ++n;
#include "script/names.def"
#undef VANTREL_NAME
    return n;
}
