// host_text.h - the one crossing between the host's strings and the single-byte text of the records.
//   Records and scene chunks keep text in the system's ANSI code page, as every scene
//   written so far does; the host's strings are MCHAR (wide in a Unicode host).
#pragma once
#include <string>

#include "host/core/mchar.h"

using HostText = std::basic_string<MCHAR>;

// Record text as a host string; every byte has a character.
HostText hostTextFromRecord(const std::string& bytes);
// A host string as record text. False, leaving bytes as they were, when a
// character has no byte of its own in the code page.
bool recordTextFromHost(const MCHAR* text, std::string& bytes);
